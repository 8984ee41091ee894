#include "Burrowlight/AskPass/AskPassDialogModel.h"

#include "Burrowlight/Core/EmbeddedText.h"
#include "TunnelKit/Text.h"

#include <QStringList>

namespace burrowlight {

using tunnelkit::AskPassRequest;

AskPassDialogModel AskPassDialogModel::make(const AskPassQuestion& question) {
    using Kind = AskPassRequest::Kind;
    const QString prompt = QString::fromStdString(question.request.prompt);
    const QString name = shortened(question.tunnelName);
    const QString quotedName = inSentence(question.tunnelName);

    AskPassDialogModel model;
    model.kind = question.request.kind;
    switch (question.request.kind) {
    case Kind::hostKey:
        model.message = tr("Trust the server of “%1”?").arg(quotedName);
        model.informativeText = tr("This is the first connection to this server, or its address changed. "
                                   "Check that the fingerprint matches the server's before trusting it.");
        model.sshLines = fingerprintLines(prompt);
        model.acceptTitle = tr("Trust and Connect");
        model.rejectTitle = tr("Cancel");
        return model;
    case Kind::confirmation:
        model.message = name;
        model.informativeText = prompt;
        model.acceptTitle = tr("Allow");
        model.rejectTitle = tr("Deny");
        return model;
    case Kind::passphrase:
        model.message = tr("Key passphrase for “%1”").arg(quotedName);
        break;
    case Kind::password:
        model.message = tr("Password for “%1”").arg(quotedName);
        break;
    case Kind::text:
        model.message = name;
        break;
    }
    model.informativeText =
        QString::fromStdString(tunnelkit::text::trim(question.request.prompt, tunnelkit::text::isWhitespace));
    if (question.savedWasRefused) {
        model.informativeText += QStringLiteral("\n\n") + tr("The saved one wasn't accepted.");
    }
    model.acceptTitle = tr("Connect");
    model.rejectTitle = tr("Cancel");
    model.entry = question.request.secretKey() ? Entry::secretWithRemember : Entry::secret;
    return model;
}

QString AskPassDialogModel::rememberTitle() {
    return tr("Remember in keyring");
}

AskPassOutcome AskPassDialogModel::accepted(const QString& text, bool rememberTicked) const {
    switch (kind) {
    case AskPassRequest::Kind::hostKey:
    case AskPassRequest::Kind::confirmation:
        return AskPassOutcome::yes();
    case AskPassRequest::Kind::passphrase:
    case AskPassRequest::Kind::password:
    case AskPassRequest::Kind::text:
        break;
    }
    return AskPassOutcome::answer(text, showsRememberBox() && rememberTicked);
}

AskPassOutcome AskPassDialogModel::refused() const {
    // A refused host key still needs an answer, or ssh would ask again; ssh then fails on the key.
    return kind == AskPassRequest::Kind::hostKey ? AskPassOutcome::no() : AskPassOutcome::cancelled();
}

QString AskPassDialogModel::fingerprintLines(const QString& prompt) {
    QStringList kept;
    for (const auto& line : prompt.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const auto lower = tunnelkit::text::lowercased(line.toStdString());
        if (lower.find("fingerprint is") != std::string::npos ||
            lower.find("key fingerprint") != std::string::npos) {
            kept.push_back(line);
        }
    }
    return kept.join(QLatin1Char('\n'));
}

} // namespace burrowlight
