#pragma once

#include "Burrowlight/Core/Alert.h"
#include "TunnelKit/Tunnel.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// The application's alerts, worded.
namespace burrowlight::texts {

// Before quitting with unsaved drafts; the titles of the drafts in the order they are listed.
Alert unsavedChangesAlert(const QStringList& draftTitles);

// What an archive holds and what in it is risky, before it is imported; none for an empty archive.
std::optional<Alert> importAlert(const std::vector<tunnelkit::Tunnel>& tunnels, const QString& fileName);
// A file that could not be read or decoded as an archive.
Alert notAnArchiveAlert(const QString& fileName, const QString& reason);

// The tunnels file could not be read at start; the second button shows it in the file manager.
Alert loadErrorAlert(const QString& reason);

} // namespace burrowlight::texts
