#pragma once

#include <QDBusPendingCallWatcher>
#include <QObject>
#include <utility>

namespace burrowlight {

// Hands the finished call to `handle` on the context's thread, from the event loop, once the answer
// (or the error) arrives. The watcher is the context's child: when the context goes first, the
// handler never runs.
template <class Handler> void whenAnswered(const QDBusPendingCall& call, QObject* context, Handler handle) {
    auto* watcher = new QDBusPendingCallWatcher(call, context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context,
                     [watcher, handle = std::move(handle)]() mutable {
                         watcher->deleteLater();
                         handle(*watcher);
                     });
}

} // namespace burrowlight
