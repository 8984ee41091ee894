#pragma once

#include "TunnelKit/Identifiers.h"
#include "TunnelKit/Tunnel.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <map>
#include <optional>
#include <set>
#include <vector>

namespace burrowlight {

// The editable form of one forward while a tunnel is edited: every field as typed, so that half-typed
// input survives between keystrokes. It turns itself back into a forward, says what is wrong with
// each field, and splits a "host:port" typed or pasted into one field.
struct ForwardDraft {
    Q_DECLARE_TR_FUNCTIONS(ForwardDraft)

  public:
    // Who can connect to the listening side.
    enum class Access {
        loopback, // only this computer, or only the server itself for the server's kinds
        everyone, // bind address "*"
        address,  // the bind address in `address`
        socket,   // a Unix socket at `listenPath`
    };

    enum class Field { address, listenPort, listenPath, targetHost, targetPort };

    struct Problem {
        QString message;
        // Only that a required value is still empty.
        bool isMissing = false;
        bool operator==(const Problem&) const = default;
    };

    struct HostAndPort {
        QString host;
        int port = 0;
        bool operator==(const HostAndPort&) const = default;
    };

    tunnelkit::Uuid id;
    tunnelkit::Forward::Kind kind = tunnelkit::Forward::Kind::local;
    bool isEnabled = true;
    QString note;
    Access access = Access::loopback;
    // The loopback host of a saved forward, written back unchanged; none for a new row.
    std::optional<QString> loopbackHost;
    QString address;
    QString listenPort;
    QString listenPath;
    // A destination host, or a destination socket path (beginning "/" or "~").
    QString targetHost;
    QString targetPort;
    // While a port has not been entered, it follows the other one.
    bool listenPortTyped = false;
    bool targetPortTyped = false;

    static ForwardDraft from(const tunnelkit::Forward& forward);
    // An empty enabled row on loopback whose ports follow each other.
    static ForwardDraft blank(tunnelkit::Forward::Kind kind, tunnelkit::Uuid id = tunnelkit::Uuid::random());

    // The empty host, "localhost", "127.0.0.1" and "::1".
    static const std::set<QString>& loopbackHosts();

    // Nothing while an endpoint is incomplete or invalid.
    std::optional<tunnelkit::Forward> forward() const;
    std::optional<tunnelkit::Endpoint> listenEndpoint() const;
    std::optional<tunnelkit::Endpoint> targetEndpoint() const;

    // The trimmed note, else the kind's title.
    QString name() const;
    QString label(Field field) const;
    // `clash` names an earlier forward listening on the same port.
    std::map<Field, Problem> problems(const std::optional<QString>& clash) const;
    // "label: message" lines for the editor row; an empty field is only reported once it was left.
    QStringList problemLines(const std::optional<QString>& clash, const std::set<Field>& visited) const;
    // The listening side as the row's sentence shows it.
    std::optional<QString> listenDescription() const;

    // The setters the editor's fields use.
    void applyListen(const QString& host, int port);
    void setListenPort(const QString& text);
    void setTargetHost(const QString& text);
    // Splits a "host:port" still typed into the field the user just left.
    void splitHostAndPort(Field field);
    // A copy with every "host:port" still typed into one field split out.
    ForwardDraft normalized() const;

    bool operator==(const ForwardDraft&) const = default;
};

// Trimmed of spaces and tabs, ASCII digits only, 1 to 65535.
std::optional<int> parsePort(const QString& text);
std::optional<ForwardDraft::Problem> portProblem(const QString& text);
std::optional<ForwardDraft::Problem> addressProblem(const QString& text);
std::optional<ForwardDraft::Problem> socketPathProblem(const QString& text);

// "[::1]:8080" or "db:5432"; a host with a colon only in brackets, so "::1:8080" is none.
std::optional<ForwardDraft::HostAndPort> hostAndPort(const QString& text);

// The name of the earlier enabled forward that listens on the same side, port and address as the
// one with this id; of two clashing rows only the later one names the other.
std::optional<QString> clashingForward(const tunnelkit::Uuid& id, const std::vector<ForwardDraft>& drafts);
// Why these forwards can't be saved, in one sentence; none when they can.
std::optional<QString> saveBlocker(const std::vector<ForwardDraft>& drafts);

} // namespace burrowlight
