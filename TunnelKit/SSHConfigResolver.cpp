#include "TunnelKit/SSHConfigResolver.h"

#include "TunnelKit/ChildProcess.h"
#include "TunnelKit/SSHCommandBuilder.h"
#include "TunnelKit/SSHConfigReader.h"
#include "TunnelKit/Text.h"

#include <charconv>
#include <thread>

namespace tunnelkit {

namespace {

// At most `maximumPieces` pieces split at single blanks, empty pieces dropped; the last piece
// is the rest of the line as it stands.
std::vector<std::string_view> splitAtBlanks(std::string_view line, size_t maximumPieces) {
    std::vector<std::string_view> pieces;
    size_t start = 0;
    for (size_t index = 0; index < line.size() && pieces.size() + 1 < maximumPieces; ++index) {
        if (line[index] != ' ') {
            continue;
        }
        if (index > start) {
            pieces.push_back(line.substr(start, index - start));
        }
        start = index + 1;
    }
    if (start < line.size()) {
        pieces.push_back(line.substr(start));
    }
    return pieces;
}

std::optional<int> decimalInteger(std::string_view textValue) {
    if (text::startsWith(textValue, "+") && !text::startsWith(textValue, "+-")) {
        textValue.remove_prefix(1);
    }
    int value = 0;
    const auto* end = textValue.data() + textValue.size();
    const auto [stop, error] = std::from_chars(textValue.data(), end, value);
    if (textValue.empty() || error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}

Forward configuredForward(std::string_view line, Forward::Kind kind, Endpoint listen,
                          std::optional<Endpoint> target) {
    return Forward::make(stableUUID(line), kind, true, std::move(listen), std::move(target), "");
}

std::optional<Forward> forwardFromLine(std::string_view key, const std::vector<std::string_view>& pieces,
                                       std::string_view line) {
    const auto listen = Endpoint::parse(pieces[1]);
    if (!listen) {
        return std::nullopt;
    }
    if (key == "dynamicforward") {
        if (listen->asSocket()) {
            return std::nullopt;
        }
        return configuredForward(line, Forward::Kind::dynamic, *listen, std::nullopt);
    }
    if (pieces.size() < 3) {
        return std::nullopt;
    }
    if (key == "remoteforward" && pieces[2] == "[socks]:0") {
        return configuredForward(line, Forward::Kind::remoteDynamic, *listen, std::nullopt);
    }
    const auto target = Endpoint::parse(pieces[2]);
    if (!target) {
        return std::nullopt;
    }
    return configuredForward(line, key == "localforward" ? Forward::Kind::local : Forward::Kind::remote,
                             *listen, *target);
}

} // namespace

std::string ResolvedHost::destination() const {
    std::string result = user.empty() ? hostname : user + "@" + hostname;
    if (port != 22) {
        result += ":" + std::to_string(port);
    }
    return result;
}

Uuid stableUUID(std::string_view textValue) {
    std::array<uint8_t, 16> buckets{};
    for (size_t offset = 0; offset < textValue.size(); ++offset) {
        auto& bucket = buckets[offset % buckets.size()];
        bucket = static_cast<uint8_t>(bucket * 31u + static_cast<uint8_t>(textValue[offset]));
    }
    return Uuid(buckets);
}

std::vector<std::string> SSHConfigResolver::arguments(std::string_view alias,
                                                      const SSHCommandBuilder& builder) {
    std::vector<std::string> result{"-G"};
    if (builder.configFile) {
        result.insert(result.end(), {"-F", *builder.configFile});
    } else if (!builder.usesConfigFiles) {
        result.insert(result.end(), {"-F", "/dev/null"});
    }
    result.emplace_back(alias);
    return result;
}

std::optional<ResolvedHost> SSHConfigResolver::resolveBlocking(const std::string& alias,
                                                               const SSHCommandBuilder& builder,
                                                               std::chrono::milliseconds timeout,
                                                               std::stop_token stop) {
    if (!SSHCommandBuilder::isValidHostToken(alias) || stop.stop_requested()) {
        return std::nullopt;
    }
    const auto run = runChildProcess(ChildProcessRequest{.executable = builder.executable,
                                                         .arguments = arguments(alias, builder),
                                                         .environment = currentEnvironment(),
                                                         .errorOutput = ErrorOutput::discarded,
                                                         .timeout = timeout},
                                     stop);
    if (!run || run->timedOut || run->stopped || run->termination != Termination(Exited{0})) {
        return std::nullopt;
    }
    return parse(decodeUTF8(run->output), alias);
}

void SSHConfigResolver::resolve(const std::string& alias, const SSHCommandBuilder& builder,
                                std::chrono::milliseconds timeout, Completion completion,
                                std::stop_token stop) {
    std::thread([alias, builder, timeout, completion = std::move(completion), stop = std::move(stop)] {
        completion(resolveBlocking(alias, builder, timeout, stop));
    }).detach();
}

ResolvedHost SSHConfigResolver::parse(std::string_view output, const std::string& alias) {
    ResolvedHost host{
        .alias = alias, .hostname = alias, .user = "", .port = 22, .proxyJump = {}, .forwards = {}};
    for (const auto& line : SSHConfigReader::nonEmptyLines(output)) {
        const auto pieces = splitAtBlanks(line, 3);
        if (pieces.size() < 2) {
            continue;
        }
        const auto key = text::lowercased(pieces[0]);
        const std::string value(pieces[1]);
        if (key == "hostname") {
            host.hostname = value;
        } else if (key == "user") {
            host.user = value;
        } else if (key == "port") {
            host.port = decimalInteger(value).value_or(22);
        } else if (key == "proxyjump") {
            host.proxyJump = value == "none" ? std::nullopt : std::optional(value);
        } else if (key == "localforward" || key == "remoteforward" || key == "dynamicforward") {
            if (auto forward = forwardFromLine(key, pieces, line)) {
                host.forwards.push_back(std::move(*forward));
            }
        }
    }
    return host;
}

} // namespace tunnelkit
