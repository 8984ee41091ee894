#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

namespace burrowlight {

class AppModel;
class AppTermination;

// The terms window: the two ticks that enable Accept, and what accepting and quitting do.
class TermsModel : public QObject {
    Q_OBJECT

  public:
    struct Windows {
        // Opens the window of that identifier ("main", "onboarding").
        std::function<void(const QString& identifier)> open;
        // Closes the terms window itself.
        std::function<void()> dismissTerms;
    };

    TermsModel(AppModel& model, AppTermination& termination, Windows windows);

    // The window that follows an acceptance: onboarding until it is completed, then the main
    // window for a user who keeps the taskbar entry (or has no tray to reach the application by).
    static std::optional<QString> windowAfterAcceptance(bool onboardingCompleted, bool showsDockIcon,
                                                        bool trayAvailable);

    bool acceptsTerms() const { return acceptsTerms_; }
    void setAcceptsTerms(bool accepts);
    bool approvesLiability() const { return approvesLiability_; }
    void setApprovesLiability(bool approves);
    bool canAccept() const { return acceptsTerms_ && approvesLiability_; }

    // Records the acceptance, connects the tunnels marked for launch, opens the next window and
    // closes this one. Nothing until both are ticked.
    void accept();
    void quit();
    // The window went away (its close button, or dismissed): before acceptance that quits.
    void closed();
    void readTerms();

  signals:
    void canAcceptChanged(bool canAccept);

  private:
    void update(bool& field, bool value);

    AppModel& model_;
    AppTermination& termination_;
    Windows windows_;
    bool acceptsTerms_ = false;
    bool approvesLiability_ = false;
};

} // namespace burrowlight
