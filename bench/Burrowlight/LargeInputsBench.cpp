// What large inputs cost the GUI thread, offscreen:
// - archiveReadStall: a 250 MiB archive handed to the running application (a main window's models
//   over 1,000 tunnels open), until its alert is up; `longest_stall_ms` is the longest the event
//   loop went without turning (a 1 ms timer's largest gap), `longest_busy_ms` the GUI thread's own
//   processor time in that gap (what a loaded machine leaves of it), `until_alert_ms` the whole
//   wait; read
//   on the GUI thread as it was, then on a worker;
// - archiveImportStall/N: an archive of N tunnels read, asked about and merged ("Import") among 1,000
//   tunnels of the same names, the main window shown, until the last model followed; the stall then
//   includes the merge, the models, the list's layout and the file's write;
// - startWithManyTunnels: the application started over a tunnels file of 56,000 tunnels of about
//   100 MB: the model (the file read), the tray menu, the main window's models, and the window
//   shown, each on its own.

#include "Burrowlight/Core/AppModel.h"
#include "Burrowlight/Models/MainWindowModel.h"
#include "Burrowlight/Models/TrayMenuModel.h"
#include "Burrowlight/Widgets/MainWindow/MainWindowView.h"
#include "TunnelKit/FileIO.h"
#include "TunnelKit/TunnelStore.h"
#include "bench/BenchFolder.h"
#include "bench/Burrowlight/NoDialogs.h"
#include "bench/Burrowlight/StallMeter.h"

#include <QApplication>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>

using namespace burrowlight;
using tunnelkit::Endpoint;
using tunnelkit::Forward;
using tunnelkit::Tunnel;
using Clock = std::chrono::steady_clock;

namespace {

using bench::Home;

// A team's tunnel, written out in full: jump host, key, three forwards with notes, options, tags
// and a note, about 1.8 kB in the tunnels file.
Tunnel richTunnel(int index) {
    static const std::vector<std::string> roles{"web", "db", "mail", "cache", "ci"};
    static const std::vector<std::string> tags{"prod", "staging", "eu", "us", "team-a", "team-b"};
    const auto& role = roles[static_cast<size_t>(index) % roles.size()];
    Tunnel tunnel = Tunnel::created();
    tunnel.name = role + "-" + std::to_string(index);
    tunnel.host = role + std::to_string(index) + ".internal.example.com";
    tunnel.user = "deploy";
    tunnel.jumpHosts = "bastion.example.com";
    tunnel.identityFile = "~/.ssh/id_ed25519_" + role;
    tunnel.tags = {tags[static_cast<size_t>(index) % tags.size()],
                   tags[static_cast<size_t>(index / 7) % tags.size()]};
    tunnel.note = "Owned by the " + role +
                  " team. Ask in the team channel before restarting anything behind this tunnel; the "
                  "forwards below reach the admin console, the metrics endpoint and the database replica "
                  "used for reports.";
    tunnel.options = {{tunnelkit::Uuid::random(), "ServerAliveInterval", "30"},
                      {tunnelkit::Uuid::random(), "Compression", "yes"}};
    for (int forward = 0; forward < 3; ++forward) {
        tunnel.forwards.push_back(Forward::make(
            tunnelkit::Uuid::random(), Forward::Kind::local, true, Endpoint::tcp("", 8000 + forward),
            Endpoint::tcp(role + "-internal", 80 + forward), "console, metrics or replica of " + role));
    }
    return tunnel.normalized();
}

// As many tunnels as make `bytes` of archive or tunnels file.
std::vector<Tunnel> tunnelsFilling(size_t bytes) {
    const auto perTunnel = tunnelkit::TunnelStore::encode({richTunnel(0)}).size();
    std::vector<Tunnel> tunnels;
    for (size_t index = 0; index < bytes / perTunnel; ++index) {
        tunnels.push_back(richTunnel(static_cast<int>(index)));
    }
    return tunnels;
}

std::vector<Tunnel> tunnelsCounting(int count) {
    std::vector<Tunnel> tunnels;
    for (int index = 0; index < count; ++index) {
        tunnels.push_back(richTunnel(index));
    }
    return tunnels;
}

using bench::NoDialogs;

// Answers every alert with one button, and notes when the first came.
struct AnsweringAlerts : AlertPresenter {
    std::optional<size_t> answer;
    std::optional<Clock::time_point> shownAt;
    std::optional<size_t> run(const Alert&) override {
        shownAt = Clock::now();
        return answer;
    }
};

using bench::StallMeter;

// An application model over the tunnels file, in a folder of its own, terms accepted.
struct Application {
    Home folder;
    AppSettings settings{std::make_unique<QSettings>(QString::fromStdString(folder.file("settings.conf")),
                                                     QSettings::IniFormat)};
    AnsweringAlerts alerts;
    NoDialogs dialogs;
    std::unique_ptr<AppModel> app;

