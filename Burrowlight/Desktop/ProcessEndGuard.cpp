#include "Burrowlight/Desktop/ProcessEndGuard.h"

#include <QThread>
#include <atomic>
#include <cstdlib>

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
    if (ProcessEndGuard* guard = armed.load()) {
        guard->run();
    }
}

void ProcessEndGuard::run() {
    std::unique_lock lock(mutex_);
    if (QThread::currentThread() != home_.thread()) {
        handOver(lock);
    } else if (stage_ == Stage::ahead) {
        runHere(lock);
    }
    // A report from within the step itself, on the guard's thread, can only go on: waiting there
    // would never end.
}

void ProcessEndGuard::handOver(std::unique_lock<std::mutex>& lock) {
    if (stage_ == Stage::ahead && !handedOver_) {
        handedOver_ = true;
        QMetaObject::invokeMethod(
            &home_,
            [this] {
                std::unique_lock taken(mutex_);
                if (stage_ == Stage::ahead) {
                    runHere(taken);
                }
            },
            Qt::QueuedConnection);
    }
    // The limit is for a guard's thread that never gets to the step; a step under way is waited out.
    if (stageChanged_.wait_for(lock, handOverLimit, [this] { return stage_ != Stage::ahead; })) {
        stageChanged_.wait(lock, [this] { return stage_ == Stage::done; });
    }
}

void ProcessEndGuard::runHere(std::unique_lock<std::mutex>& lock) {
    stage_ = Stage::running;
    stageChanged_.notify_all();
    lock.unlock();
    lastStep_();
    lock.lock();
    stage_ = Stage::done;
    stageChanged_.notify_all();
}

} // namespace burrowlight
