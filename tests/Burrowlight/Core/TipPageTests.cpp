// The tip page is recorded as opened only once it opened, and the quit-time offer follows that
// record and where the quit came from.
#include "Burrowlight/Core/AppSettings.h"
#include "Burrowlight/Core/TipPage.h"
#include "TempDir.h"

#include <QTest>

using namespace burrowlight;

namespace {

struct Browser {
    bool opens = true;
    QList<QUrl> asked{};
    UrlOpener opener() {
        return [this](const QUrl& url) {
            asked.append(url);
            return opens;
        };
    }
};

struct ScriptedPrompt : TipPrompt {
    bool takesTip = false;
    int shown = 0;
    bool run() override {
        ++shown;
        return takesTip;
    }
};

struct Settings {
    testing_support::TempDir folder;
    AppSettings settings{std::make_unique<QSettings>(QString::fromStdString(folder.file("burrowlight.conf")),
                                                     QSettings::IniFormat)};
};

} // namespace

class TipPageTests : public QObject {
    Q_OBJECT

  private slots:
    void onlyAnOpenedPageIsRecorded() {
        Settings store;
        Browser browser{.opens = false};
        QVERIFY(!openTipPage(store.settings, browser.opener(), "1.0 (7)"));
        QCOMPARE(browser.asked, QList<QUrl>{tipPageURL()});
        QCOMPARE(store.settings.tipPageOpenedVersion(), std::nullopt);

        browser.opens = true;
        QVERIFY(openTipPage(store.settings, browser.opener(), "1.0 (7)"));
        QCOMPARE(store.settings.tipPageOpenedVersion(), std::optional<QString>("1.0 (7)"));
        QCOMPARE(tipPageURL().scheme(), QStringLiteral("https"));
    }

    void theOfferComesOncePerVersionAndOnlyFromTheQuitCommand() {
        Settings store;
        Browser browser;
        ScriptedPrompt prompt;
        const auto quit = [&](bool fromMenu, const QString& version) {
            offerTipOnQuit(store.settings, prompt, fromMenu, browser.opener(), version);
        };

        quit(false, "1.0 (7)");
        QCOMPARE(prompt.shown, 0);
        // "Not Now" records nothing: the next quit asks again.
        quit(true, "1.0 (7)");
        quit(true, "1.0 (7)");
        QCOMPARE(prompt.shown, 2);
        QVERIFY(browser.asked.isEmpty());

        prompt.takesTip = true;
        quit(true, "1.0 (7)");
        QCOMPARE(prompt.shown, 3);
        QCOMPARE(browser.asked.size(), 1);
        quit(true, "1.0 (7)");
        QCOMPARE(prompt.shown, 3);
        // A new build is a new version.
        quit(true, "1.0 (8)");
        QCOMPARE(prompt.shown, 4);
    }

    void aTipThatCouldNotOpenIsOfferedAgain() {
        Settings store;
        Browser browser{.opens = false};
        ScriptedPrompt prompt;
        prompt.takesTip = true;
        offerTipOnQuit(store.settings, prompt, true, browser.opener(), "1.0 (7)");
        offerTipOnQuit(store.settings, prompt, true, browser.opener(), "1.0 (7)");
        QCOMPARE(prompt.shown, 2);
        QCOMPARE(store.settings.tipPageOpenedVersion(), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TipPageTests)
#include "TipPageTests.moc"
