#include "Burrowlight/Widgets/Editor/ShownInField.h"

#include <algorithm>
#include <utility>

namespace burrowlight {

ShownInField::ShownInField(QString stored) : stored_(std::move(stored)) {
    follow();
}

void ShownInField::follow() {
    hidden_.clear();
    const ShownCharacters shown = findShownCharacters(stored_);
    if (shown.hidden.empty()) {
        shown_ = stored_;
        return;
    }
    shown_ = withoutHidden(stored_, shown.hidden, 0, stored_.size());
    qsizetype hiddenBefore = 0;
    for (const HiddenMarks& marks : shown.hidden) {
        hidden_.push_back({marks.character - hiddenBefore, marks.start - hiddenBefore, marks.start, marks.end,
                           hiddenBefore});
        hiddenBefore += marks.end - marks.start;
    }
}

std::vector<ShownInField::Hidden>::const_iterator ShownInField::firstAfter(qsizetype shownPosition) const {
    return std::ranges::upper_bound(hidden_, shownPosition, {}, &Hidden::at);
}

qsizetype ShownInField::storedPosition(qsizetype shownPosition) const {
    shownPosition = std::clamp<qsizetype>(shownPosition, 0, shown_.size());
    const auto after = firstAfter(shownPosition);
    if (after == hidden_.begin()) {
        return shownPosition;
    }
    const Hidden& before = *std::prev(after);
    return shownPosition + before.hiddenBefore + (before.storedEnd - before.storedStart);
}

qsizetype ShownInField::shownPosition(qsizetype storedPosition) const {
    storedPosition = std::clamp<qsizetype>(storedPosition, 0, stored_.size());
    const auto after = std::ranges::upper_bound(hidden_, storedPosition, {}, &Hidden::storedStart);
    if (after == hidden_.begin()) {
        return storedPosition;
    }
    const Hidden& before = *std::prev(after);
    if (storedPosition < before.storedEnd) {
        return before.at;
    }
    return storedPosition - before.hiddenBefore - (before.storedEnd - before.storedStart);
}

QString ShownInField::storedBetween(qsizetype shownStart, qsizetype shownEnd) const {
    const qsizetype from = storedPosition(shownStart);
    return stored_.mid(from, std::max<qsizetype>(storedPosition(shownEnd) - from, 0));
}

// The marks hidden within what is replaced go with their character: kept where the character keeps
// its start, deleted with it where it is replaced whole. What showed of the characters last deleted
// with hidden marks, put back where they were (as undoing does), brings their marks back.
qsizetype ShownInField::replace(qsizetype start, qsizetype end, const QString& inserted) {
    start = std::clamp<qsizetype>(start, 0, shown_.size());
    end = std::clamp<qsizetype>(end, start, shown_.size());
    QString kept;
    for (auto marks = firstAfter(start); marks != hidden_.end() && marks->at <= end; ++marks) {
        if (marks->character < start) {
            kept += QStringView(stored_).sliced(marks->storedStart, marks->storedEnd - marks->storedStart);
        }
    }
    const qsizetype storedStart = storedPosition(start);
    const qsizetype storedEnd = storedPosition(end);
    const bool putsBack = deleted_ && deleted_->at == start && deleted_->shown == inserted;
    const QString storedInserted = putsBack ? deleted_->stored : inserted;
    deleted_.reset();
    if (const QString removed = stored_.mid(storedStart, storedEnd - storedStart);
        kept.isEmpty() && removed.size() > end - start) {
        deleted_ = Deleted{start, shown_.mid(start, end - start), removed};
    }
    stored_ = stored_.left(storedStart) + kept + storedInserted + stored_.sliced(storedEnd);
    follow();
    return storedStart + kept.size() + storedInserted.size();
}

TextChange changeBetween(const QString& before, const QString& after, qsizetype cursor) {
    const qsizetype shorter = std::min(before.size(), after.size());
    qsizetype prefix = 0;
    while (prefix < shorter && before.at(prefix) == after.at(prefix)) {
        ++prefix;
    }
    qsizetype suffix = 0;
    while (suffix < shorter && before.at(before.size() - 1 - suffix) == after.at(after.size() - 1 - suffix)) {
        ++suffix;
    }
    if (cursor >= 0 && cursor <= after.size()) {
        suffix = std::min(suffix, after.size() - cursor);
        prefix = std::min(prefix, shorter - suffix);
    } else {
        suffix = std::min(suffix, shorter - prefix);
    }
    return {prefix, before.size() - suffix, after.mid(prefix, after.size() - suffix - prefix)};
}

} // namespace burrowlight
