#include "Burrowlight/Core/ManualCache.h"
#include "Burrowlight/Models/AdvancedFieldsModel.h"
#include "Burrowlight/Models/FileChoice.h"
#include "Burrowlight/Models/OptionsListModel.h"

#include <QSignalSpy>
#include <QTest>

using namespace burrowlight;
using tunnelkit::Tunnel;

namespace {

const tunnelkit::SSHOption& catalogue(const char* name) {
    const auto* entry = tunnelkit::SSHOptionCatalog::option(name);
    Q_ASSERT(entry);
    return *entry;
}

std::optional<QString> helpFrom(ManualCache& cache, const QString& option) {
    QObject receiver;
    std::optional<std::optional<QString>> answer;
    cache.section(option, receiver, [&answer](std::optional<QString> text) { answer = std::move(text); });
    if (!QTest::qWaitFor([&] { return answer.has_value(); }, 60000)) {
        qFatal("the manual was never rendered");
    }
    return *answer;
}

} // namespace

class EditorModelsTests : public QObject {
    Q_OBJECT

  private slots:
    void choiceOptionOffersTheCatalogueValues() {
        TunnelDraft draft(Tunnel::created(), true);
        OptionsListModel options(draft);
        options.add(catalogue("Compression"));
        options.add(catalogue("ServerAliveInterval"));
        auto rows = options.rows();
        QCOMPARE(rows.size(), 2u);
        QCOMPARE(rows[0].editor, OptionsListModel::Row::Editor::choice);
        QCOMPARE(rows[0].choices, (QStringList{QStringLiteral("yes"), QStringLiteral("no")}));
        QCOMPARE(rows[0].value, QStringLiteral("yes"));
        QCOMPARE(rows[1].editor, OptionsListModel::Row::Editor::integer);
        QCOMPARE(rows[1].value, QString());

        // An imported value that is no choice stays, as the last item.
        draft.editTunnel([](Tunnel& tunnel) {
            tunnel.options[0].name = "compression";
            tunnel.options[0].value = "maybe";
        });
        rows = options.rows();
        QCOMPARE(rows[0].name, QStringLiteral("Compression"));
        QCOMPARE(draft.tunnel().options[0].name, std::string("compression"));
        QCOMPARE(rows[0].choices.last(), QStringLiteral("maybe"));
    }

    void numberOptionIsJudgedByTheDraft() {
        TunnelDraft draft(Tunnel::created(), true);
        draft.editTunnel([](Tunnel& tunnel) { tunnel.host = "example.com"; });
        OptionsListModel options(draft);
        const auto id = options.add(catalogue("ServerAliveInterval"));
        options.setValue(id, QStringLiteral("30s"));
        QCOMPARE(draft.problem(),
                 std::optional(QStringLiteral("\u2068ServerAliveInterval\u2069 needs a whole number.")));
        options.setValue(id, QStringLiteral("30"));
        QCOMPARE(draft.problem(), std::nullopt);
    }

    void programOptionsWarnAndUnknownOnesAreText() {
        TunnelDraft draft(Tunnel::created(), true);
        OptionsListModel options(draft);
        options.add(catalogue("ProxyCommand"));
        options.add(catalogue("LocalCommand"));
        options.add(catalogue("ConnectTimeout"));
        draft.editTunnel([](Tunnel& tunnel) {
            tunnel.options.push_back({tunnelkit::Uuid::random(), "MadeUp", "1"});
        });
        const auto rows = options.rows();
        QVERIFY(rows[0].runsPrograms && rows[1].runsPrograms);
        QVERIFY(!rows[2].runsPrograms);
        QCOMPARE(rows[3].entry, nullptr);
        QCOMPARE(rows[3].editor, OptionsListModel::Row::Editor::text);
        QVERIFY(!rows[3].runsPrograms);
    }

