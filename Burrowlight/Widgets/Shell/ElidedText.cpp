#include "Burrowlight/Widgets/Shell/ElidedText.h"

#include "Burrowlight/Widgets/Style/Look.h"

#include <QFontMetricsF>
#include <cmath>

namespace burrowlight {

namespace {

constexpr int widerThanAnyScreen = 1 << 15;

} // namespace

void ElidedText::setWhole(const QString& text) {
    whole_ = text;
    measured_.reset();
}

QSize ElidedText::size(const QFont& font) const {
    if (!measured_ || measured_->font != font) {
        const QFontMetrics metrics(font);
        const QString line = look::enoughToFill(metrics, whole_, widerThanAnyScreen);
        // Rounded up: a text a fraction wider than the rounded advance would be cut at that width.
        const int width = static_cast<int>(std::ceil(QFontMetricsF(font).horizontalAdvance(line)));
        measured_ = Measured{font, {width, metrics.boundingRect(QRect(), 0, line).height()}};
    }
    return measured_->size;
}

ElidedText::Shown ElidedText::shownIn(const QFontMetrics& metrics, int room) const {
    QString shown = look::elided(metrics, whole_, room);
    // Only a text as long as the whole can be all of it; only such a text is compared.
    const bool cut = shown.size() != whole_.size() || shown != look::shownWhole(whole_);
    return {std::move(shown), cut};
}

} // namespace burrowlight
