// The main window: twelve tunnels in mixed states (connected, connecting, retrying, failed,
// disconnecting, off), tags, one pinned, one in Recently Deleted, one with unsaved changes; the
// groups, a selection of several, the new tunnel, the search, the menus, the deletion alert, the
// tag prompt, the empty states, and a tag and a tunnel whose names are longer than their room.
#include "Burrowlight/Core/AppModel.h"
#include "Burrowlight/Core/Texts/MainWindowTexts.h"
#include "Burrowlight/Widgets/Detail/TunnelDetail.h"
#include "Burrowlight/Widgets/Editor/AdvancedFields.h"
#include "Burrowlight/Widgets/Editor/EditorSections.h"
#include "Burrowlight/Widgets/Editor/OptionsList.h"
#include "Burrowlight/Widgets/MainWindow/MainWindowView.h"
#include "Burrowlight/Widgets/Shell/MainWindowFrame.h"
#include "Burrowlight/Widgets/Shell/MessageBoxAlerts.h"
#include "Burrowlight/Widgets/Shell/VerbatimText.h"
#include "LiveServer.h"
#include "Screenshots.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <map>

using namespace burrowlight;
using tunnelkit::Endpoint;
using tunnelkit::Forward;
using tunnelkit::Tunnel;
using tunnelkit::TunnelState;
using tunnelkit::Uuid;

