#pragma once

// The screenshot program's stage and registry. A window's states are registered where its
// screens are, one definition each:
//
//   BURROWLIGHT_SCREENSHOT("main", "placeholder") {
//       auto& actions = stage.own(std::make_unique<AppActions>());
//       return stage.own(std::make_unique<MainWindowFrame>(actions, makeMainWindowView(stage.model())));
//   }
//
// writes terms-ticked-<en|it>-<light|dark>.png. The body runs once per language and appearance,
// with that language's catalogue installed and that palette set; whatever it makes lives in the
// stage until the picture is taken. It returns the widget to photograph; a window is shown for it.
// A window the user can resize is registered with BURROWLIGHT_RESIZABLE_SCREENSHOT: it is also
// taken at its smallest size, as <window>-<state>-minimum-<lang>-<light|dark>.png.
#include "Burrowlight/Core/AppModel.h"
#include "Burrowlight/Core/AppTermination.h"
#include "TunnelKit/Tunnel.h"

#include <QDateTime>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

namespace screenshots {

// What every screen is built over: the same tunnels and the same moment in every picture.
class Stage {
  public:
    Stage();
    ~Stage();

    // 20 November 2026, 09:41 UTC.
    static QDateTime now();
    static tunnelkit::Date nowDate();
    // Six tunnels as a user keeps them: pinned and tagged, local, remote and SOCKS forwards, a
    // jump host, one without a name and one in Recently Deleted.
    static std::vector<tunnelkit::Tunnel> tunnels();
    // The folder standing in for the user's home; the settings, tunnels file and state of this
    // run live under it, never in the real one.
    static QString home();

    // The application model over the stage's home, holding `tunnels()`. The terms are not accepted
    // yet, so nothing connects; alerts are answered with nothing.
    burrowlight::AppModel& model();
    // Asked to quit, it declines.
    burrowlight::AppTermination& termination();

    // Keeps an object alive until the picture is taken; the last made goes first.
    template <class T> T& own(std::unique_ptr<T> object) {
        T& kept = *object;
        owned_.push_back(std::shared_ptr<void>(std::move(object)));
        return kept;
    }

  private:
    struct Application;

    std::unique_ptr<Application> application_;
    std::vector<std::shared_ptr<void>> owned_;
};

using Build = std::function<QWidget&(Stage& stage)>;

struct Screen {
    QString window;
    QString state;
    Build build;
    bool resizable = false;
    // The same window with short texts where this one has long words: the layout check holds the
    // window to the least size it has with them.
    Build withShortTexts;
};

bool registerScreen(const char* window, const char* state, Build build, bool resizable = false,
                    Build withShortTexts = {});
std::vector<Screen> registeredScreens();

} // namespace screenshots

#define BURROWLIGHT_SCREENSHOT_CONCAT2(a, b) a##b
#define BURROWLIGHT_SCREENSHOT_CONCAT(a, b) BURROWLIGHT_SCREENSHOT_CONCAT2(a, b)
#define BURROWLIGHT_SCREENSHOT_REGISTERED(window, state, resizable)                                          \
    static QWidget& BURROWLIGHT_SCREENSHOT_CONCAT(screenshot_, __LINE__)(::screenshots::Stage & stage);      \
    [[maybe_unused]] static const bool BURROWLIGHT_SCREENSHOT_CONCAT(screenshotRegistered_, __LINE__) =      \
        ::screenshots::registerScreen(window, state, &BURROWLIGHT_SCREENSHOT_CONCAT(screenshot_, __LINE__),  \
                                      resizable);                                                            \
    static QWidget& BURROWLIGHT_SCREENSHOT_CONCAT(screenshot_,                                               \
                                                  __LINE__)([[maybe_unused]] ::screenshots::Stage & stage)
// A resizable window whose texts are words longer than any line, or short ones: the body gets
// `bool longWords` beside the stage, and is taken with long words.
#define BURROWLIGHT_LONG_WORDS_SCREENSHOT(window, state)                                                     \
    static QWidget& BURROWLIGHT_SCREENSHOT_CONCAT(screenshot_, __LINE__)(::screenshots::Stage & stage,       \
                                                                         bool longWords);                    \
    [[maybe_unused]] static const bool BURROWLIGHT_SCREENSHOT_CONCAT(screenshotRegistered_, __LINE__) =      \
        ::screenshots::registerScreen(                                                                       \
            window, state,                                                                                   \
            [](::screenshots::Stage& stage) -> QWidget& {                                                    \
                return BURROWLIGHT_SCREENSHOT_CONCAT(screenshot_, __LINE__)(stage, true);                    \
            },                                                                                               \
            true,                                                                                            \
            [](::screenshots::Stage& stage) -> QWidget& {                                                    \
                return BURROWLIGHT_SCREENSHOT_CONCAT(screenshot_, __LINE__)(stage, false);                   \
            });                                                                                              \
    static QWidget& BURROWLIGHT_SCREENSHOT_CONCAT(screenshot_, __LINE__)(::screenshots::Stage & stage,       \
                                                                         bool longWords)
#define BURROWLIGHT_SCREENSHOT(window, state) BURROWLIGHT_SCREENSHOT_REGISTERED(window, state, false)
#define BURROWLIGHT_RESIZABLE_SCREENSHOT(window, state) BURROWLIGHT_SCREENSHOT_REGISTERED(window, state, true)
