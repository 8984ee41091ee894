#include "Burrowlight/Core/ProblemReport.h"

#include "Burrowlight/Core/AppIdentity.h"
#include "Burrowlight/Core/SSHVersion.h"
#include "Burrowlight/Core/Texts/ProblemReportTexts.h"
#include "Platform/SystemFacts.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QThreadPool>

namespace burrowlight {

namespace {

// Everything but the unreserved characters, byte by byte of the UTF-8 form.
QByteArray percentEncoded(const QString& text) {
    return text.toUtf8().toPercentEncoding();
}

} // namespace

ProblemFacts gatherProblemFacts(bool usesSSHConfig) {
    const auto kernel = platform::system::kernelRelease();
    return {
        .appVersion = appVersion(),
        .distribution = QString::fromStdString(platform::system::distributionName()),
        .kernelRelease = kernel ? std::optional(QString::fromStdString(*kernel)) : std::nullopt,
        .sshVersion = sshVersion(),
        .usesSSHConfig = usesSSHConfig,
    };
}

QUrl problemMailURL(const QString& factsText, const QString& version) {
    const QByteArray link = QByteArrayLiteral("mailto:") + QByteArray(supportEmailAddress) +
                            QByteArrayLiteral("?subject=") +
                            percentEncoded(texts::problemMailSubject(version)) + QByteArrayLiteral("&body=") +
                            percentEncoded(texts::problemMailBody(factsText));
    return QUrl::fromEncoded(link, QUrl::StrictMode);
}

ProblemReporter::Desktop ProblemReporter::Desktop::ofThisSession() {
    return {.copyText = [](const QString& text) {
        if (auto* clipboard = QGuiApplication::clipboard()) {
            clipboard->setText(text, QClipboard::Clipboard);
        }
    }};
}

ProblemReporter::ProblemReporter(std::function<bool()> usesSSHConfig, AlertPresenter& alerts, Desktop desktop,
                                 QObject* parent)
    : QObject(parent), usesSSHConfig_(std::move(usesSSHConfig)), alerts_(alerts),
      desktop_(std::move(desktop)) {}

void ProblemReporter::report() {
    if (reporting_) {
        return;
    }
    reporting_ = true;
    // ssh -V may take its time; the answer comes back to the GUI thread, to this reporter if it is
    // still there.
    QPointer<ProblemReporter> self(this);
    QThreadPool::globalInstance()->start([self, gather = desktop_.gatherFacts, uses = usesSSHConfig_()] {
        auto facts = gather(uses);
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, facts = std::move(facts)] {
                if (self) {
                    self->present(facts);
                }
            },
            Qt::QueuedConnection);
    });
}

void ProblemReporter::present(const ProblemFacts& facts) {
    const QString text = texts::factsText(facts);
    const auto chosen = alerts_.run(texts::problemAlert(text));
    using Choice = texts::ProblemAlertChoice;
    if (chosen == static_cast<size_t>(Choice::writeEmail)) {
        desktop_.openUrl(problemMailURL(text, facts.appVersion));
    } else if (chosen == static_cast<size_t>(Choice::copyAddress)) {
        desktop_.copyText(QString::fromLatin1(supportEmailAddress));
    }
    reporting_ = false;
    emit finished();
}

} // namespace burrowlight
