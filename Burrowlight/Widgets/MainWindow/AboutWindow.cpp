#include "Burrowlight/Widgets/MainWindow/AboutWindow.h"

#include "Burrowlight/Core/AboutCredits.h"
#include "Burrowlight/Core/AppIcons.h"
#include "Burrowlight/Core/AppIdentity.h"
#include "Burrowlight/Widgets/Style/Sizes.h"

namespace burrowlight {

AboutWindow::AboutWindow(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("About %1").arg(appDisplayName()));
    // Smaller, the credits would show a few words a line.
    sizes::keepMinimumSize(*this, size / 3 * 2);
    sizes::resizeToOpen(*this, size);

    icon_.setPixmap(appIcon().pixmap(64, 64));
    icon_.setAlignment(Qt::AlignHCenter);
    name_.setText(appDisplayName());
    name_.setTextFormat(Qt::PlainText);
    name_.setAlignment(Qt::AlignHCenter);
    QFont title = name_.font();
    title.setPointSizeF(title.pointSizeF() * 1.3);
    title.setWeight(QFont::DemiBold);
    name_.setFont(title);
    version_.setText(AboutTexts::version(appVersion()));
    version_.setTextFormat(Qt::PlainText);
    version_.setAlignment(Qt::AlignHCenter);
    version_.setTextInteractionFlags(Qt::TextSelectableByMouse);

    credits_.setReadOnly(true);
    credits_.setPlainText(aboutCredits());
    credits_.setFrameShape(QFrame::NoFrame);
    credits_.setAccessibleName(tr("Credits"));
    QFont small = credits_.font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    credits_.setFont(small);

    layout_.setContentsMargins(sizes::scaled(QMargins(24, 24, 24, 24)));
    layout_.setSpacing(sizes::scaled(6));
    layout_.addWidget(&icon_);
    layout_.addWidget(&name_);
    layout_.addWidget(&version_);
    layout_.addSpacing(sizes::scaled(10));
    layout_.addWidget(&credits_, 1);
}

void AboutWindow::applyTheme() {
    applyTolvanSurface(*this);
    makeSecondary(version_);
    QPalette palette = credits_.palette();
    palette.setColor(QPalette::Base, tolvanSurface());
    palette.setColor(QPalette::Text, palette.color(QPalette::WindowText));
    credits_.setPalette(palette);
}

} // namespace burrowlight
