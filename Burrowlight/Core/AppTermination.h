#pragma once

#include <QObject>
#include <functional>

namespace burrowlight {

// The application's terminate request. As a desktop's own would, it runs the should-terminate step
// at once, which may cancel the quit with a dialog; once the quit is allowed it runs the
// will-terminate step (the tunnels shut down, a relaunch) and ends the event loop. One per process,
// made by the application before its event loop starts.
class AppTermination : public QObject {
    Q_OBJECT

  public:
    struct Steps {
        // False cancels the quit.
        std::function<bool()> shouldTerminate;
        std::function<void()> willTerminate;
    };

    explicit AppTermination(Steps steps);
    ~AppTermination() override;
    AppTermination(const AppTermination&) = delete;
    AppTermination& operator=(const AppTermination&) = delete;

    // The process's one, or none outside the application.
    static AppTermination* instance();

    // True when the quit was cancelled; otherwise the event loop is ending as it returns.
    bool requestTermination();
    // The application's own Quit command: `quitRequestedFromMenu` holds while the request runs.
    bool requestTerminationFromMenu();
    // Termination signals and the end of the session: no dialogs, the tunnels still shut down.
    void terminateNow();

    bool quitRequestedFromMenu() const { return quitRequestedFromMenu_; }
    bool isTerminating() const { return terminating_; }

  private:
    void finish();

    Steps steps_;
    bool quitRequestedFromMenu_ = false;
    bool checking_ = false;
    bool terminating_ = false;
};

} // namespace burrowlight
