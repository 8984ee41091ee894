#include "Burrowlight/Models/ForwardRowModel.h"

#include "Burrowlight/Core/BlankText.h"
#include "Burrowlight/Core/Texts/TunnelTexts.h"

#include <QTextBoundaryFinder>
#include <algorithm>

namespace burrowlight {

using tunnelkit::Forward;

namespace {

qsizetype characterCount(const QString& text) {
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype count = 0;
    while (finder.toNextBoundary() != -1) {
        ++count;
    }
    return count;
}

// Typing or deleting changes a field by one character at most; anything more is a paste.
bool isTyping(const QString& old, const QString& now) {
    return !old.isEmpty() && characterCount(now) <= characterCount(old) + 1;
}

bool targetIsSocketPath(const ForwardDraft& row) {
    const QString host = trimmedBlanks(row.targetHost);
    return host.startsWith(QLatin1Char('/')) || host.startsWith(QLatin1Char('~'));
}

} // namespace

QString ForwardRowModel::Sentence::filled(const std::function<QString(const QString&)>& decorate) const {
    const auto shown = [&](const QString& value) { return decorate ? decorate(value) : value; };
    if (tunnelkit::hasTarget(kind)) {
        return pattern.arg(shown(listen), shown(target));
    }
    return pattern.arg(shown(listen));
}

ForwardRowModel::ForwardRowModel(TunnelDraft& draft, tunnelkit::Uuid id, LiveTest isLive, QObject* parent)
    : QObject(parent), draft_(&draft), id_(id), isLive_(std::move(isLive)) {
    connect(&draft, &TunnelDraft::changed, this, &ForwardRowModel::changed);
}

ForwardDraft ForwardRowModel::forward() const {
    if (draft_) {
        const auto& rows = draft_->forwards();
        if (const auto row = std::ranges::find(rows, id_, &ForwardDraft::id); row != rows.end()) {
            return *row;
        }
    }
    return ForwardDraft::blank(Forward::Kind::local, id_);
}

void ForwardRowModel::edit(const std::function<void(ForwardDraft&)>& change) {
    if (draft_) {
        draft_->editForward(id_, change);
    }
}

void ForwardRowModel::setKind(Forward::Kind kind) {
    edit([kind](ForwardDraft& row) {
        row.kind = kind;
        if (!tunnelkit::hasTarget(kind) && row.access == Access::socket) {
            row.access = Access::loopback;
        }
    });
}

std::vector<ForwardRowModel::Access> ForwardRowModel::accessChoices() const {
    const ForwardDraft row = forward();
    std::vector<Access> choices{Access::loopback, Access::everyone, Access::address};
    if (tunnelkit::hasTarget(row.kind) || row.access == Access::socket) {
        choices.push_back(Access::socket);
    }
    return choices;
}

QString ForwardRowModel::title(Access access) {
    switch (access) {
    case Access::loopback:
        return tr("Localhost Only");
    case Access::everyone:
        return tr("Whole Network");
    case Access::address:
        return tr("Specific Address…");
    case Access::socket:
        return tr("Unix Socket");
    }
    return {};
}

void ForwardRowModel::setAccess(Access access) {
    edit([access](ForwardDraft& row) { row.access = access; });
}

bool ForwardRowModel::showsField(Field field) const {
    const ForwardDraft row = forward();
    switch (field) {
    case Field::address:
        return row.access == Access::address;
    case Field::listenPort:
        return row.access != Access::socket;
    case Field::listenPath:
        return row.access == Access::socket;
    case Field::targetHost:
        return tunnelkit::hasTarget(row.kind);
    case Field::targetPort:
        return tunnelkit::hasTarget(row.kind) && !targetIsSocketPath(row);
    }
    return false;
}

std::optional<QString> ForwardRowModel::listenHint() const {
    const ForwardDraft row = forward();
    const bool onThisComputer = tunnelkit::listensLocally(row.kind);
    if (row.access == Access::everyone && onThisComputer) {
        return tr("Other computers on the network can connect to this port too.");
    }
    if ((row.access == Access::everyone || row.access == Access::address) && !onThisComputer) {
        return tr("Works if the server has GatewayPorts on; otherwise it listens on localhost only.");
    }
    return std::nullopt;
}

void ForwardRowModel::setAddress(const QString& text) {
    edit([&text](ForwardDraft& row) {
        if (!isTyping(row.address, text)) {
            if (const auto split = hostAndPort(text)) {
                row.applyListen(split->host, split->port);
                return;
            }
        }
        row.address = text;
    });
}

void ForwardRowModel::setListenPort(const QString& text) {
    edit([&text](ForwardDraft& row) { row.setListenPort(text); });
}

void ForwardRowModel::setListenPath(const QString& text) {
    edit([&text](ForwardDraft& row) { row.listenPath = text; });
}

void ForwardRowModel::setTargetHost(const QString& text) {
    edit([&text](ForwardDraft& row) { row.setTargetHost(text); });
}

void ForwardRowModel::setTargetPort(const QString& text) {
    edit([&text](ForwardDraft& row) {
        row.targetPort = text;
        row.targetPortTyped = true;
        if (!row.listenPortTyped) {
            row.listenPort = text;
        }
    });
}

void ForwardRowModel::setNote(const QString& text) {
    edit([&text](ForwardDraft& row) { row.note = text; });
}

void ForwardRowModel::setEnabled(bool enabled) {
    edit([enabled](ForwardDraft& row) { row.isEnabled = enabled; });
}

void ForwardRowModel::remove() {
    if (draft_) {
        draft_->removeForward(id_);
    }
}

void ForwardRowModel::leave(Field field) {
    const bool isNew = visited_.insert(field).second;
    // The split announces the draft's change; a first visit alone must be told too.
    const ForwardDraft before = forward();
    edit([field](ForwardDraft& row) { row.splitHostAndPort(field); });
    if (isNew && forward() == before) {
        emit changed();
    }
}

std::optional<QString> ForwardRowModel::clash() const {
    return draft_ ? draft_->clash(id_) : std::nullopt;
}

QStringList ForwardRowModel::problemLines() const {
    return forward().problemLines(clash(), visited_);
}

bool ForwardRowModel::isOutlined(Field field) const {
    return visited_.contains(field) && forward().normalized().problems(clash()).contains(field);
}

std::optional<ForwardRowModel::Sentence> ForwardRowModel::explanation() const {
    const ForwardDraft row = forward().normalized();
    if (!row.problems(clash()).empty()) {
        return std::nullopt;
    }
    const auto listen = row.listenDescription();
    if (!listen) {
        return std::nullopt;
    }
    const auto target = row.targetEndpoint();
    Sentence sentence{
        row.kind, {}, *listen, target ? QString::fromStdString(target->displayText()) : QString()};
    switch (row.kind) {
    case Forward::Kind::local:
        sentence.pattern = tr("Connect to %1 on this computer to reach %2 as if you were on the server.");
        break;
    case Forward::Kind::remote:
        sentence.pattern = tr("Connections to %1 on the server reach %2 on this computer.");
        break;
    case Forward::Kind::dynamic:
        sentence.pattern = tr("Use %1 as a SOCKS proxy: connections leave from the server.");
        break;
    case Forward::Kind::remoteDynamic:
        sentence.pattern = tr("On the server, %1 is a SOCKS proxy: connections leave from this computer.");
        break;
    }
    return sentence;
}

std::optional<QString> ForwardRowModel::copyAddress() const {
    const ForwardDraft row = forward();
    if (!row.isEnabled) {
        return std::nullopt;
    }
    const auto made = row.forward();
    return made ? texts::browserAddress(*made) : std::nullopt;
}

std::optional<QUrl> ForwardRowModel::browserURL() const {
    const auto address = copyAddress();
    const ForwardDraft row = forward();
    if (!address || row.kind != Forward::Kind::local || !isLive_ || !isLive_(row)) {
        return std::nullopt;
    }
    const QUrl url(QStringLiteral("http://") + *address, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty()) {
        return std::nullopt;
    }
    return url;
}

} // namespace burrowlight
