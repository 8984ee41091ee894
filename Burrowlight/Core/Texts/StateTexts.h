#pragma once

#include "Burrowlight/Core/Texts/CommandErrorTexts.h"
#include "TunnelKit/SSHLog.h"
#include "TunnelKit/TunnelConnection.h"

#include <QString>

// Where a tunnel stands and why it failed, in the user's words.
namespace burrowlight::texts {

QString text(const tunnelkit::TunnelState& state);
// The symbol that stands for the state; symbolIcon() draws it.
QString symbolName(const tunnelkit::TunnelState& state);

QString message(const tunnelkit::TunnelProblem& problem, Quoting quoting = Quoting::asGiven);
// A failure ssh explained in words of its own keeps them, in every language.
QString message(const tunnelkit::SSHFailure& failure);

} // namespace burrowlight::texts