    void addMenuIsGroupedAndRemoveTakesOnlyThatRow() {
        TunnelDraft draft(Tunnel::created(), true);
        OptionsListModel options(draft);
        const Menu menu = options.addMenu();
        QCOMPARE(menu.size(), 9u);
        QCOMPARE(menu[1].title, QStringLiteral("Keep-Alive"));
        QCOMPARE(menu[1].entries.front().title, QStringLiteral("ServerAliveInterval"));
        menu[1].entries.front().run();
        menu[1].entries.front().run();
        QCOMPARE(draft.tunnel().options.size(), 2u);
        const auto second = draft.tunnel().options[1].id;
        options.remove(draft.tunnel().options[0].id);
        QCOMPARE(draft.tunnel().options.size(), 1u);
        QCOMPARE(draft.tunnel().options[0].id, second);
    }

    void helpComesFromTheInstalledManual() {
        ManualCache cache;
        QCOMPARE(helpFrom(cache, QStringLiteral("Port")),
                 std::optional(QStringLiteral(
                     "Specifies the port number to connect on the remote host. The default is 22.")));
        QVERIFY(cache.isLoaded());
        QCOMPARE(helpFrom(cache, QStringLiteral("NoSuchOption")), std::nullopt);
    }

    void missingManualStaysMissing() {
        ManualCache cache("/nonexistent/mandoc");
        QCOMPARE(helpFrom(cache, QStringLiteral("Port")), std::nullopt);
        QVERIFY(cache.isLoaded());
    }

    void reconnectAttempts() {
        TunnelDraft draft(Tunnel::created(), true);
        AdvancedFieldsModel fields(draft);
        const QLocale c(QLocale::C);
        QVERIFY(fields.reconnects());
        QVERIFY(fields.setAttempts(QStringLiteral("3"), c));
        fields.setReconnects(false);
        QCOMPARE(draft.tunnel().retryLimit, 0);
        fields.setReconnects(true);
        QCOMPARE(draft.tunnel().retryLimit, Tunnel::defaultRetryLimit);

        // A negative count means none; a number too long for the field is refused, not wrapped.
        QVERIFY(fields.setAttempts(QStringLiteral("-5"), c));
        QCOMPARE(draft.tunnel().retryLimit, 0);
        QVERIFY(!fields.reconnects());
        QVERIFY(fields.setAttempts(QStringLiteral("12"), c));
        QVERIFY(!fields.setAttempts(QStringLiteral("4294967308"), c));
        QVERIFY(!fields.setAttempts(QStringLiteral("99999999999999999999999"), c));
        QVERIFY(!fields.setAttempts(QStringLiteral("many"), c));
        QCOMPARE(draft.tunnel().retryLimit, 12);
        QVERIFY(fields.setAttempts(QStringLiteral("1.234"), QLocale(QLocale::Italian)));
        QCOMPARE(draft.tunnel().retryLimit, 1234);
    }

    void filesUnderHomeAreStoredWithTilde() {
        const QString home = QStringLiteral("/home/ada");
        QCOMPARE(storedPath(QStringLiteral("/home/ada/.ssh/id_ed25519"), home),
                 QStringLiteral("~/.ssh/id_ed25519"));
        QCOMPARE(storedPath(QStringLiteral("/etc/ssh/key"), home), QStringLiteral("/etc/ssh/key"));
        QCOMPARE(storedPath(QStringLiteral("/home/ada2/key"), home), QStringLiteral("/home/ada2/key"));
        QCOMPARE(pathFromText(QString()), std::nullopt);
        QCOMPARE(pathFromText(QStringLiteral("  ")), std::optional<std::string>("  "));

        TunnelDraft draft(Tunnel::created(), true);
        AdvancedFieldsModel fields(draft);
        fields.setFile(AdvancedFieldsModel::File::identity, pathFromText(QStringLiteral("~/k")));
        fields.setFile(AdvancedFieldsModel::File::identity, pathFromText(QString()));
        QCOMPARE(draft.tunnel().identityFile, std::nullopt);
    }
};

QTEST_GUILESS_MAIN(EditorModelsTests)
#include "EditorModelsTests.moc"
