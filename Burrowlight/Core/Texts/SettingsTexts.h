#pragma once

#include "Burrowlight/Core/Alert.h"
#include "Burrowlight/Desktop/AutostartEntry.h"
#include "TunnelKit/FileIO.h"

#include <QString>

// What the settings and onboarding say about things that went wrong.
namespace burrowlight::texts {

// Why the login item could not be switched, as the General pane shows it after "Couldn't change
// the login item: ".
QString message(const AutostartError& error);

// An export that could not be written: nothing was exported.
Alert exportFailedAlert(const tunnelkit::FileError& error);

} // namespace burrowlight::texts
