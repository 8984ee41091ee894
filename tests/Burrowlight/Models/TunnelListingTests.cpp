#include "Burrowlight/Core/Texts/MainWindowTexts.h"
#include "Burrowlight/Models/TunnelListing.h"

#include <QTest>
#include <map>

using namespace burrowlight;
using namespace burrowlight::listing;
using tunnelkit::Endpoint;
using tunnelkit::Forward;
using tunnelkit::Tunnel;
using tunnelkit::TunnelState;
using tunnelkit::Uuid;

namespace {

Tunnel named(const std::string& name, const std::string& host = "example.com") {
    Tunnel tunnel = Tunnel::created();
    tunnel.name = name;
    tunnel.host = host;
    return tunnel;
}

Forward forward(Forward::Kind kind, Endpoint listen, std::optional<Endpoint> target = std::nullopt) {
    return Forward::make(Uuid::random(), kind, true, std::move(listen), std::move(target), "");
}

// The names of the listed tunnels, in order.
std::vector<std::string> names(const std::vector<const Tunnel*>& tunnels) {
    std::vector<std::string> result;
    for (const auto* tunnel : tunnels) {
        result.push_back(tunnel->name.empty() ? "(" + tunnel->host + ")" : tunnel->name);
    }
    return result;
}

struct States {
    std::map<Uuid, TunnelState> byId;
    StateOf lookup() const {
        return [this](const Uuid& id) {
            const auto found = byId.find(id);
            return found == byId.end() ? TunnelState::disconnected() : found->second;
        };
    }
};

std::vector<const Tunnel*> listed(const std::vector<Tunnel>& tunnels, const SidebarItem& group,
                                  const QString& search = {}, const States& states = {}) {
    return listedTunnels(tunnels, group, search, states.lookup());
}

using Names = std::vector<std::string>;

} // namespace

class TunnelListingTests : public QObject {
    Q_OBJECT

  private slots:
    void searchLooksInTheTextsUsersSee() {
        Tunnel byHost = named("", "Web01");
        Tunnel byTag = named("tagged");
        byTag.tags = {"webapps"};
        Tunnel byForward = named("forwarded");
        byForward.forwards = {
            forward(Forward::Kind::local, Endpoint::tcp("", 8080), Endpoint::tcp("web", 80))};
        Tunnel socks = named("proxy");
        socks.forwards = {forward(Forward::Kind::remoteDynamic, Endpoint::tcp("", 1080))};
        Tunnel unsearched = named("quiet");
        unsearched.port = 8080;
        unsearched.identityFile = "~/.ssh/web";
        unsearched.options = {{Uuid::random(), "ProxyJump", "web"}};
        unsearched.forwards = {Forward::make(Uuid::random(), Forward::Kind::local, true,
                                             Endpoint::tcp("", 5432), Endpoint::tcp("db", 5432),
                                             "web database")};
        const std::vector<Tunnel> tunnels{byHost, byTag, byForward, socks, unsearched};

        QCOMPARE(names(listed(tunnels, SidebarItem::all(), QStringLiteral("web"))),
                 (Names{"forwarded", "tagged", "(Web01)"}));
        QCOMPARE(names(listed(tunnels, SidebarItem::all(), QStringLiteral("8080 → web:80"))),
                 (Names{"forwarded"}));
        QCOMPARE(names(listed(tunnels, SidebarItem::all(), QStringLiteral("socks"))), (Names{"proxy"}));
        QCOMPARE(names(listed(tunnels, SidebarItem::all(), QStringLiteral(" \tWEB01\t "))),
                 (Names{"(Web01)"}));
        QCOMPARE(listed(tunnels, SidebarItem::all(), QStringLiteral("  ")).size(), tunnels.size());

        Tunnel targetless = named("odd");
        targetless.forwards = {
            Forward{Uuid::random(), Forward::Kind::local, true, Endpoint::tcp("", 7000), {}, ""}};
        QCOMPARE(searchTexts(targetless).back(), QStringLiteral("7000 → ?"));
    }

    void searchIgnoresLetterCaseButNotDiacritics() {
        const std::vector<Tunnel> tunnels{named("Café Backend"), named("ÉCOLE")};
        QCOMPARE(names(listed(tunnels, SidebarItem::all(), QStringLiteral("CAFÉ"))), (Names{"Café Backend"}));
        QVERIFY(listed(tunnels, SidebarItem::all(), QStringLiteral("cafe")).empty());
        QCOMPARE(names(listed(tunnels, SidebarItem::all(), QStringLiteral("école"))), (Names{"ÉCOLE"}));
    }

