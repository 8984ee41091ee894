// The problem report's facts, its mail link byte for byte, and what each of the alert's buttons
// does.
#include "Burrowlight/Core/AppIdentity.h"
#include "Burrowlight/Core/ProblemReport.h"
#include "Burrowlight/Core/SSHVersion.h"
#include "Burrowlight/Core/Texts/ProblemReportTexts.h"

#include <QSignalSpy>
#include <QTest>

using namespace burrowlight;

namespace {

const ProblemFacts sample{.appVersion = "1.0 (7)",
                          .distribution = "Debian GNU/Linux 12 (bookworm)",
                          .kernelRelease = "6.1.0-18-amd64",
                          .sshVersion = "OpenSSH_9.2p1 Debian-2+deb12u3, OpenSSL 3.0.15 3 Sep 2024",
                          .usesSSHConfig = false};

struct ScriptedAlerts : AlertPresenter {
    std::optional<size_t> answer;
    std::vector<Alert> shown;
    std::optional<size_t> run(const Alert& alert) override {
        shown.push_back(alert);
        return answer;
    }
};

struct Desktop {
    QList<QUrl> opened;
    QStringList copied;
    std::vector<bool> gathered;
    ProblemReporter::Desktop hooks() {
        return {.openUrl =
                    [this](const QUrl& url) {
                        opened.append(url);
                        return true;
                    },
                .copyText = [this](const QString& text) { copied.append(text); },
                .gatherFacts =
                    [this](bool usesSSHConfig) {
                        // Off the GUI thread: only the answer comes back to it.
                        gathered.push_back(usesSSHConfig);
                        auto facts = sample;
                        facts.usesSSHConfig = usesSSHConfig;
                        return facts;
                    }};
    }
};

} // namespace

class ProblemReportTests : public QObject {
    Q_OBJECT

  private slots:
    void theFactsNameTheSystem() {
        QCOMPARE(texts::factsText(sample), appDisplayName() +
                                               " 1.0 (7)\nDebian GNU/Linux 12 (bookworm) (6.1.0-18-amd64)\n" +
                                               sample.sshVersion + "\nRead ~/.ssh/config: no");
        auto withoutKernel = sample;
        withoutKernel.kernelRelease.reset();
        withoutKernel.usesSSHConfig = true;
        QCOMPARE(texts::factsText(withoutKernel).section('\n', 1, 1),
                 QStringLiteral("Debian GNU/Linux 12 (bookworm)"));
        QCOMPARE(texts::factsText(withoutKernel).section('\n', 3, 3),
                 QStringLiteral("Read ~/.ssh/config: yes"));
    }

    void theFactsOfThisSystem() {
        const ProblemFacts facts = gatherProblemFacts(true);
        QCOMPARE(facts.appVersion, appVersion());
        QVERIFY(!facts.distribution.isEmpty());
        QVERIFY(facts.kernelRelease && !facts.kernelRelease->isEmpty());
        QVERIFY2(facts.sshVersion.startsWith("OpenSSH_"), qPrintable(facts.sshVersion));
    }

    void theMailLinkEncodesEverythingButTheUnreservedCharacters() {
        const QString facts = texts::factsText(sample);
        const QByteArray link = problemMailURL(facts, "1.0 (7)").toEncoded();
        const QByteArray address = supportEmailAddress;
        QVERIFY2(link.startsWith("mailto:" + address +
                                 "?subject=Problem%20with%20Burrowlight%201.0%20%287%29&body="),
                 link.constData());
        QVERIFY2(link.startsWith("mailto:" + address + "?subject=Problem%20with%20" +
                                 QUrl::toPercentEncoding(appDisplayName()) +
                                 "%201.0%20%287%29&body=What%20happened%2C"),
                 link.constData());
        QVERIFY2(link.endsWith("%0ARead%20~%2F.ssh%2Fconfig%3A%20no%0A"), link.constData());
        QVERIFY(link.contains("before%3F%0A%0A%0A%0A" + QUrl::toPercentEncoding(appDisplayName()) +
                              "%201.0%20%287%29%0A"));
        QVERIFY(link.contains("OpenSSH_9.2p1%20Debian-2%2Bdeb12u3%2C%20"));
    }

    void theAlertSaysWhatToSend() {
        const Alert alert = texts::problemAlert("facts");
        QCOMPARE(alert.message, QStringLiteral("Report a Problem"));
        QVERIFY(alert.informativeText.startsWith(QStringLiteral("Email ") + supportEmailAddress +
                                                 " and tell us"));
        QVERIFY(alert.informativeText.endsWith("private keys.\n\nThe email already includes:"));
        QCOMPARE(alert.accessoryText, QStringLiteral("facts"));
        QCOMPARE(alert.buttons.size(), size_t(3));
        QCOMPARE(alert.buttons[2].role, Alert::Button::Role::cancel);
    }

    void eachAnswerDoesItsPart() {
        ScriptedAlerts alerts;
        Desktop desktop;
        bool usesSSHConfig = false;
        ProblemReporter reporter([&] { return usesSSHConfig; }, alerts, desktop.hooks());
        QSignalSpy finished(&reporter, &ProblemReporter::finished);
        const auto report = [&](std::optional<size_t> answer) {
            alerts.answer = answer;
            reporter.report();
            // A second request while the first is on its way is the same report.
            reporter.report();
            QVERIFY(reporter.isReporting());
            QTRY_VERIFY(!reporter.isReporting());
        };

        report(size_t(0));
        QCOMPARE(desktop.opened, QList<QUrl>{problemMailURL(texts::factsText(sample), "1.0 (7)")});
        QCOMPARE(alerts.shown.size(), size_t(1));
        QCOMPARE(alerts.shown[0].accessoryText, texts::factsText(sample));
        usesSSHConfig = true;
        report(size_t(1));
        QCOMPARE(desktop.copied, QStringList{supportEmailAddress});
        QVERIFY(alerts.shown[1].accessoryText.endsWith("Read ~/.ssh/config: yes"));
        report(size_t(2));
        report(std::nullopt);
        QCOMPARE(desktop.opened.size(), 1);
        QCOMPARE(desktop.copied.size(), 1);
        QCOMPARE(finished.size(), 4);
        QCOMPARE(desktop.gathered, (std::vector<bool>{false, true, true, true}));
    }
};

QTEST_GUILESS_MAIN(ProblemReportTests)
#include "ProblemReportTests.moc"
