#include "Burrowlight/Core/TunnelDrafts.h"

#include <QTest>

using namespace burrowlight;
using tunnelkit::Tunnel;

namespace {

Tunnel named(const std::string& name) {
    Tunnel tunnel = Tunnel::created();
    tunnel.name = name;
    tunnel.host = name + ".example.com";
    return tunnel;
}

// Answers every alert with the button it was told to choose, and keeps what it was shown.
struct ScriptedAlerts : AlertPresenter {
    std::optional<size_t> answer;
    std::vector<Alert> shown;
    std::optional<size_t> run(const Alert& alert) override {
        shown.push_back(alert);
        return answer;
    }
};

TunnelDrafts::Draft editedDraft(TunnelDrafts& drafts, const Tunnel& tunnel) {
    auto draft = drafts.draft(tunnel.id, tunnel);
    drafts.registerDraft(draft);
    draft->editTunnel([](Tunnel& working) { working.note = "edited"; });
    return draft;
}

} // namespace

class TunnelDraftsTests : public QObject {
    Q_OBJECT

  private slots:
    void quitCheckListsTheNewTunnelFirstThenByTitle() {
        TunnelDrafts drafts;
        editedDraft(drafts, named("b"));
        editedDraft(drafts, named("a"));
        const auto newId = drafts.beginNewTunnel(Tunnel::created());
        QCOMPARE(drafts.beginNewTunnel(Tunnel::created()), newId);
        drafts.newTunnel()->editTunnel([](Tunnel& working) { working.host = "new.example.com"; });

        const auto unsaved = drafts.unsavedDrafts();
        QCOMPARE(unsaved.size(), size_t(3));
        QCOMPARE(unsaved[0]->id(), newId);
        QCOMPARE(unsaved[1]->title(), QStringLiteral("a"));
        QCOMPARE(unsaved[2]->title(), QStringLiteral("b"));

        ScriptedAlerts alerts;
        alerts.answer = 1;
        int windowsOpened = 0;
        QVERIFY(!confirmQuitWithUnsavedChanges(drafts, alerts, [&] { ++windowsOpened; }));
        QCOMPARE(windowsOpened, 1);
        QCOMPARE(drafts.focusRequest(), std::optional(newId));
        const Alert& alert = alerts.shown.at(0);
        QCOMPARE(alert.message, QStringLiteral("3 tunnels have unsaved changes."));
        QCOMPARE(alert.informativeText, QStringLiteral("If you quit now, the changes are lost."));
        QCOMPARE(alert.buttons.at(0).title, QStringLiteral("Quit"));
        QCOMPARE(alert.buttons.at(0).role, Alert::Button::Role::destructive);
        QCOMPARE(alert.buttons.at(1).title, QStringLiteral("Cancel"));

        alerts.answer = 0;
        QVERIFY(confirmQuitWithUnsavedChanges(drafts, alerts, {}));
    }

    void quitGoesOnWithoutUnsavedDrafts() {
        TunnelDrafts drafts;
        drafts.beginNewTunnel(Tunnel::created());
        const Tunnel saved = named("db");
        drafts.registerDraft(drafts.draft(saved.id, saved));
        ScriptedAlerts alerts;
        QVERIFY(confirmQuitWithUnsavedChanges(drafts, alerts, {}));
        QVERIFY(alerts.shown.empty());

        editedDraft(drafts, named("db"));
        QVERIFY(confirmQuitWithUnsavedChanges(drafts, alerts, {}) == false);
        QCOMPARE(alerts.shown.at(0).message, QStringLiteral("“\u2068db\u2069” has unsaved changes."));
    }

    void draftsAreHeldUntilReleasedOrPruned() {
        TunnelDrafts drafts;
        Tunnel kept = named("kept");
        Tunnel trashed = named("trashed");
        const auto keptDraft = editedDraft(drafts, kept);
        editedDraft(drafts, trashed);
        QCOMPARE(drafts.draft(kept.id), keptDraft);
        QVERIFY(drafts.isEdited(kept.id));

        trashed.deletedAt = tunnelkit::currentDate();
        drafts.prune({kept, trashed});
        QCOMPARE(drafts.edited().size(), size_t(1));

        drafts.releaseIfUnchanged(keptDraft);
        QCOMPARE(drafts.edited().size(), size_t(1));
        keptDraft->discardChanges();
        drafts.releaseIfUnchanged(keptDraft);
        QVERIFY(drafts.edited().empty());
        QCOMPARE(drafts.draft(kept.id), nullptr);
    }
};

QTEST_GUILESS_MAIN(TunnelDraftsTests)
#include "TunnelDraftsTests.moc"
