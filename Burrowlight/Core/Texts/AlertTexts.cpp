#include "Burrowlight/Core/Texts/AlertTexts.h"

#include "Burrowlight/Core/EmbeddedText.h"
#include "Burrowlight/Core/Texts/TunnelTexts.h"
#include "TunnelKit/SSHOption.h"

#include <QCoreApplication>
#include <algorithm>
#include <set>

namespace burrowlight::texts {

namespace {

struct QuitWords {
    Q_DECLARE_TR_FUNCTIONS(QuitCheck)
};
struct ImportWords {
    Q_DECLARE_TR_FUNCTIONS(ArchiveImport)
};
struct LoadWords {
    Q_DECLARE_TR_FUNCTIONS(TunnelsFile)
};

constexpr size_t listedTunnels = 8;

// Each once, in plain text order.
QString joinedSet(const std::set<std::string>& names) {
    QStringList texts;
    for (const auto& name : names) {
        texts << inSentence(QString::fromStdString(name));
    }
    return texts.join(QStringLiteral(", "));
}

std::set<std::string> programOptions(const std::vector<tunnelkit::Tunnel>& tunnels) {
    std::set<std::string> names;
    for (const auto& tunnel : tunnels) {
        for (const auto& name : tunnel.commandOptions()) {
            const auto* known = tunnelkit::SSHOptionCatalog::option(name);
            names.insert(known ? known->name : name);
        }
    }
    return names;
}

std::set<std::string> riskySettings(const std::vector<tunnelkit::Tunnel>& tunnels) {
    std::set<std::string> settings;
    for (const auto& tunnel : tunnels) {
        const auto risky = tunnel.riskySettings();
        settings.insert(risky.begin(), risky.end());
    }
    return settings;
}

} // namespace

Alert unsavedChangesAlert(const QStringList& draftTitles) {
    Alert alert;
    alert.message = draftTitles.size() == 1
                        ? QuitWords::tr("“%1” has unsaved changes.").arg(inSentence(draftTitles.front()))
                        : QuitWords::tr("%n tunnels have unsaved changes.", nullptr,
                                        static_cast<int>(draftTitles.size()));
    alert.informativeText = QuitWords::tr("If you quit now, the changes are lost.");
    alert.buttons = {{QuitWords::tr("Quit"), Alert::Button::Role::destructive},
                     {QuitWords::tr("Cancel"), Alert::Button::Role::cancel}};
    return alert;
}

std::optional<Alert> importAlert(const std::vector<tunnelkit::Tunnel>& tunnels, const QString& fileName) {
    if (tunnels.empty()) {
        return std::nullopt;
    }
    Alert alert;
    alert.message = ImportWords::tr("Import %n tunnels from “%1”?", nullptr, static_cast<int>(tunnels.size()))
                        .arg(inSentence(fileName));
    QStringList lines;
    for (size_t index = 0; index < std::min(tunnels.size(), listedTunnels); ++index) {
        lines << QStringLiteral("• %1 (%2)")
                     .arg(inSentence(displayName(tunnels[index])),
                          inSentence(QString::fromStdString(tunnels[index].destination())));
    }
    if (tunnels.size() > listedTunnels) {
        lines << QStringLiteral("…");
    }
    alert.informativeText = lines.join(QLatin1Char('\n'));
    if (const auto programs = programOptions(tunnels); !programs.empty()) {
        alert.style = Alert::Style::critical;
        alert.informativeText +=
            QStringLiteral("\n\n") +
            ImportWords::tr("Some of these tunnels run programs on this computer when they "
                            "connect (%1). Import them only if you trust who made the file.")
                .arg(joinedSet(programs));
    }
    if (const auto risky = riskySettings(tunnels); !risky.empty()) {
        alert.informativeText +=
            QStringLiteral("\n\n") +
            ImportWords::tr(
                "Some of these tunnels lower the protection ssh gives: the server may use your keys, a "
                "changed server goes unnoticed, or other computers reach a forward (%1). Import them "
                "only if you trust who made the file.")
                .arg(joinedSet(risky));
    }
    alert.buttons = {{ImportWords::tr("Import")}, {ImportWords::tr("Cancel"), Alert::Button::Role::cancel}};
    return alert;
}

Alert notAnArchiveAlert(const QString& fileName, const QString& reason) {
    Alert alert;
    alert.message = ImportWords::tr("“%1” isn't a Burrowlight file.").arg(inSentence(fileName));
    alert.informativeText = reason;
    alert.activatesApplication = false;
    return alert;
}

Alert loadErrorAlert(const QString& reason) {
    Alert alert;
    alert.style = Alert::Style::critical;
    alert.message = LoadWords::tr("The tunnels couldn't be read");
    alert.informativeText =
        LoadWords::tr(
            "The tunnels file is left as it is, and nothing is saved until it can be read: changes made "
            "now are lost when you quit. If you opened an older version of the app, quit it and open the "
            "newer one.") +
        QStringLiteral("\n\n") + reason;
    alert.buttons = {{LoadWords::tr("OK")}, {LoadWords::tr("Show in Files")}};
    return alert;
}

} // namespace burrowlight::texts
