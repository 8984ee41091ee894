// A one-line text is cut to what Qt lays out quickly, whatever room it has.
#include "Burrowlight/Widgets/Shell/ElidedLabel.h"
#include "Burrowlight/Widgets/Shell/ElidedText.h"

#include <QApplication>
#include <QFontMetrics>
#include <QTest>

using burrowlight::ElidedText;

class ElidedTextTests : public QObject {
    Q_OBJECT

  private slots:
    // Marks take no room, so all of them would fit: the line shows the letter, some of its marks and
    // "…".
    void aLetterWithThousandsOfMarksShowsItsStartAndAnEllipsis() {
        const QString marks = QLatin1Char('a') + QString(50'000, QChar(0x0301));
        const ElidedText::Shown shown = ElidedText(marks).shownIn(QFontMetrics(QApplication::font()), 300);
        QVERIFY(shown.cut);
        QVERIFY(shown.text.startsWith(QStringLiteral("a\u0301")));
        QVERIFY(shown.text.endsWith(QChar(0x2026)));
        QVERIFY(shown.text.size() < marks.size());

        // Its tip, which Qt would lay out whole, shows as much of it as a read-only text does.
        burrowlight::ElidedLabel label;
        label.setFullText(marks);
        QVERIFY(label.toolTip().startsWith(QStringLiteral("a\u0301")));
        QVERIFY(label.toolTip().size() < 100);
    }

    // A mark outside the Basic Multilingual Plane takes two code units: the line, however wide, keeps
    // each whole.
    void aLetterWithAThousandAstralMarksKeepsEachWhole() {
        const QString marks = QLatin1Char('a') + QStringLiteral("\U0001D167").repeated(1'000);
        const ElidedText::Shown shown =
            ElidedText(marks).shownIn(QFontMetrics(QApplication::font()), 1 << 15);
        QVERIFY(shown.cut);
        QVERIFY(shown.text.startsWith(QStringLiteral("a\U0001D167")));
        QVERIFY(shown.text.isValidUtf16());
    }
};

QTEST_MAIN(ElidedTextTests)
#include "ElidedTextTests.moc"
