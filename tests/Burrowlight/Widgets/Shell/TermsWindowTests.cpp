#include "Burrowlight/Widgets/Shell/TermsWindow.h"
#include "LoopbackNetwork.h"
#include "ShellHarness.h"

#include <QApplication>
#include <QTest>

using namespace burrowlight;
using shell_testing::ShellHarness;

namespace {

struct TermsStage {
    ShellHarness harness;
    QStringList opened;
    int dismissed = 0;

    std::unique_ptr<TermsWindow> window() {
        auto made = std::make_unique<TermsWindow>(std::make_unique<TermsModel>(
            *harness.model, harness.termination,
            TermsModel::Windows{.open = [this](const QString& id) { opened.append(id); },
                                .dismissTerms = [this] { ++dismissed; }}));
        made->show();
        return made;
    }
};

} // namespace

class TermsWindowTests : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { AppSettings::registerDefaults(); }

    void acceptingRecordsConnectsAndMovesOn() {
        TermsStage stage;
        auto tunnel = tunnelkit::Tunnel::created();
        tunnel.name = "launch";
        tunnel.host = "127.0.0.1";
        tunnel.port = testing_support::freeLoopbackPort();
        tunnel.connectsAtLaunch = true;
        stage.harness.storeTunnels({tunnel});
        stage.harness.settings.setShowsDockIcon(false);
        AppModel& model = stage.harness.start();
        QCOMPARE(model.controller().state(tunnel.id), tunnelkit::TunnelState::disconnected());
        auto window = stage.window();

        QTest::mouseClick(&window->acceptsTermsBox().label(), Qt::LeftButton);
        QVERIFY(window->acceptsTermsBox().box().isChecked());
        QVERIFY(!window->acceptButton().isEnabled());
        QTest::keyClick(window.get(), Qt::Key_Return);
        QVERIFY(!model.termsAccepted());

        QTest::mouseClick(&window->approvesLiabilityBox().box(), Qt::LeftButton);
        QVERIFY(window->acceptButton().isEnabled());
        window->acceptsTermsBox().box().setChecked(false);
        QVERIFY(!window->acceptButton().isEnabled());
        window->acceptsTermsBox().box().setChecked(true);

        const auto before = QDateTime::currentDateTimeUtc().addSecs(-1);
        QTest::keyClick(window.get(), Qt::Key_Return);
        QVERIFY(model.termsAccepted());
        QVERIFY(stage.harness.settings.currentTermsAccepted());
        QVERIFY(stage.harness.settings.termsAcceptedAt() >= before);
        QVERIFY2(model.controller().state(tunnel.id) != tunnelkit::TunnelState::disconnected(),
                 "the tunnel marked for launch starts at once");
        // Onboarding comes next, even without the taskbar entry.
        QCOMPARE(stage.opened, QStringList{QStringLiteral("onboarding")});
        QCOMPARE(stage.dismissed, 1);

        window->close();
        QCOMPARE(stage.harness.terminationRequests, 0);
    }

    void whatFollowsAnAcceptance() {
        QCOMPARE(TermsModel::windowAfterAcceptance(true, true, true), std::optional(QStringLiteral("main")));
        QCOMPARE(TermsModel::windowAfterAcceptance(true, false, true), std::nullopt);
        QCOMPARE(TermsModel::windowAfterAcceptance(true, false, false),
                 std::optional(QStringLiteral("main")));
    }

    void escapeTheCloseButtonAndQuitAllQuitBeforeAcceptance() {
        TermsStage stage;
        stage.harness.start();
        auto window = stage.window();
        QTest::keyClick(window.get(), Qt::Key_Escape);
        QCOMPARE(stage.harness.terminationRequests, 1);
        QVERIFY2(window->isVisible(), "a cancelled quit leaves the window up");
        QTest::mouseClick(&window->quitButton(), Qt::LeftButton);
        QCOMPARE(stage.harness.terminationRequests, 2);
        window->close();
        QCOMPARE(stage.harness.terminationRequests, 3);
    }
};

QTEST_MAIN(TermsWindowTests)
#include "TermsWindowTests.moc"
