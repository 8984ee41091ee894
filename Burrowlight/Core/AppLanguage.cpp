#include "Burrowlight/Core/AppLanguage.h"

#include "Burrowlight/Core/AppSettings.h"
#include "Burrowlight/Desktop/AppLog.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QRegularExpression>
#include <array>
#include <cstdlib>

namespace burrowlight {

namespace {

constexpr std::array<const char*, 2> shippedLocalizations{"en", "it"};

QString& currentLocalization() {
    static QString localization = QStringLiteral("en");
    return localization;
}

// "it_IT.UTF-8@euro" and "it-IT" both speak "it".
QString languageCode(const QString& identifier) {
    const auto end = identifier.indexOf(QRegularExpression(QStringLiteral("[_.@-]")));
    return identifier.left(end).toLower();
}

std::optional<QString> firstSet(const VariableLookup& variable, std::initializer_list<const char*> names) {
    for (const char* name : names) {
        if (const auto value = variable(name); value && !value->empty()) {
            return QString::fromStdString(*value);
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> processVariable(const char* name) {
    if (const char* value = std::getenv(name)) {
        return std::string(value);
    }
    return std::nullopt;
}

QStringList systemLanguages(const VariableLookup& variable) {
    const auto locale = firstSet(variable, {"LC_ALL", "LC_MESSAGES", "LANG"});
    if (!locale || *locale == QLatin1String("C") || locale->startsWith(QLatin1String("C.")) ||
        *locale == QLatin1String("POSIX")) {
        return {};
    }
    QStringList languages;
    if (const auto list = firstSet(variable, {"LANGUAGE"})) {
        languages = list->split(QLatin1Char(':'), Qt::SkipEmptyParts);
    }
    languages.push_back(*locale);
    return languages;
}

QString resolvedLocalization(const QStringList& preferences) {
    for (const auto& preference : preferences) {
        const QString code = languageCode(preference);
        for (const char* shipped : shippedLocalizations) {
            if (code == QLatin1String(shipped)) {
                return code;
            }
        }
    }
    return QStringLiteral("en");
}

QString rawValue(AppLanguage language) {
    switch (language) {
    case AppLanguage::system:
        return QStringLiteral("system");
    case AppLanguage::english:
        return QStringLiteral("en");
    case AppLanguage::italian:
        return QStringLiteral("it");
    }
    return {};
}

std::optional<AppLanguage> appLanguageFromRawValue(const QString& raw) {
    for (const auto language : allAppLanguages) {
        if (rawValue(language) == raw) {
            return language;
        }
    }
    return std::nullopt;
}

AppLanguage appLanguage(const std::optional<QStringList>& stored) {
    if (!stored || stored->isEmpty()) {
        return AppLanguage::system;
    }
    const QString code = languageCode(stored->front());
    if (code == QLatin1String("en")) {
        return AppLanguage::english;
    }
    if (code == QLatin1String("it")) {
        return AppLanguage::italian;
    }
    return AppLanguage::system;
}

AppLanguage currentAppLanguage(const AppSettings& settings) {
    return appLanguage(settings.languages());
}

void applyAppLanguage(AppLanguage language, AppSettings& settings) {
    settings.setLanguages(language == AppLanguage::system ? std::nullopt
                                                          : std::optional(QStringList{rawValue(language)}));
    AppLog::app().write(QStringLiteral("Language chosen: %1").arg(rawValue(language)));
}

QString resolvedLocalization(AppLanguage language, const QStringList& systemPreferences) {
    switch (language) {
    case AppLanguage::system:
        return resolvedLocalization(systemPreferences);
    case AppLanguage::english:
    case AppLanguage::italian:
        return rawValue(language);
    }
    return resolvedLocalization(systemPreferences);
}

QString startupLocalization(const AppSettings& settings) {
    return resolvedLocalization(currentAppLanguage(settings), systemLanguages());
}

QString startupLocalization() {
    return startupLocalization(AppSettings());
}

QString runningLocalization() {
    return currentLocalization();
}

AppTranslation::~AppTranslation() {
    currentLocalization() = replaced_;
}

AppTranslation::AppTranslation(const QString& localization)
    : localization_(localization), replaced_(currentLocalization()) {
    currentLocalization() = localization_;
    // English is the language of the code: its catalogue holds only the forms of counted texts.
    if (application_.load(QStringLiteral(":/i18n/burrowlight_") + localization_)) {
        QCoreApplication::installTranslator(&application_);
    }
    if (localization_ == QLatin1String("en")) {
        return;
    }
    if (qt_.load(QStringLiteral("qtbase_") + localization_,
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(&qt_);
    }
}

} // namespace burrowlight
