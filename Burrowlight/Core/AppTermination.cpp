#include "Burrowlight/Core/AppTermination.h"

#include <QCoreApplication>

namespace burrowlight {

namespace {

AppTermination* current = nullptr;

} // namespace

AppTermination::AppTermination(Steps steps) : steps_(std::move(steps)) {
    Q_ASSERT(!current);
    current = this;
    // An event loop ended by someone else (the session manager) still shuts the tunnels down.
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
        if (!terminating_) {
            finish();
        }
    });
}

AppTermination::~AppTermination() {
    current = nullptr;
}

AppTermination* AppTermination::instance() {
    return current;
}

bool AppTermination::requestTermination() {
    if (terminating_) {
        return false;
    }
    // A second request while the first one's dialog is up waits for that answer.
    if (checking_) {
        return true;
    }
    checking_ = true;
    const bool allowed = !steps_.shouldTerminate || steps_.shouldTerminate();
    checking_ = false;
    if (terminating_) {
        return false;
    }
    if (!allowed) {
        return true;
    }
    finish();
    return false;
}

bool AppTermination::requestTerminationFromMenu() {
    quitRequestedFromMenu_ = true;
    const bool cancelled = requestTermination();
    quitRequestedFromMenu_ = false;
    return cancelled;
}

void AppTermination::terminateNow() {
    if (!terminating_) {
        finish();
    }
}

void AppTermination::finish() {
    terminating_ = true;
    if (steps_.willTerminate) {
        steps_.willTerminate();
    }
    // Ends every running loop, a dialog's included.
    QCoreApplication::exit(0);
}

} // namespace burrowlight
