#pragma once

#include "TunnelKit/SSHCommandBuilder.h"
#include "TunnelKit/SSHOption.h"

#include <QString>

// Why a tunnel can't become an ssh command, and the titles of the option groups.
namespace burrowlight::texts {

QString message(const tunnelkit::SSHCommandError& error);
// The port as typed, however many digits it has.
QString invalidPortMessage(const QString& port);
QString message(tunnelkit::SSHCommandError::ForwardProblem problem);
QString message(tunnelkit::SSHCommandError::OptionProblem problem, const QString& option);

QString title(tunnelkit::SSHOption::Group group);

} // namespace burrowlight::texts
