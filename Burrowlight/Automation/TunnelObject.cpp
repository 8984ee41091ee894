#include "Burrowlight/Automation/TunnelObject.h"

namespace burrowlight {

TunnelObject::TunnelObject(ScriptTunnel snapshot, QObject* parent)
    : QObject(parent), snapshot_(std::move(snapshot)) {}

QVariantMap TunnelObject::update(const ScriptTunnel& now) {
    QVariantMap changed;
    const auto compare = [&](const char* name, const auto& old, const auto& value) {
        if (old != value) {
            changed.insert(QString::fromLatin1(name), QVariant::fromValue(value));
        }
    };
    compare("Name", snapshot_.name, now.name);
    compare("Destination", snapshot_.destination, now.destination);
    compare("Tags", snapshot_.tags, now.tags);
    compare("State", snapshot_.state, uint(now.state));
    compare("LastError", snapshot_.lastError, now.lastError);
    snapshot_ = now;
    return changed;
}

} // namespace burrowlight
