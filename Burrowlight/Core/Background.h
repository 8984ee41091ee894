#pragma once

#include <QCoreApplication>
#include <QObject>
#include <QPointer>
#include <QThreadPool>
#include <memory>
#include <optional>
#include <utility>

namespace burrowlight {

// Runs `work` on the application's thread pool and hands its result to `done` on the GUI thread,
// unless `owner` is gone by then. For reads that may be slow (files, child processes), so that the
// window never waits on them. Called on the GUI thread; the application waits for the pool before
// it ends, so the result always finds the application it is posted to.
template <class Work, class Done> void inBackground(const QObject& owner, Work work, Done done) {
    struct Task {
        QPointer<const QObject> owner;
        Work work;
        Done done;
    };
    auto task =
        std::make_shared<Task>(Task{QPointer<const QObject>(&owner), std::move(work), std::move(done)});
    QThreadPool::globalInstance()->start([task] {
        auto result = std::make_shared<decltype(task->work())>(task->work());
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [task, result] {
                if (task->owner) {
                    task->done(std::move(*result));
                }
            },
            Qt::QueuedConnection);
    });
}

// Lets go of a large value on the application's thread pool: freeing a few hundred thousand tunnels
// takes the GUI thread longer than a frame.
template <class Value> void releaseInBackground(Value value) {
    // Emptied on the pool, whichever thread drops the last reference to the holder.
    auto holder = std::make_shared<std::optional<Value>>(std::move(value));
    QThreadPool::globalInstance()->start([holder] { holder->reset(); });
}

} // namespace burrowlight
