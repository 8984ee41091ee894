#pragma once

#include "Burrowlight/Core/Alert.h"
#include "Burrowlight/Core/SiteLink.h"

#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>
#include <optional>

namespace burrowlight {

// What a problem report tells about this system.
struct ProblemFacts {
    QString appVersion;
    // The distribution's PRETTY_NAME.
    QString distribution;
    // As `uname -r` prints it; none when it could not be read.
    std::optional<QString> kernelRelease;
    // ssh's version line, "?" when ssh could not be started.
    QString sshVersion;
    bool usesSSHConfig = true;

    bool operator==(const ProblemFacts&) const = default;
};

// Reads them from this system. Runs `ssh -V`: call it off the GUI thread.
ProblemFacts gatherProblemFacts(bool usesSSHConfig);

// A new e-mail to the support address with the subject and the body filled in, every character
// but the unreserved ones percent-encoded.
QUrl problemMailURL(const QString& factsText, const QString& version);

// "Report a Problem…": gathers the facts off the GUI thread, then shows the alert and writes the
// e-mail or copies the address, as the user chooses.
class ProblemReporter : public QObject {
    Q_OBJECT

  public:
    struct Desktop {
        UrlOpener openUrl = openWithDesktop;
        // Puts plain text on the clipboard.
        std::function<void(const QString&)> copyText{};
        std::function<ProblemFacts(bool usesSSHConfig)> gatherFacts = gatherProblemFacts;

        static Desktop ofThisSession();
    };

    ProblemReporter(std::function<bool()> usesSSHConfig, AlertPresenter& alerts,
                    Desktop desktop = Desktop::ofThisSession(), QObject* parent = nullptr);

    // Returns at once. A report asked for while one is on its way is the same report.
    void report();
    bool isReporting() const { return reporting_; }

  signals:
    // The alert was answered and the answer carried out.
    void finished();

  private:
    void present(const ProblemFacts& facts);

    std::function<bool()> usesSSHConfig_;
    AlertPresenter& alerts_;
    Desktop desktop_;
    bool reporting_ = false;
};

} // namespace burrowlight
