#include "Burrowlight/AskPass/AskPassDialogModel.h"
#include "Burrowlight/Core/AppLanguage.h"
#include "Burrowlight/Core/AppSettings.h"
#include "Burrowlight/Core/ForwardDraft.h"
#include "Burrowlight/Core/SiteLink.h"
#include "Burrowlight/Core/Texts/AlertTexts.h"
#include "Burrowlight/Core/Texts/CommandErrorTexts.h"
#include "Burrowlight/Core/Texts/StateTexts.h"
#include "Burrowlight/Core/Texts/TunnelTexts.h"

#include <QTemporaryDir>
#include <QTest>
#include <map>

using namespace burrowlight;

namespace {

QStringList languagesOf(const std::map<std::string, std::string>& variables) {
    return systemLanguages([&](const char* name) -> std::optional<std::string> {
        if (const auto found = variables.find(name); found != variables.end()) {
            return found->second;
        }
        return std::nullopt;
    });
}

} // namespace

class AppLanguageTests : public QObject {
    Q_OBJECT

  private slots:
    void systemListFollowsGettext() {
        const auto listed = languagesOf({{"LANGUAGE", "fr:it_CH:"}, {"LANG", "de_DE.UTF-8"}});
        QCOMPARE(listed, (QStringList{"fr", "it_CH", "de_DE.UTF-8"}));
        QCOMPARE(resolvedLocalization(listed), QStringLiteral("it"));

        const auto overridden =
            languagesOf({{"LC_ALL", "it_IT.UTF-8"}, {"LC_MESSAGES", "en_US"}, {"LANG", "fr"}});
        QCOMPARE(overridden, QStringList{"it_IT.UTF-8"});
        QCOMPARE(resolvedLocalization(languagesOf({{"LC_MESSAGES", "fr_FR"}, {"LANG", "it_IT"}})),
                 QStringLiteral("en"));

        QVERIFY2(languagesOf({{"LANGUAGE", "it"}, {"LANG", "C.UTF-8"}}).isEmpty(),
                 "the C locale ignores LANGUAGE");
        QVERIFY(languagesOf({{"LANGUAGE", "it"}}).isEmpty());
        QCOMPARE(resolvedLocalization({}), QStringLiteral("en"));
        QCOMPARE(resolvedLocalization({QStringLiteral("IT-it")}), QStringLiteral("it"));
    }

    void theUsersChoiceIsTheFirstStoredLanguage() {
        QCOMPARE(appLanguage(std::nullopt), AppLanguage::system);
        QCOMPARE(appLanguage(QStringList{"it-IT", "en"}), AppLanguage::italian);
        QCOMPARE(appLanguage(QStringList{"fr", "it"}), AppLanguage::system);
        QCOMPARE(appLanguage(QStringList{}), AppLanguage::system);

        const QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("burrowlight.conf"));
        AppSettings settings(std::make_unique<QSettings>(file, QSettings::IniFormat));
        applyAppLanguage(AppLanguage::english, settings);
        QCOMPARE(currentAppLanguage(settings), AppLanguage::english);
        QCOMPARE(startupLocalization(settings), QStringLiteral("en"));

