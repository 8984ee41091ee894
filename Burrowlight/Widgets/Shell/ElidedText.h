#pragma once

#include <QFont>
#include <QSize>
#include <QString>
#include <optional>

class QFontMetrics;

namespace burrowlight {

// One line of text as a widget that cuts it to its room holds it: the whole text, the room it asks
// for, and what less room shows of it.
class ElidedText {
  public:
    struct Shown {
        QString text;
        bool cut = false;
    };

    explicit ElidedText(QString whole = {}) : whole_(std::move(whole)) {}

    const QString& whole() const { return whole_; }
    void setWhole(const QString& text);

    // The text on one line in `font` as the widest line shows it, which for a text longer than
    // `look::elided` lays out is its start and "…"; its width rounded up. Measured once per text
    // and font.
    QSize size(const QFont& font) const;
    // What a line `room` wide shows of it, as `look::elided` cuts it.
    Shown shownIn(const QFontMetrics& metrics, int room) const;

  private:
    struct Measured {
        QFont font;
        QSize size;
    };

    QString whole_;
    mutable std::optional<Measured> measured_;
};

} // namespace burrowlight
