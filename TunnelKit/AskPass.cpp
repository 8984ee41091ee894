#include "TunnelKit/AskPass.h"

#include "TunnelKit/FileIO.h"
#include "TunnelKit/Text.h"
#include "TunnelKit/Tunnel.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <openssl/evp.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tunnelkit {

std::string_view rawValue(SecretKind kind) {
    switch (kind) {
    case SecretKind::password:
        return "password";
    case SecretKind::passphrase:
        return "passphrase";
    }
    return "password";
}

std::optional<SecretKind> secretKindFromRawValue(std::string_view raw) {
    for (auto kind : allSecretKinds) {
        if (rawValue(kind) == raw) {
            return kind;
        }
    }
    return std::nullopt;
}

std::strong_ordering SecretKey::operator<=>(const SecretKey& other) const {
    if (auto byKind = rawValue(kind) <=> rawValue(other.kind); byKind != 0) {
        return byKind;
    }
    return identity <=> other.identity;
}

std::map<std::string, std::string> AskPassEnvironment::variables(std::string_view askPassExecutable,
                                                                 const Tunnel& tunnel, Uuid attempt,
                                                                 std::string_view stateDirectory,
                                                                 std::optional<std::string> display) {
    std::map<std::string, std::string> entries{
        {"SSH_ASKPASS", std::string(askPassExecutable)},
        {"SSH_ASKPASS_REQUIRE", "force"},
        {askPassFlagKey, "1"},
        {tunnelIDKey, tunnel.id.toString()},
        {tunnelNameKey, tunnel.name.empty() ? tunnel.host : tunnel.name},
        {attemptKey, attempt.toString()},
        {stateDirectoryKey, std::string(stateDirectory)},
    };
    if (display) {
        entries.emplace(displayKey, std::move(*display));
    }
    return entries;
}

std::map<std::string, std::string> AskPassEnvironment::sshEnvironment(std::map<std::string, std::string> base,
                                                                      std::string_view askPassExecutable,
                                                                      const Tunnel& tunnel, Uuid attempt,
                                                                      std::string_view stateDirectory) {
    std::optional<std::string> display;
    if (auto found = base.find("DISPLAY"); found != base.end()) {
        display = std::move(found->second);
        base.erase(found);
    }
    // A value inherited from elsewhere would point the helper at a display this session lacks.
    base.erase(displayKey);
    for (auto& [name, value] :
         variables(askPassExecutable, tunnel, attempt, stateDirectory, std::move(display))) {
        base.insert_or_assign(name, std::move(value));
    }
    return base;
}

namespace {

constexpr std::string_view passphrasePrefix = "Enter passphrase for key '";

bool contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

AskPassRequest::Kind classify(std::string_view prompt, std::optional<std::string_view> promptHint) {
    using Kind = AskPassRequest::Kind;
    const auto lower = text::lowercased(prompt);
    if (text::startsWith(prompt, "(")) {
        return contains(lower, "password") ? Kind::password : Kind::text;
    }
    if (contains(lower, "continue connecting") || contains(lower, "(yes/no")) {
        return Kind::hostKey;
    }
    if (promptHint == "confirm") {
        return Kind::confirmation;
    }
    if (text::startsWith(prompt, passphrasePrefix)) {
        return Kind::passphrase;
    }
    if (contains(lower, "password")) {
        return Kind::password;
    }
    return Kind::text;
}

std::string passwordIdentity(std::string_view prompt) {
    const auto trimmed = text::trimBlanks(prompt);
    if (text::startsWith(trimmed, "(")) {
        if (const auto close = trimmed.find(')'); close != std::string::npos) {
            return trimmed.substr(1, close - 1);
        }
    }
    if (const auto suffix = trimmed.find("'s password"); suffix != std::string::npos) {
        return trimmed.substr(0, suffix);
    }
    return {};
}

} // namespace

AskPassRequest::AskPassRequest(std::string prompt, std::optional<std::string_view> promptHint)
    : kind(classify(prompt, promptHint)), prompt(std::move(prompt)) {}

AskPassRequest AskPassRequest::of(Kind kind, std::string prompt) {
    return AskPassRequest(kind, std::move(prompt));
}

std::optional<SecretKey> AskPassRequest::secretKey() const {
    std::optional<SecretKey> key;
    if (kind == Kind::passphrase) {
        key = SecretKey{SecretKind::passphrase, keyPath(prompt)};
    } else if (kind == Kind::password) {
        key = SecretKey{SecretKind::password, passwordIdentity(prompt)};
    }
    if (key && key->identity.empty()) {
        return std::nullopt;
    }
    return key;
}

