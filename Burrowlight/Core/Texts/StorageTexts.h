#pragma once

#include "TunnelKit/FileIO.h"
#include "TunnelKit/JsonCoding.h"
#include "TunnelKit/Spawn.h"
#include "TunnelKit/TunnelStore.h"

#include <QString>

// Why a file could not be read or written, or ssh could not be started, in the user's words.
namespace burrowlight::texts {

QString message(const tunnelkit::FileError& error);
QString message(const tunnelkit::DecodingError& error);
QString message(const tunnelkit::StoreError& error);
QString message(const tunnelkit::LaunchError& error);
// The system's reason for an errno, worded for the common ones and named for the rest.
QString systemReason(int code);

} // namespace burrowlight::texts
