#pragma once

#include <QString>
#include <QStringList>
#include <QTranslator>
#include <functional>
#include <optional>
#include <string>

namespace burrowlight {

using VariableLookup = std::function<std::optional<std::string>(const char* name)>;
std::optional<std::string> processVariable(const char* name);

// The system's preferred languages, most wanted first: the entries of LANGUAGE, then the locale of
// messages (LC_ALL, else LC_MESSAGES, else LANG). As with gettext, a "C" or "POSIX" locale, or
// none, means English and turns LANGUAGE off.
QStringList systemLanguages(const VariableLookup& variable = processVariable);
// The first localization the application ships ("en", "it") that the preferences name by their
// language code; English when none does.
QString resolvedLocalization(const QStringList& preferences);
// The localization of this run, chosen once at start.
QString startupLocalization();

// The application's catalogue and Qt's own for one localization, installed while it lives. Made
// before any text is, right after the application object.
class AppTranslation {
  public:
    explicit AppTranslation(const QString& localization);
    AppTranslation(const AppTranslation&) = delete;
    AppTranslation& operator=(const AppTranslation&) = delete;

    const QString& localization() const { return localization_; }

  private:
    QString localization_;
    QTranslator application_;
    QTranslator qt_;
};

} // namespace burrowlight