std::string AskPassRequest::keyPath(std::string_view passphrasePrompt) {
    if (!text::startsWith(passphrasePrompt, passphrasePrefix)) {
        return {};
    }
    const auto rest = passphrasePrompt.substr(passphrasePrefix.size());
    const auto quote = rest.rfind('\'');
    if (quote == std::string_view::npos) {
        return {};
    }
    return std::string(rest.substr(0, quote));
}

bool AskPassOrigin::isStartedByApp(const ProcessTable& processes) {
    return isStartedByApp(::getpid(), processes);
}

bool AskPassOrigin::isStartedByApp(pid_t process, const ProcessTable& lookups) {
    const auto ownPath = lookups.executablePath(process);
    if (!ownPath) {
        return false;
    }
    std::set<pid_t> seen{process};
    auto candidate = lookups.parentOf(process);
    for (int step = 0; step < maximumAncestors; ++step) {
        if (!candidate || *candidate <= 1 || !seen.insert(*candidate).second) {
            return false;
        }
        if (lookups.executablePath(*candidate) == ownPath) {
            return true;
        }
        candidate = lookups.parentOf(*candidate);
    }
    return false;
}

AskPassDecision
AskPassDecision::decide(const AskPassRequest& request, std::optional<Uuid> attempt,
                        const std::optional<AskPassLedger>& ledger,
                        const std::function<std::optional<std::string>(const SecretKey&)>& savedSecret) {
    const auto key = request.secretKey();
    if (!key || !attempt || !ledger) {
        return ask(false);
    }
    auto saved = savedSecret(*key);
    if (!saved) {
        return ask(false);
    }
    switch (ledger->markUsed(*key, *attempt)) {
    case AskPassLedger::MarkOutcome::marked:
        return answer(std::move(*saved));
    case AskPassLedger::MarkOutcome::alreadyMarked:
        return ask(true);
    case AskPassLedger::MarkOutcome::unavailable:
        // Without a working ledger nothing can be known about earlier answers, and answering
        // unrecorded could hand ssh a wrong secret forever.
        return ask(false);
    }
    return ask(false);
}

namespace {

constexpr mode_t markerMode = 0600;

std::string hexadecimal(const unsigned char* bytes, size_t count) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(count * 2);
    for (size_t i = 0; i < count; ++i) {
        out.push_back(digits[bytes[i] >> 4]);
        out.push_back(digits[bytes[i] & 0x0f]);
    }
    return out;
}

} // namespace

std::string AskPassLedger::digest(const SecretKey& key) {
    const auto text = std::string(rawValue(key.kind)) + "/" + key.identity;
    unsigned char bytes[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(text.data(), text.size(), bytes, &length, EVP_sha256(), nullptr) != 1) {
        return {};
    }
    return hexadecimal(bytes, length);
}

std::string AskPassLedger::markerName(const SecretKey& key, Uuid attempt) {
    return attempt.toString() + "." + digest(key);
}

std::string AskPassLedger::cancelMarkerName(Uuid attempt) {
    return attempt.toString() + ".cancelled";
}

AskPassLedger::MarkOutcome AskPassLedger::markUsed(const SecretKey& key, Uuid attempt) const {
    if (digest(key).empty() || !createDirectories(directory_)) {
        return MarkOutcome::unavailable;
    }
    const auto path = directory_ + "/" + markerName(key, attempt);
    UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, markerMode));
    if (!fd) {
        return errno == EEXIST ? MarkOutcome::alreadyMarked : MarkOutcome::unavailable;
    }
    // The umask may have narrowed the mode; the marker is meant to be exactly 0600.
    ::fchmod(fd.get(), markerMode);
    return MarkOutcome::marked;
}

void AskPassLedger::markCancelled(Uuid attempt) const {
    (void)writeFileAtomically(directory_ + "/" + cancelMarkerName(attempt), "", markerMode);
}

bool AskPassLedger::isCancelled(Uuid attempt) const {
    return fileExists(directory_ + "/" + cancelMarkerName(attempt));
}

void AskPassLedger::clear(Uuid attempt) const {
    const auto prefix = attempt.toString();
    std::vector<std::filesystem::path> doomed;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(directory_, error), end; !error && entry != end;
         entry.increment(error)) {
        if (text::startsWith(entry->path().filename().string(), prefix)) {
            doomed.push_back(entry->path());
        }
    }
    for (const auto& path : doomed) {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
    }
}

} // namespace tunnelkit
