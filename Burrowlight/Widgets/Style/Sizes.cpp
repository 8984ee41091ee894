#include "Burrowlight/Widgets/Style/Sizes.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QLineEdit>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cmath>

namespace burrowlight::sizes {

namespace {

constexpr qreal referencePixels = 12; // 9 points at 96 dpi

qreal pixelsOf(const QFont& font) {
    if (font.pixelSize() > 0) {
        return font.pixelSize();
    }
    const QScreen* screen = QGuiApplication::primaryScreen();
    const qreal dotsPerInch = screen ? screen->logicalDotsPerInchY() : 96;
    return font.pointSizeF() * dotsPerInch / 72;
}

// Where a rectangle of `size` at `place` goes to lie within `available`, moved as little as it can.
QPoint keptWithin(const QRect& available, QPoint place, QSize size) {
    return {std::clamp(place.x(), available.left(),
                       std::max(available.left(), available.right() + 1 - size.width())),
            std::clamp(place.y(), available.top(),
                       std::max(available.top(), available.bottom() + 1 - size.height()))};
}

// Follows the window's layout: each time it is redone, the least size is worked out again.
class MinimumKeeper : public QObject {
  public:
    MinimumKeeper(QWidget& window, QSize least, bool fixed)
        : QObject(&window), window_(window), least_(least), fixed_(fixed) {
        window.installEventFilter(this);
        apply();
    }

  protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        switch (event->type()) {
        case QEvent::LayoutRequest:
        case QEvent::Show:
        case QEvent::FontChange:
        case QEvent::ApplicationFontChange:
        case QEvent::StyleChange:
            apply();
            break;
        default:
            break;
        }
        return false;
    }

  private:
    void apply() {
        QSize needed = scaled(least_);
        if (const QLayout* layout = window_.layout()) {
            needed = needed.expandedTo(layout->totalMinimumSize());
        }
        if (window_.minimumSize() != needed) {
            window_.setMinimumSize(needed);
        }
        if (fixed_ && window_.maximumSize() != needed) {
            window_.setMaximumSize(needed);
        }
    }

    QWidget& window_;
    QSize least_;
    bool fixed_;
};

// A window manager frames a window before it maps it; on X11 the frame's size reaches Qt only then,
// after the Show event and maybe after the turn that follows it. When the window is first exposed, it
// is kept, frame and all, within the screen's available area: made smaller where it can be, and
// moved, wherever it was put (a remembered place too), its title bar kept on the screen. A maximised
// or full-screen window is the window manager's to size and place: resizing it takes it out of that
// state on X11, and breaks the protocol on Wayland. One that opens so is fitted when first restored,
// once the window manager has given back its normal size: its normal place was only guessed at.
class OpeningFit : public QObject {
  public:
    static constexpr const char* name = "openingFit";

    explicit OpeningFit(QWidget& window) : QObject(&window), window_(window) {
        setObjectName(QLatin1String(name));
        window.installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &window_) {
            windowEvent(*event);
        } else if (event->type() == QEvent::Expose && isExposed(watched)) {
            watched->removeEventFilter(this);
            fitLater();
        }
        return false;
    }

  private:
    enum class Stage { opening, waitingForRestore, restoring, fitting };

    static bool isEnlarged(Qt::WindowStates state) {
        return state & (Qt::WindowMaximized | Qt::WindowFullScreen);
    }

    // A window manager gives a restored window its normal state and its normal size one after the
    // other, in either order (openbox the state first): the fit waits for both.
    void windowEvent(const QEvent& event) {
        const bool enlarged = isEnlarged(window_.windowState());
        switch (event.type()) {
        case QEvent::Show:
            if (QWindow* handle = window_.windowHandle(); handle && stage_ == Stage::opening) {
                handle->installEventFilter(this);
            }
            break;
        case QEvent::WindowStateChange:
            if (stage_ == Stage::waitingForRestore && !enlarged) {
                if (window_.size() == enlargedSize_) {
                    stage_ = Stage::restoring;
                } else {
                    fitLater();
                }
            }
            break;
        case QEvent::Resize:
            if (stage_ == Stage::waitingForRestore && enlarged) {
                enlargedSize_ = window_.size();
            } else if (stage_ == Stage::restoring && !enlarged) {
                fitLater();
            }
            break;
        default:
            break;
        }
    }

