// What scripting costs with 10,000 tunnels, end to end: the real executable on a private session
// bus (run this through tests/support/with-private-buses.sh), each figure beside its anchor:
// - from start to the first D-Bus answer, with 10,000 tunnels in the file and with none;
// - `burrowlight status` of every tunnel, of 10,000 and of one; `status --matching` of 10,000;
// - a call whose argument is a 16 MB name or tag, and the same call with a short one.
// BURROWLIGHT_BENCH_EXECUTABLE names another build's executable to measure instead, so that two
// builds can be set side by side.

#include "Burrowlight/Automation/ScriptTunnels.h"
#include "Burrowlight/Core/AppIdentity.h"
#include "Burrowlight/Core/AppSettings.h"
#include "TempDir.h"
#include "TunnelKit/TunnelStore.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <benchmark/benchmark.h>
#include <csignal>
#include <filesystem>
#include <map>

using namespace burrowlight;
using tunnelkit::Endpoint;
using tunnelkit::Forward;
using tunnelkit::Tunnel;

namespace {

constexpr int manyTunnels = 10'000;
constexpr qsizetype bigArgument = 16 * 1024 * 1024;

QString executable() {
    const QString chosen = qEnvironmentVariable("BURROWLIGHT_BENCH_EXECUTABLE");
    return chosen.isEmpty() ? QStringLiteral(BURROWLIGHT_EXECUTABLE) : chosen;
}

std::vector<Tunnel> tunnels(int count) {
    const std::vector<std::string> roles{"web", "db", "mail", "cache", "ci"};
    const std::vector<std::string> tags{"prod", "staging", "eu", "us", "team-a", "team-b"};
    std::vector<Tunnel> result;
    for (int index = 0; index < count; ++index) {
        Tunnel tunnel = Tunnel::created();
        const auto& role = roles[static_cast<size_t>(index) % roles.size()];
        tunnel.name = role + "-" + std::to_string(index);
        tunnel.host = role + std::to_string(index) + ".example.com";
        tunnel.user = "deploy";
        tunnel.tags = {tags[static_cast<size_t>(index) % tags.size()], "case-" + std::to_string(index % 500)};
        tunnel.isPinned = index % 10 == 0;
        tunnel.forwards.push_back(Forward::make(tunnelkit::Uuid::random(), Forward::Kind::local, true,
                                                Endpoint::tcp("", 8000),
                                                Endpoint::tcp(role + "-internal", 80), ""));
        result.push_back(tunnel.normalized());
    }
    return result;
}

// A home of the application's own with the tunnels, the terms of use accepted and the onboarding
// done: it starts to the tray alone, as it does every day.
class Home {
  public:
    explicit Home(int count) {
        for (const char* name : {"data/com.tolvan.burrowlight", "runtime", "cache", "config", "home"}) {
            std::filesystem::create_directories(folder_.file(name));
        }
        std::filesystem::permissions(folder_.file("runtime"), std::filesystem::perms::owner_all);
        AppSettings settings(std::make_unique<QSettings>(
            QString::fromStdString(folder_.file("config/com.tolvan.burrowlight/burrowlight.conf")),
            QSettings::IniFormat));
        settings.recordTermsAcceptance(QDateTime::currentDateTimeUtc());
        settings.setOnboardingCompleted(true);
        settings.setUsesSSHConfig(false);
        (void)tunnelkit::TunnelStore(folder_.file("data/com.tolvan.burrowlight/tunnels.json"))
            .save(tunnels(count));
    }

    QProcessEnvironment environment() const {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), QString::fromStdString(folder_.file("home")));
        for (const auto& [variable, name] : std::map<QString, std::string>{{"XDG_DATA_HOME", "data"},
                                                                           {"XDG_RUNTIME_DIR", "runtime"},
                                                                           {"XDG_CACHE_HOME", "cache"},
                                                                           {"XDG_CONFIG_HOME", "config"}}) {
            environment.insert(variable, QString::fromStdString(folder_.file(name)));
        }
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        environment.remove(QStringLiteral("LANGUAGE"));
        return environment;
    }

  private:
    testing_support::TempDir folder_;
};

