#pragma once

#include "Burrowlight/Core/QtMainQueue.h"

#include <QObject>
#include <QPointer>
#include <memory>
#include <thread>
#include <utility>

namespace burrowlight {

// Runs `work` on a thread of its own and hands its result to `done` on the GUI thread, unless
// `owner` is gone by then. For reads that may be slow (files, child processes, D-Bus), so that the
// window never waits on them. Called on the GUI thread.
template <class Work, class Done> void inBackground(const QObject& owner, Work work, Done done) {
    auto queue = std::make_shared<QtMainQueue>();
    std::thread([queue, owner = QPointer<const QObject>(&owner), work = std::move(work),
                 done = std::move(done)]() mutable {
        auto result = work();
        queue->post([owner = std::move(owner), done = std::move(done), result = std::move(result)]() mutable {
            if (owner) {
                done(std::move(result));
            }
        });
    }).detach();
}

} // namespace burrowlight
