#include "Burrowlight/Core/QtMainQueue.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>
#include <chrono>

namespace burrowlight {

QtMainQueue::QtMainQueue()
    : QtMainQueue([](std::chrono::milliseconds wait, QObject* context, tunnelkit::Job job) {
          QTimer::singleShot(wait, Qt::PreciseTimer, context, std::move(job));
      }) {}

QtMainQueue::QtMainQueue(StartTimer startTimer)
    : context_(std::make_unique<QObject>()), startTimer_(std::move(startTimer)) {}

QtMainQueue::~QtMainQueue() {
    // The last holder may be an ssh reader thread; the context must die on its own thread.
    if (QThread::currentThread() != context_->thread()) {
        context_.release()->deleteLater();
    }
}

void QtMainQueue::post(tunnelkit::Job job) {
    QMetaObject::invokeMethod(
        context_.get(), [job = std::move(job)] { job(); }, Qt::QueuedConnection);
}

void QtMainQueue::schedule(tunnelkit::BootClock::time_point deadline, tunnelkit::Job job) {
    // The context, not the queue: a posted job never outlives the context it is delivered to.
    QObject* context = context_.get();
    post([context, startTimer = startTimer_, deadline, job = std::move(job)]() mutable {
        using namespace std::chrono;
        const auto remaining = ceil<milliseconds>(deadline - tunnelkit::BootClock::now());
        // Qt's timers do not count a suspend; a wake restarts the tunnels, which cancels such waits.
        startTimer(std::max(remaining, milliseconds(0)), context, std::move(job));
    });
}

} // namespace burrowlight
