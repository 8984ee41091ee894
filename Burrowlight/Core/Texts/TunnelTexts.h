#pragma once

#include "TunnelKit/AskPass.h"
#include "TunnelKit/Tunnel.h"

#include <QString>
#include <optional>

// Short texts about tunnels, forwards and saved secrets that many screens share.
namespace burrowlight::texts {

// The name, else the host, else "Untitled Tunnel"; nothing is trimmed.
QString displayName(const tunnelkit::Tunnel& tunnel);
// The display name as a window, menu, alert or notification shows it: on one line.
QString shownName(const tunnelkit::Tunnel& tunnel);
// The enabled forwards in one line: none, the one forward's summary, or their number.
QString forwardsSummary(const tunnelkit::Tunnel& tunnel);

QString title(tunnelkit::Forward::Kind kind);
QString explanation(tunnelkit::Forward::Kind kind);
// "SOCKS 1080", or "8080 → db:5432" with "?" for a missing destination.
QString summary(const tunnelkit::Forward& forward);
// host:port to open in a browser, for TCP forwards that listen on this computer; the caller puts
// the scheme before it.
std::optional<QString> browserAddress(const tunnelkit::Forward& forward);

// A key under the home folder is shown from "~/".
QString title(const tunnelkit::SecretKey& key, const QString& homeDirectory);
QString title(const tunnelkit::SecretKey& key);

} // namespace burrowlight::texts
