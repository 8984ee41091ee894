#pragma once

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <xcb/xcb.h>

// The few X11 requests the application makes itself, beside Qt's own connection.
namespace burrowlight::xcb {

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename Reply> using ReplyPointer = std::unique_ptr<Reply, FreeReply>;

// Qt's connection to the X server; none on Wayland or offscreen (which answers as X11 too, without
// a connection).
inline xcb_connection_t* connection() {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

inline xcb_atom_t internAtom(xcb_connection_t* connection, const char* name) {
    const ReplyPointer<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

} // namespace burrowlight::xcb
