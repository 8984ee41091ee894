#pragma once

#include "TunnelKit/Identifiers.h"
#include "TunnelKit/ProcessTable.h"

#include <array>
#include <compare>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <variant>

// ssh asks its questions through the askpass program named in its environment; this executable
// answers them in a second role. These are the pieces both roles share: the environment that
// connects them, the reading of ssh's prompt, the origin check and the per-attempt ledger.
namespace tunnelkit {

struct Tunnel;

enum class SecretKind { password, passphrase };
inline constexpr std::array<SecretKind, 2> allSecretKinds{SecretKind::password, SecretKind::passphrase};
std::string_view rawValue(SecretKind kind);
// Exactly "password" or "passphrase".
std::optional<SecretKind> secretKindFromRawValue(std::string_view raw);

// What a remembered secret is filed under: a password by the user and host as ssh's prompt names
// them, a passphrase by the private key's path.
struct SecretKey {
    SecretKind kind = SecretKind::password;
    std::string identity;

    bool operator==(const SecretKey&) const = default;
    // The list order: by the kind's raw value ("passphrase" before "password"), then the identity.
    std::strong_ordering operator<=>(const SecretKey& other) const;
};

struct AskPassEnvironment {
    AskPassEnvironment() = delete;

    static constexpr const char* askPassFlagKey = "BURROWLIGHT_ASKPASS";
    static constexpr const char* tunnelIDKey = "BURROWLIGHT_TUNNEL_ID";
    // The tunnel's name, or its host when it has none: the server the question is about.
    static constexpr const char* tunnelNameKey = "BURROWLIGHT_TUNNEL_NAME";
    static constexpr const char* attemptKey = "BURROWLIGHT_ATTEMPT";
    static constexpr const char* stateDirectoryKey = "BURROWLIGHT_STATE_DIR";
    // ssh never gets DISPLAY (it would prefer its own askpass dialogs); the helper needs one for its
    // window, so it travels under this name and the helper restores it.
    static constexpr const char* displayKey = "BURROWLIGHT_DISPLAY";
    // Set by ssh when it starts the helper; "confirm" marks a yes/no question.
    static constexpr const char* promptHintKey = "SSH_ASKPASS_PROMPT";

    // The entries a connection adds to ssh's environment: the askpass program, its forced use, the
    // role flag, the tunnel, the attempt and the state directory, and the display when there is one.
    static std::map<std::string, std::string> variables(std::string_view askPassExecutable,
                                                        const Tunnel& tunnel, Uuid attempt,
                                                        std::string_view stateDirectory,
                                                        std::optional<std::string> display = std::nullopt);

    // ssh's whole environment for one attempt: the base without DISPLAY, its value carried as
    // BURROWLIGHT_DISPLAY, and the askpass entries replacing any of the same name.
    static std::map<std::string, std::string> sshEnvironment(std::map<std::string, std::string> base,
                                                             std::string_view askPassExecutable,
                                                             const Tunnel& tunnel, Uuid attempt,
                                                             std::string_view stateDirectory);
};

// One of ssh's questions, with its prompt exactly as ssh wrote it.
struct AskPassRequest {
    enum class Kind { hostKey, passphrase, password, confirmation, text };

    Kind kind = Kind::text;
    std::string prompt;

    // Classifies the prompt; the hint is SSH_ASKPASS_PROMPT's value when ssh set it.
    AskPassRequest(std::string prompt, std::optional<std::string_view> promptHint);
    static AskPassRequest of(Kind kind, std::string prompt);

    // Where a remembered answer is kept; nothing for questions that are never answered from memory.
    std::optional<SecretKey> secretKey() const;
    // The path between "Enter passphrase for key '" and the last "'"; empty when either is missing.
    static std::string keyPath(std::string_view passphrasePrompt);

    bool operator==(const AskPassRequest&) const = default;

  private:
    AskPassRequest(Kind kind, std::string prompt) : kind(kind), prompt(std::move(prompt)) {}
};

// Whether the helper was started, through ssh, by the running application: one of its ancestors
// runs the very same executable file.
struct AskPassOrigin {
    AskPassOrigin() = delete;

    static constexpr int maximumAncestors = 16;

    // From this process.
    static bool isStartedByApp(const ProcessTable& processes);
    static bool isStartedByApp(pid_t process, const ProcessTable& processes);
};

class AskPassLedger;

struct AskPassDecision {
    // Give ssh this remembered secret without asking.
    struct Answer {
        std::string secret;
        bool operator==(const Answer&) const = default;
    };
    // Put the question to the user; `savedWasRefused` says a remembered secret was already given in
    // this attempt and ssh asked again.
    struct Ask {
        bool savedWasRefused = false;
        bool operator==(const Ask&) const = default;
    };

    std::variant<Answer, Ask> value;

    static AskPassDecision answer(std::string secret) { return {Answer{std::move(secret)}}; }
    static AskPassDecision ask(bool savedWasRefused) { return {Ask{savedWasRefused}}; }

    // A remembered secret is given at most once per attempt and key; the look-up runs only when the
    // request has a key and both the attempt and the ledger are known.
    static AskPassDecision
    decide(const AskPassRequest& request, std::optional<Uuid> attempt,
           const std::optional<AskPassLedger>& ledger,
           const std::function<std::optional<std::string>(const SecretKey&)>& savedSecret);

    const Answer* asAnswer() const { return std::get_if<Answer>(&value); }
    const Ask* asAsk() const { return std::get_if<Ask>(&value); }

    bool operator==(const AskPassDecision&) const = default;
};

// Empty marker files, shared by the connection and its helper processes, that remember per attempt
// which remembered secrets were given to ssh and whether the user cancelled. Exclusive creation of
// a marker is the only synchronisation between helpers running at the same time.
class AskPassLedger {
  public:
    enum class MarkOutcome {
        marked,        // first use of this key in this attempt
        alreadyMarked, // the marker existed: the secret was given before and ssh asked again
        unavailable,   // no marker could be made (no folder, no permission, no space)
    };

    explicit AskPassLedger(std::string directory) : directory_(std::move(directory)) {}

    const std::string& directory() const { return directory_; }

    MarkOutcome markUsed(const SecretKey& key, Uuid attempt) const;
    void markCancelled(Uuid attempt) const;
    bool isCancelled(Uuid attempt) const;
    // Removes every file of the attempt; the markers of other attempts stay.
    void clear(Uuid attempt) const;

    // ATTEMPT "." DIGEST: the identity itself never becomes part of a file name.
    static std::string markerName(const SecretKey& key, Uuid attempt);
    static std::string cancelMarkerName(Uuid attempt);
    // SHA-256 of kind "/" identity, as 64 lower-case hexadecimal digits.
    static std::string digest(const SecretKey& key);

  private:
    std::string directory_;
};

} // namespace tunnelkit

template <> struct std::hash<tunnelkit::SecretKey> {
    size_t operator()(const tunnelkit::SecretKey& key) const noexcept {
        const size_t kindHash = std::hash<std::string_view>{}(tunnelkit::rawValue(key.kind));
        return kindHash * 31 + std::hash<std::string>{}(key.identity);
    }
};
