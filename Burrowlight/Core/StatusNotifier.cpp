#include "Burrowlight/Core/StatusNotifier.h"

#include "Burrowlight/Core/AppIdentity.h"
#include "Burrowlight/Core/EmbeddedText.h"
#include "Burrowlight/Core/Texts/StateTexts.h"
#include "Burrowlight/Core/Texts/TunnelTexts.h"

#include <QPointer>

namespace burrowlight {

using tunnelkit::TunnelState;

StatusNotifier::StatusNotifier(QDBusConnection bus, QObject* parent)
    : QObject(parent), notifications_(QString::fromLatin1(bundleIdentifier), std::move(bus)) {}

std::optional<QString> StatusNotifier::body(const TunnelState& old, const TunnelState& now,
                                            const tunnelkit::Tunnel& tunnel,
                                            const std::optional<tunnelkit::TunnelProblem>& problem) {
    if (now.is<TunnelState::Failed>()) {
        return problem ? texts::message(*problem, texts::Quoting::isolated) : tr("Couldn't connect.");
    }
    if (now.is<TunnelState::Retrying>() && old.is<TunnelState::Connected>()) {
        return tr("Connection lost, reconnecting…");
    }
    if (now.is<TunnelState::Connected>() && old.is<TunnelState::Connecting>()) {
        return tr("Connected. %1").arg(shortened(texts::forwardsSummary(tunnel)));
    }
    return std::nullopt;
}

void StatusNotifier::tunnelStateChanged(const TunnelState& old, const TunnelState& now,
                                        const tunnelkit::Tunnel& tunnel,
                                        const std::optional<tunnelkit::TunnelProblem>& problem) {
    if (const auto text = body(old, now, tunnel, problem)) {
        post(shortened(texts::displayName(tunnel)), *text, tunnel);
    }
}

void StatusNotifier::post(const QString& title, const QString& body, const tunnelkit::Tunnel& tunnel) {
    const QString key = QString::fromStdString(tunnel.id.toString());
    if (authorized_) {
        notifications_.post(key, title, body);
        return;
    }
    notifications_.checkAuthorization([self = QPointer(this), key, title, body](bool authorized) {
        if (!self) {
            return;
        }
        self->setAuthorized(authorized);
        if (authorized) {
            self->notifications_.post(key, title, body);
        }
    });
}

void StatusNotifier::setAuthorized(bool authorized) {
    if (authorized != authorized_) {
        authorized_ = authorized;
        emit authorizedChanged(authorized);
    }
}

} // namespace burrowlight
