#pragma once

#include <QObject>
#include <QString>
#include <QWidget>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace burrowlight {

// The application's windows, one of each at most.
enum class WindowId { main, terms, onboarding, settings };
inline constexpr std::array allWindowIds{WindowId::main, WindowId::terms, WindowId::onboarding,
                                         WindowId::settings};
// "main", "terms", "onboarding", "settings".
QString identifier(WindowId id);
std::optional<WindowId> windowIdentified(const QString& identifier);

// What decides which windows open at launch.
struct LaunchFacts {
    bool termsAccepted = false;
    bool onboardingCompleted = false;
    bool showsDockIcon = true; // "Show in the taskbar"
    bool trayAvailable = true;
};

// The terms while they are not accepted; then onboarding until it is completed; then the main
// window for a user who keeps the taskbar entry, or who has no tray to reach the application by.
std::vector<WindowId> windowsAtLaunch(const LaunchFacts& facts);

// Owns the windows by id: makes a window from its factory when it is opened, brings it forward
// when it is open already, and lets it go when it is closed, so that it opens afresh next time.
// Windows that need the terms accepted ("main", "onboarding") bring up the terms window instead
// while they are not.
class WindowRouter : public QObject {
    Q_OBJECT

  public:
    using Factory = std::function<std::unique_ptr<QWidget>()>;

    explicit WindowRouter(std::function<bool()> termsAccepted);
    ~WindowRouter() override;

    void setFactory(WindowId id, Factory factory);
    bool hasFactory(WindowId id) const;

    // Shows the window and brings the application forward with it. The window shown: none for a
    // window without a factory.
    QWidget* open(WindowId id);
    // Closes the window, as its close button would.
    void dismiss(WindowId id);
    void openAtLaunch(const LaunchFacts& facts);

    QWidget* window(WindowId id) const;
    bool isOpen(WindowId id) const { return window(id) != nullptr; }
    bool hasVisibleWindows() const;
    // Brings the application forward: the most recently opened window that is still open.
    void activate();

  signals:
    // Each time a window is shown by `open`, after the terms' test.
    void windowOpened(WindowId id);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    static bool needsTerms(WindowId id) { return id == WindowId::main || id == WindowId::onboarding; }
    void release(WindowId id);
    std::optional<WindowId> idOf(const QObject* window) const;

    std::function<bool()> termsAccepted_;
    std::map<WindowId, Factory> factories_;
    std::map<WindowId, std::unique_ptr<QWidget>> windows_;
    std::vector<WindowId> openingOrder_;
};

} // namespace burrowlight
