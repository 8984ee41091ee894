#include "Burrowlight/AskPass/AskPassAnswers.h"

#include "Burrowlight/Core/AppIdentity.h"

#include <cstdio>
#include <cstdlib>

namespace burrowlight {

using tunnelkit::AskPassEnvironment;
using tunnelkit::AskPassRequest;

AskPassContext AskPassContext::read(int argc, char** argv, const Lookup& variable) {
    const std::string prompt = argc > 1 && argv[1] ? argv[1] : "";
    const auto hint = variable(AskPassEnvironment::promptHintKey);
    AskPassContext context{
        AskPassRequest(prompt, hint ? std::optional<std::string_view>(*hint) : std::nullopt), std::nullopt,
        std::nullopt, std::nullopt, appDisplayName()};

    if (const auto tunnel = variable(AskPassEnvironment::tunnelIDKey)) {
        context.tunnel = tunnelkit::Uuid::parse(*tunnel);
    }
    if (const auto attempt = variable(AskPassEnvironment::attemptKey)) {
        context.attempt = tunnelkit::Uuid::parse(*attempt);
    }
    if (const auto directory = variable(AskPassEnvironment::stateDirectoryKey);
        directory && !directory->empty()) {
        context.ledger.emplace(*directory);
    }
    if (const auto name = variable(AskPassEnvironment::tunnelNameKey); name && !name->empty()) {
        context.tunnelName = QString::fromStdString(*name);
    }
    return context;
}

std::optional<std::string> AskPassContext::processVariable(const char* name) {
    if (const char* value = std::getenv(name)) {
        return std::string(value);
    }
    return std::nullopt;
}

namespace askpass {

std::optional<std::string> savedSecret(std::optional<tunnelkit::Uuid> tunnel, const tunnelkit::SecretKey& key,
                                       const tunnelkit::SecretStore& store) {
    if (!tunnel) {
        return std::nullopt;
    }
    return store.secret(*tunnel, key);
}

tunnelkit::AskPassDecision decide(const AskPassContext& context, const tunnelkit::SecretStore& store) {
    return tunnelkit::AskPassDecision::decide(
        context.request, context.attempt, context.ledger,
        [&](const tunnelkit::SecretKey& key) { return savedSecret(context.tunnel, key, store); });
}

AskPassReply settle(const AskPassOutcome& outcome, const AskPassContext& context,
                    const tunnelkit::SecretStore& store) {
    if (std::holds_alternative<AskPassOutcome::Yes>(outcome.value)) {
        return {"yes", 0};
    }
    if (std::holds_alternative<AskPassOutcome::No>(outcome.value)) {
        return {"no", 0};
    }
    if (const auto* answer = outcome.asAnswer()) {
        const std::string text = answer->text.toStdString();
        const auto key = context.request.secretKey();
        if (answer->remember && key && context.tunnel) {
            // ssh gets its answer whether or not the keyring took it.
            (void)store.save(text, *context.tunnel, *key, secretLabel(context.tunnelName).toStdString());
        }
        return {text, 0};
    }
    if (context.attempt && context.ledger) {
        context.ledger->markCancelled(*context.attempt);
    }
    return {std::nullopt, 1};
}

QString secretLabel(const QString& tunnelName) {
    return appDisplayName() + QStringLiteral(": ") + tunnelName;
}

std::string refusalLine() {
    const auto name = appDisplayName().toStdString();
    return name + ": askpass refused, not started by " + name + " through ssh\n";
}

int reply(const std::string& text) {
    const std::string line = text + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
    return 0;
}

void restoreDisplay() {
    const char* display = std::getenv(AskPassEnvironment::displayKey);
    if (display && *display) {
        ::setenv("DISPLAY", display, 1);
    }
}

} // namespace askpass
} // namespace burrowlight
