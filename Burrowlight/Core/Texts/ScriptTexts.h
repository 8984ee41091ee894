#pragma once

#include "TunnelKit/TunnelConnection.h"

#include <QString>
#include <optional>

// What scripts and the command line are told about the tunnels they act on.
namespace burrowlight::texts {

// "name: status": the problem's message for a failed tunnel that has one, else the state's text.
QString statusLine(const QString& name, const tunnelkit::TunnelState& state,
                   const std::optional<tunnelkit::TunnelProblem>& problem);
// Why a tunnel is not connected after a scripted connect's wait; none once it is connected. Failures
// are one line each: a line break of a name or message is written as \uXXXX.
std::optional<QString> connectOutcome(const QString& name, const tunnelkit::TunnelState& state,
                                      const std::optional<tunnelkit::TunnelProblem>& problem);

QString termsNotAccepted();
// The tunnels file could not be read at start: scripts act on no tunnel rather than on none.
QString tunnelsUnreadable(const QString& reason);
// These two quote at most 200 characters of what they were given.
QString noTunnelTagged(const QString& tag);
// A reference (name, id or object path) that names no live tunnel.
QString noSuchTunnel(const QString& reference);
QString sayWhichTunnels();

} // namespace burrowlight::texts