namespace {

Uuid screenId(uint8_t n) {
    std::array<uint8_t, 16> bytes{};
    bytes[0] = 0xB1;
    bytes[6] = 0x40;
    bytes[8] = 0x80;
    bytes[15] = n;
    return Uuid(bytes);
}

Tunnel made(uint8_t id, std::string name, std::string host, std::vector<std::string> tags, Forward forward) {
    Tunnel tunnel;
    tunnel.id = screenId(id);
    tunnel.name = std::move(name);
    tunnel.host = std::move(host);
    tunnel.user = "anna";
    tunnel.tags = std::move(tags);
    tunnel.forwards = {std::move(forward)};
    tunnel.createdAt = screenshots::Stage::nowDate() - std::chrono::days(id);
    return tunnel;
}

Forward local(uint8_t id, int port, std::string host, int targetPort) {
    return Forward::make(screenId(static_cast<uint8_t>(0x80 + id)), Forward::Kind::local, true,
                         Endpoint::tcp("localhost", port), Endpoint::tcp(std::move(host), targetPort), "");
}

// Six more beside the stage's six: twelve in all.
std::vector<Tunnel> moreTunnels() {
    return {made(1, "Jenkins", "ci.example.com", {"ci", "work"}, local(1, 8081, "localhost", 8080)),
            made(2, "Mail relay", "mail.example.com", {"work"},
                 Forward::make(screenId(0x82), Forward::Kind::remote, true, Endpoint::tcp("", 2525),
                               Endpoint::tcp("localhost", 25), "")),
            made(3, "Kubernetes API", "k8s-bastion.example.com", {"k8s", "work"},
                 local(3, 6443, "kubernetes.default", 443)),
            made(4, "Raspberry Pi", "pi.home.arpa", {"home"}, local(4, 8123, "localhost", 8123)),
            made(5, "Analytics warehouse", "warehouse.example.com", {"databases"},
                 local(5, 5439, "warehouse.internal", 5439)),
            made(6, "Customer demo", "demo.example.net", {},
                 Forward::make(screenId(0x86), Forward::Kind::remoteDynamic, true, Endpoint::tcp("", 1080),
                               std::nullopt, ""))};
}

// Where each tunnel stands in the pictures, by name; the others are off.
WindowSources fixedSources(AppModel& app) {
    const std::map<std::string, TunnelState> states{
        {"Production database",
         TunnelState::connected(screenshots::Stage::nowDate() - std::chrono::hours(3))},
        {"Staging web", TunnelState::connecting()},
        {"Home NAS", TunnelState::connected(screenshots::Stage::nowDate() - std::chrono::minutes(20))},
        {"Grafana through the bastion",
         TunnelState::retrying(2, screenshots::Stage::nowDate() + std::chrono::seconds(12))},
        {"", TunnelState::failed()},
        {"Jenkins", TunnelState::connected(screenshots::Stage::nowDate() - std::chrono::days(1))},
        {"Kubernetes API", TunnelState::disconnecting()},
        {"Analytics warehouse", TunnelState::connected(screenshots::Stage::nowDate())},
    };
    return {screenshots::Stage::nowDate,
            [&app, states](const Uuid& id) {
                const auto tunnel = app.controller().tunnel(id);
                const auto found = tunnel ? states.find(tunnel->name) : states.end();
                return found == states.end() ? TunnelState::disconnected() : found->second;
            },
            [&app](const Uuid& id) -> std::optional<tunnelkit::TunnelProblem> {
                const auto tunnel = app.controller().tunnel(id);
                if (tunnel && tunnel->name == "Grafana through the bastion") {
                    return tunnelkit::TunnelProblem{tunnelkit::TunnelProblem::SSH{
                        tunnelkit::SSHFailure{tunnelkit::SSHFailure::TimedOut{}}}};
                }
                if (tunnel && tunnel->name.empty()) {
                    return tunnelkit::TunnelProblem{tunnelkit::TunnelProblem::SSH{
                        tunnelkit::SSHFailure{tunnelkit::SSHFailure::ConnectionRefused{}}}};
                }
                return std::nullopt;
            },
            // The Connected count follows the fixed states.
            {}};
}

Uuid idNamed(AppModel& app, const std::string& name) {
    for (const auto& tunnel : app.controller().tunnels()) {
        if (tunnel.name == name) {
            return tunnel.id;
        }
    }
    return {};
}

struct Window {
    MainWindowFrame& frame;
    MainWindowView& view;
};

// The main window over the stage's tunnels and six more, at its first size.
Window mainWindow(screenshots::Stage& stage, bool withTunnels = true,
                  std::unique_ptr<DetailFactory> details = nullptr,
                  std::optional<WindowSources> sources = std::nullopt) {
    AppModel& app = stage.model();
    if (withTunnels) {
        for (const auto& tunnel : moreTunnels()) {
            app.controller().save(tunnel);
        }
    } else {
        std::vector<Uuid> all;
        for (const auto& tunnel : app.controller().tunnels()) {
            all.push_back(tunnel.id);
        }
        app.controller().deletePermanently(all);
    }
    auto& actions = stage.own(std::make_unique<AppActions>());
    MainWindowParts parts;
    parts.sources = sources ? *sources : fixedSources(app);
    parts.details = std::move(details);
    auto content = std::make_unique<MainWindowView>(app, std::move(parts));
    MainWindowView& view = *content;
    auto& frame = stage.own(std::make_unique<MainWindowFrame>(actions, std::move(content)));
    frame.show();
    frame.activateWindow();
    return {frame, view};
}

void select(Window& window, std::initializer_list<const char*> names) {
    TunnelIds ids;
    for (const char* name : names) {
        ids.insert(idNamed(window.view.model().app(), name));
    }
    window.view.model().state().setSelection(ids);
    window.view.list().view().setFocus();
}

// A draft of "Staging web" with a change not saved yet.
void editStaging(AppModel& app) {
    const auto id = idNamed(app, "Staging web");
    auto draft = app.drafts().draft(id, app.controller().tunnel(id));
    app.drafts().registerDraft(draft);
    draft->editTunnel([](Tunnel& tunnel) { tunnel.note = "Moving to the new cluster"; });
}

} // namespace

BURROWLIGHT_RESIZABLE_SCREENSHOT("main", "tunnels") {
    Window window = mainWindow(stage);
    editStaging(stage.model());
    select(window, {"Production database"});
    return window.frame;
}

BURROWLIGHT_RESIZABLE_SCREENSHOT("main", "several") {
    Window window = mainWindow(stage);
    select(window, {"Home NAS", "Jenkins", "Raspberry Pi"});
    return window.frame;
}

