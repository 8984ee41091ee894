// What a tunnel with huge fields costs the GUI thread, the main window shown (offscreen, or on the X
// server of tests/support/with-xvfb.sh): its host and name are 100,000 characters and its note
// 200,000 (an archive can hold them), either words with places where a line may break (`/breaks`)
// or one word of a single letter (`/no_breaks`); or its host and note are one letter carrying 200,000
// combining marks (`/marks`). Each step is started from inside the event loop,
// which then turns until the window has settled; `*_stall_ms` is the longest the loop went without
// turning during that step (a 1 ms timer's largest gap), `longest_stall_ms` the longest of all steps:
// - select: the tunnel chosen in the list, its detail made and shown;
// - open_advanced, close_advanced: the Advanced card opened and closed again;
// - type_host, type_note, type_name: one letter typed at the end of the field, and taken back;
// - resize: the window made a pixel wider, with Advanced open.
// And what a crafted note costs the page of a trashed tunnel, shown in the main window: one letter and
// 50,000 combining marks (`marks`), a word of 100,000 letters (`letters`), 10,000 words of ten
// letters (`words`), 10 MB of those words (`megabytes`), 1,000 words of a letter with 900 marks
// and "-b" (`marked_words`), beside a note of one sentence (`brief`):
// - trashed_select: the tunnel chosen in the list, its page made and shown;
// - trashed_resize: the window made a pixel wider or narrower, and laid out again;
// - trashed_paint: the window painted.

#include "Burrowlight/Core/AppModel.h"
#include "Burrowlight/Widgets/Detail/DetailHeader.h"
#include "Burrowlight/Widgets/Detail/TunnelDetail.h"
#include "Burrowlight/Widgets/Editor/AdvancedFields.h"
#include "Burrowlight/Widgets/Editor/HostField.h"
#include "Burrowlight/Widgets/MainWindow/MainWindowView.h"
#include "TunnelKit/TunnelStore.h"
#include "bench/BenchFolder.h"
#include "bench/Burrowlight/StallMeter.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>
#include <QToolButton>
#include <benchmark/benchmark.h>
#include <chrono>

using namespace burrowlight;
using tunnelkit::Endpoint;
using tunnelkit::Forward;
using tunnelkit::Tunnel;

