#include "Burrowlight/Core/BlankText.h"
#include "Burrowlight/Models/DetailModel.h"
#include "Burrowlight/Models/DetailRules.h"

#include <QTest>

using namespace burrowlight;
using tunnelkit::Endpoint;
using tunnelkit::Forward;
using tunnelkit::Tunnel;
using tunnelkit::TunnelState;

namespace {

const tunnelkit::Date now = tunnelkit::currentDate();

Tunnel savedTunnel() {
    Tunnel tunnel = Tunnel::created();
    tunnel.name = "db";
    tunnel.host = "db.example.com";
    tunnel.forwards = {Forward::make(tunnelkit::Uuid::random(), Forward::Kind::local, true,
                                     Endpoint::tcp("localhost", 8080), Endpoint::tcp("localhost", 5432), "")};
    return tunnel.normalized();
}

tunnelkit::SSHCommandBuilder builder() {
    return tunnelkit::SSHCommandBuilder(tunnelkit::SSHCommandBuilder::defaultExecutable, true,
                                        "/home/someone");
}

QStringList titles(const DetailModel::UnsavedBar& bar) {
    QStringList result;
    for (const auto& button : bar.saveButtons) {
        result << button.title + (button.prominent ? QStringLiteral("*") : QString());
    }
    return result;
}

DetailModel::UnsavedBar barOf(const TunnelDraft& draft, const std::optional<TunnelState>& state) {
    return DetailModel::unsavedBar(draft, state, draft.changesConnection(builder()));
}

} // namespace

class DetailModelTests : public QObject {
    Q_OBJECT

  private slots:
    void saveButtonsFollowTheConnectionAndWhatChanged() {
        TunnelDraft forwardChanged(savedTunnel(), false);
        forwardChanged.editForward(forwardChanged.forwards().front().id,
                                   [](ForwardDraft& row) { row.setListenPort(QStringLiteral("8081")); });
        const QStringList withReconnect{QStringLiteral("Save"), QStringLiteral("Save and Reconnect*")};
        for (const auto& active :
             {TunnelState::connected(now), TunnelState::retrying(1, now), TunnelState::connecting()}) {
            QCOMPARE(titles(barOf(forwardChanged, active)), withReconnect);
        }
        const QStringList saveOnly{QStringLiteral("Save*")};
        for (const auto& idle :
             {TunnelState::disconnected(), TunnelState::failed(), TunnelState::disconnecting()}) {
            QCOMPARE(titles(barOf(forwardChanged, idle)), saveOnly);
        }
        QCOMPARE(titles(barOf(forwardChanged, std::nullopt)), saveOnly);

        TunnelDraft noteChanged(savedTunnel(), false);
        noteChanged.editTunnel([](Tunnel& tunnel) { tunnel.note = "only a note"; });
        QVERIFY(noteChanged.hasUnsavedChanges());
        QCOMPARE(titles(barOf(noteChanged, TunnelState::connected(now))), saveOnly);

        Tunnel fresh = Tunnel::created();
        fresh.host = "new.example.com";
        TunnelDraft newTunnel(fresh, true);
        const auto bar = barOf(newTunnel, std::nullopt);
        QCOMPARE(bar.title, QStringLiteral("New tunnel, not saved yet"));
        QCOMPARE(titles(bar), saveOnly);
    }

    void problemsDisableSavingAndShowOnlyOnceAsked() {
        TunnelDraft blankNew(Tunnel::created(), true);
        auto bar = barOf(blankNew, std::nullopt);
        QVERIFY(blankNew.problem());
        QVERIFY(!bar.problem);
        QVERIFY(!bar.saveButtons.back().enabled);
        QVERIFY(!DetailModel::showsHostWarning(blankNew));
        blankNew.setShowsProblems(true);
        QVERIFY(DetailModel::showsHostWarning(blankNew));
        // The host warning speaks for an empty host; the bar's label stays away.
        QVERIFY(!barOf(blankNew, std::nullopt).problem);

        TunnelDraft badPort(savedTunnel(), false);
        badPort.setPort(QStringLiteral("70000"));
        bar = barOf(badPort, TunnelState::connected(now));
        QCOMPARE(bar.title, QStringLiteral("Unsaved Changes"));
        QVERIFY(bar.problem);
        for (const auto& button : bar.saveButtons) {
            QVERIFY(!button.enabled);
        }

        TunnelDraft hostCleared(savedTunnel(), false);
        hostCleared.editTunnel([](Tunnel& tunnel) { tunnel.host = " \t"; });
        QVERIFY(DetailModel::showsHostWarning(hostCleared));
    }

    void connectButtonAsksToSaveFirst() {
        TunnelDraft draft(savedTunnel(), false);
        QVERIFY(!DetailModel::connectButton(std::nullopt, draft));
        auto button = DetailModel::connectButton(TunnelState::disconnected(), draft);
        QVERIFY(button->enabled && !button->disconnects && button->help.isEmpty());
        QVERIFY(!DetailModel::connectButton(TunnelState::disconnecting(), draft)->enabled);
        QVERIFY(DetailModel::connectButton(TunnelState::disconnecting(), draft)->help.isEmpty());
        draft.editTunnel([](Tunnel& tunnel) { tunnel.note = "changed"; });
        button = DetailModel::connectButton(TunnelState::failed(), draft);
        QVERIFY(!button->enabled);
        QCOMPARE(button->help, QStringLiteral("Save the changes first."));
        button = DetailModel::connectButton(TunnelState::retrying(2, now), draft);
        QVERIFY(button->enabled && button->disconnects);
    }

