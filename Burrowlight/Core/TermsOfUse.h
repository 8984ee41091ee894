#pragma once

#include <QSettings>

namespace burrowlight {

// The version of the terms of use the application currently shows.
inline constexpr const char* currentTermsVersion = "2026-11-19.2";

bool currentTermsAccepted(const QSettings& settings);
// In the application's own settings store.
bool currentTermsAccepted();

} // namespace burrowlight