    void listsPinnedFirstThenByNameWithNumbersByValue() {
        Tunnel zeta = named("zeta");
        zeta.isPinned = true;
        const std::vector<Tunnel> tunnels{named("Server 10"), named("alpha"), zeta, named("Server 2"),
                                          named("", "b.example.com")};
        QCOMPARE(names(listed(tunnels, SidebarItem::all())),
                 (Names{"zeta", "alpha", "(b.example.com)", "Server 2", "Server 10"}));
    }

    void groupsTakeTheirTunnels() {
        Tunnel work = named("work");
        work.tags = {"Work"};
        Tunnel lowerWork = named("lower");
        lowerWork.tags = {"work"};
        Tunnel pinned = named("pinned");
        pinned.isPinned = true;
        Tunnel trashed = named("trashed");
        trashed.tags = {"Work"};
        trashed.deletedAt = tunnelkit::currentDate();
        Tunnel connecting = named("connecting");
        Tunnel retrying = named("retrying");
        Tunnel stopping = named("stopping");
        const std::vector<Tunnel> tunnels{work, lowerWork, pinned, trashed, connecting, retrying, stopping};
        States states;
        states.byId[connecting.id] = TunnelState::connecting();
        states.byId[retrying.id] = TunnelState::retrying(2, tunnelkit::currentDate());
        states.byId[stopping.id] = TunnelState::disconnecting();

        QCOMPARE(names(listed(tunnels, SidebarItem::tagged("Work"))), (Names{"work"}));
        QCOMPARE(names(listed(tunnels, SidebarItem::pinned())), (Names{"pinned"}));
        QCOMPARE(names(listed(tunnels, SidebarItem::trash())), (Names{"trashed"}));
        QCOMPARE(names(listed(tunnels, SidebarItem::untagged())).size(), size_t(4));
        QCOMPARE(names(listed(tunnels, SidebarItem::connected(), {}, states)),
                 (Names{"connecting", "retrying"}));
        QCOMPARE(listed(tunnels, SidebarItem::all()).size(), size_t(6));

        const auto counts = sidebarCounts(tunnels, states.lookup());
        QCOMPARE(counts.all, 6);
        QCOMPARE(counts.pinned, 1);
        QCOMPARE(counts.connected, 2);
        QCOMPARE(counts.untagged, 4);
        QCOMPARE(counts.trash, 1);
        QCOMPARE(counts.tags, (std::vector<std::pair<std::string, int>>{{"Work", 1}, {"work", 1}}));
    }

    void aTagOnlyTrashedTunnelsCarryHasNoRow() {
        Tunnel trashed = named("old");
        trashed.tags = {"legacy"};
        trashed.deletedAt = tunnelkit::currentDate();
        const auto counts = sidebarCounts({trashed, named("plain")}, States{}.lookup());
        QVERIFY(counts.tags.empty());
        QCOMPARE(counts.untagged, 1);
        QCOMPARE(counts.count(SidebarItem::tagged("legacy")), 0);
    }

    void typedTagsSplitIntoTrimmedPieces() {
        QVERIFY(tagPieces(QStringLiteral(",,")).empty());
        QVERIFY(tagPieces(QStringLiteral(" , \t,")).empty());
        QCOMPARE(tagPieces(QStringLiteral(" prod , eu-west,,")),
                 (std::vector<std::string>{"prod", "eu-west"}));
    }

    void deletionTimesReadAsPeopleSayThem() {
        const auto now = tunnelkit::currentDate();
        using std::chrono::hours;
        QCOMPARE(texts::deletedLine(now - hours(30), now), QStringLiteral("Deleted yesterday"));
        QCOMPARE(texts::deletedLine(now - hours(24 * 3), now), QStringLiteral("Deleted 3 days ago"));
        QCOMPARE(texts::relativeTime(now - hours(24 * 8), now), QStringLiteral("last week"));
        QCOMPARE(texts::relativeTime(now - std::chrono::minutes(1), now), QStringLiteral("1 minute ago"));
    }
};

QTEST_GUILESS_MAIN(TunnelListingTests)
#include "TunnelListingTests.moc"
