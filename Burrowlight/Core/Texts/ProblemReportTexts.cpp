#include "Burrowlight/Core/Texts/ProblemReportTexts.h"

#include "Burrowlight/Core/AppIdentity.h"
#include "Burrowlight/Core/SSHVersion.h"
#include "Burrowlight/Core/SiteLink.h"

#include <QCoreApplication>

namespace burrowlight::texts {

namespace {

struct ProblemReportWords {
    Q_DECLARE_TR_FUNCTIONS(ProblemReport)
};

} // namespace

QString factsText(const ProblemFacts& facts) {
    QString system = facts.distribution;
    if (facts.kernelRelease) {
        system += QStringLiteral(" (") + *facts.kernelRelease + QLatin1Char(')');
    }
    return QStringList{appDisplayName() + QLatin1Char(' ') + facts.appVersion, system, facts.sshVersion,
                       facts.usesSSHConfig ? ProblemReportWords::tr("Read ~/.ssh/config: yes")
                                           : ProblemReportWords::tr("Read ~/.ssh/config: no")}
        .join(QLatin1Char('\n'));
}

Alert problemAlert(const QString& factsText) {
    using Role = Alert::Button::Role;
    return {
        .style = Alert::Style::informational,
        .message = ProblemReportWords::tr("Report a Problem"),
        .informativeText =
            ProblemReportWords::tr(
                "Email %1 and tell us what happened and what you were doing just before. A tunnel's log "
                "helps: use the copy button next to “Log” in the tunnel's detail, and read the log before "
                "sending, because it shows your servers and users. Never send passwords or private keys.")
                .arg(QString::fromLatin1(supportEmailAddress)) +
            QStringLiteral("\n\n") + ProblemReportWords::tr("The email already includes:"),
        .accessoryText = factsText,
        .buttons = {{ProblemReportWords::tr("Write Email")},
                    {ProblemReportWords::tr("Copy Address")},
                    {ProblemReportWords::tr("Cancel"), Role::cancel}},
    };
}

QString problemMailSubject(const QString& version) {
    return ProblemReportWords::tr("Problem with %1 %2").arg(appDisplayName(), version);
}

QString problemMailBody(const QString& factsText) {
    return ProblemReportWords::tr("What happened, and what were you doing just before?") +
           QStringLiteral("\n\n\n\n") + factsText + QLatin1Char('\n');
}

} // namespace burrowlight::texts