QDBusMessage tunnelsCall(const QString& interface, const QString& method, const QVariantList& arguments) {
    auto call =
        QDBusMessage::createMethodCall(QString::fromLatin1(bundleIdentifier),
                                       QString::fromLatin1(scripting::tunnelsPath), interface, method);
    call.setArguments(arguments);
    return QDBusConnection::sessionBus().call(call, QDBus::Block, 120'000);
}

bool tunnelsAnswer() {
    return tunnelsCall(QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"),
                       {QString::fromLatin1(scripting::tunnelsInterface), QStringLiteral("Tunnels")})
               .type() == QDBusMessage::ReplyMessage;
}

// The application in a home, until it is told to quit.
class Application {
  public:
    explicit Application(const Home& home) {
        process_.setProcessEnvironment(home.environment());
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        timer_.start();
        process_.start(executable(), {});
        while (!tunnelsAnswer()) {
            if (process_.state() == QProcess::NotRunning) {
                throw std::runtime_error("the application ended before it answered");
            }
            QThread::msleep(2);
        }
        untilAnswer_ = timer_.nsecsElapsed();
    }
    ~Application() {
        ::kill(static_cast<pid_t>(process_.processId()), SIGTERM);
        if (!process_.waitForFinished(60'000)) {
            process_.kill();
            process_.waitForFinished();
        }
    }
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    double secondsUntilAnswer() const { return double(untilAnswer_) / 1e9; }

  private:
    QProcess process_;
    QElapsedTimer timer_;
    qint64 untilAnswer_ = 0;
};

// The one application running for the benchmarks that only call it: one instance at a time holds
// the name.
struct Running {
    int count = -1;
    std::unique_ptr<Home> home;
    std::unique_ptr<Application> application;
};
Running running;

void runWith(int count) {
    if (running.count == count) {
        return;
    }
    running.application.reset();
    running.home = std::make_unique<Home>(count);
    running.application = std::make_unique<Application>(*running.home);
    running.count = count;
}

void firstAnswerAfterStart(benchmark::State& state) {
    running = {};
    const Home home(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const Application application(home);
        state.SetIterationTime(application.secondsUntilAnswer());
    }
}
BENCHMARK(firstAnswerAfterStart)
    ->Arg(0)
    ->Arg(manyTunnels)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void status(benchmark::State& state, const QStringList& arguments) {
    runWith(static_cast<int>(state.range(0)));
    int lines = 0;
    for (auto _ : state) {
        QProcess command;
        command.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
        command.start(executable(), arguments);
        command.waitForFinished(120'000);
        lines = static_cast<int>(command.readAllStandardOutput().count('\n'));
    }
    state.counters["lines"] = lines;
}
BENCHMARK_CAPTURE(status, everyTunnel, QStringList{"status"})
    ->Arg(1)
    ->Arg(manyTunnels)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(status, matching, QStringList{"status", "--matching", "WEB-1"})
    ->Arg(manyTunnels)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// A call whose string argument names nothing the application knows, refused with an error.
void callWith(benchmark::State& state, const QString& method, const QString& error) {
    runWith(manyTunnels);
    const QString argument(state.range(0) == 0 ? 16 : bigArgument, QLatin1Char('x'));
    const QVariantList arguments =
        method == QLatin1String("Disconnect")        ? QVariantList{QStringList(), argument}
        : method == QLatin1String("GetTunnelStatus") ? QVariantList{QStringList{argument}}
                                                     : QVariantList{argument};
    for (auto _ : state) {
        const QDBusMessage reply =
            tunnelsCall(QString::fromLatin1(scripting::tunnelsInterface), method, arguments);
        if (reply.errorName() != error) {
            state.SkipWithError(qPrintable(QStringLiteral("answered ") + reply.errorName()));
        }
    }
}
const QString noSuchTunnel = QStringLiteral("com.tolvan.burrowlight.Error.NoSuchTunnel");
BENCHMARK_CAPTURE(callWith, name, QStringLiteral("GetTunnelStatus"), noSuchTunnel)
    ->ArgName("big")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(callWith, tag, QStringLiteral("Disconnect"), noSuchTunnel)
    ->ArgName("big")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
// The floor: the bus and Qt's own thread carry the argument and refuse the method before the
// application sees it.
BENCHMARK_CAPTURE(callWith, unknownMethod, QStringLiteral("NoSuchMethod"),
                  QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod"))
    ->ArgName("big")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    if (qEnvironmentVariableIsEmpty("BURROWLIGHT_PRIVATE_BUSES")) {
        std::fputs(
            "Run through tests/support/with-private-buses.sh: this starts the application on the bus.\n",
            stderr);
        return 2;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    running = {};
    benchmark::Shutdown();
    return 0;
}
