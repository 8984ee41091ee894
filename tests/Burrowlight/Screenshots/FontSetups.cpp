#include "FontSetups.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <cstdio>

namespace screenshots {

namespace {

// What `scripts/install-deps --tests` unpacks; nothing of the machine's own fonts is seen.
constexpr const char* fontFolders[] = {"dejavu", "noto", "hack"};

QString fontFolder(const char* name) {
    return QStringLiteral(TEST_FONTS_DIR "/usr/share/fonts/truetype/") + QLatin1String(name);
}

QString alias(const QString& generic, const QString& family) {
    return QStringLiteral("  <alias binding=\"same\"><family>%1</family><prefer><family>%2</family></prefer>"
                          "</alias>\n")
        .arg(generic, family);
}

// Debian's own rendering choices, spelled out so that a machine's other choices change nothing.
QString fontconfig(const FontSetup& setup) {
    QString text = QStringLiteral("<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n"
                                  "<fontconfig>\n");
    for (const char* folder : fontFolders) {
        text += QStringLiteral("  <dir>%1</dir>\n").arg(fontFolder(folder));
    }
    text += QStringLiteral("  <cachedir>%1</cachedir>\n").arg(QStringLiteral(TEST_FONTS_DIR "/cache"));
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

bool prepareFontSetup(const FontSetup& setup, const QString& folder) {
    for (const char* name : fontFolders) {
        if (!QFileInfo(fontFolder(name)).isDir()) {
            std::fprintf(stderr,
                         "%s is missing: scripts/install-deps --tests unpacks the fonts of the check\n",
                         qPrintable(fontFolder(name)));
            return false;
        }
    }
    const QDir dir(folder);
    const QString fonts = dir.filePath(QStringLiteral("fonts.conf"));
    const QString screen = dir.filePath(QStringLiteral("screen.json"));
    // Qt turns a screen's 120 dpi into a scale of 1.25, as it does for a desktop's text scaling.
    if (!write(fonts, fontconfig(setup)) ||
        !write(screen,
               QStringLiteral("{\"screens\": [{\"name\": \"screen\", \"x\": 0, \"y\": 0, \"width\": 1280, "
                              "\"height\": 800, \"logicalDpi\": %1}]}")
                   .arg(setup.dotsPerInch))) {
        std::fprintf(stderr, "cannot write into %s\n", qPrintable(folder));
        return false;
    }
    qputenv("FONTCONFIG_FILE", fonts.toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", (QStringLiteral("offscreen:configfile=") + screen).toLocal8Bit());
    qunsetenv("QT_FONT_DPI");
    qunsetenv("QT_SCALE_FACTOR");
    qunsetenv("QT_SCREEN_SCALE_FACTORS");
    return true;
}

void applyFontSetup(const FontSetup& setup) {
    QFont font(setup.sans);
    font.setPointSizeF(setup.points);
    QApplication::setFont(font);
}

} // namespace screenshots
