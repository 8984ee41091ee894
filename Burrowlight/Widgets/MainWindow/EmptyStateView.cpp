#include "Burrowlight/Widgets/MainWindow/EmptyStateView.h"

#include "Burrowlight/Widgets/MainWindow/Look.h"

#include <QEvent>

namespace burrowlight {

namespace {

constexpr int symbolSize = 44;

} // namespace

EmptyStateView::EmptyStateView(QWidget* parent) : QWidget(parent) {
    icon_.setAlignment(Qt::AlignCenter);
    for (QLabel* label : {&title_, &description_}) {
        label->setAlignment(Qt::AlignCenter);
        label->setWordWrap(true);
        label->setTextFormat(Qt::PlainText);
        label->setMaximumWidth(360);
    }
    QFont font = title_.font();
    font.setPointSizeF(font.pointSizeF() * 1.35);
    font.setWeight(QFont::DemiBold);
    title_.setFont(font);
    buttonLayout_.setContentsMargins(0, 6, 0, 0);
    buttonLayout_.setSpacing(8);
    layout_.setContentsMargins(24, 24, 24, 24);
    layout_.setSpacing(8);
    layout_.addStretch();
    layout_.addWidget(&icon_, 0, Qt::AlignHCenter);
    layout_.addSpacing(4);
    layout_.addWidget(&title_, 0, Qt::AlignHCenter);
    layout_.addWidget(&description_, 0, Qt::AlignHCenter);
    layout_.addWidget(&buttonArea_, 0, Qt::AlignHCenter);
    layout_.addStretch();
    buttonArea_.hide();
}

void EmptyStateView::show(const QString& symbol, const QString& title, const QString& description) {
    symbol_ = symbol;
    title_.setText(title);
    description_.setText(description);
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

void EmptyStateView::drawSymbol() {
    QPalette palette = description_.palette();
    palette.setColor(QPalette::WindowText, look::secondary(this->palette()));
    description_.setPalette(palette);
    icon_.setPixmap(look::symbol(symbol_, look::secondary(this->palette()), symbolSize, devicePixelRatioF()));
    icon_.setVisible(!symbol_.isEmpty());
}

} // namespace burrowlight
