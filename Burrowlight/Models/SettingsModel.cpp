#include "Burrowlight/Models/SettingsModel.h"

#include "Burrowlight/Core/AppSettings.h"

#include <QCoreApplication>

namespace burrowlight {

namespace {

struct SectionWords {
    Q_DECLARE_TR_FUNCTIONS(SettingsSection)
};

} // namespace

QString rawValue(SettingsSection section) {
    switch (section) {
    case SettingsSection::general:
        return QStringLiteral("general");
    case SettingsSection::ssh:
        return QStringLiteral("ssh");
    case SettingsSection::tunnels:
        return QStringLiteral("tunnels");
    }
    return QStringLiteral("general");
}

SettingsSection settingsSectionFromRawValue(const QString& raw) {
    for (const auto section : allSettingsSections) {
        if (rawValue(section) == raw) {
            return section;
        }
    }
    return SettingsSection::general;
}

QString title(SettingsSection section) {
    switch (section) {
    case SettingsSection::general:
        return SectionWords::tr("General");
    case SettingsSection::ssh:
        return SectionWords::tr("SSH");
    case SettingsSection::tunnels:
        return SectionWords::tr("Tunnels");
    }
    return {};
}

QString subtitle(SettingsSection section) {
    switch (section) {
    case SettingsSection::general:
        return SectionWords::tr("Language, startup, taskbar and notifications.");
    case SettingsSection::ssh:
        return SectionWords::tr("How Burrowlight runs the system's ssh.");
    case SettingsSection::tunnels:
        return SectionWords::tr("Import, export and where tunnels are kept.");
    }
    return {};
}

QString symbolName(SettingsSection section) {
    switch (section) {
    case SettingsSection::general:
        return QStringLiteral("gearshape");
    case SettingsSection::ssh:
        return QStringLiteral("terminal");
    case SettingsSection::tunnels:
        return QStringLiteral("point.3.connected.trianglepath.dotted");
    }
    return {};
}

SettingsModel::SettingsModel(AppSettings& settings)
    : settings_(settings), selected_(settingsSectionFromRawValue(settings.selectedSettingsSection())) {
    connect(&settings_, &AppSettings::selectedSettingsSectionChanged, this, [this] {
        const auto now = settingsSectionFromRawValue(settings_.selectedSettingsSection());
        if (now != selected_) {
            selected_ = now;
            emit selectedChanged(now);
        }
    });
}

void SettingsModel::select(SettingsSection section) {
    settings_.setSelectedSettingsSection(rawValue(section));
}

} // namespace burrowlight
