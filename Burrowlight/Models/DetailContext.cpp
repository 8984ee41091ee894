#include "Burrowlight/Models/DetailContext.h"

#include "Burrowlight/Core/AppModel.h"
#include "Burrowlight/Core/BlankText.h"
#include "Burrowlight/Core/ConfigHosts.h"
#include "Burrowlight/Core/Texts/StorageTexts.h"
#include "Burrowlight/Models/DetailModel.h"

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
    connect(this, &DetailContext::savedTunnelChanged, this, &DetailContext::followSavedTunnel);
    connect(&engine, &EngineBridge::storageErrorChanged, this, [this] {
        if (!app_.controller().storageError()) {
            setStorageProblem(std::nullopt);
        }
    });
    connect(&focus_, &EditorFocusState::changed, this,
            [this](const std::optional<EditorFocus>& old) { followFocus(old); });
    app_.drafts().registerDraft(draft_);
    followSavedTunnel();
    refreshSavedSecrets();
}

DetailContext::~DetailContext() {
    app_.drafts().releaseIfUnchanged(draft_);
}

void DetailContext::detachViews() {
    focus_.close();
    disconnect(this, nullptr, nullptr, nullptr);
}

void DetailContext::followSavedTunnel() {
    const auto saved = savedTunnel();
    if (!saved) {
        return;
    }
    draft_->rebase(*saved);
    if (saved->host != resolvedSavedHost_) {
        resolvedSavedHost_ = saved->host;
        resolveHost(QString::fromStdString(saved->host));
    }
}

void DetailContext::followFocus(const std::optional<EditorFocus>& old) {
    if (old != EditorFocus{editorFocus::Host{}}) {
        return;
    }
    draft_->setShowsProblems(true);
    const QString host = trimmedBlanks(QString::fromStdString(draft_->tunnel().host));
    if (!host.isEmpty()) {
        resolveHost(host);
    }
}

void DetailContext::resolveHost(const QString& host) {
    auto& hosts = app_.configHosts();
    if (host.isEmpty() || hosts.asked().contains(host.toStdString())) {
        return;
    }
    hosts.resolve(host.toStdString());
}

bool DetailContext::saveDraft(bool reconnect) {
    const bool wasNew = draft_->isNew();
    if (!draft_->save(app_.controller(), app_.configHosts(), reconnect)) {
        draft_->setShowsProblems(true);
        return false;
    }
    const auto& error = app_.controller().storageError();
    setStorageProblem(error ? std::optional(texts::message(*error)) : std::nullopt);
    auto& drafts = app_.drafts();
    if (wasNew && drafts.newTunnel() == draft_) {
        drafts.dropNewTunnel();
        drafts.registerDraft(draft_);
    }
    refreshSavedSecrets();
    return true;
}

void DetailContext::cancelDraft() {
    if (!draft_->isNew()) {
        draft_->discardChanges();
        return;
    }
    // Letting the new tunnel go closes its detail, and this context with it: only locals from here.
    auto& drafts = app_.drafts();
    const auto closeNew = closeNew_;
    drafts.dropNewTunnel();
    if (closeNew) {
        closeNew();
    }
}

void DetailContext::setStorageProblem(std::optional<QString> problem) {
    if (problem == storageProblem_) {
        return;
    }
    storageProblem_ = std::move(problem);
    emit storageProblemChanged();
}

std::optional<Tunnel> DetailContext::savedTunnel() const {
    if (draft_->isNew()) {
        return std::nullopt;
    }
    return app_.controller().tunnel(id());
}

std::shared_ptr<tunnelkit::TunnelConnection> DetailContext::connection() const {
    if (draft_->isNew() || !app_.controller().tunnel(id())) {
        return nullptr;
    }
    return app_.engine().connection(id());
}

void DetailContext::connectOrDisconnect() {
    const auto shown = connection();
    if (!shown) {
        return;
    }
    if (shown->state().isActive()) {
        app_.controller().disconnect({id()});
    } else {
        app_.controller().connect({id()});
    }
}

std::optional<TunnelState> DetailContext::state() const {
    if (!connection()) {
        return std::nullopt;
    }
    return sources_.states(id());
}

std::optional<tunnelkit::TunnelProblem> DetailContext::problem() const {
    const auto shown = connection();
    if (!shown) {
        return std::nullopt;
    }
    return sources_.problems ? sources_.problems(id()) : shown->problem();
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
