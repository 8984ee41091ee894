#include "Burrowlight/AskPass/AskPassHelper.h"

#include "Burrowlight/AskPass/AskPassAnswers.h"
#include "Burrowlight/Core/AppIcons.h"
#include "Burrowlight/Core/AppIdentity.h"
#include "Burrowlight/Core/AppLanguage.h"
#include "Burrowlight/Widgets/Style/AppStyle.h"
#include "Platform/LibsecretBackend.h"
#include "Platform/LinuxProcessTable.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

namespace burrowlight {

void AskPassHelper::run(int argc, char** argv) {
    // Everything the helper made is gone by now; only the status is left to give.
    std::exit(answerOneQuestion(argc, argv));
}

int AskPassHelper::answerOneQuestion(int argc, char** argv) {
    if (!tunnelkit::AskPassOrigin::isStartedByApp(platform::LinuxProcessTable())) {
        const auto line = askpass::refusalLine();
        std::fwrite(line.data(), 1, line.size(), stderr);
        return 1;
    }
    const auto context = AskPassContext::read(argc, argv, AskPassContext::processVariable);
    const tunnelkit::SecretStore store(
        bundleIdentifier, std::make_shared<platform::secrets::LibsecretBackend>(bundleIdentifier));
    const auto decision = askpass::decide(context, store);
    if (const auto* answer = decision.asAnswer()) {
        return askpass::reply(answer->secret);
    }

    askpass::restoreDisplay();
    // Qt would read options out of the command line, and ssh's prompt is no option.
    char programName[] = "burrowlight";
    char* qtArguments[] = {programName, nullptr};
    int qtArgumentCount = 1;
    QApplication application(qtArgumentCount, qtArguments);
    const AppTranslation translation(startupLocalization());
    QApplication::setApplicationName(QStringLiteral("burrowlight"));
    QApplication::setDesktopFileName(QString::fromLatin1(bundleIdentifier));
    QApplication::setWindowIcon(appIcon());
    installAppStyle();

    const auto outcome = ask({context.request, context.tunnelName, decision.asAsk()->savedWasRefused});
    const auto settled = askpass::settle(outcome, context, store);
    return settled.answer ? askpass::reply(*settled.answer) : settled.exitStatus;
}

std::unique_ptr<AskPassDialog> AskPassHelper::makeAlert(const AskPassQuestion& question) {
    return std::make_unique<AskPassDialog>(AskPassDialogModel::make(question));
}

AskPassOutcome AskPassHelper::ask(const AskPassQuestion& question) {
    const auto dialog = makeAlert(question);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    dialog->exec();
    return dialog->outcome();
}

} // namespace burrowlight
