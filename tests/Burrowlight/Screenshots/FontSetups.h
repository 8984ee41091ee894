#pragma once

#include <QString>
#include <vector>

namespace screenshots {

// The fonts and text size a desktop hands the application. Every picture and every check runs under
// one, brought by the program itself, so that what it finds is the same on every machine whatever
// fonts it has installed and chosen.
struct FontSetup {
    QString name;
    QString sans;
    qreal points = 9;
    // What the desktop's "monospace" stands for.
    QString monospace;
    // A desktop scaling its text by 1.25 says 120.
    int dotsPerInch = 96;
    // The layout does not change with the colours; the check looks at both only once.
    bool darkToo = false;
};

const std::vector<FontSetup>& fontSetups();
const FontSetup* fontSetup(const QString& name);

// Points the process at the set-up's fonts and at a 1280×800 screen, writing what it needs into
// `folder`; before the application is made. False, having said why, when the fonts are missing.
bool prepareFontSetup(const FontSetup& setup, const QString& folder);
// Makes the set-up's text the application's; once the application is made.
void applyFontSetup(const FontSetup& setup);

} // namespace screenshots
