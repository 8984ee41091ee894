#pragma once

#include "Burrowlight/Core/TunnelDrafts.h"
#include "Burrowlight/Models/EditorFocus.h"
#include "Burrowlight/Models/WindowSources.h"
#include "TunnelKit/AskPass.h"
#include "TunnelKit/TunnelConnection.h"

#include <QObject>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace burrowlight {

class AppModel;
class TunnelActions;

// What every part of one tunnel's detail shares: the application, the window's tunnel actions, the
// draft being edited, the editor's focus, the saved tunnel and its connection, and the secrets the
// keyring remembers for it. Made by the detail for one tunnel id and alive as long as the detail:
// it holds the draft among the open drafts meanwhile, keeps it in step with the stored tunnel, and
// has ssh resolve the hosts it names. Parts edit through `draft()` only; nothing reaches the
// manager before the draft is saved.
class DetailContext : public QObject {
    Q_OBJECT

  public:
    DetailContext(AppModel& app, TunnelActions& actions, TunnelDrafts::Draft draft, WindowSources sources,
                  QObject* parent = nullptr);
    ~DetailContext() override;

    AppModel& app() const { return app_; }
    TunnelActions& actions() const { return actions_; }
    const tunnelkit::Uuid& id() const { return draft_->id(); }
    TunnelDraft& draft() const { return *draft_; }
    const TunnelDrafts::Draft& sharedDraft() const { return draft_; }
    EditorFocusState& focus() { return focus_; }
    const WindowSources& sources() const { return sources_; }

    // None while the draft is new; a trashed tunnel is found too.
    std::optional<tunnelkit::Tunnel> savedTunnel() const;
    // The saved tunnel's connection, made on first request; none while new or when the id is unknown.
    std::shared_ptr<tunnelkit::TunnelConnection> connection() const;
    // The connection's state as the window shows it; none without a connection.
    std::optional<tunnelkit::TunnelState> state() const;
    bool isConnected() const;
    // Why the connection failed or waits; none without a connection.
    std::optional<tunnelkit::TunnelProblem> problem() const;
    // Whether this edited forward is running as shown: connected, and equal (id included) to a
    // forward of the tunnel the running ssh was started with — not the last saved one.
    bool isForwardLive(const ForwardDraft& forward) const;

    // The header's Connect button: disconnects while the state is active, connects otherwise;
    // nothing without a connection.
    void connectOrDisconnect();

    // Empty while the draft is new.
    const std::vector<tunnelkit::SecretKey>& savedSecrets() const { return savedSecrets_; }
    void refreshSavedSecrets();
    void forgetSecret(const tunnelkit::SecretKey& key);

    // Appends a blank forward of that kind and puts the cursor into its listening port.
    tunnelkit::Uuid addForwardAndFocus(tunnelkit::Forward::Kind kind);
    // Return in a text field of the detail: the draft's problems become visible.
    void showProblems();

    // Saves the draft, restarting the connection when asked. False, with the problems shown, while
    // a problem blocks saving. A saved new tunnel's draft becomes that tunnel's edited draft.
    bool saveDraft(bool reconnect);
    // Drops the new tunnel and closes it (`setCloseNew`), or takes the saved values back.
    void cancelDraft();
    void setCloseNew(std::function<void()> closeNew) { closeNew_ = std::move(closeNew); }
    // Why the last save could not be written to the tunnels file; none once it could.
    const std::optional<QString>& storageProblem() const { return storageProblem_; }

    // The detail's widgets are about to go, before this context: from here on what they send as they
    // go (the keyboard leaving a field) moves nothing, and nothing of the model reaches them.
    void detachViews();

  signals:
    void draftChanged();
    // The stored tunnels changed (this one may be among them).
    void savedTunnelChanged();
    // This tunnel's connection changed state, problem, session or record.
    void connectionChanged();
    void savedSecretsChanged();
    void storageProblemChanged();

  private:
    void followSavedTunnel();
    void followFocus(const std::optional<EditorFocus>& old);
    void resolveHost(const QString& host);
    void setStorageProblem(std::optional<QString> problem);

    AppModel& app_;
    TunnelActions& actions_;
    TunnelDrafts::Draft draft_;
    WindowSources sources_;
    EditorFocusState focus_;
    std::vector<tunnelkit::SecretKey> savedSecrets_;
    std::function<void()> closeNew_;
    std::optional<QString> storageProblem_;
    // The stored host last asked about, so that a change of it asks again.
    std::optional<std::string> resolvedSavedHost_;
};

} // namespace burrowlight
