#include "Burrowlight/Widgets/Shell/WindowRouter.h"

#include <QApplication>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

using namespace burrowlight;

namespace {

struct Router {
    bool termsAccepted = false;
    WindowRouter router{[this] { return termsAccepted; }};
    std::map<WindowId, int> made;

    Router() {
        for (const auto id : allWindowIds) {
            router.setFactory(id, [this, id] {
                ++made[id];
                return std::make_unique<QLabel>(identifier(id));
            });
        }
    }

    std::vector<WindowId> visible() const {
        std::vector<WindowId> shown;
        for (const auto id : allWindowIds) {
            if (router.window(id) && router.window(id)->isVisible()) {
                shown.push_back(id);
            }
        }
        return shown;
    }
};

using Windows = std::vector<WindowId>;

} // namespace

class WindowRouterTests : public QObject {
    Q_OBJECT

  private slots:
    void mainAndOnboardingNeedTheTermsAccepted() {
        Router windows;
        QWidget* shown = windows.router.open(WindowId::main);
        QCOMPARE(shown, windows.router.window(WindowId::terms));
        windows.router.open(WindowId::onboarding);
        QCOMPARE(windows.visible(), Windows{WindowId::terms});
        QCOMPARE(windows.made[WindowId::terms], 1);

        windows.termsAccepted = true;
        windows.router.open(WindowId::main);
        QCOMPARE(windows.visible(), (Windows{WindowId::main, WindowId::terms}));
    }

    void aClosedWindowOpensAfresh() {
        Router windows;
        windows.termsAccepted = true;
        QSignalSpy opened(&windows.router, &WindowRouter::windowOpened);
        QWidget* first = windows.router.open(WindowId::settings);
        QCOMPARE(windows.router.open(WindowId::settings), first);
        QCOMPARE(windows.made[WindowId::settings], 1);
        QCOMPARE(opened.count(), 2);

        first->close();
        QTRY_VERIFY(!windows.router.isOpen(WindowId::settings));
        QVERIFY(windows.router.open(WindowId::settings));
        QCOMPARE(windows.made[WindowId::settings], 2);

        windows.router.dismiss(WindowId::settings);
        QTRY_VERIFY(!windows.router.isOpen(WindowId::settings));
        QVERIFY(!windows.router.hasVisibleWindows());
    }
};

QTEST_MAIN(WindowRouterTests)
#include "WindowRouterTests.moc"
