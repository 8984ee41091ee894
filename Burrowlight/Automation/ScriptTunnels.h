#pragma once

#include "Burrowlight/Core/TunnelController.h"
#include "TunnelKit/Result.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

namespace burrowlight {

// Where scripts find the tunnels on the session bus, under the application's name.
namespace scripting {
inline constexpr const char* tunnelsPath = "/com/tolvan/burrowlight/Tunnels";
inline constexpr const char* tunnelsInterface = "com.tolvan.burrowlight.Tunnels";
inline constexpr const char* tunnelInterface = "com.tolvan.burrowlight.Tunnel";
// The tunnels path, "/", and the id with "_" for "-".
QString tunnelPath(const tunnelkit::Uuid& id);
// A text as the bus carries it: the bus can't carry NUL, so each one is U+FFFD. Names and tags that
// scripts give are compared with the tunnels' own in this form, so that whatever the bus shows of a
// tunnel names that tunnel again.
QString busText(QString text);
} // namespace scripting

// What scripts see of one live tunnel, as of the moment it was made.
struct ScriptTunnel {
    tunnelkit::Uuid id;
    QString uniqueID; // the id as written, in upper case
    QString name;     // the display name
    QString destination;
    QStringList tags;
    uint32_t state = 0; // scriptStateCode
    // Why it failed or is retrying; empty in every other state.
    QString lastError;

    bool operator==(const ScriptTunnel&) const = default;
};

// "BWs0" (disconnected) to "BWs5" (disconnecting), four ASCII characters read as a big-endian number.
uint32_t scriptStateCode(const tunnelkit::TunnelState& state);

ScriptTunnel scriptTunnel(TunnelController& controller, const tunnelkit::Tunnel& tunnel);
// "name: status" of each tunnel, in the order given, as the bus carries it; no connection is made
// for a tunnel that has none.
QStringList statusLines(TunnelController& controller, const std::vector<tunnelkit::Tunnel>& tunnels);
// Every live tunnel in list order.
std::vector<tunnelkit::Tunnel> liveTunnelsInListOrder(const TunnelController& controller);
std::vector<ScriptTunnel> scriptTunnels(TunnelController& controller);

// Why a script's request was refused. Each kind is one D-Bus error name standing for one of the
// numbers scripts test for: -1715, -1728 and -10000. The reply carries the message alone, as
// GLib's clients read nothing else.
struct ScriptError {
    enum class Kind {
        parameterMissing, // -1715: neither tunnels nor a tag
        noSuchTunnel,     // -1728: a reference or the tag names no live tunnel
        failed,           // -10000: the terms of use aren't accepted, or tunnels didn't connect
    };
    Kind kind;
    QString message;

    QString name() const;
};

template <class T> using ScriptResult = tunnelkit::Result<T, ScriptError>;

// The tunnels a connect or disconnect command names: those the references name and those with the
// tag (none when empty), each once, in list order. An empty answer is no error when references
// were given; neither references nor a tag is.
ScriptResult<std::vector<tunnelkit::Tunnel>>
resolveTunnels(const TunnelController& controller, const QStringList& references, const QString& tag);
// The tunnels the references name, in the order given, repeats kept: a name names every tunnel
// called so, in list order.
ScriptResult<std::vector<tunnelkit::Tunnel>> resolveEntities(const TunnelController& controller,
                                                             const QStringList& references);

// The live tunnels in stored order whose name, host, user, note, jump hosts, tags or forwards
// contain the text, letter case ignored. An empty text finds none.
std::vector<tunnelkit::Tunnel> tunnelsMatching(const TunnelController& controller, const QString& text);

TunnelController::Ids idsOf(const std::vector<tunnelkit::Tunnel>& tunnels);

} // namespace burrowlight