BURROWLIGHT_RESIZABLE_SCREENSHOT("main", "tag") {
    Window window = mainWindow(stage);
    window.view.model().state().setSidebar(SidebarItem::tagged("work"));
    select(window, {"Kubernetes API"});
    return window.frame;
}

BURROWLIGHT_RESIZABLE_SCREENSHOT("main", "new-tunnel") {
    Window window = mainWindow(stage);
    editStaging(stage.model());
    window.view.model().createNewTunnel();
    window.view.list().view().setFocus();
    return window.frame;
}

BURROWLIGHT_RESIZABLE_SCREENSHOT("main", "trash") {
    Window window = mainWindow(stage);
    window.view.model().state().setSidebar(SidebarItem::trash());
    select(window, {"Old VPN bridge"});
    return window.frame;
}

BURROWLIGHT_RESIZABLE_SCREENSHOT("main", "search") {
    Window window = mainWindow(stage);
    window.view.searchField().setText(QStringLiteral("web"));
    window.view.searchField().setFocus();
    return window.frame;
}

BURROWLIGHT_RESIZABLE_SCREENSHOT("main", "no-results") {
    Window window = mainWindow(stage);
    window.view.searchField().setText(QStringLiteral("oracle"));
    return window.frame;
}

BURROWLIGHT_RESIZABLE_SCREENSHOT("main", "empty") {
    return mainWindow(stage, false).frame;
}

BURROWLIGHT_RESIZABLE_SCREENSHOT("main", "pinned-empty") {
    Window window = mainWindow(stage, false);
    window.view.model().state().setSidebar(SidebarItem::pinned());
    return window.frame;
}

BURROWLIGHT_RESIZABLE_SCREENSHOT("main", "connected-empty") {
    Window window = mainWindow(stage, false);
    window.view.model().state().setSidebar(SidebarItem::connected());
    return window.frame;
}

BURROWLIGHT_RESIZABLE_SCREENSHOT("main", "trash-empty") {
    Window window = mainWindow(stage, false);
    window.view.model().state().setSidebar(SidebarItem::trash());
    return window.frame;
}

BURROWLIGHT_SCREENSHOT("main", "context-menu") {
    Window window = mainWindow(stage);
    select(window, {"Home NAS", "Grafana through the bastion"});
    auto& menu = stage.own(std::make_unique<QMenu>());
    window.view.list().fillContextMenu(menu, window.view.model().state().selection());
    menu.popup(window.frame.mapToGlobal(QPoint(420, 200)));
    return menu;
}

BURROWLIGHT_SCREENSHOT("main", "tag-menu") {
    Window window = mainWindow(stage);
    auto& menu = stage.own(std::make_unique<QMenu>());
    window.view.sidebar().fillTagMenu(menu, "work");
    menu.popup(window.frame.mapToGlobal(QPoint(120, 200)));
    return menu;
}

BURROWLIGHT_SCREENSHOT("main", "delete-alert") {
    Window window = mainWindow(stage);
    auto box = MessageBoxAlerts::makeBox(texts::deletePermanentlyAlert(1, QStringLiteral("Old VPN bridge")),
                                         &window.frame);
    return stage.own(std::move(box.box));
}

BURROWLIGHT_SCREENSHOT("main", "rename-tag") {
    Window window = mainWindow(stage);
    // What a rename to nothing looks like: the button stays off.
    TextPrompt prompt = window.view.model().renameTagPrompt("work");
    prompt.text = QStringLiteral(" , ,");
    return stage.own(std::make_unique<TextPromptDialog>(prompt, &window.frame));
}

