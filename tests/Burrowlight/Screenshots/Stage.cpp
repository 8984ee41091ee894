#include "Screenshots.h"
#include "TunnelKit/TunnelStore.h"

#include <QDir>
#include <QTimeZone>
#include <algorithm>
#include <map>

using namespace tunnelkit;

namespace screenshots {

namespace {

std::vector<Screen>& registry() {
    static std::vector<Screen> screens;
    return screens;
}

Uuid fixedId(uint8_t n) {
    std::array<uint8_t, 16> bytes{};
    bytes[0] = 0xB0;
    bytes[6] = 0x40;
    bytes[8] = 0x80;
    bytes[15] = n;
    return Uuid(bytes);
}

Forward forward(uint8_t id, Forward::Kind kind, Endpoint listen, std::optional<Endpoint> target,
                std::string note = {}) {
    return Forward::make(fixedId(static_cast<uint8_t>(0x80 + id)), kind, true, std::move(listen),
                         std::move(target), std::move(note));
}

Tunnel tunnel(uint8_t id, std::string name, std::string host, std::string user, int daysOld) {
    Tunnel made;
    made.id = fixedId(id);
    made.name = std::move(name);
    made.host = std::move(host);
    made.user = std::move(user);
    made.createdAt = Stage::nowDate() - std::chrono::days(daysOld);
    return made;
}

} // namespace

struct Stage::Application {
    struct NoAnswers : burrowlight::AlertPresenter {
        std::optional<size_t> run(const burrowlight::Alert&) override { return std::nullopt; }
    };

    burrowlight::AppSettings settings{
        std::make_unique<QSettings>(QDir(home()).filePath("burrowlight.conf"), QSettings::IniFormat)};
    NoAnswers alerts;
    burrowlight::AppTermination termination{{.shouldTerminate = [] { return false; }, .willTerminate = {}}};
    std::unique_ptr<burrowlight::AppModel> model;

    Application() {
        settings.setUsesSSHConfig(false);
        auto parts = burrowlight::AppModel::Parts::ofThisSession();
        QDir().mkpath(QString::fromStdString(parts.applicationSupportDirectory));
        tunnelkit::TunnelStore(parts.applicationSupportDirectory + "/tunnels.json").save(tunnels());
        parts.homeDirectory = home().toStdString();
        parts.networkMonitor = {};
        model = std::make_unique<burrowlight::AppModel>(settings, alerts, std::move(parts));
    }
};

Stage::Stage() = default;

Stage::~Stage() {
    while (!owned_.empty()) {
        owned_.pop_back();
    }
}

burrowlight::AppModel& Stage::model() {
    if (!application_) {
        application_ = std::make_unique<Application>();
    }
    return *application_->model;
}

burrowlight::AppTermination& Stage::termination() {
    model();
    return application_->termination;
}

QDateTime Stage::now() {
    return QDateTime(QDate(2026, 11, 20), QTime(9, 41), QTimeZone::utc());
}

Date Stage::nowDate() {
    return Date(std::chrono::milliseconds(now().toMSecsSinceEpoch()));
}

std::vector<Tunnel> Stage::tunnels() {
    auto database = tunnel(1, "Production database", "db.internal.example.com", "deploy", 120);
    database.forwards = {forward(1, Forward::Kind::local, Endpoint::tcp("localhost", 5432),
                                 Endpoint::tcp("localhost", 5432), "PostgreSQL")};
    database.tags = {"databases", "work"};
    database.isPinned = true;
    database.connectsAtLaunch = true;
    database.identityFile = "~/.ssh/id_ed25519";

    auto staging = tunnel(2, "Staging web", "staging.example.com", "ci", 64);
    staging.port = 2222;
    staging.forwards = {forward(2, Forward::Kind::local, Endpoint::tcp("localhost", 8080),
                                Endpoint::tcp("localhost", 80), "Site"),
                        forward(3, Forward::Kind::remote, Endpoint::tcp("", 9000),
                                Endpoint::tcp("localhost", 3000), "Webhooks to my laptop")};
    staging.tags = {"work"};

    auto nas = tunnel(3, "Home NAS", "nas.home.arpa", "anna", 30);
    nas.forwards = {forward(4, Forward::Kind::dynamic, Endpoint::tcp("localhost", 1080), std::nullopt)};
    nas.tags = {"home"};

    auto metrics = tunnel(4, "Grafana through the bastion", "metrics.internal", "anna", 12);
    metrics.jumpHosts = "bastion.example.com";
    metrics.forwards = {forward(5, Forward::Kind::local, Endpoint::tcp("localhost", 3000),
                                Endpoint::tcp("grafana.internal", 3000))};
    metrics.options = {{fixedId(0x40), "ServerAliveInterval", "30"}};
    metrics.note = "Ask ops before changing the jump host.";
    metrics.retryLimit = 5;

    auto unnamed = tunnel(5, "", "192.0.2.15", "", 2);
    unnamed.forwards = {
        forward(6, Forward::Kind::local, Endpoint::tcp("localhost", 6379), Endpoint::tcp("localhost", 6379))};

    auto trashed = tunnel(6, "Old VPN bridge", "vpn.example.org", "anna", 400);
    trashed.forwards = {
        forward(7, Forward::Kind::local, Endpoint::tcp("localhost", 1194), Endpoint::tcp("localhost", 1194))};
    trashed.deletedAt = nowDate() - std::chrono::days(3);

    return {database, staging, nas, metrics, unnamed, trashed};
}

QString Stage::home() {
    return QDir::home().absolutePath();
}

bool registerScreen(const char* window, const char* state, Build build, bool resizable,
                    Build withShortTexts) {
    registry().push_back({QString::fromUtf8(window), QString::fromUtf8(state), std::move(build), resizable,
                          std::move(withShortTexts)});
    return true;
}

std::vector<Screen> registeredScreens() {
    auto screens = registry();
    std::sort(screens.begin(), screens.end(), [](const Screen& a, const Screen& b) {
        return std::tie(a.window, a.state) < std::tie(b.window, b.state);
    });
    return screens;
}

} // namespace screenshots
