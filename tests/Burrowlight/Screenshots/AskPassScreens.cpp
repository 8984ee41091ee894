// The dialog ssh's questions come in: a server not met before, and a key's passphrase.
#include "Burrowlight/AskPass/AskPassHelper.h"
#include "Screenshots.h"

using namespace burrowlight;

namespace {

AskPassDialog& dialog(screenshots::Stage& stage, const std::string& prompt) {
    return stage.own(AskPassHelper::makeAlert(
        {tunnelkit::AskPassRequest(prompt, std::nullopt), QStringLiteral("office")}));
}

} // namespace

BURROWLIGHT_SCREENSHOT("askpass", "host-key") {
    return dialog(stage, "The authenticity of host 'db.example.com (203.0.113.7)' can't be established.\n"
                         "ED25519 key fingerprint is SHA256:lN9XSz0vSgwi4yYbY3m5Js6VXdp2bMzD9X4s9m4aXkA.\n"
                         "This key is not known by any other names.\n"
                         "Are you sure you want to continue connecting (yes/no/[fingerprint])? ");
}

BURROWLIGHT_SCREENSHOT("askpass", "passphrase") {
    return dialog(stage, "Enter passphrase for key '/home/alice/.ssh/id_ed25519': ");
}
