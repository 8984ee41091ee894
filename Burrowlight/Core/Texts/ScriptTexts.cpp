#include "Burrowlight/Core/Texts/ScriptTexts.h"

#include "Burrowlight/Core/EmbeddedText.h"
#include "Burrowlight/Core/Texts/StateTexts.h"

#include <QCoreApplication>

namespace burrowlight::texts {

namespace {

struct ScriptWords {
    Q_DECLARE_TR_FUNCTIONS(Scripting)
};

using S = tunnelkit::TunnelState;

// What a script gave, quoted back: a text too long to read is cut short rather than sent back whole.
QString quoted(const QString& given) {
    constexpr qsizetype longest = 200;
    if (given.size() <= longest) {
        return given;
    }
    const qsizetype cut = given[longest - 1].isHighSurrogate() ? longest - 1 : longest;
    return given.left(cut) + QChar(0x2026);
}

// A failure is one line of the message that may list several, whatever a name holds.
QString oneLineOfFailure(const QString& line) {
    return escapedLineBreaks(line);
}

} // namespace

QString statusLine(const QString& name, const tunnelkit::TunnelState& state,
                   const std::optional<tunnelkit::TunnelProblem>& problem) {
    const QString status = state.is<S::Failed>() && problem ? message(*problem) : text(state);
    //: A tunnel's name, then its state or what went wrong.
    return ScriptWords::tr("%1: %2").arg(name, status);
}

std::optional<QString> connectOutcome(const QString& name, const tunnelkit::TunnelState& state,
                                      const std::optional<tunnelkit::TunnelProblem>& problem) {
    if (state.isConnected()) {
        return std::nullopt;
    }
    if (state.is<S::Connecting>() || state.is<S::Disconnecting>()) {
        return oneLineOfFailure(ScriptWords::tr("“%1” is still connecting after 20 seconds.").arg(name));
    }
    return oneLineOfFailure(
        ScriptWords::tr("“%1” didn't connect: %2").arg(name, problem ? message(*problem) : text(state)));
}

QString termsNotAccepted() {
    return ScriptWords::tr("Accept the terms of use of Burrowlight first.");
}

QString tunnelsUnreadable(const QString& reason) {
    return oneLineOfFailure(ScriptWords::tr("The tunnels couldn't be read: %1").arg(reason));
}

QString noTunnelTagged(const QString& tag) {
    return oneLineOfFailure(ScriptWords::tr("No tunnel is tagged “%1”.").arg(quoted(tag)));
}

QString noSuchTunnel(const QString& reference) {
    return oneLineOfFailure(ScriptWords::tr("There's no tunnel “%1”.").arg(quoted(reference)));
}

QString sayWhichTunnels() {
    return ScriptWords::tr("Say which tunnels, for example: connect tunnel \"Name\", connect every tunnel or "
                           "connect tagged \"Tag\".");
}

} // namespace burrowlight::texts
