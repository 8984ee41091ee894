#include "Burrowlight/Models/HostAliases.h"

#include "Burrowlight/Core/Background.h"
#include "TunnelKit/SSHConfigReader.h"

namespace burrowlight {

HostAliases::HostAliases(AppSettings& settings, QString homeDirectory, QObject* parent)
    : QObject(parent), settings_(settings), homeDirectory_(std::move(homeDirectory)) {
    connect(&settings, &AppSettings::usesSSHConfigChanged, this, &HostAliases::reload);
    reload();
}

void HostAliases::reload() {
    const int generation = ++generation_;
    if (!settings_.usesSSHConfig()) {
        setAliases({});
        return;
    }
    const std::string home = homeDirectory_.toStdString();
    inBackground(
        *this, [home] { return tunnelkit::SSHConfigReader::hostAliases(home + "/.ssh/config", home); },
        [this, generation](const std::vector<std::string>& found) {
            if (generation != generation_) {
                return;
            }
            QStringList aliases;
            for (const auto& alias : found) {
                aliases << QString::fromStdString(alias);
            }
            setAliases(std::move(aliases));
        });
}

void HostAliases::setAliases(QStringList aliases) {
    if (aliases == aliases_) {
        return;
    }
    aliases_ = std::move(aliases);
    emit aliasesChanged();
}

} // namespace burrowlight
