#pragma once

#include "Burrowlight/Core/Alert.h"
#include "Burrowlight/Core/TunnelDraft.h"

#include <QObject>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace burrowlight {

// The open editing drafts: at most one of a tunnel not yet saved, and the drafts of saved tunnels
// by id. Changing which drafts are held always notifies; a focus request only when it differs.
class TunnelDrafts : public QObject {
    Q_OBJECT

  public:
    using Draft = std::shared_ptr<TunnelDraft>;

    explicit TunnelDrafts(QObject* parent = nullptr);

    const Draft& newTunnel() const { return newTunnel_; }
    const std::map<tunnelkit::Uuid, Draft>& edited() const { return edited_; }
    // Asks the main window to show this tunnel and its editor.
    const std::optional<tunnelkit::Uuid>& focusRequest() const { return focusRequest_; }
    void setFocusRequest(const std::optional<tunnelkit::Uuid>& id);

    // The id of the new-tunnel draft, made from the template when there is none yet.
    tunnelkit::Uuid beginNewTunnel(const tunnelkit::Tunnel& templateTunnel);
    // When the main window lets the new tunnel go.
    void dropNewTunnel();
    // The new-tunnel draft or a held one for this id; else a fresh draft of the saved record, not
    // held yet; else none.
    Draft draft(const tunnelkit::Uuid& id,
                const std::optional<tunnelkit::Tunnel>& saved = std::nullopt) const;
    // Holds a draft of a saved tunnel; a new-tunnel draft is never held here.
    void registerDraft(const Draft& draft);
    void releaseIfUnchanged(const Draft& draft);
    // Lets go of the drafts whose tunnel is trashed or gone.
    void prune(const std::vector<tunnelkit::Tunnel>& keeping);
    // A held draft that is new or has unsaved changes.
    bool isEdited(const tunnelkit::Uuid& id) const;
    // The new tunnel first when it has changes, then the held drafts that are new or changed, by title.
    std::vector<Draft> unsavedDrafts() const;

  signals:
    void newTunnelChanged();
    void editedChanged();
    void focusRequestChanged();

  private:
    Draft newTunnel_;
    std::map<tunnelkit::Uuid, Draft> edited_;
    std::optional<tunnelkit::Uuid> focusRequest_;
};

Alert unsavedChangesAlert(const std::vector<TunnelDrafts::Draft>& drafts);

// Whether quitting may go on. With unsaved drafts it asks; going back opens the main window and asks
// it to show the first of them.
bool confirmQuitWithUnsavedChanges(TunnelDrafts& drafts, AlertPresenter& alerts,
                                   const std::function<void()>& openMainWindow);

} // namespace burrowlight
