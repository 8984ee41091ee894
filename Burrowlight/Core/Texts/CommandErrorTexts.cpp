#include "Burrowlight/Core/Texts/CommandErrorTexts.h"

#include "Burrowlight/Core/Cases.h"
#include "Burrowlight/Core/EmbeddedText.h"

#include <QCoreApplication>

namespace burrowlight::texts {

namespace {

struct CommandErrorWords {
    Q_DECLARE_TR_FUNCTIONS(SSHCommandError)
};
struct OptionWords {
    Q_DECLARE_TR_FUNCTIONS(SSHOption)
};

} // namespace

QString invalidPortMessage(const QString& port) {
    return CommandErrorWords::tr("Port %1 isn't between 1 and 65535.").arg(port);
}

QString message(const tunnelkit::SSHCommandError& error, Quoting quoting) {
    using E = tunnelkit::SSHCommandError;
    return std::visit(
        Cases{
            [](const E::InvalidPort& invalid) { return invalidPortMessage(QString::number(invalid.port)); },
            [quoting](const E::InvalidFile& invalid) {
                const QString path = QString::fromStdString(invalid.path);
                // Whole: its end names the file.
                return CommandErrorWords::tr("The file path %1 isn't valid.")
                    .arg(quoting == Quoting::isolated ? isolated(onOneLine(path)) : path);
            },
            [](const E::InvalidForward& invalid) { return message(invalid.problem); },
            [quoting](const E::InvalidOption& invalid) {
                return message(invalid.problem, QString::fromStdString(invalid.name), quoting);
            },
            [](const E::MissingHost&) {
                return CommandErrorWords::tr("Enter the server's host name or address.");
            },
            [](const E::InvalidHost&) {
                return CommandErrorWords::tr("The host name can't contain spaces or start with a dash.");
            },
            [](const E::InvalidUser&) {
                return CommandErrorWords::tr("The user name can't start with a dash.");
            },
            [](const E::InvalidJumpHosts&) {
                return CommandErrorWords::tr("Jump hosts are written user@host:port, separated by commas.");
            },
        },
        error.value);
}

QString message(tunnelkit::SSHCommandError::ForwardProblem problem) {
    using P = tunnelkit::SSHCommandError::ForwardProblem;
    switch (problem) {
    case P::port:
        return CommandErrorWords::tr("A forward has a port outside 1–65535.");
    case P::host:
        return CommandErrorWords::tr("A forward has an address with spaces or a leading dash.");
    case P::socketPath:
        return CommandErrorWords::tr("Socket paths start with / or ~/ and can't contain spaces or colons.");
    case P::missingTarget:
        return CommandErrorWords::tr("A forward is missing its destination.");
    case P::socketNotAllowed:
        return CommandErrorWords::tr("SOCKS proxies listen on a port, not a socket.");
    }
    return {};
}

QString message(tunnelkit::SSHCommandError::OptionProblem problem, const QString& name, Quoting quoting) {
    using P = tunnelkit::SSHCommandError::OptionProblem;
    const QString option = quoting == Quoting::isolated ? inSentence(name) : name;
    switch (problem) {
    case P::unknown:
        return CommandErrorWords::tr("%1 isn't an ssh option.").arg(option);
    case P::setByApp:
        return CommandErrorWords::tr("%1 is managed by Burrowlight.").arg(option);
    case P::setByField:
        return CommandErrorWords::tr("Set %1 with its field above.").arg(option);
    case P::emptyValue:
        return CommandErrorWords::tr("%1 needs a value.").arg(option);
    case P::invalidCharacters:
        return CommandErrorWords::tr("The value of %1 can't span several lines.").arg(option);
    case P::notAnInteger:
        return CommandErrorWords::tr("%1 needs a whole number.").arg(option);
    case P::duplicate:
        return CommandErrorWords::tr("%1 is set twice.").arg(option);
    }
    return {};
}

QString title(tunnelkit::SSHOption::Group group) {
    using G = tunnelkit::SSHOption::Group;
    switch (group) {
    case G::connection:
        return OptionWords::tr("Connection");
    case G::keepAlive:
        return OptionWords::tr("Keep-Alive");
    case G::forwarding:
        return OptionWords::tr("Forwarding");
    case G::proxy:
        return OptionWords::tr("Proxy");
    case G::hostKeys:
        return OptionWords::tr("Host Keys");
    case G::authentication:
        return OptionWords::tr("Authentication");
    case G::algorithms:
        return OptionWords::tr("Algorithms");
    case G::canonicalization:
        return OptionWords::tr("Host Name Canonicalization");
    case G::commands:
        return OptionWords::tr("Commands");
    }
    return {};
}

} // namespace burrowlight::texts
