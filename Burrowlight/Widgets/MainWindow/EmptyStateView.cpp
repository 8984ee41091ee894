#include "Burrowlight/Widgets/MainWindow/EmptyStateView.h"

#include "Burrowlight/Widgets/Style/Look.h"
#include "Burrowlight/Widgets/Style/Sizes.h"
#include "Burrowlight/Widgets/Style/Theme.h"

#include <QEvent>

namespace burrowlight {

namespace {

int symbolSize() {
    return sizes::scaled(44);
}

} // namespace

EmptyStateView::EmptyStateView(QWidget* parent) : QWidget(parent) {
    icon_.setAlignment(Qt::AlignCenter);
    icon_.setMinimumHeight(symbolSize() + 4);
    description_.setAlignment(Qt::AlignCenter);
    description_.setWordWrap(true);
    description_.setTextFormat(Qt::PlainText);
    title_.setLineAlignment(Qt::AlignHCenter);
    QFont font = title_.font();
    font.setPointSizeF(font.pointSizeF() * 1.35);
    font.setWeight(QFont::DemiBold);
    title_.setFont(font);
    buttonLayout_.setContentsMargins(sizes::scaled(QMargins(0, 6, 0, 0)));
    buttonLayout_.setSpacing(sizes::scaled(8));
    columnLayout_.setContentsMargins(0, 0, 0, 0);
    columnLayout_.setSpacing(sizes::scaled(8));
    columnLayout_.addWidget(&icon_);
    columnLayout_.addSpacing(sizes::scaled(4));
    columnLayout_.addWidget(&title_);
    columnLayout_.addWidget(&description_);
    columnLayout_.addWidget(&buttonArea_, 0, Qt::AlignHCenter);
    layout_.setContentsMargins(sizes::scaled(QMargins(24, 24, 24, 24)));
    layout_.addStretch();
    layout_.addWidget(&column_, 0, Qt::AlignHCenter);
    layout_.addStretch();
    buttonArea_.hide();
    column_.installEventFilter(this);
}

void EmptyStateView::show(const QString& symbol, const QString& title, const QString& description) {
    symbol_ = symbol;
    title_.setText(title);
    setPathsKeptWhole(description_, description);
    description_.setVisible(!description.isEmpty());
    drawSymbol();
}

QPushButton& EmptyStateView::addButton(const QString& title) {
    auto& button = *buttons_.emplace_back(std::make_unique<QPushButton>(title));
    button.setMaximumWidth(std::max(sizes::scaled(columnWidth), button.sizeHint().width()));
    buttonLayout_.addWidget(&button);
    buttonArea_.show();
    return button;
}

void EmptyStateView::setButtonsInRow(bool inRow) {
    buttonLayout_.setDirection(inRow ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom);
}

void EmptyStateView::clearButtons() {
    buttons_.clear();
    buttonArea_.hide();
}

void EmptyStateView::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        drawSymbol();
    }
}

bool EmptyStateView::eventFilter(QObject* watched, QEvent* event) {
    // Whatever changed in the column (texts, buttons, fonts), it is fitted again.
    if (watched == &column_ && event->type() == QEvent::LayoutRequest) {
        fitColumn();
    }
    return QWidget::eventFilter(watched, event);
}

void EmptyStateView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    fitColumn();
}

// Wrapped texts take the width they are given, and the height they need at it: the column's are
// set, not left to a layout that would ask for its height at the whole view's width.
void EmptyStateView::fitColumn() {
    const QMargins margins = layout_.contentsMargins();
    const int width =
        std::max(0, std::min(sizes::scaled(textWidth), this->width() - margins.left() - margins.right()));
    column_.setFixedSize(width, columnLayout_.hasHeightForWidth() ? columnLayout_.totalHeightForWidth(width)
                                                                  : columnLayout_.totalSizeHint().height());
}

void EmptyStateView::drawSymbol() {
    QPalette palette = description_.palette();
    palette.setColor(QPalette::WindowText, look::secondary(this->palette()));
    description_.setPalette(palette);
    icon_.setPixmap(
        look::symbol(symbol_, look::secondary(this->palette()), symbolSize(), devicePixelRatioF()));
    icon_.setVisible(!symbol_.isEmpty());
}

} // namespace burrowlight
