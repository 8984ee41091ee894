#include "Burrowlight/Core/Texts/TunnelTexts.h"

#include <QTest>

using namespace burrowlight;
using tunnelkit::Endpoint;
using tunnelkit::Forward;
using Kind = tunnelkit::Forward::Kind;

namespace {

Forward forward(Kind kind, Endpoint listen, std::optional<Endpoint> target = std::nullopt,
                bool enabled = true) {
    return Forward{tunnelkit::Uuid::random(), kind, enabled, std::move(listen), std::move(target), {}};
}

} // namespace

class TunnelTextsTests : public QObject {
    Q_OBJECT

  private slots:
    void tunnelTitleFallsBackToTheHost() {
        auto tunnel = tunnelkit::Tunnel::created();
        QCOMPARE(texts::displayName(tunnel), QStringLiteral("Untitled Tunnel"));
        tunnel.host = "db1";
        QCOMPARE(texts::displayName(tunnel), QStringLiteral("db1"));
        tunnel.name = " ";
        QCOMPARE(texts::displayName(tunnel), QStringLiteral(" "));
    }

    void forwardsSummaryCountsOnlyEnabledForwards() {
        auto tunnel = tunnelkit::Tunnel::created();
        QCOMPARE(texts::forwardsSummary(tunnel), QStringLiteral("No forwards"));
        tunnel.forwards = {forward(Kind::local, Endpoint::tcp("", 8080), Endpoint::tcp("db", 80), false),
                           forward(Kind::local, Endpoint::tcp("", 8080), Endpoint::tcp("db", 80)),
                           forward(Kind::dynamic, Endpoint::tcp("", 1080), std::nullopt, false)};
        QCOMPARE(texts::forwardsSummary(tunnel), QStringLiteral("8080 → db:80"));
        tunnel.forwards[2].isEnabled = true;
        QCOMPARE(texts::forwardsSummary(tunnel), QStringLiteral("2 forwards"));
        tunnel.forwards = {forward(Kind::remote, Endpoint::tcp("", 9000))};
        QCOMPARE(texts::forwardsSummary(tunnel), QStringLiteral("9000 → ?"));
    }

    void forwardSummaryAndBrowserAddress() {
        QCOMPARE(texts::summary(forward(Kind::remoteDynamic, Endpoint::socket("/run/s"))),
                 QStringLiteral("SOCKS /run/s"));
        QCOMPARE(
            texts::summary(forward(Kind::local, Endpoint::tcp("::1", 5432), Endpoint::socket("~/db.sock"))),
            QStringLiteral("[::1]:5432 → ~/db.sock"));
        QCOMPARE(texts::browserAddress(forward(Kind::dynamic, Endpoint::tcp("*", 1080))),
                 std::optional(QStringLiteral("localhost:1080")));
        QCOMPARE(texts::browserAddress(forward(Kind::dynamic, Endpoint::tcp("::1", 1080))),
                 std::optional(QStringLiteral("[::1]:1080")));
        QCOMPARE(texts::browserAddress(forward(Kind::local, Endpoint::tcp("10.0.0.2", 80))),
                 std::optional(QStringLiteral("10.0.0.2:80")));
        QVERIFY(!texts::browserAddress(forward(Kind::remote, Endpoint::tcp("", 80), Endpoint::tcp("x", 80))));
        QVERIFY(!texts::browserAddress(forward(Kind::local, Endpoint::socket("/s"), Endpoint::tcp("x", 80))));
    }

    void savedSecretTitleShortensTheHomeFolder() {
        using tunnelkit::SecretKind;
        const QString home = QStringLiteral("/home/me");
        QCOMPARE(texts::title({SecretKind::passphrase, "/home/me/.ssh/id_ed25519"}, home),
                 QStringLiteral("Passphrase for \u2068~/.ssh/id_ed25519\u2069"));
        QCOMPARE(texts::title({SecretKind::passphrase, "/home/me2/key"}, home),
                 QStringLiteral("Passphrase for \u2068/home/me2/key\u2069"));
        QCOMPARE(texts::title({SecretKind::passphrase, ""}, home), QStringLiteral("Key passphrase"));
        QCOMPARE(texts::title({SecretKind::password, ""}, home), QStringLiteral("Password"));
        QCOMPARE(texts::title({SecretKind::password, "alice@db"}, home),
                 QStringLiteral("Password for \u2068alice@db\u2069"));
    }
};

QTEST_GUILESS_MAIN(TunnelTextsTests)
#include "TunnelTextsTests.moc"
