#pragma once

#include "Burrowlight/Core/TunnelDraft.h"
#include "TunnelKit/SSHConfigResolver.h"
#include "TunnelKit/TunnelConnection.h"

#include <QCoreApplication>
#include <QString>
#include <chrono>
#include <optional>
#include <vector>

namespace burrowlight {

class ConfigHosts;

// What the tunnel detail shows, worked out from the draft, the connection's state and the clock;
// the widgets only draw it.
class DetailModel {
    Q_DECLARE_TR_FUNCTIONS(TunnelDetail)

  public:
    struct ConnectButton {
        QString title;
        bool disconnects = false;
        bool enabled = true;
        // "Save the changes first." while the draft must be saved before connecting.
        QString help;
        bool operator==(const ConnectButton&) const = default;
    };

    struct SaveButton {
        QString title;
        bool reconnect = false;
        // The last button, the one Return presses.
        bool prominent = false;
        bool enabled = true;
        bool operator==(const SaveButton&) const = default;
    };

    struct UnsavedBar {
        QString title;
        // Shown beside the title once problems are to be seen and the host is given.
        std::optional<QString> problem;
        std::vector<SaveButton> saveButtons;
    };

    struct Banner {
        bool failed = false;
        QString symbol;
        QString message;
        bool offersRetry = false;
    };

    // "New Tunnel" while new; the saved tunnel's display name; empty for an unknown id.
    static QString title(bool isNew, const std::optional<tunnelkit::Tunnel>& saved);
    // None without a connection.
    static std::optional<ConnectButton> connectButton(const std::optional<tunnelkit::TunnelState>& state,
                                                      const TunnelDraft& draft);
    // The host is blank and the draft is saved or shows its problems.
    static bool showsHostWarning(const TunnelDraft& draft);
    static QString hostWarning();
    static QString serverRowHelp();

    // The status line: the connection time, the retry countdown, or the state in words.
    static QString statusText(const tunnelkit::TunnelState& state, tunnelkit::Date now);
    // Whole seconds from `now` to `at`, rounded up, never below 0.
    static int retrySeconds(tunnelkit::Date now, tunnelkit::Date at);
    static QString retryCountdownText(tunnelkit::Date now, tunnelkit::Date at);
    // How long until the status text changes by itself: only while retrying and before the moment.
    static std::optional<std::chrono::milliseconds> nextStatusChange(const tunnelkit::TunnelState& state,
                                                                     tunnelkit::Date now);

    // The config host of the draft's host, trimmed of spaces and tabs; none for a blank host.
    static std::optional<tunnelkit::ResolvedHost> draftConfigHost(const TunnelDraft& draft,
                                                                  const ConfigHosts& hosts);
    static QString userPrompt(const std::optional<tunnelkit::ResolvedHost>& host, const QString& loginName);
    static QString portPrompt(const std::optional<tunnelkit::ResolvedHost>& host);

    static bool showsProblemBanner(const std::optional<tunnelkit::TunnelState>& state,
                                   const std::optional<tunnelkit::TunnelProblem>& problem);
    static Banner banner(const tunnelkit::TunnelState& state, const tunnelkit::TunnelProblem& problem);

    static bool showsUnsavedBar(const TunnelDraft& draft);
    // `changesConnection`: saving would change the running ssh command or its log file.
    static UnsavedBar unsavedBar(const TunnelDraft& draft, const std::optional<tunnelkit::TunnelState>& state,
                                 bool changesConnection);
};

} // namespace burrowlight
