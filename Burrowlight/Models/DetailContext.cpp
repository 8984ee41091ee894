#include "Burrowlight/Models/DetailContext.h"

#include "Burrowlight/Core/AppModel.h"

#include <algorithm>

namespace burrowlight {

using tunnelkit::Forward;
using tunnelkit::Tunnel;
using tunnelkit::TunnelState;
using tunnelkit::Uuid;

DetailContext::DetailContext(AppModel& app, TunnelActions& actions, TunnelDrafts::Draft draft,
                             WindowSources sources, QObject* parent)
    : QObject(parent), app_(app), actions_(actions), draft_(std::move(draft)), sources_(std::move(sources)) {
    connect(draft_.get(), &TunnelDraft::changed, this, &DetailContext::draftChanged);
    auto& engine = app_.engine();
    connect(&engine, &EngineBridge::tunnelsChanged, this, &DetailContext::savedTunnelChanged);
    const auto forThisTunnel = [this](const Uuid& changed) {
        if (changed == id()) {
            emit connectionChanged();
        }
    };
    connect(&engine, &EngineBridge::stateChanged, this, forThisTunnel);
    connect(&engine, &EngineBridge::problemChanged, this, forThisTunnel);
    connect(&engine, &EngineBridge::sessionChanged, this, forThisTunnel);
    connect(&engine, &EngineBridge::connectionTunnelChanged, this, forThisTunnel);
}

DetailContext::~DetailContext() = default;

std::optional<Tunnel> DetailContext::savedTunnel() const {
    if (draft_->isNew()) {
        return std::nullopt;
    }
    return app_.manager().tunnel(id());
}

std::shared_ptr<tunnelkit::TunnelConnection> DetailContext::connection() const {
    if (draft_->isNew() || !app_.manager().tunnel(id())) {
        return nullptr;
    }
    return app_.engine().connection(id());
}

std::optional<TunnelState> DetailContext::state() const {
    if (!connection()) {
        return std::nullopt;
    }
    return sources_.states(id());
}

bool DetailContext::isConnected() const {
    const auto now = state();
    return now && now->isConnected();
}

bool DetailContext::isForwardLive(const ForwardDraft& forward) const {
    if (!isConnected()) {
        return false;
    }
    const auto edited = forward.forward();
    const auto launched = app_.engine().launchedTunnel(id());
    if (!edited || !launched) {
        return false;
    }
    return std::ranges::find(launched->forwards, *edited) != launched->forwards.end();
}

void DetailContext::refreshSavedSecrets() {
    auto keys = draft_->isNew() ? std::vector<tunnelkit::SecretKey>{} : app_.secrets().keys(id());
    if (keys == savedSecrets_) {
        return;
    }
    savedSecrets_ = std::move(keys);
    emit savedSecretsChanged();
}

void DetailContext::forgetSecret(const tunnelkit::SecretKey& key) {
    app_.secrets().deleteSecret(id(), key);
    refreshSavedSecrets();
}

Uuid DetailContext::addForwardAndFocus(Forward::Kind kind) {
    const Uuid added = draft_->addForward(kind);
    focus_.set(editorFocus::Forward{added, ForwardDraft::Field::listenPort});
    return added;
}

void DetailContext::showProblems() {
    draft_->setShowsProblems(true);
}

} // namespace burrowlight
