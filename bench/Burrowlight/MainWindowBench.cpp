// What the main window costs with 1,000 tunnels, offscreen, each step laid out and painted:
// - loading: the models alone, then the whole content shown;
// - a keystroke and a state change in the models alone, then in the window, each repainted whole
//   (more than the screen repaints: only the changed rows);
// - one keystroke in the search field ("web-1" to "web-12"), and the first one ("" to "w");
// - one connection's state change, in All Tunnels (one row's dataChanged) and in Connected (the row
//   joins the list; the manager's own state stays, so it is the list's reaction that counts).

#include "Burrowlight/Core/AppModel.h"
#include "Burrowlight/Models/MainWindowModel.h"
#include "Burrowlight/Widgets/MainWindow/MainWindowView.h"
#include "TunnelKit/TunnelStore.h"
#include "bench/BenchFolder.h"
#include "bench/Burrowlight/NoDialogs.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>

using namespace burrowlight;
using tunnelkit::Endpoint;
using tunnelkit::Forward;
using tunnelkit::Tunnel;
using tunnelkit::TunnelState;

namespace {

constexpr int tunnelCount = 1000;

using bench::Home;

// Tunnels as a large team keeps them: web, db and mail servers, tags, one to three forwards, a tenth
// pinned.
std::vector<Tunnel> tunnels() {
    const std::vector<std::string> roles{"web", "db", "mail", "cache", "ci"};
    const std::vector<std::string> tags{"prod", "staging", "eu", "us", "team-a", "team-b"};
    std::vector<Tunnel> result;
    for (int index = 0; index < tunnelCount; ++index) {
        Tunnel tunnel = Tunnel::created();
        const auto& role = roles[static_cast<size_t>(index) % roles.size()];
        tunnel.name = role + "-" + std::to_string(index);
        tunnel.host = role + std::to_string(index) + ".example.com";
        tunnel.user = "deploy";
        tunnel.tags = {tags[static_cast<size_t>(index) % tags.size()],
                       tags[static_cast<size_t>(index / 7) % tags.size()]};
        tunnel.isPinned = index % 10 == 0;
        for (int forward = 0; forward <= index % 3; ++forward) {
            tunnel.forwards.push_back(Forward::make(tunnelkit::Uuid::random(), Forward::Kind::local, true,
                                                    Endpoint::tcp("", 8000 + forward),
                                                    Endpoint::tcp(role + "-internal", 80 + forward), ""));
        }
        result.push_back(tunnel.normalized());
    }
    return result;
}

using bench::NoDialogs;

struct NoAlerts : AlertPresenter {
    std::optional<size_t> run(const Alert&) override { return std::nullopt; }
};

// One application model over the tunnels, in a folder of its own.
struct Setup {
    Home folder;
    AppSettings settings{std::make_unique<QSettings>(QString::fromStdString(folder.file("settings.conf")),
                                                     QSettings::IniFormat)};
    NoAlerts alerts;
    NoDialogs dialogs;
    std::unique_ptr<AppModel> app;

    Setup() {
        (void)tunnelkit::TunnelStore(folder.file("data/com.tolvan.burrowlight/tunnels.json")).save(tunnels());
        auto parts = AppModel::Parts::ofThisSession();
        parts.homeDirectory = folder.file("home");
        parts.networkMonitor = {};
        settings.setUsesSSHConfig(false);
        app = std::make_unique<AppModel>(settings, alerts, parts);
    }
};

Setup& setup() {
    static Setup shared;
    return shared;
}

void loadModels(benchmark::State& state) {
    auto& shared = setup();
    for (auto _ : state) {
        MainWindowModel window(*shared.app, shared.dialogs);
        benchmark::DoNotOptimize(window.list().rowCount());
    }
}
BENCHMARK(loadModels)->Unit(benchmark::kMillisecond);

// The models alone: the list follows the search and the states without a view.
void searchKeystrokeInTheModels(benchmark::State& state) {
    auto& shared = setup();
    MainWindowModel window(*shared.app, shared.dialogs);
    window.state().setSearch(QStringLiteral("web-1"));
    bool longer = true;
    for (auto _ : state) {
        window.state().setSearch(longer ? QStringLiteral("web-12") : QStringLiteral("web-1"));
        longer = !longer;
    }
}
BENCHMARK(searchKeystrokeInTheModels)->Unit(benchmark::kMicrosecond);

void stateChangeInTheModels(benchmark::State& state) {
    auto& shared = setup();
    MainWindowModel window(*shared.app, shared.dialogs);
    const auto id = shared.app->controller().tunnels()[tunnelCount / 2].id;
    bool connecting = true;
    for (auto _ : state) {
        emit shared.app->engine().stateChanged(
            id, connecting ? TunnelState::disconnected() : TunnelState::connecting(),
            connecting ? TunnelState::connecting() : TunnelState::disconnected());
        connecting = !connecting;
    }
}
BENCHMARK(stateChangeInTheModels)->Unit(benchmark::kMicrosecond);

// The whole window's content, shown and painted once.
void loadWindow(benchmark::State& state) {
    auto& shared = setup();
    for (auto _ : state) {
        MainWindowView view(*shared.app);
        view.resize(1040, 640);
        view.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(view.grab());
    }
}
BENCHMARK(loadWindow)->Unit(benchmark::kMillisecond);

struct ShownWindow {
    MainWindowView view{*setup().app};
    ShownWindow() {
        view.resize(1040, 640);
        view.show();
        QApplication::processEvents();
    }
    // Until the change is laid out and painted.
    void settle() {
        QApplication::processEvents();
        benchmark::DoNotOptimize(view.grab());
    }
};

void searchKeystroke(benchmark::State& state) {
    ShownWindow window;
    window.view.searchField().setText(QStringLiteral("web-1"));
    window.settle();
    bool longer = true;
    for (auto _ : state) {
        window.view.searchField().setText(longer ? QStringLiteral("web-12") : QStringLiteral("web-1"));
        window.settle();
        longer = !longer;
    }
    state.counters["rows"] = window.view.model().list().rowCount();
}
BENCHMARK(searchKeystroke)->Unit(benchmark::kMicrosecond);

// The first keystroke in an empty field: all 1,000 tunnels searched, most rows go.
void firstKeystroke(benchmark::State& state) {
    ShownWindow window;
    bool typed = false;
    for (auto _ : state) {
        window.view.searchField().setText(typed ? QString() : QStringLiteral("w"));
        window.settle();
        typed = !typed;
    }
}
BENCHMARK(firstKeystroke)->Unit(benchmark::kMicrosecond);

void stateChange(benchmark::State& state, SidebarItem group) {
    ShownWindow window;
    window.view.model().state().setSidebar(group);
    window.settle();
    auto& app = *setup().app;
    const auto id = app.controller().tunnels()[tunnelCount / 2].id;
    bool connecting = true;
    for (auto _ : state) {
        const auto old = connecting ? TunnelState::disconnected() : TunnelState::connecting();
        const auto now = connecting ? TunnelState::connecting() : TunnelState::disconnected();
        // The manager's report of the change, as the bridge passes it on.
        emit app.engine().stateChanged(id, old, now);
        window.settle();
        connecting = !connecting;
    }
}
BENCHMARK_CAPTURE(stateChange, inAllTunnels, SidebarItem::all())->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(stateChange, inConnected, SidebarItem::connected())->Unit(benchmark::kMicrosecond);

} // namespace
