#include "Burrowlight/Widgets/MainWindow/EmptyStateView.h"

#include "Burrowlight/Widgets/Style/Look.h"
#include "Burrowlight/Widgets/Style/Theme.h"

#include <QEvent>

namespace burrowlight {

namespace {

constexpr int symbolSize = 44;

} // namespace

EmptyStateView::EmptyStateView(QWidget* parent) : QWidget(parent) {
    icon_.setAlignment(Qt::AlignCenter);
    icon_.setMinimumHeight(symbolSize + 4);
    for (QLabel* label : {&title_, &description_}) {
        label->setAlignment(Qt::AlignCenter);
        label->setWordWrap(true);
        label->setTextFormat(Qt::PlainText);
    }
    QFont font = title_.font();
    font.setPointSizeF(font.pointSizeF() * 1.35);
    font.setWeight(QFont::DemiBold);
    title_.setFont(font);
    buttonLayout_.setContentsMargins(0, 6, 0, 0);
    buttonLayout_.setSpacing(8);
    columnLayout_.setContentsMargins(0, 0, 0, 0);
    columnLayout_.setSpacing(8);
    columnLayout_.addWidget(&icon_);
    columnLayout_.addSpacing(4);
    columnLayout_.addWidget(&title_);
    columnLayout_.addWidget(&description_);
    columnLayout_.addWidget(&buttonArea_, 0, Qt::AlignHCenter);
    layout_.setContentsMargins(24, 24, 24, 24);
    layout_.addStretch();
    layout_.addWidget(&column_, 0, Qt::AlignHCenter);
    layout_.addStretch();
    buttonArea_.hide();
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
    button.setMaximumWidth(columnWidth);
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

// Wrapped texts take the width they are given: the column's is set, not left to their hints.
void EmptyStateView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const QMargins margins = layout_.contentsMargins();
    column_.setFixedWidth(std::max(0, std::min(textWidth, width() - margins.left() - margins.right())));
}

void EmptyStateView::drawSymbol() {
    QPalette palette = description_.palette();
    palette.setColor(QPalette::WindowText, look::secondary(this->palette()));
    description_.setPalette(palette);
    icon_.setPixmap(look::symbol(symbol_, look::secondary(this->palette()), symbolSize, devicePixelRatioF()));
    icon_.setVisible(!symbol_.isEmpty());
}

} // namespace burrowlight
