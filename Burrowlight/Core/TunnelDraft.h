#pragma once

#include "Burrowlight/Core/ForwardDraft.h"
#include "TunnelKit/SSHCommandBuilder.h"
#include "TunnelKit/Tunnel.h"

#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

namespace burrowlight {

class ConfigHosts;
class TunnelController;

// The editable copy of one tunnel while the user edits it: the saved record it started from, a
// working record, the port and tags as typed and the forwards as rows. It says whether the edit can
// be saved and why not, whether saving changes the ssh connection, whether anything is unsaved, and
// takes over changes made to the saved tunnel elsewhere without losing what the user typed.
// Every setter announces `changed` only when the value differs.
class TunnelDraft : public QObject {
    Q_OBJECT

  public:
    TunnelDraft(const tunnelkit::Tunnel& tunnel, bool isNew, QObject* parent = nullptr);

    const tunnelkit::Uuid& id() const { return id_; }
    bool isNew() const { return state_.isNew; }
    bool showsProblems() const { return state_.showsProblems; }
    void setShowsProblems(bool shows);
    const tunnelkit::Tunnel& base() const { return state_.base; }
    // The editor binds its fields here, except the port, the tags and the forwards.
    const tunnelkit::Tunnel& tunnel() const { return state_.tunnel; }
    void editTunnel(const std::function<void(tunnelkit::Tunnel&)>& change);
    const QString& port() const { return state_.port; }
    void setPort(const QString& port);
    // Comma-separated.
    const QString& tags() const { return state_.tags; }
    void setTags(const QString& tags);
    const std::vector<ForwardDraft>& forwards() const { return state_.forwards; }
    // Nothing for an id no row has.
    void editForward(const tunnelkit::Uuid& id, const std::function<void(ForwardDraft&)>& change);

    void load(const tunnelkit::Tunnel& tunnel);

    // "New Tunnel" while neither name nor host is given.
    QString title() const;
    QString summary() const;
    // The rows normalized, those left blank dropped.
    std::vector<ForwardDraft> filledForwards() const;
    // The record the edit stands for, normalized; rows that don't convert are left out.
    tunnelkit::Tunnel makeTunnel() const;
    // The first reason that blocks saving.
    std::optional<QString> problem() const;
    // Whether saving would change the ssh command or the log file, under this builder.
    bool changesConnection(const tunnelkit::SSHCommandBuilder& builder) const;
    bool hasUnsavedChanges() const;

    // Saves through the controller, resolves the host again in the background and, when asked,
    // restarts the tunnel's connection. None, with nothing changed, while a problem blocks saving.
    std::optional<tunnelkit::Tunnel> save(TunnelController& controller, ConfigHosts& hosts, bool reconnect);
    void discardChanges();
    // Takes over a change of the saved tunnel made elsewhere: fields the user did not touch follow
    // it, the user's edits stay.
    void rebase(const tunnelkit::Tunnel& saved);

    tunnelkit::Uuid addForward(tunnelkit::Forward::Kind kind);
    void removeForward(const tunnelkit::Uuid& id);
    // The name of an earlier row listening on the same port.
    std::optional<QString> clash(const tunnelkit::Uuid& id) const;

  signals:
    void changed();

  private:
    struct State {
        bool isNew = false;
        bool showsProblems = false;
        tunnelkit::Tunnel base;
        tunnelkit::Tunnel tunnel;
        QString port;
        QString tags;
        std::vector<ForwardDraft> forwards;
        bool operator==(const State&) const = default;
    };

    static State loaded(State state, const tunnelkit::Tunnel& record);
    void apply(State state);
    void change(const std::function<void(State&)>& edit);
    // What the user typed differs from the saved record's own text, even where the made record
    // does not show it: a port that is not a number, a row that does not convert.
    bool portTextChanged() const;
    bool rowsChanged() const;

    tunnelkit::Uuid id_;
    State state_;
};

} // namespace burrowlight
