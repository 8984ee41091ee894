#pragma once

#include "TunnelKit/SSHCommandBuilder.h"
#include "TunnelKit/SSHOption.h"

#include <QString>

// Why a tunnel can't become an ssh command, and the titles of the option groups.
namespace burrowlight::texts {

// How a message quotes the option names and file paths a user or a file gave: isolated (FSI … PDI)
// in a window's sentence, as given for the command line and the bus.
enum class Quoting { asGiven, isolated };

QString message(const tunnelkit::SSHCommandError& error, Quoting quoting = Quoting::asGiven);
// The port as typed, however many digits it has.
QString invalidPortMessage(const QString& port);
QString message(tunnelkit::SSHCommandError::ForwardProblem problem);
QString message(tunnelkit::SSHCommandError::OptionProblem problem, const QString& option,
                Quoting quoting = Quoting::asGiven);

QString title(tunnelkit::SSHOption::Group group);

} // namespace burrowlight::texts
