#include "Burrowlight/Widgets/Shell/TipPromptPanel.h"

#include "Burrowlight/Core/AppIcons.h"
#include "Burrowlight/Core/AppIdentity.h"
#include "Burrowlight/Widgets/Style/Sizes.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace burrowlight {

TipPromptPanel::TipPromptPanel(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setWindowTitle(tr("Thank you for using %1").arg(appDisplayName()));
    setModal(true);

    icon_.setPixmap(appIcon().pixmap(64, 64));
    icon_.setAlignment(Qt::AlignCenter);

    title_.setText(tr("Thank you for using %1").arg(appDisplayName()));
    title_.setAlignment(Qt::AlignCenter);
    title_.setWordWrap(true);
    QFont titleFont = title_.font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.25);
    titleFont.setWeight(QFont::DemiBold);
    title_.setFont(titleFont);

    message_.setText(
        tr("%1 is free. If you find it useful, you can support the project by buying me a coffee.")
            .arg(appDisplayName()));
    message_.setAlignment(Qt::AlignCenter);
    message_.setWordWrap(true);

    caption_.setText(tr("Opens Ko-fi in your browser."));
    caption_.setAlignment(Qt::AlignCenter);
    QFont captionFont = caption_.font();
    captionFont.setPointSizeF(captionFont.pointSizeF() * 0.85);
    caption_.setFont(captionFont);

    notNow_.setText(tr("Not Now"));
    notNow_.setAutoDefault(false);
    tip_.setDefault(true);
    connect(&tip_, &QPushButton::clicked, this, &QDialog::accept);
    connect(&notNow_, &QPushButton::clicked, this, &QDialog::reject);

    layout_.setContentsMargins(sizes::scaled(QMargins(32, 32, 32, 24)));
    layout_.setSpacing(sizes::scaled(18));
    layout_.addWidget(&icon_, 0, Qt::AlignHCenter);
    textLayout_.setContentsMargins(0, 0, 0, 0);
    textLayout_.setSpacing(sizes::scaled(6));
    textLayout_.addWidget(&title_);
    textLayout_.addWidget(&message_);
    layout_.addWidget(&textColumn_);
    tipLayout_.setContentsMargins(0, 0, 0, 0);
    tipLayout_.setSpacing(sizes::scaled(10));
    tipLayout_.addWidget(&tip_, 0, Qt::AlignHCenter);
    tipLayout_.addWidget(&caption_);
    layout_.addWidget(&tipColumn_);
    layout_.addWidget(&notNow_, 0, Qt::AlignHCenter);
    setFixedWidth(std::max(sizes::scaled(width), layout_.totalMinimumSize().width()));
    tip_.setFocus();
}

void TipPromptPanel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && windowHandle() && windowHandle()->startSystemMove()) {
        event->accept();
        return;
    }
    QDialog::mousePressEvent(event);
}

void TipPromptPanel::closeEvent(QCloseEvent* event) {
    // Only its buttons and their keys end it, not the window manager.
    if (event->spontaneous()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TipPromptPanel::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    // Without a frame of the window manager's, a line of its own keeps it apart from what is behind.
    QPainter painter(this);
    QColor line = palette().color(QPalette::WindowText);
    line.setAlphaF(0.25);
    painter.setPen(line);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TipPromptPanel::applyTheme() {
    applyTolvanSurface(*this);
    makeSecondary(message_);
    makeSecondary(caption_);
    QPalette captionPalette = caption_.palette();
    QColor tertiary = captionPalette.color(QPalette::WindowText);
    tertiary.setAlphaF(tertiary.alphaF() * 0.75);
    captionPalette.setColor(QPalette::WindowText, tertiary);
    caption_.setPalette(captionPalette);
}

bool TipPromptDialog::run() {
    TipPromptPanel panel;
    panel.show();
    panel.raise();
    panel.activateWindow();
    return panel.exec() == QDialog::Accepted;
}

} // namespace burrowlight
