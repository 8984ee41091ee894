#pragma once

#include "Burrowlight/Widgets/Shell/ShownCharacters.h"

#include <QString>
#include <optional>
#include <vector>

namespace burrowlight {

// A stored text as an editable field shows it: each character with at most as many of its marks as
// a read-only text shows, as Qt's text engine takes seconds to lay out and edit a letter carrying
// tens of thousands. An edit of what shows goes into the stored text at the same place; the marks
// not shown stay with their character until the character itself is deleted, so that a text nobody
// changed is never cut.
class ShownInField {
  public:
    explicit ShownInField(QString stored = {});

    const QString& stored() const { return stored_; }
    const QString& shown() const { return shown_; }
    bool hidesMarks() const { return !hidden_.empty(); }

    // A place between two shown code units, in the stored text: after the hidden marks of the
    // character before it.
    qsizetype storedPosition(qsizetype shownPosition) const;
    // A place in the stored text, shown: a place among hidden marks shows where they are hidden.
    qsizetype shownPosition(qsizetype storedPosition) const;
    QString storedBetween(qsizetype shownStart, qsizetype shownEnd) const;

    // What showed from `start` to `end` is now `inserted`; where in the stored text it ends.
    qsizetype replace(qsizetype start, qsizetype end, const QString& inserted);

  private:
    // A character's hidden marks, and where they stand among the shown code units: after `at`, in
    // the character that shows from `character`.
    struct Hidden {
        qsizetype character;
        qsizetype at;
        qsizetype storedStart;
        qsizetype storedEnd;
        // Hidden code units before these, and with them.
        qsizetype hiddenBefore;
    };
    void follow();
    // The first hidden marks that stand after `shownPosition`.
    std::vector<Hidden>::const_iterator firstAfter(qsizetype shownPosition) const;

    // Characters that were deleted with their hidden marks: what showed of them, at `at`.
    struct Deleted {
        qsizetype at;
        QString shown;
        QString stored;
    };

    QString stored_;
    QString shown_;
    std::vector<Hidden> hidden_;
    std::optional<Deleted> deleted_;
};

// How a field's text changed, as one replacement: where the user was (`cursor`, in `after`, or -1)
// settles where among equal characters it was made.
struct TextChange {
    qsizetype start;
    qsizetype end;
    QString inserted;
};
TextChange changeBetween(const QString& before, const QString& after, qsizetype cursor);

} // namespace burrowlight