// The tunnel detail: connected, with a forward of every kind, without forwards, retrying with its
// countdown and problem, the first new tunnel of a fresh profile, a new tunnel showing its problems,
// and trashed tunnels with and without forwards.
namespace {

Window detailWindow(screenshots::Stage& stage, bool withTunnels = true,
                    std::optional<WindowSources> sources = std::nullopt) {
    auto& sections = stage.own(std::make_unique<EditorSections>());
    return mainWindow(stage, withTunnels, std::make_unique<TunnelDetails>(&sections), std::move(sources));
}

// Changes the stored tunnel of that name.
void change(AppModel& app, const std::string& name, const std::function<void(Tunnel&)>& edit) {
    auto tunnel = app.controller().tunnel(idNamed(app, name));
    edit(*tunnel);
    app.controller().save(*tunnel);
}

} // namespace

BURROWLIGHT_RESIZABLE_SCREENSHOT("detail", "connected") {
    Window window = detailWindow(stage);
    select(window, {"Production database"});
    return window.frame;
}

// Who can connect and what is reached, named, as long as they come.
BURROWLIGHT_RESIZABLE_SCREENSHOT("detail", "every-forward") {
    Window window = detailWindow(stage);
    change(stage.model(), "Analytics warehouse", [](Tunnel& tunnel) {
        tunnel.forwards = {
            Forward::make(screenId(0x90), Forward::Kind::local, true, Endpoint::tcp("192.168.1.20", 5439),
                          Endpoint::tcp("warehouse-replica.internal.example.com", 5439), "Warehouse replica"),
            Forward::make(screenId(0x91), Forward::Kind::remote, true, Endpoint::tcp("", 9000),
                          Endpoint::tcp("localhost", 3000), "Webhooks to my laptop"),
            Forward::make(screenId(0x92), Forward::Kind::dynamic, true, Endpoint::tcp("localhost", 1080),
                          std::nullopt, "Browser proxy"),
            Forward::make(screenId(0x93), Forward::Kind::remoteDynamic, false, Endpoint::tcp("", 1081),
                          std::nullopt, ""),
        };
    });
    select(window, {"Analytics warehouse"});
    return window.frame;
}

BURROWLIGHT_RESIZABLE_SCREENSHOT("detail", "no-forwards") {
    Window window = detailWindow(stage);
    change(stage.model(), "Home NAS", [](Tunnel& tunnel) { tunnel.forwards.clear(); });
    select(window, {"Home NAS"});
    return window.frame;
}

// The first New Tunnel of a fresh profile.
BURROWLIGHT_RESIZABLE_SCREENSHOT("detail", "new") {
    Window window = detailWindow(stage, false);
    window.view.model().createNewTunnel();
    return window.frame;
}

BURROWLIGHT_RESIZABLE_SCREENSHOT("detail", "retrying") {
    Window window = detailWindow(stage);
    select(window, {"Grafana through the bastion"});
    return window.frame;
}

BURROWLIGHT_RESIZABLE_SCREENSHOT("detail", "new-problems") {
    Window window = detailWindow(stage);
    window.view.model().createNewTunnel();
    auto draft = stage.model().drafts().newTunnel();
    draft->editTunnel([](Tunnel& tunnel) {
        tunnel.name = "Reporting";
        tunnel.host = "reports.example.com";
    });
    draft->setPort(QStringLiteral("99999"));
    draft->setShowsProblems(true);
    return window.frame;
}

BURROWLIGHT_RESIZABLE_SCREENSHOT("detail", "unsaved") {
    Window window = detailWindow(stage);
    editStaging(stage.model());
    select(window, {"Staging web"});
    return window.frame;
}

BURROWLIGHT_RESIZABLE_SCREENSHOT("detail", "trashed") {
    Window window = detailWindow(stage);
    // A forward to a long server, with a long name, wraps instead of widening the page.
    change(stage.model(), "Old VPN bridge", [](Tunnel& tunnel) {
        tunnel.forwards.push_back(Forward::make(
            screenId(0x94), Forward::Kind::local, true, Endpoint::tcp("localhost", 8443),
            Endpoint::tcp("admin-console.customer-production.eu-west-1.internal.example.com", 443),
            "Administration console of the customer production environment in Ireland"));
    });
    window.view.model().state().setSidebar(SidebarItem::trash());
    select(window, {"Old VPN bridge"});
    return window.frame;
}

