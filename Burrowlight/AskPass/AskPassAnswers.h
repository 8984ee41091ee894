#pragma once

#include "Burrowlight/AskPass/AskPassDialogModel.h"
#include "TunnelKit/AskPass.h"
#include "TunnelKit/Identifiers.h"
#include "TunnelKit/SecretStore.h"

#include <QString>
#include <functional>
#include <optional>
#include <string>

// What the askpass helper decides and answers, without any window: the question as ssh asked it,
// the remembered secret, and what goes back to ssh once the user has spoken.
namespace burrowlight {

// Everything a question arrives with: ssh's prompt on the command line, the rest in the
// environment the connection gave ssh.
struct AskPassContext {
    using Lookup = std::function<std::optional<std::string>(const char* name)>;

    tunnelkit::AskPassRequest request;
    std::optional<tunnelkit::Uuid> tunnel;
    std::optional<tunnelkit::Uuid> attempt;
    std::optional<tunnelkit::AskPassLedger> ledger;
    // The display name stands in for a tunnel without one.
    QString tunnelName;

    static AskPassContext read(int argc, char** argv, const Lookup& variable);
    static std::optional<std::string> processVariable(const char* name);
};

// What goes back to ssh: a line on standard output and the exit status.
struct AskPassReply {
    std::optional<std::string> answer;
    int exitStatus = 0;
    bool operator==(const AskPassReply&) const = default;
};

namespace askpass {

// Nothing without a tunnel: secrets are filed per tunnel.
std::optional<std::string> savedSecret(std::optional<tunnelkit::Uuid> tunnel, const tunnelkit::SecretKey& key,
                                       const tunnelkit::SecretStore& store);
tunnelkit::AskPassDecision decide(const AskPassContext& context, const tunnelkit::SecretStore& store);

// Remembers a typed secret when the user asked for it (a failed save is ignored), or leaves the
// attempt's cancel marker; then says what to tell ssh.
AskPassReply settle(const AskPassOutcome& outcome, const AskPassContext& context,
                    const tunnelkit::SecretStore& store);

// The label of a remembered secret's keyring item.
QString secretLabel(const QString& tunnelName);
// What is written to standard error when the helper was not started by the application.
std::string refusalLine();
// Writes the text and a line break to standard output; the exit status for ssh.
int reply(const std::string& text);
// ssh never gets DISPLAY; the connection hands its value on under another name.
void restoreDisplay();

} // namespace askpass
} // namespace burrowlight
