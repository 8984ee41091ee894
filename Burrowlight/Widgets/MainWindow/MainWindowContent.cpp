#include "Burrowlight/Widgets/MainWindow/MainWindowContent.h"

#include "Burrowlight/Core/AppIdentity.h"
#include "Burrowlight/Widgets/Shell/Theme.h"

#include <QLabel>
#include <QVBoxLayout>

namespace burrowlight {

namespace {

// Stands in until the main window's own screens exist.
class Placeholder : public QWidget {
  public:
    Placeholder() {
        icon_.setAlignment(Qt::AlignCenter);
        name_.setText(appDisplayName());
        name_.setAlignment(Qt::AlignCenter);
        QFont font = name_.font();
        font.setPointSizeF(font.pointSizeF() * 1.6);
        font.setWeight(QFont::DemiBold);
        name_.setFont(font);
        version_.setText(appVersion());
        version_.setAlignment(Qt::AlignCenter);
        layout_.addStretch();
        layout_.addWidget(&icon_);
        layout_.addWidget(&name_);
        layout_.addWidget(&version_);
        layout_.addStretch();
    }

  private:
    QLabel icon_;
    QLabel name_;
    QLabel version_;
    QVBoxLayout layout_{this};
    PaletteFollower theme_{
        *this, [this] {
            applyTolvanSurface(*this);
            makeSecondary(version_);
            icon_.setPixmap(tintedIcon(trayIcon(), tolvanAccent(), {64, 64}).pixmap(64, 64));
        }};
};

} // namespace

std::unique_ptr<QWidget> makeMainWindowContent() {
    return std::make_unique<Placeholder>();
}

} // namespace burrowlight
