#include "Burrowlight/Widgets/Shell/WindowPlaces.h"

#include "Burrowlight/Core/AppSettings.h"
#include "Burrowlight/Core/SavedGeometry.h"
#include "Burrowlight/Widgets/Shell/XcbReplies.h"
#include "Burrowlight/Widgets/Style/Sizes.h"

#include <QEvent>
#include <QGuiApplication>
#include <algorithm>
#include <optional>

namespace burrowlight {

namespace {

constexpr Qt::WindowStates enlarged = Qt::WindowMaximized | Qt::WindowFullScreen;

// A place a window can have: not empty, its corners no further out than a widget can be large, so
// that sums of its coordinates and sizes stay within int.
bool isUsable(const QRect& place) {
    const auto within = [](int coordinate) {
        return coordinate >= -QWIDGETSIZE_MAX && coordinate <= QWIDGETSIZE_MAX;
    };
    return place.isValid() && within(place.left()) && within(place.top()) && within(place.right()) &&
           within(place.bottom());
}

// Wayland compositors place windows themselves: there a window is given its size alone.
bool placesWindows() {
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

// The place is brought within the screen before the window is first shown, so that no window is
// made larger than a screen (on Wayland a buffer that large fails, and the window with it). The
// opening fit checks it again with the real frame, once the window manager has put one around it.
void put(QWidget& window, const SavedGeometry& saved) {
    Qt::WindowStates state = saved.state;
    // A window of one size is one the window manager doesn't maximise; full screen it would have no
    // title bar to be closed by.
    if (window.minimumSize() == window.maximumSize()) {
        state &= ~enlarged;
    }
    // Qt takes a window's normal place from its geometry as it is maximised.
    window.setWindowState(window.windowState() & ~enlarged);
    const QRect place = sizes::placedOnScreen(window, saved.normal);
    if (placesWindows()) {
        window.setGeometry(place);
    } else {
        window.resize(place.size());
    }
    window.setWindowState(state);
}

// A value that can't be used leaves the window at its default place; the next one it stores is good.
void restore(QWidget& window, const QByteArray& geometry) {
    if (const std::optional<SavedGeometry> saved = readSavedGeometry(geometry);
        saved && isUsable(saved->normal)) {
        put(window, *saved);
    }
}

// Where the window goes in its normal state, at its least size or more: Qt's place for it, or where
// Qt has lost that, `given`, within the screen. Qt grows a window smaller than the least size it is
// given, and a maximised or full-screen one loses its normal place to that; one shown maximised
// keeps a normal place smaller than a least size that grows later.
QRect normalPlace(const QWidget& window, const QRect& given) {
    const QSize least = window.minimumSize();
    if (QRect normal = window.normalGeometry(); isUsable(normal)) {
        normal.setSize(normal.size().expandedTo(least));
        return normal;
    }
    return sizes::placedOnScreen(window, {given.topLeft(), given.size().expandedTo(least)});
}

} // namespace

WindowPlaces::WindowPlaces(AppSettings& settings) : settings_(settings) {}

WindowPlaces::~WindowPlaces() {
    storeShown();
}

void WindowPlaces::storeShown() {
    for (const auto& kept : kept_) {
        if (kept.window && kept.window->isVisible()) {
            store(kept);
        }
    }
}

void WindowPlaces::keep(QWidget& window, const QString& name) {
    std::erase_if(kept_, [](const Kept& kept) { return !kept.window; });
    if (const QByteArray geometry = settings_.windowGeometry(name); !geometry.isEmpty()) {
        restore(window, geometry);
    }
    sizes::keepOnScreen(window);
    window.installEventFilter(this);
    kept_.push_back({&window, name, window.geometry()});
}

bool WindowPlaces::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::Show && type != QEvent::Hide) {
        return false;
    }
    const auto found =
        std::ranges::find(kept_, watched, [](const Kept& kept) -> QObject* { return kept.window.data(); });
    if (found == kept_.end()) {
        return false;
    }
    if (type == QEvent::Show) {
        keepNormalPlace(*found);
    } else {
        store(*found);
    }
    return false;
}

// The main window's least size, which follows the desktop's text, is set as it first shows: one
// maximised over a smaller normal place is given back a normal place before the window manager maps
// it, to be restored to.
void WindowPlaces::keepNormalPlace(const Kept& kept) {
    QWidget& window = *kept.window;
    if (const Qt::WindowStates state = window.windowState();
        state & enlarged && !isUsable(window.normalGeometry())) {
        put(window, {normalPlace(window, kept.given), state});
    }
}

// Qt's normal place is lost too where the least size grows past a window shown maximised, and the
// next launch would take what Qt writes then for no place at all.
void WindowPlaces::store(const Kept& kept) {
    const QWidget& window = *kept.window;
    settings_.setWindowGeometry(kept.name,
                                withNormalPlace(window.saveGeometry(), normalPlace(window, kept.given)));
}

namespace {

using xcb::internAtom;
using xcb::ReplyPointer;

std::vector<xcb_atom_t> atomList(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property) {
    const ReplyPointer<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, property, XCB_ATOM_ATOM, 0, 1024), nullptr));
    if (!reply || reply->format != 32) {
        return {};
    }
    const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
    return {atoms, atoms + xcb_get_property_value_length(reply.get()) / int(sizeof(xcb_atom_t))};
}

bool windowManagerRuns(xcb_connection_t* connection, xcb_window_t root) {
    const ReplyPointer<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection,
        xcb_get_property(connection, 0, root, internAtom(connection, "_NET_SUPPORTING_WM_CHECK"),
                         XCB_ATOM_WINDOW, 0, 1),
        nullptr));
    return reply && xcb_get_property_value_length(reply.get()) > 0;
}

} // namespace

void setShownInTaskbar(QWidget& window, bool shown) {
    xcb_connection_t* connection = xcb::connection();
    if (!connection) {
        return;
    }
    const auto id = xcb_window_t(window.winId());
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const xcb_atom_t state = internAtom(connection, "_NET_WM_STATE");
    const xcb_atom_t skipTaskbar = internAtom(connection, "_NET_WM_STATE_SKIP_TASKBAR");
    if (window.isVisible() && windowManagerRuns(connection, root)) {
        // The window manager owns the state of a mapped window.
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = id;
        message.type = state;
        message.data.data32[0] = shown ? 0 : 1; // remove, add
        message.data.data32[1] = skipTaskbar;
        message.data.data32[3] = 1; // from an application
        xcb_send_event(connection, 0, root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&message));
    } else {
        auto atoms = atomList(connection, id, state);
        std::erase(atoms, skipTaskbar);
        if (!shown) {
            atoms.push_back(skipTaskbar);
        }
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, state, XCB_ATOM_ATOM, 32,
                            uint32_t(atoms.size()), atoms.data());
    }
    xcb_flush(connection);
}

} // namespace burrowlight