namespace {

using bench::StallMeter;
using Clock = std::chrono::steady_clock;

// As long as the window takes to settle after a step, with room to spare.
constexpr auto settling = std::chrono::milliseconds(400);

std::string repeatedTo(const std::string& piece, size_t length) {
    std::string text;
    text.reserve(length + piece.size());
    while (text.size() < length) {
        text += piece;
    }
    text.resize(length);
    return text;
}

enum class Text { breaks, noBreaks, marks };

std::string carryingMarks(const std::string& letter) {
    std::string text = letter;
    for (int mark = 0; mark < 200'000; ++mark) {
        text += "\u0301";
    }
    return text;
}

Tunnel hugeTunnel(Text text) {
    if (text == Text::marks) {
        Tunnel tunnel = Tunnel::created();
        tunnel.name = "Crafted marks";
        tunnel.host = carryingMarks("h");
        tunnel.note = carryingMarks("a");
        return tunnel;
    }
    const auto filled = [text](const std::string& words, size_t length) {
        return repeatedTo(text == Text::breaks ? words : "h", length);
    };
    Tunnel tunnel = Tunnel::created();
    tunnel.name = filled("Huge fields ", 100'000);
    tunnel.host = filled("node-0042.eu-west.internal.example.com.", 100'000);
    tunnel.user = "deploy";
    tunnel.note = filled("Ask in the team channel before restarting anything behind this tunnel. ", 200'000);
    tunnel.tags = {"prod", "eu"};
    tunnel.forwards.push_back(Forward::make(tunnelkit::Uuid::random(), Forward::Kind::local, true,
                                            Endpoint::tcp("", 8080), Endpoint::tcp("web-internal", 80), ""));
    return tunnel;
}

Tunnel plainTunnel(int index) {
    Tunnel tunnel = Tunnel::created();
    tunnel.name = "web-" + std::to_string(index);
    tunnel.host = "web" + std::to_string(index) + ".example.com";
    return tunnel;
}

struct NoAlerts : AlertPresenter {
    std::optional<size_t> run(const Alert&) override { return std::nullopt; }
};

struct Setup {
    bench::Home folder;
    AppSettings settings{std::make_unique<QSettings>(QString::fromStdString(folder.file("settings.conf")),
                                                     QSettings::IniFormat)};
    NoAlerts alerts;
    std::unique_ptr<AppModel> app;
    Tunnel huge;

    explicit Setup(Tunnel tunnel) : huge(std::move(tunnel)) {
        std::vector<Tunnel> tunnels{huge};
        for (int index = 0; index < 20; ++index) {
            tunnels.push_back(plainTunnel(index));
        }
        (void)tunnelkit::TunnelStore(folder.file("data/com.tolvan.burrowlight/tunnels.json")).save(tunnels);
        settings.setUsesSSHConfig(false);
        settings.recordTermsAcceptance(QDateTime::currentDateTimeUtc());
        auto parts = AppModel::Parts::ofThisSession();
        parts.homeDirectory = folder.file("home");
        parts.networkMonitor = {};
        app = std::make_unique<AppModel>(settings, alerts, parts);
    }
};

// Runs `step` from inside the event loop and turns the loop until the window has settled; the
// longest stall meanwhile. The thread's own processor time in the longest busy stretch of all steps
// is kept in `longestBusy`.
double longestBusy = 0;
double measured(StallMeter& meter, const std::function<void()>& step) {
    meter.start();
    QTimer::singleShot(0, step);
    const auto end = Clock::now() + settling;
    while (Clock::now() < end) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    meter.stop();
    longestBusy = std::max(longestBusy, meter.longestBusyMs());
    return meter.longestMs();
}

void typeInto(QWidget& field, Qt::Key key, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(&field, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(&field, &release);
}

// A letter typed at the end of the field, then taken back: two keystrokes, each measured.
double typedAtEnd(StallMeter& meter, QWidget& field, const std::function<void()>& toEnd) {
    field.setFocus();
    toEnd();
    const double typed = measured(meter, [&] { typeInto(field, Qt::Key_X, QStringLiteral("x")); });
    const double erased = measured(meter, [&] { typeInto(field, Qt::Key_Backspace); });
    return std::max(typed, erased);
}

void selectHugeTunnel(benchmark::State& state, Text text) {
    Setup setup(hugeTunnel(text));
    auto view = makeMainWindowView(*setup.app);
    view->resize(1040, 640);
    view->show();
    // Active, as the window a user types in is: the focus, and what assistive technology hears of it,
    // follow.
    view->activateWindow();
    StallMeter meter;
    measured(meter, [] {});
    for (auto _ : state) {
        longestBusy = 0;
        std::map<std::string, double> stalls;
        stalls["select"] = measured(meter, [&] { view->model().state().setSelection({setup.huge.id}); });
        auto* detail = dynamic_cast<TunnelDetail*>(view->detail().page());
        if (!detail) {
            state.SkipWithError("the tunnel's detail did not show");
            return;
        }
        QToolButton* advanced = nullptr;
        for (auto* button : detail->findChildren<QToolButton*>()) {
            if (button->text() == QLatin1String("Advanced")) {
                advanced = button;
            }
        }
        auto* fields = detail->findChild<AdvancedFields*>();
        auto* host = detail->findChild<HostField*>();
        if (!advanced || !fields || !host) {
            state.SkipWithError("the detail has no Advanced card or host field");
            return;
        }
        stalls["open_advanced"] = measured(meter, [&] { advanced->click(); });
        stalls["type_note"] =
            typedAtEnd(meter, fields->note(), [&] { fields->note().moveCursor(QTextCursor::End); });
        stalls["type_host"] = typedAtEnd(meter, host->edit(), [&] { host->edit().end(false); });
        stalls["type_name"] =
            typedAtEnd(meter, detail->header().nameField(), [&] { detail->header().nameField().end(false); });
        stalls["resize"] = measured(meter, [&] { view->resize(view->width() + 1, view->height()); });
        stalls["close_advanced"] = measured(meter, [&] { advanced->click(); });
        double longest = 0;
        for (const auto& [step, stall] : stalls) {
            state.counters[step + "_stall_ms"] = stall;
            longest = std::max(longest, stall);
        }
        state.counters["longest_stall_ms"] = longest;
        state.counters["longest_busy_ms"] = longestBusy;
        // Back to another tunnel, for the next round.
        measured(meter,
                 [&] { view->model().state().setSelection({setup.app->controller().tunnels()[1].id}); });
    }
    const auto stored = setup.app->controller().tunnel(setup.huge.id);
    state.counters["stored_unchanged"] = stored && stored->name == setup.huge.name &&
                                                 stored->host == setup.huge.host &&
                                                 stored->note == setup.huge.note
                                             ? 1
                                             : 0;
}
BENCHMARK_CAPTURE(selectHugeTunnel, breaks, Text::breaks)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(selectHugeTunnel, no_breaks, Text::noBreaks)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(selectHugeTunnel, marks, Text::marks)->Iterations(1)->Unit(benchmark::kMillisecond);

enum class Note { brief, marks, letters, words, megabytes, markedWords };

Tunnel trashedWith(Note note) {
    Tunnel tunnel = plainTunnel(0);
    tunnel.deletedAt = tunnelkit::currentDate();
    switch (note) {
    case Note::brief:
        tunnel.note = "Ask in the team channel before restarting anything behind this tunnel.";
        break;
    case Note::marks:
        tunnel.note = "a";
        for (int mark = 0; mark < 50'000; ++mark) {
            tunnel.note += "\u0301";
        }
        break;
    case Note::letters:
        tunnel.note = std::string(100'000, 'w');
        break;
    case Note::words:
        tunnel.note = repeatedTo("abcdefghij ", 10'000 * 11);
        break;
    case Note::megabytes:
        tunnel.note = repeatedTo("abcdefghij ", 10'000'000);
        break;
    case Note::markedWords:
        for (int word = 0; word < 1'000; ++word) {
            tunnel.note += "a";
            for (int mark = 0; mark < 900; ++mark) {
                tunnel.note += "\u0301";
            }
            tunnel.note += "-b ";
        }
        break;
    }
    return tunnel;
}

// The main window showing the trashed tunnel's page.
struct TrashedPage {
    Setup setup;
    std::unique_ptr<MainWindowView> view;

    explicit TrashedPage(Note note) : setup(trashedWith(note)), view(makeMainWindowView(*setup.app)) {
        view->resize(1040, 640);
        view->show();
        view->model().state().setSidebar(SidebarItem::trash());
        view->model().state().setSelection({setup.huge.id});
        QApplication::processEvents();
    }
};

void trashedSelect(benchmark::State& state, Note note) {
    TrashedPage page(note);
    for (auto _ : state) {
        state.PauseTiming();
        page.view->model().state().setSelection({});
        QApplication::processEvents();
        state.ResumeTiming();
        page.view->model().state().setSelection({page.setup.huge.id});
        QApplication::processEvents();
    }
}

void trashedResize(benchmark::State& state, Note note) {
    TrashedPage page(note);
    int width = page.view->width();
    for (auto _ : state) {
        width += width % 2 == 0 ? 1 : -1;
        page.view->resize(width, page.view->height());
        QApplication::processEvents();
    }
}

void trashedPaint(benchmark::State& state, Note note) {
    TrashedPage page(note);
    QImage image(page.view->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        page.view->render(&image);
    }
}

const bool registered = [] {
    for (const auto& [name, note] : {std::pair{"brief", Note::brief},
                                     {"marks", Note::marks},
                                     {"letters", Note::letters},
                                     {"words", Note::words},
                                     {"megabytes", Note::megabytes},
                                     {"marked_words", Note::markedWords}}) {
        benchmark::RegisterBenchmark((std::string("trashed_select/") + name).c_str(), trashedSelect, note)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("trashed_resize/") + name).c_str(), trashedResize, note)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("trashed_paint/") + name).c_str(), trashedPaint, note)
            ->Unit(benchmark::kMillisecond);
    }
    return true;
}();

} // namespace