BURROWLIGHT_RESIZABLE_SCREENSHOT("detail", "trashed-no-forwards") {
    Window window = detailWindow(stage);
    change(stage.model(), "Old VPN bridge", [](Tunnel& tunnel) {
        tunnel.forwards.clear();
        tunnel.note = "Replaced by the WireGuard link in March; kept until the audit is over.";
    });
    window.view.model().state().setSidebar(SidebarItem::trash());
    select(window, {"Old VPN bridge"});
    return window.frame;
}

// Names longer than the room they get: a tag and a tunnel as a customer's fleet names them, the tag
// chosen in the sidebar and the tunnel selected.
namespace {

constexpr const char* longTag = "customer-production-environment-eu-west-1";
constexpr const char* longName =
    "Customer production — EU West 1 reporting replica (read-only, ask the data team)";

Tunnel longNamed() {
    Tunnel tunnel = made(7, longName, "replica-01.customer-production.eu-west-1.rds.internal.example.com",
                         {longTag, "databases"},
                         Forward::make(screenId(0x87), Forward::Kind::dynamic, true,
                                       Endpoint::tcp("localhost", 1090), std::nullopt, "Reporting proxy"));
    tunnel.user = "reporting";
    tunnel.identityFile = "~/.ssh/customer-production-eu-west-1-reporting-replica_ed25519";
    tunnel.isPinned = true;
    return tunnel;
}

} // namespace

BURROWLIGHT_RESIZABLE_SCREENSHOT("main", "long-names") {
    Window window = detailWindow(stage);
    stage.model().controller().save(longNamed());
    window.view.model().state().setSidebar(SidebarItem::tagged(longTag));
    select(window, {longName});
    return window.frame;
}

// A name, a server, a forward and a note of one word each, longer than any line, as a fleet's
// generated names come: they break between their letters, live and deleted, and the window keeps
// the least size it has with short texts.
namespace {

std::string wordOf(const std::string& syllable, size_t length) {
    std::string word;
    while (word.size() < length) {
        word += syllable;
    }
    return word.substr(0, length);
}

Tunnel wordy(bool longWords) {
    const std::string name = longWords ? wordOf("Reportingreplica", 150) : "Reporting replica";
    const std::string host =
        longWords ? wordOf("reporting.db1.prod.eu.internal.corporationname", 138) + ".example.com"
                  : "db1.example.com";
    const std::string note = longWords ? wordOf("Readonlyreplicaofthewarehouse", 150) : "Read-only.";
    Tunnel tunnel = made(8, name, host, {"databases"},
                         Forward::make(screenId(0x88), Forward::Kind::local, true,
                                       Endpoint::tcp("localhost", 5433), Endpoint::tcp(host, 5432), note));
    tunnel.note = note;
    return tunnel;
}

} // namespace

BURROWLIGHT_LONG_WORDS_SCREENSHOT("main", "long-words") {
    Window window = detailWindow(stage);
    const Tunnel tunnel = wordy(longWords);
    stage.model().controller().save(tunnel);
    select(window, {tunnel.name.c_str()});
    return window.frame;
}

BURROWLIGHT_LONG_WORDS_SCREENSHOT("main", "long-words-trashed") {
    Window window = detailWindow(stage);
    const Tunnel tunnel = wordy(longWords);
    stage.model().controller().save(tunnel);
    stage.model().controller().moveToTrash({tunnel.id});
    window.view.model().state().setSidebar(SidebarItem::trash());
    select(window, {tunnel.name.c_str()});
    return window.frame;
}

// Connected to a real sshd through the real ssh: the session's facts and the log as ssh wrote them,
// for each kind of server key, with a forward of every kind and options of every kind.
namespace {

// Keeps the detail scrolled to a part of it, its heading above it in view, at whatever size the
// window takes.
class KeptInView : public QObject {
  public:
    KeptInView(QScrollArea& detail, QWidget& part) : detail_(detail), part_(part) {
        detail.widget()->installEventFilter(this);
        scroll();
    }

  protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        if (event->type() == QEvent::Resize) {
            QTimer::singleShot(0, this, &KeptInView::scroll);
        }
        return false;
    }

  private:
    void scroll() { detail_.verticalScrollBar()->setValue(part_.mapTo(detail_.widget(), QPoint()).y() - 40); }

    QScrollArea& detail_;
    QWidget& part_;
};

QScrollArea& detailScroll(Window& window) {
    return *window.frame.findChild<TunnelDetail*>()->findChild<QScrollArea*>();
}

// The card of the first fact from ssh shown, a text named after its caption: the Session card's.
QWidget& sessionFacts(Window& window) {
    for (auto* text : detailScroll(window).widget()->findChildren<VerbatimText*>()) {
        if (text->isVisibleTo(window.frame.window()) && !text->accessibleName().isEmpty()) {
            return *text->parentWidget();
        }
    }
    return *detailScroll(window).widget();
}

// The SSH Command: the last text from ssh.
QWidget& sshCommand(Window& window) {
    return *detailScroll(window).widget()->findChildren<VerbatimText*>().constLast();
}

void keepInView(screenshots::Stage& stage, Window& window, QWidget& part) {
    stage.own(std::make_unique<KeptInView>(detailScroll(window), part));
}

Window liveDetailWindow(screenshots::Stage& stage, const std::string& hostKeyAlgorithm, bool opensAdvanced) {
    screenshots::connectLiveTunnel(stage.model(), "Warehouse replica", hostKeyAlgorithm);
    Window window = detailWindow(stage, true, WindowSources::of(stage.model().controller()));
    select(window, {"Warehouse replica"});
    QApplication::processEvents();
    if (opensAdvanced) {
        auto* fields = window.frame.findChild<AdvancedFields*>();
        fields->parentWidget()
            ->findChild<QToolButton*>(QString(), Qt::FindDirectChildrenOnly)
            ->setChecked(true);
    }
    return window;
}

} // namespace

// Scrolled to the Session card, the Advanced card open below it.
BURROWLIGHT_RESIZABLE_SCREENSHOT("detail", "session-ecdsa-advanced") {
    Window window = liveDetailWindow(stage, "ecdsa-sha2-nistp256", true);
    keepInView(stage, window, sessionFacts(window));
    return window.frame;
}

BURROWLIGHT_RESIZABLE_SCREENSHOT("detail", "session-rsa") {
    Window window = liveDetailWindow(stage, "rsa-sha2-512", false);
    keepInView(stage, window, sessionFacts(window));
    return window.frame;
}

// The Advanced card scrolled to its options, one of every kind.
BURROWLIGHT_RESIZABLE_SCREENSHOT("detail", "options") {
    Window window = liveDetailWindow(stage, "ssh-ed25519", true);
    keepInView(stage, window, *window.frame.findChild<OptionsList*>());
    return window.frame;
}

BURROWLIGHT_RESIZABLE_SCREENSHOT("detail", "ssh-command") {
    Window window = liveDetailWindow(stage, "ssh-ed25519", true);
    keepInView(stage, window, sshCommand(window));
    return window.frame;
}

// The help of an option, over the connected tunnel's Advanced card.
BURROWLIGHT_SCREENSHOT("detail", "option-help") {
    Window window = liveDetailWindow(stage, "ssh-ed25519", true);
    auto* options = window.frame.findChild<OptionsList*>();
    for (auto* button : options->findChildren<QToolButton*>()) {
        if (button->accessibleName().contains(QStringLiteral("UserKnownHostsFile"))) {
            detailScroll(window).ensureWidgetVisible(button);
            button->click();
        }
    }
    OptionHelp* help = options->help();
    QDeadlineTimer deadline(20'000);
    while (help->text().isEmpty() && !deadline.hasExpired()) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    return *help;
}
