#pragma once

// Stand-in for the askpass environment and ledger until they land; same names and signatures.
#include "TunnelKit/Identifiers.h"
#include "TunnelKit/Tunnel.h"

#include <filesystem>
#include <map>
#include <string>
#include <string_view>

namespace tunnelkit {

struct AskPassEnvironment {
    static constexpr const char* displayKey = "BURROWLIGHT_DISPLAY";

    static std::map<std::string, std::string> sshEnvironment(std::map<std::string, std::string> base,
                                                             std::string_view askPassExecutable,
                                                             const Tunnel& tunnel, Uuid attempt,
                                                             std::string_view stateDirectory) {
        base.erase(displayKey);
        if (auto display = base.extract("DISPLAY")) {
            base[displayKey] = std::move(display.mapped());
        }
        base["SSH_ASKPASS"] = std::string(askPassExecutable);
        base["SSH_ASKPASS_REQUIRE"] = "force";
        base["BURROWLIGHT_ASKPASS"] = "1";
        base["BURROWLIGHT_TUNNEL_ID"] = tunnel.id.toString();
        base["BURROWLIGHT_TUNNEL_NAME"] = tunnel.name;
        base["BURROWLIGHT_ATTEMPT"] = attempt.toString();
        base["BURROWLIGHT_STATE_DIR"] = std::string(stateDirectory);
        return base;
    }
};

class AskPassLedger {
public:
    explicit AskPassLedger(std::string directory) : directory_(std::move(directory)) {}
    bool isCancelled(Uuid attempt) const {
        std::error_code ignored;
        return std::filesystem::exists(directory_ + "/" + attempt.toString() + ".cancelled", ignored);
    }
    void clear(Uuid attempt) const {
        std::error_code ignored;
        const auto prefix = attempt.toString();
        for (const auto& entry : std::filesystem::directory_iterator(directory_, ignored)) {
            if (entry.path().filename().string().starts_with(prefix)) {
                std::filesystem::remove(entry.path(), ignored);
            }
        }
    }

private:
    std::string directory_;
};

} // namespace tunnelkit
