#include "Burrowlight/Models/DetailModel.h"

#include "Burrowlight/Core/BlankText.h"
#include "Burrowlight/Core/ConfigHosts.h"
#include "Burrowlight/Core/Texts/MainWindowTexts.h"
#include "Burrowlight/Core/Texts/StateTexts.h"
#include "Burrowlight/Core/Texts/TunnelTexts.h"

#include <QDateTime>
#include <QLocale>

namespace burrowlight {

using tunnelkit::Date;
using tunnelkit::TunnelState;

QString DetailModel::title(bool isNew, const std::optional<tunnelkit::Tunnel>& saved) {
    if (isNew) {
        return tr("New Tunnel");
    }
    return saved ? texts::shownName(*saved) : QString();
}

std::optional<DetailModel::ConnectButton> DetailModel::connectButton(const std::optional<TunnelState>& state,
                                                                     const TunnelDraft& draft) {
    if (!state) {
        return std::nullopt;
    }
    if (state->isActive()) {
        return ConnectButton{tr("Disconnect"), true, true, {}};
    }
    const bool mustSave = draft.isNew() || draft.hasUnsavedChanges();
    return ConnectButton{tr("Connect"), false, !mustSave && !state->is<TunnelState::Disconnecting>(),
                         mustSave ? tr("Save the changes first.") : QString()};
}

bool DetailModel::showsHostWarning(const TunnelDraft& draft) {
    return trimmedBlanks(QString::fromStdString(draft.tunnel().host)).isEmpty() &&
           (draft.showsProblems() || !draft.isNew());
}

QString DetailModel::hostWarning() {
    return tr("Write the server's name, address or alias.");
}

QString DetailModel::serverRowHelp() {
    return tr("Empty fields leave the choice to ssh and to ~/.ssh/config.");
}

int DetailModel::retrySeconds(Date now, Date at) {
    if (at <= now) {
        return 0;
    }
    return int(std::chrono::ceil<std::chrono::seconds>(at - now).count());
}

QString DetailModel::retryCountdownText(Date now, Date at) {
    return tr("Retrying in %n s", nullptr, retrySeconds(now, at));
}

QString DetailModel::statusText(const TunnelState& state, Date now) {
    if (const auto* connected = state.as<TunnelState::Connected>()) {
        const auto since = QDateTime::fromMSecsSinceEpoch(
            std::chrono::duration_cast<std::chrono::milliseconds>(connected->since.time_since_epoch())
                .count());
        return tr("Connected since %1").arg(QLocale().toString(since.time(), QLocale::ShortFormat));
    }
    if (const auto* retrying = state.as<TunnelState::Retrying>()) {
        return retryCountdownText(now, retrying->at);
    }
    return texts::text(state);
}

std::optional<std::chrono::milliseconds> DetailModel::nextStatusChange(const TunnelState& state, Date now) {
    const auto* retrying = state.as<TunnelState::Retrying>();
    if (!retrying || retrying->at <= now) {
        return std::nullopt;
    }
    // The next moment the rounded-up count drops: a whole number of seconds before `at`.
    const auto left = retrying->at - now;
    const auto untilTick = left - std::chrono::floor<std::chrono::seconds>(left);
    const auto wait = untilTick > Date::duration::zero() ? untilTick : std::chrono::seconds(1);
    return std::chrono::ceil<std::chrono::milliseconds>(wait);
}

std::optional<tunnelkit::ResolvedHost> DetailModel::draftConfigHost(const TunnelDraft& draft,
                                                                    const ConfigHosts& hosts) {
    const QString host = trimmedBlanks(QString::fromStdString(draft.tunnel().host));
    if (host.isEmpty()) {
        return std::nullopt;
    }
    return hosts.host(host.toStdString());
}

QString DetailModel::userPrompt(const std::optional<tunnelkit::ResolvedHost>& host,
                                const QString& loginName) {
    if (host && QString::fromStdString(host->user) != loginName) {
        return tr("from config: %1").arg(QString::fromStdString(host->user));
    }
    return tr("default: %1").arg(loginName);
}

QString DetailModel::portPrompt(const std::optional<tunnelkit::ResolvedHost>& host) {
    return QString::number(host ? host->port : 22);
}

bool DetailModel::showsProblemBanner(const std::optional<TunnelState>& state,
                                     const std::optional<tunnelkit::TunnelProblem>& problem) {
    return state && problem && (state->is<TunnelState::Failed>() || state->is<TunnelState::Retrying>());
}

DetailModel::Banner DetailModel::banner(const TunnelState& state, const tunnelkit::TunnelProblem& problem) {
    const bool failed = state.is<TunnelState::Failed>();
    return Banner{
        failed, failed ? QStringLiteral("exclamationmark.triangle.fill") : QStringLiteral("arrow.clockwise"),
        texts::message(problem, texts::Quoting::isolated), state.is<TunnelState::Retrying>()};
}

bool DetailModel::showsUnsavedBar(const TunnelDraft& draft) {
    return draft.isNew() || draft.hasUnsavedChanges();
}

DetailModel::UnsavedBar DetailModel::unsavedBar(const TunnelDraft& draft,
                                                const std::optional<TunnelState>& state,
                                                bool changesConnection) {
    UnsavedBar bar;
    bar.title = draft.isNew() ? tr("New tunnel, not saved yet") : tr("Unsaved Changes");
    const auto problem = draft.problem();
    const bool hostGiven = !QString::fromStdString(draft.tunnel().host).trimmed().isEmpty();
    if ((draft.showsProblems() || !draft.isNew()) && hostGiven && problem) {
        bar.problem = problem;
    }
    const bool canSave = !problem;
    if (state && state->isActive() && changesConnection) {
        bar.saveButtons.push_back(SaveButton{tr("Save"), false, false, canSave});
        bar.saveButtons.push_back(SaveButton{tr("Save and Reconnect"), true, true, canSave});
    } else {
        bar.saveButtons.push_back(SaveButton{tr("Save"), false, true, canSave});
    }
    return bar;
}

} // namespace burrowlight
