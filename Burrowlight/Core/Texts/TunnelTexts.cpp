#include "Burrowlight/Core/Texts/TunnelTexts.h"

#include "Burrowlight/Core/EmbeddedText.h"
#include "Platform/Folders.h"

#include <QCoreApplication>

namespace burrowlight::texts {

namespace {

struct TunnelWords {
    Q_DECLARE_TR_FUNCTIONS(Tunnel)
};
struct ForwardWords {
    Q_DECLARE_TR_FUNCTIONS(Forward)
};
struct SecretWords {
    Q_DECLARE_TR_FUNCTIONS(SecretKey)
};

QString displayText(const tunnelkit::Endpoint& endpoint) {
    return QString::fromStdString(endpoint.displayText());
}

} // namespace

QString displayName(const tunnelkit::Tunnel& tunnel) {
    if (!tunnel.name.empty()) {
        return QString::fromStdString(tunnel.name);
    }
    if (!tunnel.host.empty()) {
        return QString::fromStdString(tunnel.host);
    }
    return TunnelWords::tr("Untitled Tunnel");
}

QString shownName(const tunnelkit::Tunnel& tunnel) {
    return onOneLine(displayName(tunnel));
}

QString forwardsSummary(const tunnelkit::Tunnel& tunnel) {
    const auto enabled = tunnel.enabledForwards();
    if (enabled.empty()) {
        return TunnelWords::tr("No forwards");
    }
    if (enabled.size() == 1) {
        return summary(enabled.front());
    }
    return TunnelWords::tr("%n forwards", nullptr, static_cast<int>(enabled.size()));
}

QString title(tunnelkit::Forward::Kind kind) {
    using K = tunnelkit::Forward::Kind;
    switch (kind) {
    case K::local:
        return ForwardWords::tr("Local");
    case K::remote:
        return ForwardWords::tr("Remote");
    case K::dynamic:
        return ForwardWords::tr("SOCKS on This Computer");
    case K::remoteDynamic:
        return ForwardWords::tr("SOCKS on Server");
    }
    return {};
}

QString explanation(tunnelkit::Forward::Kind kind) {
    using K = tunnelkit::Forward::Kind;
    switch (kind) {
    case K::local:
        return ForwardWords::tr("A port on this computer that leads to a service the server can reach.");
    case K::remote:
        return ForwardWords::tr("A port on the server that leads to a service this computer can reach.");
    case K::dynamic:
        return ForwardWords::tr("A proxy on this computer: connections leave from the server.");
    case K::remoteDynamic:
        return ForwardWords::tr("A proxy on the server: connections leave from this computer.");
    }
    return {};
}

QString summary(const tunnelkit::Forward& forward) {
    if (!tunnelkit::hasTarget(forward.kind)) {
        return ForwardWords::tr("SOCKS %1").arg(displayText(forward.listen));
    }
    const QString target = forward.target ? displayText(*forward.target) : QStringLiteral("?");
    return displayText(forward.listen) + QStringLiteral(" → ") + target;
}

std::optional<QString> browserAddress(const tunnelkit::Forward& forward) {
    const auto* tcp = forward.listen.asTcp();
    if (!tunnelkit::listensLocally(forward.kind) || !tcp) {
        return std::nullopt;
    }
    QString host = QString::fromStdString(tcp->host);
    if (host.isEmpty() || host == QLatin1String("*")) {
        host = QStringLiteral("localhost");
    } else if (host.contains(QLatin1Char(':'))) {
        host = QLatin1Char('[') + host + QLatin1Char(']');
    }
    return host + QLatin1Char(':') + QString::number(tcp->port);
}

QString title(const tunnelkit::SecretKey& key, const QString& homeDirectory) {
    QString identity = QString::fromStdString(key.identity);
    const QString homePrefix = homeDirectory + QLatin1Char('/');
    if (!homeDirectory.isEmpty() && identity.startsWith(homePrefix)) {
        identity = QStringLiteral("~/") + identity.mid(homePrefix.size());
    }
    switch (key.kind) {
    case tunnelkit::SecretKind::password:
        return identity.isEmpty() ? SecretWords::tr("Password")
                                  : SecretWords::tr("Password for %1").arg(isolated(onOneLine(identity)));
    case tunnelkit::SecretKind::passphrase:
        return identity.isEmpty() ? SecretWords::tr("Key passphrase")
                                  : SecretWords::tr("Passphrase for %1").arg(isolated(onOneLine(identity)));
    }
    return {};
}

QString title(const tunnelkit::SecretKey& key) {
    return title(key, QString::fromStdString(platform::folders::homeDirectory()));
}

} // namespace burrowlight::texts
