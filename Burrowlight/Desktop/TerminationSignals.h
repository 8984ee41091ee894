#pragma once

#include "TunnelKit/UniqueFd.h"

#include <QObject>
#include <array>
#include <csignal>
#include <memory>

class QSocketNotifier;

namespace burrowlight {

// SIGTERM, SIGINT and SIGHUP (a closed terminal) as a Qt signal, so that they end the application
// through its orderly shutdown. The handlers only write the signal's number into a pipe that the
// event loop reads: no Qt code runs inside a signal handler, whichever thread takes the signal.
// The handlers are process-wide, so one object at a time; its end restores what it replaced.
class TerminationSignals : public QObject {
    Q_OBJECT

  public:
    static constexpr std::array<int, 3> handledSignals{SIGTERM, SIGINT, SIGHUP};

    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

  signals:
    void terminationRequested(int signalNumber);

  private:
    void readPending();

    tunnelkit::UniqueFd readEnd_;
    tunnelkit::UniqueFd writeEnd_;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::array<struct sigaction, handledSignals.size()> replaced_{};
    bool installed_ = false;
};

} // namespace burrowlight
