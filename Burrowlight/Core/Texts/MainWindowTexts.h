#pragma once

#include "Burrowlight/Core/Alert.h"
#include "TunnelKit/FileIO.h"
#include "TunnelKit/Identifiers.h"

#include <QString>

// The main window's alerts and the dates its rows show, worded.
namespace burrowlight::texts {

// Asks before tunnels are deleted for good. `name` is the one tunnel's display name when there is
// exactly one (empty when unknown); "Delete" is the first button.
Alert deletePermanentlyAlert(int count, const QString& name);
// Writing the exported archive failed.
Alert exportFailedAlert(int count, const tunnelkit::FileError& error);

// A past moment relative to now, as people say it: "now", "5 minutes ago", "yesterday",
// "3 days ago", "last week"; in the user's language.
QString relativeTime(tunnelkit::Date then, tunnelkit::Date now);
// The line under a trashed tunnel's name: "Deleted yesterday".
QString deletedLine(tunnelkit::Date deletedAt, tunnelkit::Date now);

} // namespace burrowlight::texts
