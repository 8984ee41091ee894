#include "Burrowlight/Desktop/ProcessEndGuard.h"

#include <QThread>
#include <atomic>
#include <cstdlib>
#include <future>
#include <memory>

namespace burrowlight {

namespace {

std::atomic<ProcessEndGuard*> armed{nullptr};
// Qt's own handler, or whichever was installed before: every message still goes there first.
QtMessageHandler forwarded = nullptr;

void onMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    forwarded(type, context, message);
    if (type != QtDebugMsg && type != QtInfoMsg && ProcessEndGuard::reportsLostDisplay(message)) {
        ProcessEndGuard::runLastStep();
    }
}

extern "C" void atProcessExit() {
    ProcessEndGuard::runLastStep();
}

} // namespace

ProcessEndGuard::ProcessEndGuard(std::function<void()> lastStep) : lastStep_(std::move(lastStep)) {
    // Once per process; made last, it runs before the exit handlers of what was made earlier.
    static const bool registered = std::atexit(atProcessExit) == 0;
    (void)registered;
    armed.store(this);
    forwarded = qInstallMessageHandler(onMessage);
}

ProcessEndGuard::~ProcessEndGuard() {
    ProcessEndGuard* self = this;
    armed.compare_exchange_strong(self, nullptr);
    // A handler installed since, which may hand its messages on to ours, stays.
    if (const QtMessageHandler current = qInstallMessageHandler(forwarded); current != onMessage) {
        qInstallMessageHandler(current);
    }
}

bool ProcessEndGuard::reportsLostDisplay(const QString& message) {
    // The words of Qt's X11 and Wayland platform plugins before they end the process.
    return message.startsWith(QLatin1String("The X11 connection broke")) ||
           message.startsWith(QLatin1String("The Wayland connection broke")) ||
           message.startsWith(QLatin1String("The Wayland connection experienced a fatal error"));
}

void ProcessEndGuard::runLastStep() {
    if (ProcessEndGuard* guard = armed.exchange(nullptr)) {
        guard->run();
    }
}

void ProcessEndGuard::run() {
    if (QThread::currentThread() == home_.thread()) {
        lastStep_();
        return;
    }
    auto done = std::make_shared<std::promise<void>>();
    auto finished = done->get_future();
    QMetaObject::invokeMethod(
        &home_,
        [this, done] {
            lastStep_();
            done->set_value();
        },
        Qt::QueuedConnection);
    (void)finished.wait_for(handOverLimit);
}

} // namespace burrowlight
