// ssh's questions as the askpass helper asks them: a new server's key, and a password or passphrase
// it may keep, also after ssh refused the one it kept.
#include "Burrowlight/AskPass/AskPassDialog.h"
#include "Screenshots.h"

using namespace burrowlight;
using tunnelkit::AskPassRequest;

namespace {

QWidget& dialog(screenshots::Stage& stage, const std::string& prompt, bool savedWasRefused = false) {
    return stage.own(std::make_unique<AskPassDialog>(AskPassDialogModel::make(
        {AskPassRequest(prompt, std::nullopt), QStringLiteral("Production database"), savedWasRefused})));
}

} // namespace

BURROWLIGHT_SCREENSHOT("askpass", "host-key") {
    return dialog(stage,
                  "The authenticity of host 'db.internal.example.com (203.0.113.42)' can't be established.\n"
                  "ED25519 key fingerprint is SHA256:lN9XSz0vSgwi4yYbY3m5Js6VXdp2bMzD9X4s9m4aXkA.\n"
                  "This key is not known by any other names.\n"
                  "Are you sure you want to continue connecting (yes/no/[fingerprint])? ");
}

BURROWLIGHT_SCREENSHOT("askpass", "password") {
    return dialog(stage, "deploy@db.internal.example.com's password: ");
}

BURROWLIGHT_SCREENSHOT("askpass", "passphrase") {
    return dialog(stage, "Enter passphrase for key '/home/alice/.ssh/id_ed25519': ");
}

BURROWLIGHT_SCREENSHOT("askpass", "passphrase-refused") {
    return dialog(stage, "Enter passphrase for key '/home/alice/.ssh/id_ed25519': ", true);
}
