#include "Burrowlight/Core/ForwardDraft.h"

#include "Burrowlight/Core/BlankText.h"
#include "Burrowlight/Core/EmbeddedText.h"
#include "Burrowlight/Core/Texts/CommandErrorTexts.h"
#include "Burrowlight/Core/Texts/TunnelTexts.h"
#include "TunnelKit/SSHCommandBuilder.h"

#include <algorithm>

namespace burrowlight {

using tunnelkit::Endpoint;
using tunnelkit::Forward;
using Field = ForwardDraft::Field;
using Problem = ForwardDraft::Problem;

namespace {

bool isSocketPath(const QString& trimmedText) {
    return trimmedText.startsWith(QLatin1Char('/')) || trimmedText.startsWith(QLatin1Char('~'));
}

// Typing or deleting changes a field by one character at most; anything more is a paste.
bool isTyping(const QString& old, const QString& now) {
    return !old.isEmpty() && now.size() <= old.size() + 1;
}

QString lowercasedFirst(QString text) {
    if (!text.isEmpty()) {
        text[0] = text[0].toLower();
    }
    return text;
}

// Where a forward listens: loopback counts as one address whatever its spelling.
QString bindAddress(const ForwardDraft& draft) {
    switch (draft.access) {
    case ForwardDraft::Access::everyone:
        return QStringLiteral("*");
    case ForwardDraft::Access::address:
        return trimmedBlanks(draft.address);
    case ForwardDraft::Access::loopback:
    case ForwardDraft::Access::socket:
        break;
    }
    return QStringLiteral("localhost");
}

bool canClash(const ForwardDraft& draft) {
    return draft.isEnabled && draft.access != ForwardDraft::Access::socket && parsePort(draft.listenPort);
}

} // namespace

ForwardDraft ForwardDraft::from(const Forward& forward) {
    ForwardDraft draft = blank(forward.kind, forward.id);
    draft.isEnabled = forward.isEnabled;
    draft.note = QString::fromStdString(forward.note);
    draft.listenPortTyped = true;
    draft.targetPortTyped = true;
    if (const auto* socket = forward.listen.asSocket()) {
        draft.access = Access::socket;
        draft.listenPath = QString::fromStdString(socket->path);
    } else if (const auto* tcp = forward.listen.asTcp()) {
        draft.listenPort = QString::number(tcp->port);
        const QString host = QString::fromStdString(tcp->host);
        if (loopbackHosts().contains(host)) {
            draft.loopbackHost = host;
        } else if (host == QLatin1String("*")) {
            draft.access = Access::everyone;
        } else {
            draft.access = Access::address;
            draft.address = host;
        }
    }
    if (forward.target) {
        if (const auto* socket = forward.target->asSocket()) {
            draft.targetHost = QString::fromStdString(socket->path);
        } else if (const auto* tcp = forward.target->asTcp()) {
            draft.targetHost = QString::fromStdString(tcp->host);
            draft.targetPort = QString::number(tcp->port);
        }
    }
    return draft;
}

ForwardDraft ForwardDraft::blank(Forward::Kind kind, tunnelkit::Uuid id) {
    ForwardDraft draft;
    draft.id = id;
    draft.kind = kind;
    return draft;
}

const std::set<QString>& ForwardDraft::loopbackHosts() {
    static const std::set<QString> hosts{QString(), QStringLiteral("localhost"), QStringLiteral("127.0.0.1"),
                                         QStringLiteral("::1")};
    return hosts;
}

std::optional<Endpoint> ForwardDraft::listenEndpoint() const {
    if (access == Access::socket) {
        const QString path = trimmedBlanks(listenPath);
        if (path.isEmpty()) {
            return std::nullopt;
        }
        return Endpoint::socket(path.toStdString());
    }
    const auto port = parsePort(listenPort);
    if (!port) {
        return std::nullopt;
    }
    switch (access) {
    case Access::loopback: {
        const QString host =
            loopbackHost.value_or(tunnelkit::listensLocally(kind) ? QStringLiteral("localhost") : QString());
        return Endpoint::tcp(host.toStdString(), *port);
    }
    case Access::everyone:
        return Endpoint::tcp("*", *port);
    case Access::address: {
        const QString host = trimmedBlanks(address);
        if (host.isEmpty()) {
            return std::nullopt;
        }
        return Endpoint::tcp(host.toStdString(), *port);
    }
    case Access::socket:
        break;
    }
    return std::nullopt;
}

std::optional<Endpoint> ForwardDraft::targetEndpoint() const {
    const QString host = trimmedBlanks(targetHost);
    if (isSocketPath(host)) {
        return Endpoint::socket(host.toStdString());
    }
    const auto port = parsePort(targetPort);
    if (!port) {
        return std::nullopt;
    }
    return Endpoint::tcp(host.isEmpty() ? std::string("localhost") : host.toStdString(), *port);
}

std::optional<Forward> ForwardDraft::forward() const {
    const auto listen = listenEndpoint();
    if (!listen) {
        return std::nullopt;
    }
    std::optional<Endpoint> target;
    if (tunnelkit::hasTarget(kind)) {
        target = targetEndpoint();
        if (!target) {
            return std::nullopt;
        }
    }
    return Forward::make(id, kind, isEnabled, *listen, std::move(target), trimmedBlanks(note).toStdString());
}

QString ForwardDraft::name() const {
    const QString trimmedNote = trimmedBlanks(note);
    return trimmedNote.isEmpty() ? texts::title(kind) : trimmedNote;
}

QString ForwardDraft::label(Field field) const {
    switch (field) {
    case Field::address:
        return tr("Listening Address");
    case Field::listenPort:
        return tunnelkit::listensLocally(kind) ? tr("Port on This Computer") : tr("Port on the Server");
    case Field::listenPath:
        return tr("Socket Path");
    case Field::targetHost:
        return tr("Destination Address");
    case Field::targetPort:
        return tr("Destination Port");
    }
    return {};
}

std::map<Field, Problem> ForwardDraft::problems(const std::optional<QString>& clash) const {
    std::map<Field, Problem> found;
    const auto add = [&found](Field field, std::optional<Problem> problem) {
        if (problem) {
            found.emplace(field, std::move(*problem));
        }
    };
    if (access == Access::socket) {
        add(Field::listenPath, socketPathProblem(listenPath));
    } else {
        add(Field::listenPort, portProblem(listenPort));
        if (access == Access::address) {
            add(Field::address, addressProblem(address));
        }
    }
    if (tunnelkit::hasTarget(kind)) {
        const QString host = trimmedBlanks(targetHost);
        if (isSocketPath(host)) {
            add(Field::targetHost, socketPathProblem(host));
        } else {
            if (!host.isEmpty()) {
                add(Field::targetHost, addressProblem(host));
            }
            add(Field::targetPort, portProblem(targetPort));
        }
    }
    if (clash && !found.contains(Field::listenPort) && !found.contains(Field::address)) {
        found.emplace(Field::listenPort,
                      Problem{tr("Port already used by “%1”.").arg(inSentence(*clash)), false});
    }
    return found;
}

QStringList ForwardDraft::problemLines(const std::optional<QString>& clash,
                                       const std::set<Field>& visited) const {
    const auto found = normalized().problems(clash);
    QStringList lines;
    for (const Field field :
         {Field::address, Field::listenPath, Field::listenPort, Field::targetHost, Field::targetPort}) {
        const auto problem = found.find(field);
        if (problem == found.end() || (problem->second.isMissing && !visited.contains(field))) {
            continue;
        }
        lines.push_back(label(field) + QStringLiteral(": ") + lowercasedFirst(problem->second.message));
    }
    return lines;
}

std::optional<QString> ForwardDraft::listenDescription() const {
    const auto endpoint = listenEndpoint();
    if (!endpoint) {
        return std::nullopt;
    }
    if (const auto* tcp = endpoint->asTcp();
        tcp && (loopbackHosts().contains(QString::fromStdString(tcp->host)) || tcp->host == "*")) {
        return QString::fromStdString(Endpoint::tcp("localhost", tcp->port).displayText());
    }
    return QString::fromStdString(endpoint->displayText());
}

void ForwardDraft::applyListen(const QString& host, int port) {
    if (loopbackHosts().contains(host)) {
        access = Access::loopback;
        loopbackHost = host;
    } else if (host == QLatin1String("*")) {
        access = Access::everyone;
    } else {
        access = Access::address;
        address = host;
    }
    setListenPort(QString::number(port));
}

void ForwardDraft::setListenPort(const QString& text) {
    if (!isTyping(listenPort, text)) {
        if (const auto split = hostAndPort(text)) {
            applyListen(split->host, split->port);
            return;
        }
    }
    listenPort = text;
    listenPortTyped = true;
    if (tunnelkit::hasTarget(kind) && !targetPortTyped) {
        targetPort = text;
    }
}

void ForwardDraft::setTargetHost(const QString& text) {
    const auto split = isTyping(targetHost, text) ? std::nullopt : hostAndPort(text);
    if (!split) {
        targetHost = text;
        return;
    }
    targetHost = split->host;
    targetPort = QString::number(split->port);
    targetPortTyped = true;
    if (!listenPortTyped) {
        listenPort = targetPort;
    }
}

void ForwardDraft::splitHostAndPort(Field field) {
    switch (field) {
    case Field::address:
    case Field::listenPort:
        if (const auto split = hostAndPort(field == Field::address ? address : listenPort)) {
            applyListen(split->host, split->port);
        }
        return;
    case Field::targetHost:
        if (const auto split = hostAndPort(targetHost)) {
            targetHost = split->host;
            targetPort = QString::number(split->port);
            targetPortTyped = true;
            if (!listenPortTyped) {
                listenPort = targetPort;
            }
        }
        return;
    case Field::listenPath:
    case Field::targetPort:
        return;
    }
}

ForwardDraft ForwardDraft::normalized() const {
    ForwardDraft copy = *this;
    if (copy.access != Access::socket) {
        if (copy.access == Access::address) {
            copy.splitHostAndPort(Field::address);
        }
        copy.splitHostAndPort(Field::listenPort);
    }
    if (tunnelkit::hasTarget(copy.kind)) {
        copy.splitHostAndPort(Field::targetHost);
    }
    return copy;
}

std::optional<int> parsePort(const QString& text) {
    const QString digits = trimmedBlanks(text);
    if (digits.isEmpty() ||
        !std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'0' && c <= u'9'; })) {
        return std::nullopt;
    }
    bool fits = false;
    const qulonglong value = digits.toULongLong(&fits);
    if (!fits || value < 1 || value > 65535) {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

std::optional<Problem> portProblem(const QString& text) {
    if (trimmedBlanks(text).isEmpty()) {
        return Problem{ForwardDraft::tr("The port is missing."), true};
    }
    if (!parsePort(text)) {
        return Problem{ForwardDraft::tr("Ports go from 1 to 65535."), false};
    }
    return std::nullopt;
}

std::optional<Problem> addressProblem(const QString& text) {
    const QString host = trimmedBlanks(text);
    if (host.isEmpty()) {
        return Problem{ForwardDraft::tr("The address is missing."), true};
    }
    if (tunnelkit::SSHCommandBuilder::endpointProblem(Endpoint::tcp(host.toStdString(), 1), false)) {
        return Problem{ForwardDraft::tr("Addresses can't contain spaces or slashes, or start with a dash."),
                       false};
    }
    return std::nullopt;
}

std::optional<Problem> socketPathProblem(const QString& text) {
    const QString path = trimmedBlanks(text);
    if (path.isEmpty()) {
        return Problem{ForwardDraft::tr("The socket path is missing."), true};
    }
    if (const auto problem =
            tunnelkit::SSHCommandBuilder::endpointProblem(Endpoint::socket(path.toStdString()), false)) {
        return Problem{texts::message(*problem), false};
    }
    return std::nullopt;
}

std::optional<ForwardDraft::HostAndPort> hostAndPort(const QString& text) {
    const auto endpoint = Endpoint::parse(text.toStdString());
    const auto* tcp = endpoint ? endpoint->asTcp() : nullptr;
    if (!tcp || tcp->host.empty()) {
        return std::nullopt;
    }
    const QString host = QString::fromStdString(tcp->host);
    if (host.contains(QLatin1Char(':')) && !trimmedBlanks(text).startsWith(QLatin1Char('['))) {
        return std::nullopt;
    }
    return ForwardDraft::HostAndPort{host, tcp->port};
}

std::optional<QString> clashingForward(const tunnelkit::Uuid& id, const std::vector<ForwardDraft>& drafts) {
    const auto self =
        std::find_if(drafts.begin(), drafts.end(), [&](const ForwardDraft& d) { return d.id == id; });
    if (self == drafts.end() || !canClash(*self)) {
        return std::nullopt;
    }
    const auto port = parsePort(self->listenPort);
    const QString address = bindAddress(*self);
    const bool listensLocally = tunnelkit::listensLocally(self->kind);
    for (auto earlier = drafts.begin(); earlier != self; ++earlier) {
        if (!canClash(*earlier) || tunnelkit::listensLocally(earlier->kind) != listensLocally ||
            parsePort(earlier->listenPort) != port) {
            continue;
        }
        const QString other = bindAddress(*earlier);
        if (other == QLatin1String("*") || address == QLatin1String("*") || other == address) {
            return earlier->name();
        }
    }
    return std::nullopt;
}

std::optional<QString> saveBlocker(const std::vector<ForwardDraft>& drafts) {
    std::vector<std::pair<const ForwardDraft*, std::map<Field, Problem>>> blocking;
    for (const auto& draft : drafts) {
        auto found = draft.problems(clashingForward(draft.id, drafts));
        if (!found.empty()) {
            blocking.emplace_back(&draft, std::move(found));
        }
    }
    if (blocking.empty()) {
        return std::nullopt;
    }
    if (blocking.size() > 1) {
        return ForwardDraft::tr("Fix %n forwards to save.", nullptr, static_cast<int>(blocking.size()));
    }
    const auto& [draft, found] = blocking.front();
    const bool onlyMissing =
        std::all_of(found.begin(), found.end(), [](const auto& entry) { return entry.second.isMissing; });
    const QString name = inSentence(draft->name());
    return onlyMissing ? ForwardDraft::tr("Complete “%1”, or remove it.").arg(name)
                       : ForwardDraft::tr("Fix “%1” to save.").arg(name);
}

} // namespace burrowlight