    void countdownRoundsUpAndTicksOnlyWhileWaiting() {
        using namespace std::chrono_literals;
        QCOMPARE(DetailModel::retryCountdownText(now, now + 2100ms), QStringLiteral("Retrying in 3 s"));
        QCOMPARE(DetailModel::retrySeconds(now, now - 5s), 0);
        QCOMPARE(DetailModel::retrySeconds(now, now + 3s), 3);
        // The count drops from 3 to 2 when 2 s are left: 100 ms from now.
        QCOMPARE(DetailModel::nextStatusChange(TunnelState::retrying(1, now + 2100ms), now),
                 std::optional(100ms));
        QCOMPARE(DetailModel::nextStatusChange(TunnelState::retrying(1, now + 2s), now),
                 std::optional(1000ms));
        QVERIFY(!DetailModel::nextStatusChange(TunnelState::retrying(1, now - 1s), now));
        QVERIFY(!DetailModel::nextStatusChange(TunnelState::connected(now), now));
    }

    void bannerOnlyForFailedOrRetryingWithAProblem() {
        const tunnelkit::TunnelProblem problem{tunnelkit::TunnelProblem::Exited{255}};
        QVERIFY(DetailModel::showsProblemBanner(TunnelState::failed(), problem));
        QVERIFY(DetailModel::showsProblemBanner(TunnelState::retrying(1, now), problem));
        QVERIFY(!DetailModel::showsProblemBanner(TunnelState::connected(now), problem));
        QVERIFY(!DetailModel::showsProblemBanner(TunnelState::failed(), std::nullopt));
        QVERIFY(!DetailModel::banner(TunnelState::failed(), problem).offersRetry);
        QVERIFY(DetailModel::banner(TunnelState::retrying(1, now), problem).offersRetry);
    }

    void promptsComeFromTheConfigHost() {
        tunnelkit::ResolvedHost host{"db", "db.internal", "anna", 2222, std::nullopt, {}};
        QCOMPARE(DetailModel::userPrompt(host, QStringLiteral("bob")), QStringLiteral("from config: anna"));
        QCOMPARE(DetailModel::userPrompt(host, QStringLiteral("anna")), QStringLiteral("default: anna"));
        QCOMPARE(DetailModel::userPrompt(std::nullopt, QStringLiteral("bob")),
                 QStringLiteral("default: bob"));
        QCOMPARE(DetailModel::portPrompt(host), QStringLiteral("2222"));
        QCOMPARE(DetailModel::portPrompt(std::nullopt), QStringLiteral("22"));
        QCOMPARE(trimmedBlanks(QStringLiteral(" \tdb \n")), QStringLiteral("db \n"));
    }

    void forwardRowOffersWhatTheForwardCanBeReachedBy() {
        const auto web = Forward::make(tunnelkit::Uuid::random(), Forward::Kind::local, true,
                                       Endpoint::tcp("", 8080), Endpoint::tcp("localhost", 80), "Admin");
        auto facts = detail::forwardRowFacts(web, true);
        QCOMPARE(facts.caption, QStringLiteral("Local · Admin"));
        QCOMPARE(facts.copyAddress, std::optional(QStringLiteral("localhost:8080")));
        QCOMPARE(facts.browserURL, std::optional(QUrl(QStringLiteral("http://localhost:8080"))));
        QVERIFY(!detail::forwardRowFacts(web, false).browserURL);

        auto disabled = web;
        disabled.isEnabled = false;
        facts = detail::forwardRowFacts(disabled, true);
        QVERIFY(!facts.copyAddress && !facts.browserURL);

        const auto socks = Forward::make(tunnelkit::Uuid::random(), Forward::Kind::dynamic, true,
                                         Endpoint::tcp("", 1080), std::nullopt, "");
        facts = detail::forwardRowFacts(socks, true);
        QVERIFY(facts.copyAddress && !facts.browserURL);
        const auto remote = Forward::make(tunnelkit::Uuid::random(), Forward::Kind::remote, true,
                                          Endpoint::tcp("", 2525), Endpoint::tcp("localhost", 25), "");
        QVERIFY(!detail::forwardRowFacts(remote, true).copyAddress);
    }

    void sectionConditions() {
        const Tunnel saved = savedTunnel();
        tunnelkit::ResolvedHost plain{"db.example.com", "db.example.com", "", 22, std::nullopt, {}};
        QVERIFY(!detail::showsConfigSection(saved, plain));
        auto jumping = plain;
        jumping.proxyJump = "bastion";
        QVERIFY(detail::showsConfigSection(saved, jumping));
        QVERIFY(!detail::showsConfigSection(std::nullopt, jumping));

        tunnelkit::SessionInfo session;
        QVERIFY(!detail::showsSessionSection(TunnelState::connected(now), session));
        session.address = "127.0.0.1";
        QVERIFY(detail::showsSessionSection(TunnelState::connected(now), session));
        QVERIFY(!detail::showsSessionSection(TunnelState::connecting(), session));

        // Unsaved invalid changes show the saved command; an invalid new draft shows none.
        TunnelDraft broken(saved, false);
        broken.setPort(QStringLiteral("x"));
        QCOMPARE(detail::sshCommandTunnel(broken, saved), std::optional(saved));
        TunnelDraft blankNew(Tunnel::created(), true);
        QVERIFY(!detail::sshCommandText(blankNew, std::nullopt, builder()));
    }
};

QTEST_GUILESS_MAIN(DetailModelTests)
#include "DetailModelTests.moc"
