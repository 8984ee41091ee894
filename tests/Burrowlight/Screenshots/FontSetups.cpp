#include "FontSetups.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFont>

namespace screenshots {

namespace {

// What `scripts/install-deps --tests` installs; nothing else of the machine's is seen.
constexpr const char* fontFolders[] = {"/usr/share/fonts/truetype/dejavu", "/usr/share/fonts/truetype/noto",
                                       "/usr/share/fonts/truetype/hack"};

QString alias(const QString& generic, const QString& family) {
    return QStringLiteral("  <alias binding=\"same\"><family>%1</family><prefer><family>%2</family></prefer>"
                          "</alias>\n")
        .arg(generic, family);
}

// Debian's own rendering choices, spelled out so that a machine's other choices change nothing.
QString fontconfig(const FontSetup& setup, const QString& cache) {
    QString text = QStringLiteral("<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n"
                                  "<fontconfig>\n");
    for (const char* folder : fontFolders) {
        text += QStringLiteral("  <dir>%1</dir>\n").arg(QLatin1String(folder));
    }
    text += QStringLiteral("  <cachedir>%1</cachedir>\n  <cachedir>/var/cache/fontconfig</cachedir>\n")
                .arg(cache);
    for (const char* generic : {"sans-serif", "sans", "Sans Serif", "system-ui"}) {
        text += alias(QLatin1String(generic), setup.sans);
    }
    for (const char* generic : {"monospace", "Monospace", "mono"}) {
        text += alias(QLatin1String(generic), setup.monospace);
    }
    text += QStringLiteral("  <match target=\"font\">\n"
                           "    <edit name=\"antialias\" mode=\"assign\"><bool>true</bool></edit>\n"
                           "    <edit name=\"hinting\" mode=\"assign\"><bool>true</bool></edit>\n"
                           "    <edit name=\"hintstyle\" mode=\"assign\"><const>hintslight</const></edit>\n"
                           "    <edit name=\"rgba\" mode=\"assign\"><const>none</const></edit>\n"
                           "  </match>\n</fontconfig>\n");
    return text;
}

bool write(const QString& path, const QString& text) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text.toUtf8()) >= 0;
}

} // namespace

const std::vector<FontSetup>& fontSetups() {
    static const std::vector<FontSetup> setups{
        {QStringLiteral("reference"), QStringLiteral("DejaVu Sans"), 9, QStringLiteral("DejaVu Sans Mono"),
         96, true},
        {QStringLiteral("noto-mono"), QStringLiteral("DejaVu Sans"), 9, QStringLiteral("Noto Sans Mono")},
        {QStringLiteral("kde"), QStringLiteral("Noto Sans"), 10, QStringLiteral("Hack")},
        {QStringLiteral("11pt"), QStringLiteral("DejaVu Sans"), 11, QStringLiteral("DejaVu Sans Mono")},
        {QStringLiteral("scaled-125"), QStringLiteral("DejaVu Sans"), 9, QStringLiteral("DejaVu Sans Mono"),
         120},
    };
    return setups;
}

const FontSetup* fontSetup(const QString& name) {
    for (const auto& setup : fontSetups()) {
        if (setup.name == name) {
            return &setup;
        }
    }
    return nullptr;
}

void prepareFontSetup(const FontSetup& setup, const QString& folder) {
    const QDir dir(folder);
    dir.mkpath(QStringLiteral("fontconfig-cache"));
    const QString fonts = dir.filePath(QStringLiteral("fonts.conf"));
    const QString screen = dir.filePath(QStringLiteral("screen.json"));
    write(fonts, fontconfig(setup, dir.filePath(QStringLiteral("fontconfig-cache"))));
    // Qt turns a screen's 120 dpi into a scale of 1.25, as it does for a desktop's text scaling.
    write(screen, QStringLiteral("{\"screens\": [{\"name\": \"screen\", \"x\": 0, \"y\": 0, \"width\": 1280, "
                                 "\"height\": 800, \"logicalDpi\": %1}]}")
                      .arg(setup.dotsPerInch));
    qputenv("FONTCONFIG_FILE", fonts.toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", (QStringLiteral("offscreen:configfile=") + screen).toLocal8Bit());
    qunsetenv("QT_FONT_DPI");
    qunsetenv("QT_SCALE_FACTOR");
    qunsetenv("QT_SCREEN_SCALE_FACTORS");
}

void applyFontSetup(const FontSetup& setup) {
    QFont font(setup.sans);
    font.setPointSizeF(setup.points);
    QApplication::setFont(font);
}

} // namespace screenshots
