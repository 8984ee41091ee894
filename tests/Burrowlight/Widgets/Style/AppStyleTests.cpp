// Check boxes drawn by the application's style, on a card as the settings show them: each box's
// outline stands out from what is around it, and a disabled box looks disabled.
#include "Burrowlight/Widgets/Style/AppStyle.h"
#include "Burrowlight/Widgets/Style/Theme.h"

#include <QApplication>
#include <QCheckBox>
#include <QStyleFactory>
#include <QStyleOptionButton>
#include <QTest>

using namespace burrowlight;

namespace {

qreal luminance(QColor color) {
    const auto linear = [](qreal channel) {
        return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(color.redF()) + 0.7152 * linear(color.greenF()) + 0.0722 * linear(color.blueF());
}

qreal contrast(QColor one, QColor other) {
    const qreal first = luminance(one);
    const qreal second = luminance(other);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

QPalette darkPalette() {
    QPalette palette(QColor(0x3A, 0x3B, 0x3C), QColor(0x2E, 0x2F, 0x30));
    palette.setColor(QPalette::Base, QColor(0x1F, 0x20, 0x21));
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        palette.setColor(role, QColor(0xE6, 0xE6, 0xE6));
        palette.setColor(QPalette::Disabled, role, QColor(0x7A, 0x7A, 0x7A));
    }
    return palette;
}

QRect indicator(const QCheckBox& box) {
    QStyleOptionButton option;
    option.initFrom(&box);
    const QRect rect = box.style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, &box);
    return rect.translated(box.mapTo(box.window(), QPoint()));
}

// The weakest of the four sides: the middle of each, against the pixel just outside it. A side is
// its outermost two pixels, the stronger counting.
qreal outlineContrast(const QImage& image, const QRect& box) {
    const QPoint middle = box.center();
    const std::array<std::pair<QPoint, QPoint>, 4> sides{{
        {QPoint(box.left(), middle.y()), QPoint(1, 0)},
        {QPoint(box.right(), middle.y()), QPoint(-1, 0)},
        {QPoint(middle.x(), box.top()), QPoint(0, 1)},
        {QPoint(middle.x(), box.bottom()), QPoint(0, -1)},
    }};
    qreal weakest = 21;
    for (const auto& [edge, inward] : sides) {
        const QColor behind = image.pixelColor(edge - inward);
        weakest = std::min(weakest, std::max(contrast(image.pixelColor(edge), behind),
                                             contrast(image.pixelColor(edge + inward), behind)));
    }
    return weakest;
}

} // namespace

class AppStyleTests : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        installAppStyle();
    }

    void checkBoxesStandOutAndDisabledOnesAreDimmed_data() {
        QTest::addColumn<QPalette>("palette");
        QTest::newRow("light") << QApplication::style()->standardPalette();
        QTest::newRow("dark") << darkPalette();
        QTest::newRow("grey") << QPalette(QColor(0x80, 0x80, 0x80));
    }

    void checkBoxesStandOutAndDisabledOnesAreDimmed() {
        QFETCH(QPalette, palette);
        QApplication::setPalette(palette);
        QWidget window;
        applyTolvanSurface(window);
        QVBoxLayout layout(&window);
        TolvanCard card;
        layout.addWidget(&card);
        card.content().setContentsMargins(12, 12, 12, 12);
        QCheckBox unticked;
        QCheckBox ticked;
        QCheckBox disabled;
        ticked.setChecked(true);
        disabled.setEnabled(false);
        for (QCheckBox* box : {&unticked, &ticked, &disabled}) {
            card.content().addWidget(box);
        }
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        const QImage image = window.grab().toImage();
        for (const QCheckBox* box : {&unticked, &ticked, &disabled}) {
            const qreal ratio = outlineContrast(image, indicator(*box));
            QVERIFY2(ratio >= 3.0, qPrintable(QStringLiteral("outline contrast %1:1").arg(ratio, 0, 'f', 2)));
        }
        const QRect enabledBox = indicator(unticked);
        const QRect disabledBox = indicator(disabled);
        QCOMPARE(disabledBox.size(), enabledBox.size());
        QVERIFY(image.copy(disabledBox) != image.copy(enabledBox));
    }
};

QTEST_MAIN(AppStyleTests)
#include "AppStyleTests.moc"
