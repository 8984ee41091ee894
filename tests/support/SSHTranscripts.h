#pragma once

#include "TunnelKit/SSHLog.h"
#include "TunnelKit/SessionInfo.h"

#include <fstream>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace testing_support {

// One recorded standard error of the real ssh client and the status it exited with.
struct SSHTranscript {
    std::vector<std::string> lines;
    int exitStatus = -1;
};

inline std::string readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// Splits as the process reader does: at every line feed, one trailing carriage return removed,
// a last line without a line feed kept.
inline std::vector<std::string> splitOutputLines(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos) {
            end = bytes.size();
        }
        std::string line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

// name: the transcript's file name without extension, as listed in tests/data/ssh/INDEX.md.
inline SSHTranscript loadSSHTranscript(const std::string& name) {
    const std::string base = std::string(TEST_DATA_DIR) + "/ssh/" + name;
    SSHTranscript transcript;
    transcript.lines = splitOutputLines(readWholeFile(base + ".log"));
    std::istringstream(readWholeFile(base + ".rc")) >> transcript.exitStatus;
    return transcript;
}

} // namespace testing_support

namespace tunnelkit {

inline void PrintTo(const SSHFailure& failure, std::ostream* out) {
    static constexpr const char* names[] = {
        "localPortInUse",    "remoteForwardRejected", "badConfiguration",  "other",
        "connectionRefused", "hostNotFound",          "timedOut",          "networkUnreachable",
        "connectionLost",    "authenticationFailed",  "hostKeyNotTrusted", "hostKeyChanged"};
    *out << names[failure.value.index()];
    std::visit(
        [out](const auto& payload) {
            if constexpr (requires { payload.address; }) {
                *out << "(\"" << payload.address << "\")";
            } else if constexpr (requires { payload.text; }) {
                *out << "(\"" << payload.text << "\")";
            } else if constexpr (requires { payload.line; }) {
                *out << "(\"" << payload.line << "\")";
            }
        },
        failure.value);
}

inline void PrintTo(const SSHLogSignal& signal, std::ostream* out) {
    std::visit(
        [out](const auto& payload) {
            using Case = std::decay_t<decltype(payload)>;
            if constexpr (std::is_same_v<Case, SSHLogSignal::ExpectingRemoteForwards>) {
                *out << "expectingRemoteForwards(" << payload.count << ")";
            } else if constexpr (std::is_same_v<Case, SSHLogSignal::Failure>) {
                *out << "failure(";
                PrintTo(payload.failure, out);
                *out << ")";
            } else if constexpr (std::is_same_v<Case, SSHLogSignal::Authenticated>) {
                *out << "authenticated";
            } else if constexpr (std::is_same_v<Case, SSHLogSignal::SessionStarted>) {
                *out << "sessionStarted";
            } else {
                *out << "remoteForwardsConfirmed";
            }
        },
        signal.value);
}

inline void PrintTo(const SessionInfo& session, std::ostream* out) {
    auto field = [out](const char* name, const std::optional<std::string>& value) {
        *out << name << "=" << (value ? "\"" + *value + "\"" : std::string("none")) << " ";
    };
    field("address", session.address);
    field("serverSoftware", session.serverSoftware);
    field("authentication", session.authentication);
    field("keyExchange", session.keyExchange);
    field("hostKeyAlgorithm", session.hostKeyAlgorithm);
    field("hostKey", session.hostKey);
    field("cipherToServer", session.cipherToServer);
    field("cipherFromServer", session.cipherFromServer);
}

} // namespace tunnelkit