        // Following the system again removes the choice, whatever the system's list says.
        applyAppLanguage(AppLanguage::system, settings);
        QVERIFY(!settings.languages());
        QCOMPARE(resolvedLocalization(AppLanguage::system, {QStringLiteral("it_IT.UTF-8")}),
                 QStringLiteral("it"));
        QCOMPARE(resolvedLocalization(AppLanguage::english, {QStringLiteral("it_IT.UTF-8")}),
                 QStringLiteral("en"));
    }

    void siteLinksFollowTheRunningLanguage() {
        QCOMPARE(runningLocalization(), QStringLiteral("en"));
        {
            const AppTranslation italian(QStringLiteral("it"));
            QCOMPARE(runningLocalization(), QStringLiteral("it"));
            QCOMPARE(sitePage("/condizioni", "/en/terms", runningLocalization()),
                     QUrl(QString::fromLatin1(siteAddress) + "/condizioni"));
        }
        QCOMPARE(sitePage("/condizioni", "/en/terms", runningLocalization()),
                 QUrl(QString::fromLatin1(siteAddress) + "/en/terms"));
        QCOMPARE(sitePage("/guida", "/en/guide", QStringLiteral("fr")).path(), QStringLiteral("/en/guide"));
    }

    // Each family of texts has its own translation context; a context the catalogue does not know
    // would leave that family in English.
    void italianSpeaksInEveryFamilyAndQtToo() {
        const AppTranslation italian(QStringLiteral("it"));
        QCOMPARE(texts::text(tunnelkit::TunnelState::retrying(3, {})), QStringLiteral("Nuovo tentativo (3)"));
        QCOMPARE(texts::message(tunnelkit::TunnelProblem::cancelled()),
                 QStringLiteral("La domanda di ssh è stata annullata."));
        QCOMPARE(texts::message(tunnelkit::SSHFailure::localPortInUse("127.0.0.1:8080")),
                 QStringLiteral("127.0.0.1:8080 è già in uso su questo computer."));
        QCOMPARE(texts::message(tunnelkit::SSHFailure::other("Bad owner")), QStringLiteral("Bad owner"));
        QCOMPARE(texts::message(tunnelkit::SSHCommandError::invalidPort(70000)),
                 QStringLiteral("La porta 70000 non è compresa tra 1 e 65535."));
        QCOMPARE(texts::title(tunnelkit::SSHOption::Group::hostKeys), QStringLiteral("Chiavi dell’host"));
        QCOMPARE(texts::title(tunnelkit::Forward::Kind::dynamic), QStringLiteral("SOCKS su questo computer"));
        QCOMPARE(texts::title(tunnelkit::SecretKey{tunnelkit::SecretKind::passphrase, ""}, QString()),
                 QStringLiteral("Passphrase della chiave"));
        auto tunnel = tunnelkit::Tunnel::created();
        QCOMPARE(texts::displayName(tunnel), QStringLiteral("Tunnel senza nome"));
        const auto blank = ForwardDraft::blank(tunnelkit::Forward::Kind::local);
        QCOMPARE(saveBlocker({blank, ForwardDraft::blank(tunnelkit::Forward::Kind::remote)}),
                 std::optional(QStringLiteral("Correggi 2 inoltri per salvare.")));
        QCOMPARE(blank.problemLines(std::nullopt, {ForwardDraft::Field::listenPort}),
                 QStringList{QStringLiteral("Porta su questo computer: manca la porta.")});
        QCOMPARE(AskPassDialogModel::rememberTitle(), QStringLiteral("Ricorda nel portachiavi"));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Annulla"));
    }

    void englishSpellsOneAndMoreApart() {
        const AppTranslation english(QStringLiteral("en"));
        QCOMPARE(texts::text(tunnelkit::TunnelState::connected({})), QStringLiteral("Connected"));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
        auto tunnel = tunnelkit::Tunnel::created();
        tunnel.host = "db.example.com";
        QCOMPARE(texts::importAlert({tunnel}, QStringLiteral("x"))->message,
                 QStringLiteral("Import 1 tunnel from “\u2068x\u2069”?"));
        QCOMPARE(texts::importAlert({tunnel, tunnel}, QStringLiteral("x"))->message,
                 QStringLiteral("Import 2 tunnels from “\u2068x\u2069”?"));
        const auto blank = ForwardDraft::blank(tunnelkit::Forward::Kind::local);
        QCOMPARE(saveBlocker({blank, ForwardDraft::blank(tunnelkit::Forward::Kind::remote)}),
                 std::optional(QStringLiteral("Fix 2 forwards to save.")));
    }
};

QTEST_GUILESS_MAIN(AppLanguageTests)
#include "AppLanguageTests.moc"
