#include "Burrowlight/Desktop/TerminationSignals.h"

#include "Burrowlight/Desktop/AppLog.h"

#include <QPointer>
#include <QSocketNotifier>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace burrowlight {

namespace {

// Read by the handler, so a lock-free atomic: async-signal-safe.
std::atomic<int> signalPipe{-1};
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void forwardSignal(int number) {
    const int savedErrno = errno;
    if (const int fd = signalPipe.load(std::memory_order_relaxed); fd >= 0) {
        const auto byte = static_cast<unsigned char>(number);
        // The pipe does not block: when it is full, the signals already in it will end the run.
        (void)!::write(fd, &byte, 1);
    }
    errno = savedErrno;
}

} // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
        AppLog::app().error(QStringLiteral("Termination signals are not handled: %1")
                                .arg(QString::fromLocal8Bit(std::strerror(errno))));
        return;
    }
    readEnd_.reset(ends[0]);
    writeEnd_.reset(ends[1]);
    signalPipe.store(writeEnd_.get());
    notifier_ = std::make_unique<QSocketNotifier>(readEnd_.get(), QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &TerminationSignals::readPending);

    struct sigaction action {};
    action.sa_handler = forwardSignal;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (size_t index = 0; index < handledSignals.size(); ++index) {
        ::sigaction(handledSignals[index], &action, &replaced_[index]);
    }
    installed_ = true;
}

TerminationSignals::~TerminationSignals() {
    if (installed_) {
        for (size_t index = 0; index < handledSignals.size(); ++index) {
            ::sigaction(handledSignals[index], &replaced_[index], nullptr);
        }
    }
    signalPipe.store(-1);
}

void TerminationSignals::readPending() {
    std::vector<int> numbers;
    unsigned char bytes[64];
    for (ssize_t count; (count = ::read(readEnd_.get(), bytes, sizeof bytes)) > 0;) {
        numbers.insert(numbers.end(), bytes, bytes + count);
    }
    // A handler may end this object (the application quits): nothing of it is used after that.
    const QPointer<TerminationSignals> alive(this);
    for (const int number : numbers) {
        if (!alive) {
            return;
        }
        emit terminationRequested(number);
    }
}

} // namespace burrowlight
