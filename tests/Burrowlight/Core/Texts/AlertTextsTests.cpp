#include "Burrowlight/Core/Texts/AlertTexts.h"

#include <QTest>

using namespace burrowlight;
using tunnelkit::Tunnel;

namespace {

Tunnel tunnelNumber(int number) {
    Tunnel tunnel = Tunnel::created();
    tunnel.name = "t" + std::to_string(number);
    tunnel.host = "host" + std::to_string(number) + ".example.com";
    tunnel.user = "me";
    return tunnel;
}

} // namespace

class AlertTextsTests : public QObject {
    Q_OBJECT

  private slots:
    void importListsEightTunnelsAndWarnsOfBothRisks() {
        std::vector<Tunnel> tunnels;
        for (int number = 1; number <= 9; ++number) {
            tunnels.push_back(tunnelNumber(number));
        }
        tunnels[0].options = {{tunnelkit::Uuid::random(), "proxycommand", "nc %h %p"}};
        tunnels[1].options = {{tunnelkit::Uuid::random(), "ProxyCommand", "nc %h %p"},
                              {tunnelkit::Uuid::random(), "ForwardAgent", "yes"}};
        tunnels[2].name.clear();

        const auto alert = texts::importAlert(tunnels, QStringLiteral("team.burrowlight"));
        QVERIFY(alert);
        QCOMPARE(alert->style, Alert::Style::critical);
        QCOMPARE(alert->message, QStringLiteral("Import 9 tunnels from “\u2068team.burrowlight\u2069”?"));
        const QStringList paragraphs = alert->informativeText.split(QStringLiteral("\n\n"));
        QCOMPARE(paragraphs.size(), 3);
        const QStringList lines = paragraphs[0].split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 9);
        QCOMPARE(lines[0], QStringLiteral("• \u2068t1\u2069 (\u2068me@host1.example.com\u2069)"));
        QCOMPARE(lines[2],
                 QStringLiteral("• \u2068host3.example.com\u2069 (\u2068me@host3.example.com\u2069)"));
        QCOMPARE(lines[8], QStringLiteral("…"));
        QCOMPARE(paragraphs[1],
                 QStringLiteral("Some of these tunnels run programs on this computer when they "
                                "connect (\u2068ProxyCommand\u2069). Import them only if you trust who made "
                                "the file."));
        QVERIFY2(paragraphs[2].contains(QStringLiteral("(\u2068ForwardAgent yes\u2069)")),
                 qPrintable(paragraphs[2]));
        QCOMPARE(alert->buttons.at(0).title, QStringLiteral("Import"));
        QCOMPARE(alert->buttons.at(1).role, Alert::Button::Role::cancel);
    }

    void importOfNothingAsksNothing() {
        QVERIFY(!texts::importAlert({}, QStringLiteral("empty.burrowlight")));
        const auto plain = texts::importAlert({tunnelNumber(1)}, QStringLiteral("one.burrowlight"));
        QCOMPARE(plain->style, Alert::Style::warning);
        QCOMPARE(plain->informativeText,
                 QStringLiteral("• \u2068t1\u2069 (\u2068me@host1.example.com\u2069)"));
    }

    // A name reverses nothing beyond itself, nor does one that would close its isolate early or
    // leave one of its own open.
    void importListsANameWithDirectionControlsIsolated() {
        Tunnel disguised = tunnelNumber(1);
        disguised.name = "\u2069\u202Egpj.exe\u2067x";
        const auto alert = texts::importAlert({disguised}, QStringLiteral("one.burrowlight"));
        QCOMPARE(alert->informativeText, QStringLiteral("• \u2068\u202Egpj.exe\u2067x\u2069\u2069 "
                                                        "(\u2068me@host1.example.com\u2069)"));
    }

    // The quit alert's own words read as written, whatever direction the name sets.
    void theQuitAlertIsolatesTheName() {
        QCOMPARE(texts::unsavedChangesAlert({QStringLiteral("RLO\u202Etxt.exe")}).message,
                 QStringLiteral("“\u2068RLO\u202Etxt.exe\u2069” has unsaved changes."));
    }

    // A line break inside a name or a server forges no line of its own.
    void importListsEachTunnelOnOneLine() {
        Tunnel forging = tunnelNumber(1);
        forging.name = "Office\nfake\u2028x\u2029y";
        forging.host = "db\nexample.com";
        const auto alert = texts::importAlert({forging, tunnelNumber(2)}, QStringLiteral("two.burrowlight"));
        const QStringList lines = alert->informativeText.split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0], QStringLiteral("• \u2068Office fake x y\u2069 (\u2068me@db example.com\u2069)"));
    }
};

QTEST_GUILESS_MAIN(AlertTextsTests)
#include "AlertTextsTests.moc"
