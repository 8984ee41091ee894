#pragma once

#include <QString>

namespace burrowlight {

// The name the desktop, the session bus, syslog and the settings know the application by.
inline constexpr const char* bundleIdentifier = "com.tolvan.burrowlight";

QString appDisplayName();
// "SHORT (BUILD)", falling back to 0.0.0 and 0 for parts the build did not name.
QString appVersion();
QString composeVersion(const QString& shortVersion, const QString& buildVersion);

} // namespace burrowlight