    void fitLater() {
        stage_ = Stage::fitting;
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (isEnlarged(window_.windowState())) {
                    stage_ = Stage::waitingForRestore;
                    enlargedSize_ = window_.size();
                    return;
                }
                fit();
                window_.removeEventFilter(this);
                deleteLater();
            },
            Qt::QueuedConnection);
    }

    // At a fractional scale Qt rounds the frame to whole units, a device pixel short or over: a unit
    // of room keeps the frame's edges, the title bar's top among them, on the screen.
    static QRect withinRounding(const QRect& available, qreal devicePixelRatio) {
        const int room = std::floor(devicePixelRatio) == devicePixelRatio ? 0 : 1;
        return available.marginsRemoved({room, room, room, room});
    }

    static bool isExposed(QObject* watched) {
        const auto* handle = qobject_cast<QWindow*>(watched);
        return handle && handle->isExposed();
    }

    void fit() {
        const QScreen* screen = window_.screen();
        if (!screen) {
            return;
        }
        const QRect available = withinRounding(screen->availableGeometry(), window_.devicePixelRatioF());
        const QSize decoration = window_.frameGeometry().size() - window_.size();
        const QSize fitting =
            window_.size().boundedTo(available.size() - decoration).expandedTo(window_.minimumSize());
        if (fitting != window_.size()) {
            window_.resize(fitting);
        }
        const QRect frame = window_.frameGeometry();
        const QPoint inside = keptWithin(available, frame.topLeft(), frame.size());
        if (inside != frame.topLeft()) {
            window_.move(inside);
        }
    }

    QWidget& window_;
    Stage stage_ = Stage::opening;
    QSize enlargedSize_;
};

} // namespace

qreal textScale() {
    return std::max<qreal>(1, pixelsOf(QGuiApplication::font()) / referencePixels);
}

int scaled(int designPixels) {
    return static_cast<int>(std::lround(designPixels * textScale()));
}

QSize scaled(QSize designPixels) {
    return {scaled(designPixels.width()), scaled(designPixels.height())};
}

QMargins scaled(QMargins designPixels) {
    return {scaled(designPixels.left()), scaled(designPixels.top()), scaled(designPixels.right()),
            scaled(designPixels.bottom())};
}

int fieldWidthFor(const QLineEdit& field, const QString& sample) {
    QStyleOptionFrame frame;
    frame.initFrom(&field);
    frame.lineWidth =
        field.hasFrame() ? field.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, &field) : 0;
    const QFontMetrics metrics = field.fontMetrics();
    // QLineEdit's own side margins and the cursor, as its size hint counts them.
    constexpr int sideMargins = 2 * 2;
    constexpr int cursor = 1;
    const QSize text(metrics.horizontalAdvance(sample) + sideMargins + cursor, metrics.height());
    const QMargins margins = field.textMargins();
    return field.style()->sizeFromContents(QStyle::CT_LineEdit, &frame, text, &field).width() +
           margins.left() + margins.right();
}

void setNumberFieldWidth(QLineEdit& field, int designPixels, const QString& widestValue) {
    field.setFixedWidth(std::max(scaled(designPixels), fieldWidthFor(field, widestValue)));
}

void fixToWidth(QWidget& window, int designWidth) {
    QLayout* layout = window.layout();
    const int width = std::max(scaled(designWidth), layout ? layout->totalMinimumSize().width() : 0);
    window.setFixedSize(width, layout && layout->hasHeightForWidth() ? layout->totalHeightForWidth(width)
                                                                     : window.sizeHint().height());
}

void placePopup(QWidget& popup, const QWidget& anchorWidget) {
    const QRect anchor(anchorWidget.mapToGlobal(QPoint()), anchorWidget.size());
    const QScreen* screen = anchorWidget.screen();
    QPoint place(anchor.right() + 1 - popup.width(), anchor.bottom() + 1);
    if (!screen) {
        popup.move(place);
        return;
    }
    const QRect available = screen->availableGeometry();
    if (place.y() + popup.height() > available.bottom() + 1 &&
        anchor.top() - popup.height() >= available.top()) {
        place.setY(anchor.top() - popup.height());
    }
    popup.move(keptWithin(available, place, popup.size()));
}

QSize fittedToScreen(const QWidget& window, QSize wanted) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen) {
        return wanted;
    }
    // The window manager's frame sits around the size asked for.
    const QRect frame = window.frameGeometry();
    const QSize decoration = window.isVisible() ? frame.size() - window.size() : QSize();
    return wanted.boundedTo(screen->availableGeometry().size() - decoration);
}

QRect placedOnScreen(const QWidget& window, QRect place) {
    const QScreen* screen = QGuiApplication::screenAt(place.center());
    if (!screen) {
        screen = window.screen();
    }
    if (!screen || screen->availableGeometry().contains(place)) {
        return place;
    }
    // The window manager's title bar as Qt guesses it when it restores a place.
    const int titleBar = window.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window);
    const QRect room = screen->availableGeometry().adjusted(0, titleBar, 0, 0);
    place.setSize(place.size().boundedTo(room.size()).expandedTo(window.minimumSize()));
    place.moveTopLeft(keptWithin(room, place.topLeft(), place.size()));
    return place;
}

void resizeToOpen(QWidget& window, QSize designSize) {
    window.resize(fittedToScreen(window, scaled(designSize)).expandedTo(window.minimumSize()));
    keepOnScreen(window);
}

void keepOnScreen(QWidget& window) {
    if (!window.findChild<QObject*>(QLatin1String(OpeningFit::name), Qt::FindDirectChildrenOnly)) {
        new OpeningFit(window); // owned by the window
    }
}

void keepMinimumSize(QWidget& window, QSize least) {
    new MinimumKeeper(window, least, false); // owned by the window
}

void keepFixedSize(QWidget& window, QSize size) {
    new MinimumKeeper(window, size, true); // owned by the window
}

} // namespace burrowlight::sizes
