#include "TunnelKit/Tunnel.h"

#include "TunnelKit/SSHOption.h"
#include "TunnelKit/Text.h"

#include <algorithm>
#include <charconv>
#include <type_traits>

namespace tunnelkit {

namespace {

std::optional<int> parsePortText(std::string_view text) {
    if (text.empty() || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    // Out-of-range ports are kept for validation to name; only what cannot be held is refused.
    if (value > std::numeric_limits<int>::max()) {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

} // namespace

std::optional<Endpoint> Endpoint::parse(std::string_view raw) {
    const auto text = text::trimBlanks(raw);
    if (text::startsWith(text, "/") || text::startsWith(text, "~")) {
        return socket(text);
    }
    std::string host;
    std::string_view portText;
    const std::string_view view(text);
    const auto close = view.find(']');
    if (text::startsWith(view, "[") && close != std::string_view::npos) {
        host = std::string(view.substr(1, close - 1));
        const auto rest = view.substr(close + 1);
        if (!text::startsWith(rest, ":")) {
            return std::nullopt;
        }
        portText = rest.substr(1);
    } else if (const auto colon = view.rfind(':'); colon != std::string_view::npos) {
        host = std::string(view.substr(0, colon));
        portText = view.substr(colon + 1);
    } else {
        portText = view;
    }
    const auto port = parsePortText(portText);
    if (!port) {
        return std::nullopt;
    }
    return tcp(std::move(host), *port);
}

std::string Endpoint::displayText() const {
    if (const auto* socket = asSocket()) {
        return socket->path;
    }
    const auto& tcp = std::get<Tcp>(value);
    const auto port = std::to_string(tcp.port);
    if (tcp.host.empty()) {
        return port;
    }
    if (tcp.host.find(':') != std::string::npos) {
        return "[" + tcp.host + "]:" + port;
    }
    return tcp.host + ":" + port;
}

Forward Forward::make(Uuid id, Kind kind, bool isEnabled, Endpoint listen, std::optional<Endpoint> target,
                      std::string note) {
    if (!hasTarget(kind)) {
        target.reset();
    }
    return Forward{id, kind, isEnabled, std::move(listen), std::move(target), std::move(note)};
}

bool hasTarget(Forward::Kind kind) {
    return kind == Forward::Kind::local || kind == Forward::Kind::remote;
}

bool listensLocally(Forward::Kind kind) {
    return kind == Forward::Kind::local || kind == Forward::Kind::dynamic;
}

std::string_view rawValue(Forward::Kind kind) {
    constexpr std::array<std::string_view, 4> names{"local", "remote", "dynamic", "remoteDynamic"};
    return names[static_cast<size_t>(kind)];
}

std::optional<Forward::Kind> forwardKindFromRawValue(std::string_view raw) {
    for (auto kind : Forward::allKinds) {
        if (rawValue(kind) == raw) {
            return kind;
        }
    }
    return std::nullopt;
}

Tunnel Tunnel::created(Date now) {
    Tunnel tunnel;
    tunnel.id = Uuid::random();
    tunnel.createdAt = now;
    return tunnel;
}

std::vector<Forward> Tunnel::enabledForwards() const {
    std::vector<Forward> enabled;
    std::copy_if(forwards.begin(), forwards.end(), std::back_inserter(enabled),
                 [](const Forward& f) { return f.isEnabled; });
    return enabled;
}

std::string Tunnel::destination() const {
    std::string text = user.empty() ? host : user + "@" + host;
    if (port) {
        text += ":" + std::to_string(*port);
    }
    return text;
}

std::vector<std::string> Tunnel::commandOptions() const {
    std::vector<std::string> names;
    for (const auto& option : options) {
        const auto* known = SSHOptionCatalog::option(option.name);
        if (known && known->executesCommands) {
            names.push_back(option.name);
        }
    }
    return names;
}

namespace {

bool isRiskyOption(const std::string& lowerName, const std::string& value) {
    const auto lowerValue = text::lowercased(value);
    if (lowerName == "forwardagent") {
        return lowerValue != "no";
    }
    // ssh reads "false" as "no" and "true" as "yes" for these, so both spellings weaken the check.
    if (lowerName == "stricthostkeychecking") {
        return lowerValue == "no" || lowerValue == "off" || lowerValue == "false";
    }
    if (lowerName == "userknownhostsfile") {
        return value == "/dev/null";
    }
    if (lowerName == "gatewayports") {
        return lowerValue == "yes" || lowerValue == "clientspecified" || lowerValue == "true";
    }
    return false;
}

bool isLoopbackListenHost(const std::string& host) {
    auto first = host.find_first_not_of("[] ");
    auto last = host.find_last_not_of("[] ");
    const auto bare = first == std::string::npos ? std::string() : host.substr(first, last - first + 1);
    const auto lower = text::lowercased(bare);
    return lower.empty() || lower == "localhost" || lower == "::1" || text::startsWith(lower, "127.");
}

} // namespace

std::vector<std::string> Tunnel::riskySettings() const {
    std::vector<std::string> entries;
    for (const auto& option : options) {
        const auto* known = SSHOptionCatalog::option(option.name);
        const auto& name = known ? known->name : option.name;
        const auto value = text::trimBlanks(option.value);
        if (isRiskyOption(text::lowercased(option.name), value)) {
            entries.push_back(name + " " + value);
        }
    }
    for (const auto& forward : forwards) {
        const auto* tcp = forward.listen.asTcp();
        if (tcp && !isLoopbackListenHost(tcp->host)) {
            entries.push_back(tcp->host + ":" + std::to_string(tcp->port));
        }
    }
    return entries;
}

namespace {

std::optional<std::string> normalizedPath(const std::optional<std::string>& path) {
    if (!path) {
        return std::nullopt;
    }
    auto trimmed = text::trimBlanksAndLineBreaks(*path);
    if (trimmed.empty()) {
        return std::nullopt;
    }
    return trimmed;
}

std::vector<std::string> normalizedTags(const std::vector<std::string>& tags) {
    std::vector<std::string> result;
    for (const auto& tag : tags) {
        for (const auto& piece : text::split(tag, ',')) {
            auto trimmed = text::trimBlanksAndLineBreaks(piece);
            if (!trimmed.empty() && std::find(result.begin(), result.end(), trimmed) == result.end()) {
                result.push_back(std::move(trimmed));
            }
        }
    }
    std::stable_sort(result.begin(), result.end(), [](const std::string& a, const std::string& b) {
        return text::localizedStandardCompare(a, b) < 0;
    });
    return result;
}

} // namespace

Tunnel Tunnel::normalized() const {
    Tunnel copy = *this;
    copy.name = text::trimBlanksAndLineBreaks(name);
    copy.host = text::trimBlanksAndLineBreaks(host);
    copy.user = text::trimBlanksAndLineBreaks(user);
    copy.jumpHosts = text::trimBlanksAndLineBreaks(jumpHosts);
    copy.identityFile = normalizedPath(identityFile);
    copy.certificateFile = normalizedPath(certificateFile);
    copy.logFile = normalizedPath(logFile);
    copy.tags = normalizedTags(tags);
    return copy;
}

bool compareTunnelsForList(const Tunnel& first, const Tunnel& second) {
    if (first.isPinned != second.isPinned) {
        return first.isPinned;
    }
    const auto& a = first.name.empty() ? first.host : first.name;
    const auto& b = second.name.empty() ? second.host : second.name;
    return text::localizedStandardCompare(a, b) < 0;
}

void sortForList(std::vector<const Tunnel*>& tunnels) {
    struct Keyed {
        std::string key;
        const Tunnel* tunnel;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(tunnels.size());
    for (const Tunnel* tunnel : tunnels) {
        keyed.push_back(
            {text::localizedStandardSortKey(tunnel->name.empty() ? tunnel->host : tunnel->name), tunnel});
    }
    std::ranges::stable_sort(keyed, [](const Keyed& first, const Keyed& second) {
        if (first.tunnel->isPinned != second.tunnel->isPinned) {
            return first.tunnel->isPinned;
        }
        return first.key < second.key;
    });
    std::ranges::transform(keyed, tunnels.begin(), &Keyed::tunnel);
}

// MARK: JSON

namespace json {

// Members in sorted order, as the stored forms have always had them.

void write(PrettyWriter& writer, const Endpoint& endpoint) {
    writer.beginObject();
    if (const auto* socket = endpoint.asSocket()) {
        writer.key("socket");
        writer.beginObject();
        writer.key("path");
        writer.string(socket->path);
        writer.endObject();
    } else {
        const auto& tcp = std::get<Endpoint::Tcp>(endpoint.value);
        writer.key("tcp");
        writer.beginObject();
        writer.key("host");
        writer.string(tcp.host);
        writer.key("port");
        writer.integer(tcp.port);
        writer.endObject();
    }
    writer.endObject();
}

void write(PrettyWriter& writer, const Forward& forward) {
    writer.beginObject();
    writer.key("id");
    writer.string(forward.id.toString());
    writer.key("isEnabled");
    writer.boolean(forward.isEnabled);
    writer.key("kind");
    writer.string(rawValue(forward.kind));
    writer.key("listen");
    write(writer, forward.listen);
    writer.key("note");
    writer.string(forward.note);
    if (forward.target) {
        writer.key("target");
        write(writer, *forward.target);
    }
    writer.endObject();
}

void write(PrettyWriter& writer, const SSHOptionValue& option) {
    writer.beginObject();
    writer.key("id");
    writer.string(option.id.toString());
    writer.key("name");
    writer.string(option.name);
    writer.key("value");
    writer.string(option.value);
    writer.endObject();
}

namespace {

void writeIfPresent(PrettyWriter& writer, std::string_view key, const std::optional<std::string>& value) {
    if (value) {
        writer.key(key);
        writer.string(*value);
    }
}

template <class Item> void writeArray(PrettyWriter& writer, const std::vector<Item>& items) {
    writer.beginArray();
    for (const auto& item : items) {
        if constexpr (std::is_same_v<Item, std::string>) {
            writer.string(item);
        } else {
            write(writer, item);
        }
    }
    writer.endArray();
}

} // namespace

void write(PrettyWriter& writer, const Tunnel& tunnel) {
    writer.beginObject();
    writeIfPresent(writer, "certificateFile", tunnel.certificateFile);
    writer.key("connectsAtLaunch");
    writer.boolean(tunnel.connectsAtLaunch);
    writer.key("createdAt");
    writer.string(formatIsoDate(tunnel.createdAt));
    if (tunnel.deletedAt) {
        writer.key("deletedAt");
        writer.string(formatIsoDate(*tunnel.deletedAt));
    }
    writer.key("forwards");
    writeArray(writer, tunnel.forwards);
    writer.key("host");
    writer.string(tunnel.host);
    writer.key("id");
    writer.string(tunnel.id.toString());
    writeIfPresent(writer, "identityFile", tunnel.identityFile);
    writer.key("isPinned");
    writer.boolean(tunnel.isPinned);
    writer.key("jumpHosts");
    writer.string(tunnel.jumpHosts);
    writeIfPresent(writer, "logFile", tunnel.logFile);
    writer.key("name");
    writer.string(tunnel.name);
    writer.key("note");
    writer.string(tunnel.note);
    writer.key("options");
    writeArray(writer, tunnel.options);
    if (tunnel.port) {
        writer.key("port");
        writer.integer(*tunnel.port);
    }
    writer.key("retryLimit");
    writer.integer(tunnel.retryLimit);
    writer.key("tags");
    writeArray(writer, tunnel.tags);
    writer.key("user");
    writer.string(tunnel.user);
    writer.endObject();
}

void write(PrettyWriter& writer, const std::vector<Tunnel>& tunnels) {
    writeArray(writer, tunnels);
}

Endpoint decodeEndpoint(const Reader& reader) {
    if (!reader.raw().is_object()) {
        reader.fail(DecodingError::Problem::wrongType);
    }
    const bool isTcp = reader.contains("tcp");
    const bool isSocket = reader.contains("socket");
    if (isTcp == isSocket) {
        reader.fail(DecodingError::Problem::endpointKeyCount);
    }
    if (isTcp) {
        const auto payload = reader.required("tcp");
        return Endpoint::tcp(payload.required("host").string(), payload.required("port").intValue());
    }
    return Endpoint::socket(reader.required("socket").required("path").string());
}

Forward decodeForward(const Reader& reader) {
    Forward forward;
    forward.id = reader.required("id").uuid();
    const auto kindReader = reader.required("kind");
    const auto kindText = kindReader.string();
    const auto kind = forwardKindFromRawValue(kindText);
    if (!kind) {
        kindReader.fail(DecodingError::Problem::unknownForwardKind);
    }
    forward.kind = *kind;
    forward.isEnabled = reader.required("isEnabled").boolean();
    forward.listen = decodeEndpoint(reader.required("listen"));
    if (const auto target = reader.optional("target")) {
        forward.target = decodeEndpoint(*target);
    }
    forward.note = reader.required("note").string();
    return forward;
}

SSHOptionValue decodeOption(const Reader& reader) {
    return SSHOptionValue{reader.required("id").uuid(), reader.required("name").string(),
                          reader.required("value").string()};
}

namespace {

std::optional<std::string> optionalString(const Reader& reader, std::string_view key) {
    if (const auto found = reader.optional(key)) {
        return found->string();
    }
    return std::nullopt;
}

} // namespace

Tunnel decodeTunnel(const Reader& reader) {
    Tunnel tunnel;
    tunnel.id = reader.required("id").uuid();
    tunnel.name = reader.required("name").string();
    tunnel.host = reader.required("host").string();
    if (const auto port = reader.optional("port")) {
        tunnel.port = port->intValue();
    }
    tunnel.user = reader.required("user").string();
    tunnel.identityFile = optionalString(reader, "identityFile");
    tunnel.certificateFile = optionalString(reader, "certificateFile");
    tunnel.jumpHosts = reader.required("jumpHosts").string();
    for (const auto& item : reader.required("forwards").array()) {
        tunnel.forwards.push_back(decodeForward(item));
    }
    for (const auto& item : reader.required("options").array()) {
        tunnel.options.push_back(decodeOption(item));
    }
    tunnel.tags = reader.required("tags").strings();
    tunnel.note = reader.required("note").string();
    tunnel.connectsAtLaunch = reader.required("connectsAtLaunch").boolean();
    tunnel.retryLimit = reader.required("retryLimit").intValue();
    tunnel.isPinned = reader.required("isPinned").boolean();
    tunnel.logFile = optionalString(reader, "logFile");
    tunnel.createdAt = reader.required("createdAt").date();
    if (const auto deleted = reader.optional("deletedAt")) {
        tunnel.deletedAt = deleted->date();
    }
    return tunnel;
}

std::vector<Tunnel> decodeTunnels(const Reader& reader) {
    std::vector<Tunnel> tunnels;
    for (const auto& item : reader.array()) {
        tunnels.push_back(decodeTunnel(item));
    }
    return tunnels;
}

} // namespace json

Result<Tunnel, DecodingError> decodeTunnel(std::string_view bytes) {
    return json::decode(bytes, [](const json::Reader& top) { return json::decodeTunnel(top); });
}

} // namespace tunnelkit
