#pragma once

#include "Burrowlight/Core/ForwardDraft.h"
#include "Burrowlight/Core/TunnelDraft.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <optional>
#include <set>
#include <vector>

namespace burrowlight {

// One forward of a tunnel draft as its editor row shows it: which fields it offers, what the user's
// edits write into the draft, the problems of the fields already left, and the sentence that says
// what the forward does. It owns nothing but the fields the user has left; everything else is the
// draft's.
class ForwardRowModel : public QObject {
    Q_OBJECT

  public:
    using Field = ForwardDraft::Field;
    using Access = ForwardDraft::Access;
    // Whether the forward, as edited, is running now.
    using LiveTest = std::function<bool(const ForwardDraft&)>;

    // The sentence under a forward: a pattern with %1 for the listening side and, for the kinds with
    // a destination, %2 for it; the values are set apart (monospaced) where they are shown.
    struct Sentence {
        tunnelkit::Forward::Kind kind;
        QString pattern;
        QString listen;
        QString target;
        // The pattern with each value passed through `decorate` first.
        QString filled(const std::function<QString(const QString&)>& decorate = {}) const;
    };

    ForwardRowModel(TunnelDraft& draft, tunnelkit::Uuid id, LiveTest isLive = {}, QObject* parent = nullptr);

    const tunnelkit::Uuid& id() const { return id_; }
    // The row as the draft holds it now; a blank one once the row is gone from the draft.
    ForwardDraft forward() const;

    // The kind menu. A kind without a destination can't listen on a socket it did not have.
    void setKind(tunnelkit::Forward::Kind kind);
    std::vector<Access> accessChoices() const;
    static QString title(Access access);
    void setAccess(Access access);

    // Which fields the row shows.
    bool showsField(Field field) const;
    // A warning beside the listening side: who else can reach it, or what the server must allow.
    std::optional<QString> listenHint() const;

    // The edits. The address field takes a pasted "host:port" as both.
    void setAddress(const QString& text);
    void setListenPort(const QString& text);
    void setListenPath(const QString& text);
    void setTargetHost(const QString& text);
    void setTargetPort(const QString& text);
    void setNote(const QString& text);
    void setEnabled(bool enabled);
    void remove();

    // The user left the field: its missing value may now be reported, and a "host:port" still in it
    // is split.
    void leave(Field field);
    const std::set<Field>& visited() const { return visited_; }

    // What shows under the controls: the problem lines, else the sentence, else nothing.
    QStringList problemLines() const;
    std::optional<Sentence> explanation() const;
    // A field already left that has a problem.
    bool isOutlined(Field field) const;

    // host:port to copy, for an enabled TCP forward listening on this computer.
    std::optional<QString> copyAddress() const;
    // The page to open while a local forward runs.
    std::optional<QUrl> browserURL() const;

  signals:
    void changed();

  private:
    void edit(const std::function<void(ForwardDraft&)>& change);
    std::optional<QString> clash() const;

    QPointer<TunnelDraft> draft_;
    tunnelkit::Uuid id_;
    LiveTest isLive_;
    std::set<Field> visited_;
};

} // namespace burrowlight
