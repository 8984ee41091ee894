#include "Burrowlight/Core/AppIcons.h"
#include "Burrowlight/Core/SymbolIcons.h"
#include "Burrowlight/Core/Texts/StateTexts.h"

#include <QImage>
#include <QTest>

using namespace burrowlight;
using tunnelkit::TunnelState;

namespace {

struct Ink {
    int drawn = 0;
    int total = 0;
    bool onlyBlack = true;
};

// Icons come from resources compiled into the static core library, drawn by the SVG plugin.
Ink inkOf(const QIcon& icon, int size) {
    const QImage image = icon.pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32);
    Ink ink{0, static_cast<int>(image.width() * image.height()), true};
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qAlpha(pixel) > 0) {
                ++ink.drawn;
                ink.onlyBlack = ink.onlyBlack && qRed(pixel) == 0 && qGreen(pixel) == 0 && qBlue(pixel) == 0;
            }
        }
    }
    return ink;
}

} // namespace

class SymbolIconsTests : public QObject {
    Q_OBJECT

  private slots:
    void everyStateHasItsSymbolDrawn() {
        for (const auto& state :
             {TunnelState::connected({}), TunnelState::retrying(1, {}), TunnelState::disconnected(),
              TunnelState::connecting(), TunnelState::failed(), TunnelState::disconnecting()}) {
            QVERIFY2(!symbolIcon(texts::symbolName(state)).isNull(), qPrintable(texts::symbolName(state)));
        }
        QVERIFY(symbolIcon(QStringLiteral("no.such.symbol")).isNull());
    }

    void symbolsAreMonochromeDrawings() {
        for (const auto& entry : symbolIcons()) {
            const auto ink = inkOf(symbolIcon(QString::fromLatin1(entry.symbol)), 32);
            QVERIFY2(ink.drawn > ink.total / 10 && ink.drawn < ink.total, entry.symbol);
            QVERIFY2(ink.onlyBlack, entry.symbol);
        }
    }

    void applicationAndTrayIconsDraw() {
        QVERIFY(inkOf(appIcon(), 64).drawn > 0);
        QVERIFY(inkOf(trayIcon(), 22).drawn > 0);
    }
};

QTEST_MAIN(SymbolIconsTests)
#include "SymbolIconsTests.moc"