    explicit Application(const std::vector<Tunnel>& stored) {
        (void)tunnelkit::TunnelStore(folder.file("data/com.tolvan.burrowlight/tunnels.json")).save(stored);
        settings.setUsesSSHConfig(false);
        settings.recordTermsAcceptance(QDateTime::currentDateTimeUtc());
    }
    void start() {
        auto parts = AppModel::Parts::ofThisSession();
        parts.homeDirectory = folder.file("home");
        parts.networkMonitor = {};
        app = std::make_unique<AppModel>(settings, alerts, parts);
    }
};

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Hands the archive over from inside the event loop, as a file manager's request arrives, and turns
// the loop until `done`.
void importMeasured(Application& application, const std::string& archive, StallMeter& meter,
                    const std::function<bool()>& done) {
    application.alerts.shownAt.reset();
    meter.start();
    QTimer::singleShot(0, application.app.get(),
                       [&] { application.app->importTunnels(QString::fromStdString(archive)); });
    while (!done()) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    meter.stop();
}

// `onWorker` false reads the file as the application did before: on the GUI thread, alert and all.
void archiveReadStall(benchmark::State& state, bool onWorker) {
    Application application(tunnelsCounting(1000));
    application.start();
    MainWindowModel window(*application.app, application.dialogs);
    const std::string archive = application.folder.file("large.burrowlight");
    (void)tunnelkit::writeFileAtomically(
        archive,
        tunnelkit::TunnelArchive::make(tunnelsFilling(250u << 20), tunnelkit::currentDate()).encoded());
    StallMeter meter;
    for (auto _ : state) {
        const auto start = Clock::now();
        if (onWorker) {
            importMeasured(application, archive, meter,
                           [&] { return application.alerts.shownAt.has_value(); });
        } else {
            meter.start();
            QTimer::singleShot(0, [&] {
                const auto reading = ArchiveImports::Reading::of(QString::fromStdString(archive));
                application.alerts.run(*reading.alert);
            });
            while (!application.alerts.shownAt) {
                QApplication::processEvents(QEventLoop::WaitForMoreEvents);
            }
            QApplication::processEvents();
            meter.stop();
        }
        state.counters["until_alert_ms"] =
            std::chrono::duration<double, std::milli>(*application.alerts.shownAt - start).count();
        state.counters["longest_stall_ms"] = meter.longestMs();
        state.counters["longest_busy_ms"] = meter.longestBusyMs();
        // The worker may still be handing its result back.
        QApplication::processEvents();
    }
    state.counters["archive_MiB"] = static_cast<double>(std::filesystem::file_size(archive)) / (1 << 20);
}
BENCHMARK_CAPTURE(archiveReadStall, onTheGuiThread, false)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(archiveReadStall, onAWorker, true)->Iterations(1)->Unit(benchmark::kMillisecond);

void archiveImportStall(benchmark::State& state) {
    Application application(tunnelsCounting(1000));
    application.start();
    // The window shown: its list lays the rows out, among which the imported ones fall.
    MainWindowView window(*application.app);
    window.resize(1040, 640);
    window.show();
    TrayMenuModel tray(*application.app, {});
    const std::string archive = application.folder.file("team.burrowlight");
    (void)tunnelkit::writeFileAtomically(
        archive, tunnelkit::TunnelArchive::make(tunnelsCounting(static_cast<int>(state.range(0))),
                                                tunnelkit::currentDate())
                     .encoded());
    application.alerts.answer = 0;
    StallMeter meter;
    for (auto _ : state) {
        const auto expected =
            application.app->controller().tunnels().size() + static_cast<size_t>(state.range(0));
        const auto start = Clock::now();
        importMeasured(application, archive, meter,
                       [&] { return application.app->controller().tunnels().size() == expected; });
        state.counters["until_imported_ms"] = msSince(start);
        state.counters["longest_stall_ms"] = meter.longestMs();
        state.counters["longest_busy_ms"] = meter.longestBusyMs();
    }
}
BENCHMARK(archiveImportStall)->Arg(2000)->Arg(20000)->Iterations(1)->Unit(benchmark::kMillisecond);

void startWithManyTunnels(benchmark::State& state) {
    Application application(tunnelsCounting(56000));
    state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(
                                    application.folder.file("data/com.tolvan.burrowlight/tunnels.json"))) /
                                1e6;
    for (auto _ : state) {
        auto start = Clock::now();
        application.start();
        state.counters["model_ms"] = msSince(start);
        start = Clock::now();
        TrayMenuModel tray(*application.app, {});
        state.counters["tray_ms"] = msSince(start);
        start = Clock::now();
        MainWindowView view(*application.app);
        state.counters["window_models_ms"] = msSince(start);
        start = Clock::now();
        view.resize(1040, 640);
        view.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(view.grab());
        state.counters["window_shown_ms"] = msSince(start);
    }
}
BENCHMARK(startWithManyTunnels)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
