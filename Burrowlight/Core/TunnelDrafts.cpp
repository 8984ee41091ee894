#include "Burrowlight/Core/TunnelDrafts.h"

#include "Burrowlight/Core/Texts/AlertTexts.h"
#include "TunnelKit/Text.h"

#include <algorithm>

namespace burrowlight {

TunnelDrafts::TunnelDrafts(QObject* parent) : QObject(parent) {}

void TunnelDrafts::setFocusRequest(const std::optional<tunnelkit::Uuid>& id) {
    if (id == focusRequest_) {
        return;
    }
    focusRequest_ = id;
    emit focusRequestChanged();
}

tunnelkit::Uuid TunnelDrafts::beginNewTunnel(const tunnelkit::Tunnel& templateTunnel) {
    if (!newTunnel_) {
        newTunnel_ = std::make_shared<TunnelDraft>(templateTunnel, true);
        emit newTunnelChanged();
    }
    return newTunnel_->id();
}

void TunnelDrafts::dropNewTunnel() {
    newTunnel_.reset();
    emit newTunnelChanged();
}

TunnelDrafts::Draft TunnelDrafts::draft(const tunnelkit::Uuid& id,
                                        const std::optional<tunnelkit::Tunnel>& saved) const {
    if (newTunnel_ && newTunnel_->id() == id) {
        return newTunnel_;
    }
    if (const auto held = edited_.find(id); held != edited_.end()) {
        return held->second;
    }
    if (saved) {
        return std::make_shared<TunnelDraft>(*saved, false);
    }
    return nullptr;
}

void TunnelDrafts::registerDraft(const Draft& draft) {
    if (!draft || draft->isNew()) {
        return;
    }
    edited_[draft->id()] = draft;
    emit editedChanged();
}

void TunnelDrafts::releaseIfUnchanged(const Draft& draft) {
    if (!draft || draft->isNew() || draft->hasUnsavedChanges()) {
        return;
    }
    const auto held = edited_.find(draft->id());
    if (held != edited_.end() && held->second == draft) {
        edited_.erase(held);
        emit editedChanged();
    }
}

void TunnelDrafts::prune(const std::vector<tunnelkit::Tunnel>& keeping) {
    std::erase_if(edited_, [&](const auto& entry) {
        return std::ranges::none_of(keeping, [&](const tunnelkit::Tunnel& tunnel) {
            return tunnel.id == entry.first && !tunnel.isTrashed();
        });
    });
    emit editedChanged();
}

bool TunnelDrafts::isEdited(const tunnelkit::Uuid& id) const {
    const auto held = edited_.find(id);
    return held != edited_.end() && (held->second->isNew() || held->second->hasUnsavedChanges());
}

std::vector<TunnelDrafts::Draft> TunnelDrafts::unsavedDrafts() const {
    std::vector<Draft> sorted;
    for (const auto& [id, draft] : edited_) {
        if (draft->isNew() || draft->hasUnsavedChanges()) {
            sorted.push_back(draft);
        }
    }
    std::ranges::stable_sort(sorted, [](const Draft& first, const Draft& second) {
        return tunnelkit::text::localizedStandardCompare(first->title().toStdString(),
                                                         second->title().toStdString()) < 0;
    });
    if (newTunnel_ && newTunnel_->hasUnsavedChanges()) {
        sorted.insert(sorted.begin(), newTunnel_);
    }
    return sorted;
}

Alert unsavedChangesAlert(const std::vector<TunnelDrafts::Draft>& drafts) {
    QStringList titles;
    for (const auto& draft : drafts) {
        titles << draft->title();
    }
    return texts::unsavedChangesAlert(titles);
}

bool confirmQuitWithUnsavedChanges(TunnelDrafts& drafts, AlertPresenter& alerts,
                                   const std::function<void()>& openMainWindow) {
    const auto unsaved = drafts.unsavedDrafts();
    if (unsaved.empty()) {
        return true;
    }
    if (alerts.run(unsavedChangesAlert(unsaved)) == 0) {
        return true;
    }
    if (openMainWindow) {
        openMainWindow();
    }
    drafts.setFocusRequest(unsaved.front()->id());
    return false;
}

} // namespace burrowlight
