#include "Burrowlight/Models/DetailRules.h"

#include "Burrowlight/Core/Texts/TunnelTexts.h"

namespace burrowlight::detail {

using tunnelkit::Forward;

QString symbolName(Forward::Kind kind) {
    switch (kind) {
    case Forward::Kind::local:
        return QStringLiteral("arrow.right.circle");
    case Forward::Kind::remote:
        return QStringLiteral("arrow.left.circle");
    case Forward::Kind::dynamic:
        return QStringLiteral("network");
    case Forward::Kind::remoteDynamic:
        return QStringLiteral("network.badge.shield.half.filled");
    }
    return {};
}

ForwardRowFacts forwardRowFacts(const Forward& forward, bool isConnected) {
    ForwardRowFacts facts;
    facts.caption = texts::title(forward.kind);
    if (!forward.note.empty()) {
        facts.caption += QStringLiteral(" · ") + QString::fromStdString(forward.note);
    }
    if (!forward.isEnabled) {
        return facts;
    }
    const auto address = texts::browserAddress(forward);
    if (!address) {
        return facts;
    }
    facts.copyAddress = address;
    if (forward.kind == Forward::Kind::local && isConnected) {
        const QUrl url(QStringLiteral("http://") + *address, QUrl::StrictMode);
        if (url.isValid() && !url.host().isEmpty()) {
            facts.browserURL = url;
        }
    }
    return facts;
}

bool showsConfigSection(const std::optional<tunnelkit::Tunnel>& saved,
                        const std::optional<tunnelkit::ResolvedHost>& host) {
    if (!saved || !host) {
        return false;
    }
    return host->hostname != saved->host || host->proxyJump || !host->forwards.empty();
}

bool showsSessionSection(const std::optional<tunnelkit::TunnelState>& state,
                         const tunnelkit::SessionInfo& session) {
    return state && state->isConnected() && !session.isEmpty();
}

std::optional<tunnelkit::Tunnel> sshCommandTunnel(const TunnelDraft& draft,
                                                  const std::optional<tunnelkit::Tunnel>& saved) {
    if (!draft.problem()) {
        return draft.makeTunnel();
    }
    return saved;
}

std::optional<QString> sshCommandText(const TunnelDraft& draft, const std::optional<tunnelkit::Tunnel>& saved,
                                      const tunnelkit::SSHCommandBuilder& builder) {
    const auto tunnel = sshCommandTunnel(draft, saved);
    if (!tunnel) {
        return std::nullopt;
    }
    const auto invocation = builder.invocation(*tunnel);
    if (!invocation) {
        return std::nullopt;
    }
    return QString::fromStdString(invocation->displayCommand);
}

} // namespace burrowlight::detail
