#include "Burrowlight/Models/AdvancedFieldsModel.h"

#include <algorithm>
#include <limits>

namespace burrowlight {

using tunnelkit::Tunnel;

namespace {

std::optional<std::string> Tunnel::*member(AdvancedFieldsModel::File which) {
    switch (which) {
    case AdvancedFieldsModel::File::identity:
        return &Tunnel::identityFile;
    case AdvancedFieldsModel::File::certificate:
        return &Tunnel::certificateFile;
    case AdvancedFieldsModel::File::log:
        break;
    }
    return &Tunnel::logFile;
}

} // namespace

AdvancedFieldsModel::AdvancedFieldsModel(TunnelDraft& draft, QObject* parent)
    : QObject(parent), draft_(&draft) {
    connect(&draft, &TunnelDraft::changed, this, &AdvancedFieldsModel::changed);
}

void AdvancedFieldsModel::edit(const std::function<void(Tunnel&)>& change) {
    if (draft_) {
        draft_->editTunnel(change);
    }
}

void AdvancedFieldsModel::setJumpHosts(const QString& text) {
    edit([&](Tunnel& tunnel) { tunnel.jumpHosts = text.toStdString(); });
}

std::optional<std::string> AdvancedFieldsModel::file(File which) const {
    return draft_ ? draft_->tunnel().*member(which) : std::nullopt;
}

void AdvancedFieldsModel::setFile(File which, const std::optional<std::string>& path) {
    edit([&](Tunnel& tunnel) { tunnel.*member(which) = path; });
}

void AdvancedFieldsModel::setTags(const QString& text) {
    if (draft_) {
        draft_->setTags(text);
    }
}

void AdvancedFieldsModel::setPinned(bool pinned) {
    edit([&](Tunnel& tunnel) { tunnel.isPinned = pinned; });
}

void AdvancedFieldsModel::setConnectsAtLaunch(bool connects) {
    edit([&](Tunnel& tunnel) { tunnel.connectsAtLaunch = connects; });
}

void AdvancedFieldsModel::setNote(const QString& text) {
    edit([&](Tunnel& tunnel) { tunnel.note = text.toStdString(); });
}

bool AdvancedFieldsModel::reconnects() const {
    return draft_ && draft_->tunnel().retryLimit > 0;
}

void AdvancedFieldsModel::setReconnects(bool reconnects) {
    // Only turning it on writes the default: a count the switch already shows as on stays.
    if (reconnects == this->reconnects()) {
        return;
    }
    edit([&](Tunnel& tunnel) { tunnel.retryLimit = reconnects ? Tunnel::defaultRetryLimit : 0; });
}

QString AdvancedFieldsModel::attemptsText(const QLocale& locale) const {
    return draft_ ? locale.toString(draft_->tunnel().retryLimit) : QString();
}

bool AdvancedFieldsModel::setAttempts(const QString& text, const QLocale& locale) {
    bool isNumber = false;
    const qlonglong typed = locale.toLongLong(text.trimmed(), &isNumber);
    if (!isNumber || typed > std::numeric_limits<int>::max()) {
        return false;
    }
    const int attempts = static_cast<int>(std::max<qlonglong>(typed, 0));
    edit([&](Tunnel& tunnel) { tunnel.retryLimit = attempts; });
    return true;
}

} // namespace burrowlight
