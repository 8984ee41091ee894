#include "Burrowlight/Widgets/Shell/WindowPlaces.h"

#include "Burrowlight/Core/AppSettings.h"
#include "Burrowlight/Widgets/Shell/XcbReplies.h"
#include "Burrowlight/Widgets/Style/Sizes.h"

#include <QDataStream>
#include <QEvent>
#include <algorithm>
#include <optional>

namespace burrowlight {

namespace {

constexpr Qt::WindowStates enlarged = Qt::WindowMaximized | Qt::WindowFullScreen;

// The place the window had in its normal state, as saveGeometry() wrote it: after Qt's mark and
// version, the frame's geometry, then the normal one.
std::optional<QRect> savedNormalGeometry(const QByteArray& geometry) {
    QDataStream stream(geometry);
    stream.setVersion(QDataStream::Qt_4_0);
    constexpr quint32 qtGeometryMark = 0x1D9D0CB;
    quint32 mark = 0;
    quint16 majorVersion = 0;
    quint16 minorVersion = 0;
    QRect frame;
    QRect normal;
    stream >> mark >> majorVersion >> minorVersion >> frame >> normal;
    if (stream.status() != QDataStream::Ok || mark != qtGeometryMark || !normal.isValid()) {
        return std::nullopt;
    }
    return normal;
}

// Qt checks a restored place against its guess of the title bar, its style's and not the window
// manager's, moves it by that guess, and leaves a place partly off the screen as it is. The opening
// fit checks a window that opens in its normal state again, with its real frame; one that opens
// maximised or full screen gets back, when restored, the place it was saved with, kept on the screen.
void restore(QWidget& window, const QByteArray& geometry) {
    if (!window.restoreGeometry(geometry) || !(window.windowState() & enlarged)) {
        return;
    }
    const std::optional<QRect> saved = savedNormalGeometry(geometry);
    const QRect normal = sizes::placedOnScreen(window, saved.value_or(window.normalGeometry()));
    if (normal != window.normalGeometry()) {
        // Qt takes a window's normal place from its geometry as it is maximised.
        const Qt::WindowStates state = window.windowState();
        window.setWindowState(state & ~enlarged);
        window.setGeometry(normal);
        window.setWindowState(state);
    }
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
    // Qt's own check of a restored place guesses the frame: the place is checked again once it is known.
    sizes::keepOnScreen(window);
    window.installEventFilter(this);
    kept_.push_back({&window, name});
}

bool WindowPlaces::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Hide) {
        const auto found = std::ranges::find(kept_, watched,
                                             [](const Kept& kept) -> QObject* { return kept.window.data(); });
        if (found != kept_.end()) {
            store(*found);
        }
    }
    return false;
}

void WindowPlaces::store(const Kept& kept) {
    settings_.setWindowGeometry(kept.name, kept.window->saveGeometry());
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
