#pragma once

#include <QString>
#include <QStringList>
#include <QTranslator>
#include <array>
#include <functional>
#include <optional>
#include <string>

namespace burrowlight {

class AppSettings;

using VariableLookup = std::function<std::optional<std::string>(const char* name)>;
std::optional<std::string> processVariable(const char* name);

// The system's preferred languages, most wanted first: the entries of LANGUAGE, then the locale of
// messages (LC_ALL, else LC_MESSAGES, else LANG). As with gettext, a "C" or "POSIX" locale, or
// none, means English and turns LANGUAGE off.
QStringList systemLanguages(const VariableLookup& variable = processVariable);
// The first localization the application ships ("en", "it") that the preferences name by their
// language code; English when none does.
QString resolvedLocalization(const QStringList& preferences);

// The language the user chose for the application, whatever the system's: it takes effect at the
// next start. Stored as a one-entry language list in the application's own settings; following the
// system removes it.
enum class AppLanguage { system, english, italian };
inline constexpr std::array allAppLanguages{AppLanguage::system, AppLanguage::english, AppLanguage::italian};

// "system", "en", "it".
QString rawValue(AppLanguage language);
std::optional<AppLanguage> appLanguageFromRawValue(const QString& raw);
// The choice a stored list makes: the language code of its first entry ("it_IT" is Italian);
// anything else, an empty list or none follows the system.
AppLanguage appLanguage(const std::optional<QStringList>& stored);
AppLanguage currentAppLanguage(const AppSettings& settings);
void applyAppLanguage(AppLanguage language, AppSettings& settings);
// The localization a choice gives, given the system's languages.
QString resolvedLocalization(AppLanguage language, const QStringList& systemPreferences);

// The localization of this run, chosen once at start from the stored choice and the system's
// languages.
QString startupLocalization(const AppSettings& settings);
QString startupLocalization();
// The localization the running application speaks: that of the translation installed at start,
// English before one is.
QString runningLocalization();

// The application's catalogue and Qt's own for one localization, installed while it lives, and
// the running localization while it does. Made before any text is, right after the application
// object.
class AppTranslation {
  public:
    explicit AppTranslation(const QString& localization);
    ~AppTranslation();
    AppTranslation(const AppTranslation&) = delete;
    AppTranslation& operator=(const AppTranslation&) = delete;

    const QString& localization() const { return localization_; }

  private:
    QString localization_;
    QString replaced_;
    QTranslator application_;
    QTranslator qt_;
};

} // namespace burrowlight
