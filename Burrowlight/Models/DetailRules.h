#pragma once

#include "Burrowlight/Core/TunnelDraft.h"
#include "TunnelKit/SSHConfigResolver.h"
#include "TunnelKit/SessionInfo.h"
#include "TunnelKit/TunnelConnection.h"

#include <QString>
#include <QUrl>
#include <optional>

namespace burrowlight::detail {

// The symbol that stands for a kind of forward.
QString symbolName(tunnelkit::Forward::Kind kind);

// What the read-only line of one forward offers besides its summary.
struct ForwardRowFacts {
    // "Kind" or "Kind · note".
    QString caption;
    // Copied by the copy button; none: no button.
    std::optional<QString> copyAddress;
    // Opened by the browser link; none: no link.
    std::optional<QUrl> browserURL;
};
ForwardRowFacts forwardRowFacts(const tunnelkit::Forward& forward, bool isConnected);

// Whether the "From ~/.ssh/config" section shows: a saved tunnel whose stored host resolves to a
// config host that adds something to the plain name.
bool showsConfigSection(const std::optional<tunnelkit::Tunnel>& saved,
                        const std::optional<tunnelkit::ResolvedHost>& host);
// Whether the "Session" section shows: connected, with at least one fact.
bool showsSessionSection(const std::optional<tunnelkit::TunnelState>& state,
                         const tunnelkit::SessionInfo& session);
// The tunnel whose command the "SSH Command" section shows: the draft's own when it has no
// problem, else the saved one (none for a new draft).
std::optional<tunnelkit::Tunnel> sshCommandTunnel(const TunnelDraft& draft,
                                                  const std::optional<tunnelkit::Tunnel>& saved);

// The command the "SSH Command" section shows; none hides the section.
std::optional<QString> sshCommandText(const TunnelDraft& draft, const std::optional<tunnelkit::Tunnel>& saved,
                                      const tunnelkit::SSHCommandBuilder& builder);

} // namespace burrowlight::detail
