#include "Burrowlight/Core/TunnelDraft.h"

#include "Burrowlight/Core/ConfigHosts.h"
#include "Burrowlight/Core/Texts/CommandErrorTexts.h"
#include "Burrowlight/Core/Texts/TunnelTexts.h"
#include "Burrowlight/Core/TunnelController.h"
#include "TunnelKit/Text.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace burrowlight {

using tunnelkit::Tunnel;

namespace {

std::string trimmed(const std::string& text) {
    return tunnelkit::text::trimBlanks(text);
}

QString trimmed(const QString& text) {
    return QString::fromStdString(trimmed(text.toStdString()));
}

// The port text, trimmed, when it is a signed decimal integer: an optional sign, then digits.
std::optional<std::string> integerText(const QString& text) {
    std::string digits = trimmed(text.toStdString());
    const bool negative = !digits.empty() && digits.front() == '-';
    if (!digits.empty() && (digits.front() == '+' || negative)) {
        digits.erase(0, 1);
    }
    if (digits.empty() || !std::ranges::all_of(digits, [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size() - 1));
    return negative && digits != "0" ? "-" + digits : digits;
}

bool isNotANumber(const QString& port) {
    return !trimmed(port).isEmpty() && !integerText(port);
}

// The port as the record holds it; a number beyond an int's range stands as the nearest int, which
// no port range admits either.
std::optional<int> signedInteger(const QString& text) {
    const auto digits = integerText(text);
    if (!digits) {
        return std::nullopt;
    }
    int value = 0;
    const char* end = digits->data() + digits->size();
    if (std::from_chars(digits->data(), end, value).ec == std::errc::result_out_of_range) {
        return digits->front() == '-' ? std::numeric_limits<int>::min() : std::numeric_limits<int>::max();
    }
    return value;
}

QString portText(const std::optional<int>& port) {
    return port ? QString::number(*port) : QString();
}

QString tagsText(const std::vector<std::string>& tags) {
    QStringList texts;
    for (const auto& tag : tags) {
        texts << QString::fromStdString(tag);
    }
    return texts.join(QStringLiteral(", "));
}

bool isFilled(const ForwardDraft& row) {
    return std::ranges::any_of(std::initializer_list<const QString*>{&row.listenPort, &row.listenPath,
                                                                     &row.address, &row.targetHost,
                                                                     &row.targetPort, &row.note},
                               [](const QString* text) { return !trimmed(*text).isEmpty(); });
}

std::vector<ForwardDraft> filled(const std::vector<ForwardDraft>& rows) {
    std::vector<ForwardDraft> result;
    for (const auto& row : rows) {
        auto normalized = row.normalized();
        if (isFilled(normalized)) {
            result.push_back(std::move(normalized));
        }
    }
    return result;
}

std::vector<ForwardDraft> rowsOf(const Tunnel& tunnel) {
    std::vector<ForwardDraft> rows;
    for (const auto& forward : tunnel.forwards) {
        rows.push_back(ForwardDraft::from(forward));
    }
    return rows;
}

std::optional<tunnelkit::SSHInvocation> invocation(const tunnelkit::SSHCommandBuilder& builder,
                                                   const Tunnel& tunnel) {
    auto result = builder.invocation(tunnel);
    if (!result) {
        return std::nullopt;
    }
    return std::move(*result);
}

} // namespace

TunnelDraft::TunnelDraft(const Tunnel& tunnel, bool isNew, QObject* parent)
    : QObject(parent), id_(tunnel.id) {
    state_.isNew = isNew;
    state_ = loaded(state_, tunnel);
    if (isNew && state_.forwards.empty()) {
        state_.forwards.push_back(ForwardDraft::blank(tunnelkit::Forward::Kind::local));
    }
}

TunnelDraft::State TunnelDraft::loaded(State state, const Tunnel& record) {
    state.base = record;
    state.tunnel = record;
    state.port = portText(record.port);
    state.tags = tagsText(record.tags);
    state.forwards = rowsOf(record);
    return state;
}

void TunnelDraft::apply(State state) {
    if (state == state_) {
        return;
    }
    state_ = std::move(state);
    emit changed();
}

void TunnelDraft::change(const std::function<void(State&)>& edit) {
    State state = state_;
    edit(state);
    apply(std::move(state));
}

void TunnelDraft::setShowsProblems(bool shows) {
    change([&](State& state) { state.showsProblems = shows; });
}

void TunnelDraft::editTunnel(const std::function<void(Tunnel&)>& edit) {
    change([&](State& state) { edit(state.tunnel); });
}

void TunnelDraft::setPort(const QString& port) {
    change([&](State& state) { state.port = port; });
}

void TunnelDraft::setTags(const QString& tags) {
    change([&](State& state) { state.tags = tags; });
}

void TunnelDraft::editForward(const tunnelkit::Uuid& id, const std::function<void(ForwardDraft&)>& edit) {
    change([&](State& state) {
        const auto row = std::ranges::find(state.forwards, id, &ForwardDraft::id);
        if (row != state.forwards.end()) {
            edit(*row);
        }
    });
}

void TunnelDraft::load(const Tunnel& tunnel) {
    apply(loaded(state_, tunnel));
}

QString TunnelDraft::title() const {
    const Tunnel record = state_.tunnel.normalized();
    if (record.name.empty() && record.host.empty()) {
        return tr("New Tunnel");
    }
    return texts::shownName(record);
}

QString TunnelDraft::summary() const {
    const Tunnel& record = state_.tunnel;
    QStringList parts;
    if (const auto key = trimmed(record.identityFile.value_or("")); !key.empty()) {
        parts << tr("key %1").arg(QString::fromStdString(key));
    }
    if (const auto jumps = trimmed(record.jumpHosts); !jumps.empty()) {
        parts << tr("via %1").arg(QString::fromStdString(jumps));
    }
    QStringList tags;
    for (const auto& piece : state_.tags.split(QLatin1Char(','))) {
        if (const auto tag = trimmed(piece); !tag.isEmpty()) {
            tags << tag;
        }
    }
    if (!tags.isEmpty()) {
        parts << tr("tags %1").arg(tags.join(QStringLiteral(", ")));
    }
    if (record.isPinned) {
        parts << tr("pinned");
    }
    if (record.connectsAtLaunch) {
        parts << tr("connects at launch");
    }
    if (record.retryLimit == 0) {
        parts << tr("doesn't retry");
    }
    if (!record.options.empty()) {
        parts << tr("SSH options: %n", nullptr, static_cast<int>(record.options.size()));
    }
    if (!tunnelkit::text::trimBlanksAndLineBreaks(record.note).empty()) {
        parts << tr("note");
    }
    if (parts.isEmpty()) {
        return tr("key from the SSH agent or config, no jump hosts");
    }
    return parts.join(QStringLiteral(" · "));
}

std::vector<ForwardDraft> TunnelDraft::filledForwards() const {
    return filled(state_.forwards);
}

Tunnel TunnelDraft::makeTunnel() const {
    Tunnel record = state_.tunnel;
    record.port = signedInteger(state_.port);
    record.tags.clear();
    for (const auto& piece : state_.tags.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        record.tags.push_back(piece.toStdString());
    }
    record.forwards.clear();
    for (const auto& row : filledForwards()) {
        if (auto forward = row.forward()) {
            record.forwards.push_back(std::move(*forward));
        }
    }
    return record.normalized();
}

std::optional<QString> TunnelDraft::problem() const {
    if (isNotANumber(state_.port)) {
        return tr("The port must be a number.");
    }
    if (auto blocker = saveBlocker(filledForwards())) {
        return blocker;
    }
    if (const auto valid = tunnelkit::SSHCommandBuilder::validate(makeTunnel()); !valid) {
        // In the user's digits: the record can't hold a number beyond an int.
        if (valid.error().as<tunnelkit::SSHCommandError::InvalidPort>()) {
            return texts::invalidPortMessage(QString::fromStdString(*integerText(state_.port)));
        }
        return texts::message(valid.error(), texts::Quoting::isolated);
    }
    return std::nullopt;
}

bool TunnelDraft::changesConnection(const tunnelkit::SSHCommandBuilder& builder) const {
    if (problem()) {
        return false;
    }
    const Tunnel made = makeTunnel();
    const Tunnel saved = state_.base.normalized();
    if (invocation(builder, made) != invocation(builder, saved)) {
        return true;
    }
    return made.logFile != saved.logFile;
}

bool TunnelDraft::hasUnsavedChanges() const {
    // A port that is not a number makes no port, yet it is no saved port either.
    if (isNotANumber(state_.port) || makeTunnel() != state_.base.normalized()) {
        return true;
    }
    const auto rows = filledForwards();
    return std::ranges::any_of(rows, [](const ForwardDraft& row) { return !row.forward(); });
}

std::optional<Tunnel> TunnelDraft::save(TunnelController& controller, ConfigHosts& hosts, bool reconnect) {
    if (problem()) {
        return std::nullopt;
    }
    const Tunnel made = makeTunnel();
    controller.save(made);
    hosts.resolve(made.host);
    if (reconnect) {
        controller.connection(made.id)->restart();
    }
    change([&](State& state) {
        state = loaded(state, made);
        state.isNew = false;
        state.showsProblems = false;
    });
    return made;
}

void TunnelDraft::discardChanges() {
    change([&](State& state) {
        state = loaded(state, state.base);
        state.showsProblems = false;
    });
}

bool TunnelDraft::portTextChanged() const {
    return state_.port != portText(state_.base.port);
}

bool TunnelDraft::rowsChanged() const {
    return filledForwards() != filled(rowsOf(state_.base));
}

void TunnelDraft::rebase(const Tunnel& saved) {
    if (state_.isNew || state_.base == saved) {
        return;
    }
    if (!state_.showsProblems && !hasUnsavedChanges() && !portTextChanged() && !rowsChanged()) {
        load(saved);
        return;
    }
    const Tunnel made = makeTunnel();
    const Tunnel old = state_.base.normalized();
    const bool keepsPort = made.port != old.port || portTextChanged();
    const bool keepsTags = made.tags != old.tags;
    const bool keepsForwards = made.forwards != old.forwards || rowsChanged();
    change([&](State& state) {
        Tunnel& working = state.tunnel;
        auto follow = [&](auto member) {
            if (made.*member == old.*member) {
                working.*member = saved.*member;
            }
        };
        follow(&Tunnel::name);
        follow(&Tunnel::host);
        follow(&Tunnel::user);
        follow(&Tunnel::identityFile);
        follow(&Tunnel::certificateFile);
        follow(&Tunnel::jumpHosts);
        follow(&Tunnel::options);
        follow(&Tunnel::note);
        follow(&Tunnel::connectsAtLaunch);
        follow(&Tunnel::retryLimit);
        follow(&Tunnel::isPinned);
        follow(&Tunnel::logFile);
        follow(&Tunnel::createdAt);
        follow(&Tunnel::deletedAt);
        if (!keepsPort) {
            state.port = portText(saved.port);
        }
        if (!keepsTags) {
            state.tags = tagsText(saved.tags);
        }
        if (!keepsForwards) {
            state.forwards = rowsOf(saved);
        }
        state.base = saved;
    });
}

tunnelkit::Uuid TunnelDraft::addForward(tunnelkit::Forward::Kind kind) {
    const auto row = ForwardDraft::blank(kind);
    change([&](State& state) { state.forwards.push_back(row); });
    return row.id;
}

void TunnelDraft::removeForward(const tunnelkit::Uuid& id) {
    change(
        [&](State& state) { std::erase_if(state.forwards, [&](const auto& row) { return row.id == id; }); });
}

std::optional<QString> TunnelDraft::clash(const tunnelkit::Uuid& id) const {
    std::vector<ForwardDraft> rows;
    for (const auto& row : state_.forwards) {
        rows.push_back(row.normalized());
    }
    return clashingForward(id, rows);
}

} // namespace burrowlight
