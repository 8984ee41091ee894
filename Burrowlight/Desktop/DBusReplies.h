#pragma once

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QObject>
#include <utility>

namespace burrowlight {

// Sends `call` without waiting and hands its answer (the reply, or an error message) to `handle`
// on the context's thread, from the event loop. A bus that is not connected answers too, with an
// error: Qt's own watcher would never report that call finished. The watcher is the context's
// child: when the context goes first, the handler never runs.
template <class Handler>
void callAsync(const QDBusConnection& bus, const QDBusMessage& call, QObject* context, Handler handle) {
    if (!bus.isConnected()) {
        const QDBusMessage error = call.createErrorReply(QDBusError::Disconnected, bus.lastError().message());
        QMetaObject::invokeMethod(
            context, [handle = std::move(handle), error]() mutable { handle(error); }, Qt::QueuedConnection);
        return;
    }
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context,
                     [watcher, handle = std::move(handle)]() mutable {
                         watcher->deleteLater();
                         handle(watcher->reply());
                     });
}

} // namespace burrowlight
