// What the log card costs the UI thread while ssh talks: a stand-in ssh writes 10,000 lines in about
// a second (100 every 10 ms), and the card (shown, offscreen, repainted as it goes) follows them
// through the engine and the card's model. The time reported is the UI thread's own CPU time for the
// 10,000 lines, so 10 ms means 1 % of one core at 10,000 lines per second; "engineOnly" and "model"
// tell the engine's and the model's share.

#include "Burrowlight/Core/AppModel.h"
#include "Burrowlight/Models/LogCardModel.h"
#include "Burrowlight/Widgets/Detail/DetailParts.h"
#include "TunnelKit/TunnelStore.h"
#include "bench/BenchFolder.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>

using namespace burrowlight;
using tunnelkit::Tunnel;
using tunnelkit::TunnelState;

namespace {

constexpr int lineCount = 10'000;

double threadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

struct NoAlerts : AlertPresenter {
    std::optional<size_t> run(const Alert&) override { return std::nullopt; }
};

// One application model with one tunnel whose ssh is a script that says `lineCount` lines.
struct Setup {
    bench::Home folder;
    std::unique_ptr<AppSettings> settings;
    NoAlerts alerts;
    std::unique_ptr<AppModel> app;
    Tunnel tunnel = Tunnel::created();

    Setup() {
        const std::string script = folder.file("talkative-ssh");
        // 100 lines every 10 ms: 10,000 lines a second.
        std::ofstream(script) << "#!/bin/sh\nfor first in $(seq 1 100 " << lineCount
                              << "); do seq -f 'line %g' $first $((first + 99)) >&2; sleep 0.01; done\n"
                                 "exec sleep 600\n";
        std::filesystem::permissions(script, std::filesystem::perms::owner_all);
        tunnel.host = "example.invalid";
        (void)tunnelkit::TunnelStore(folder.file("data/com.tolvan.burrowlight/tunnels.json")).save({tunnel});
        settings = std::make_unique<AppSettings>(std::make_unique<QSettings>(
            QString::fromStdString(folder.file("settings.conf")), QSettings::IniFormat));
        auto parts = AppModel::Parts::ofThisSession();
        parts.homeDirectory = folder.file("home");
        parts.networkMonitor = {};
        app = std::make_unique<AppModel>(*settings, alerts, parts);
        const auto connection = app->engine().connection(tunnel.id);
        auto environment = connection->environment();
        environment.builder.executable = script;
        connection->setEnvironment(environment);
    }
};

void waitUntil(const std::function<bool()>& done) {
    while (!done()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

enum class Follower { engineOnly, model, card };

// `engineOnly`: what the engine alone costs for the same lines, to tell the card's share.
void followTenThousandLines(benchmark::State& state, Follower follower) {
    Setup setup;
    const auto connection = setup.app->engine().connection(setup.tunnel.id);
    std::unique_ptr<LogCardModel> model;
    std::unique_ptr<LogCard> card;
    if (follower != Follower::engineOnly) {
        model = std::make_unique<LogCardModel>(setup.app->engine(), connection, *setup.settings);
    }
    if (follower == Follower::card) {
        card = std::make_unique<LogCard>(*model);
        card->resize(700, 260);
        card->show();
    }
    const std::string last = "line " + std::to_string(lineCount);
    for (auto _ : state) {
        const double start = threadSeconds();
        connection->connect();
        waitUntil([&] { return !connection->log().empty() && connection->log().back().text == last; });
        // What is still queued for the card: its repaint.
        QCoreApplication::processEvents();
        state.SetIterationTime(threadSeconds() - start);
        connection->disconnect();
        waitUntil([&] { return connection->state() == TunnelState::disconnected(); });
        connection->clearLog();
    }
    state.counters["lines"] = lineCount;
}

} // namespace

BENCHMARK_CAPTURE(followTenThousandLines, engineOnly, Follower::engineOnly)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(followTenThousandLines, model, Follower::model)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(followTenThousandLines, card, Follower::card)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
