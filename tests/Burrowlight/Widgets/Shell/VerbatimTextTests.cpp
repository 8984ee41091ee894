// Text from ssh kept whole where a reader needs it: wrapped between its words, a long word broken
// where Unicode allows but never after the hyphen of an option, and copied and read out exactly as
// ssh wrote it.
#include "Burrowlight/Widgets/Shell/VerbatimText.h"
#include "Burrowlight/Widgets/Style/Theme.h"

#include <QAbstractTextDocumentLayout>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QRegularExpression>
#include <QTest>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextLayout>
#include <cmath>

using burrowlight::VerbatimText;

namespace {

const QString command = QStringLiteral(
    "/usr/bin/ssh -N -o ExitOnForwardFailure=yes -p 47353 -L 8080:localhost:80 "
    "-i /tmp/keys/production-bastion_ed25519 -o UserKnownHostsFile=/home/anna/.ssh/known_hosts.d/"
    "bastion.internal.example.com db.example.com");

// The lines as shown, without what keeps the words together or breaks them.
QStringList shownLines(const VerbatimText& text) {
    QStringList lines;
    for (QTextBlock block = text.document()->begin(); block.isValid(); block = block.next()) {
        const QTextLayout* layout = block.layout();
        for (int index = 0; index < layout->lineCount(); ++index) {
            const QTextLine line = layout->lineAt(index);
            lines << block.text()
                         .mid(line.textStart(), line.textLength())
                         .remove(QChar(0x2060))
                         .remove(QChar(0x200B));
        }
    }
    return lines;
}

// Shown as wide as `sample` in its font, and as tall as it says it needs to be at that width.
void showAsWideAs(VerbatimText& text, const QString& sample) {
    const int width = static_cast<int>(std::ceil(QFontMetricsF(text.font()).horizontalAdvance(sample)));
    text.resize(width, text.heightForWidth(width));
    text.show();
    QCoreApplication::processEvents();
}

// The lines of `value` shown as wide as `sample`.
QStringList linesOf(VerbatimText& text, const QString& value, const QString& sample) {
    text.setText(value);
    showAsWideAs(text, sample);
    return shownLines(text);
}

QAccessibleTextInterface& accessibleText(VerbatimText& text) {
    return *QAccessible::queryAccessibleInterface(&text)->textInterface();
}

} // namespace

class VerbatimTextTests : public QObject {
    Q_OBJECT

  private slots:
    void wrapsBetweenWordsAndBreaksOnlyWordsLongerThanTheLine() {
        VerbatimText text;
        const QStringList lines = linesOf(text, command, QStringLiteral("-o ExitOnForwardFailure=yes"));
        QVERIFY(lines.size() > 3);
        QCOMPARE(lines.join(QString()), command);
        for (const QString& word : command.split(QLatin1Char(' '))) {
            if (QFontMetricsF(text.font()).horizontalAdvance(word) <= text.width()) {
                QVERIFY2(!lines.filter(word).isEmpty(),
                         qPrintable(word + " in " + lines.join(QLatin1Char('|'))));
            }
        }
        QVERIFY(text.document()->documentLayout()->documentSize().width() <= text.width());
        QCOMPARE(text.heightForWidth(text.width()),
                 static_cast<int>(std::ceil(text.document()->size().height())));
        QVERIFY(text.minimumSizeHint().width() < text.width());
    }

    void breaksLongWordsWhereUnicodeAllows() {
        VerbatimText text;
        const QString kex = QStringLiteral("sntrup761x25519-sha512@openssh.com");
        const QString fingerprint = QStringLiteral("SHA256:uNiVztksCsDhcc0u9e8BujQXVUpKZIDTMczCvj3tD2s");
        const QString option = QStringLiteral("-oControlMasterNoBreakHere");
        const QStringList lines =
            linesOf(text, QStringLiteral("kex %1 curve25519-sha256 %2 %3").arg(kex, fingerprint, option),
                    QStringLiteral("sntrup761x25519-shaXX"));
        const QByteArray shown = lines.join(QLatin1Char('|')).toUtf8();
        QVERIFY2(shown.contains("sntrup761x25519-|sha512@"), shown);
        // A word that fits moves to the next line whole rather than breaking at its hyphen.
        QVERIFY2(lines.contains(QStringLiteral("curve25519-sha256 ")), shown);
        // Without break points, a word fills its lines.
        QVERIFY2(lines.filter(QStringLiteral("SHA256")).constFirst().size() > 12, shown);
        QVERIFY2(shown.contains("-oControl"), shown);

        // Wide enough for it, the same word stays whole.
        showAsWideAs(text, kex + QStringLiteral("XX"));
        QVERIFY2(!shownLines(text).filter(kex).isEmpty(),
                 qPrintable(shownLines(text).join(QLatin1Char('|'))));
        QCOMPARE(text.heightForWidth(text.width()), text.height());
    }

    // A word ends where a line may break: a path of over a thousand characters still breaks only
    // after its slashes, while a word that long without a break point breaks every few letters.
    void breaksEveryFewLettersOnlyWordsLongerThanAnyLine() {
        QString path;
        while (path.size() <= 1000) {
            path += QStringLiteral("/srv/releases");
        }
        const QString word(1001, QLatin1Char('w'));
        VerbatimText text;
        const QStringList lines =
            linesOf(text, path + QLatin1Char(' ') + word, QString(12, QLatin1Char('w')));
        QCOMPARE(lines.join(QString()), path + QLatin1Char(' ') + word);
        const auto inWord = lines.indexOf(QRegularExpression(QStringLiteral("^w+$")));
        QVERIFY(inWord > 0);
        for (const QString& line : lines.first(inWord - 1)) {
            QVERIFY2(line.endsWith(QLatin1Char('/')), qPrintable(line));
        }
        for (const QString& line : lines.sliced(inWord)) {
            QVERIFY2(line.size() < 12, qPrintable(line));
        }
    }

    // A letter keeps its marks, and an emoji sequence its parts, on one line: in a word wider than
    // the line, and in one longer than any line.
    void breaksAWordWiderThanTheLineOnlyBetweenCharacters() {
        const QString accented = QStringLiteral("e\u0301\u0323");
        const QString family = QStringLiteral("\U0001F468\u200D\U0001F469\u200D\U0001F467");
        // Unicode lets a line break between two emoji: only the letters make a word that long.
        for (const QString& word : {accented.repeated(40) + family.repeated(20), accented.repeated(400)}) {
            VerbatimText text;
            const QStringList lines = linesOf(text, word, QStringLiteral("wwwww"));
            QVERIFY(lines.size() > 4);
            QCOMPARE(lines.join(QString()), word);
            QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, word);
            qsizetype at = 0;
            for (const QString& line : lines) {
                at += line.size();
                characters.setPosition(at);
                QVERIFY2(characters.isAtBoundary(), qPrintable(QString::number(at)));
            }
            // Nor does what keeps words whole or breaks them come between a letter and its marks,
            // which would then stand apart from it.
            const QString document = text.document()->toPlainText();
            for (int shown = 0; shown < document.size(); ++shown) {
                if (document.at(shown) == QChar(0x2060) || document.at(shown) == QChar(0x200B)) {
                    characters.setPosition(text.textPosition(shown));
                    QVERIFY2(characters.isAtBoundary(), qPrintable(QString::number(shown)));
                }
            }
        }
    }

    // Pages of text, or a letter with thousands of marks, from a crafted file: what shows is their
    // start, the copy and what assistive technology reads are the whole text.
    void showsTheStartOfACraftedTextAndCopiesItWhole() {
        const QString marks = QLatin1Char('a') + QString(50'000, QChar(0x0301));
        const QString word(100'000, QLatin1Char('w'));
        const QString words = QStringLiteral("abcdefghij ").repeated(10'000);
        for (const QString& crafted : {marks, word, words}) {
            VerbatimText text;
            const QString shown =
                linesOf(text, crafted, QStringLiteral("a sentence of a few words")).join(QString());
            QVERIFY(shown.size() < crafted.size() / 10);
            QVERIFY(shown.size() > 1 && crafted.startsWith(shown.chopped(1)));
            text.selectAll();
            text.copy();
            QCOMPARE(QApplication::clipboard()->text(), crafted);
            QCOMPARE(QAccessible::queryAccessibleInterface(&text)->text(QAccessible::Name), crafted);
        }
    }

    // A mark outside the Basic Multilingual Plane takes two code units: a character cut to its first
    // marks keeps each of them whole.
    void cutsACharacterBetweenItsMarks() {
        const QString marks = QLatin1Char('a') + QStringLiteral("\U0001D167").repeated(40);
        VerbatimText text;
        text.setText(marks);
        showAsWideAs(text, QStringLiteral("a few words"));
        const QString shown = text.document()->toPlainText();
        QVERIFY(shown.startsWith(QStringLiteral("a\U0001D167")) && shown.size() < marks.size());
        QVERIFY(shown.isValidUtf16());
    }

    // "…" stands for the rest of the text: a selection that takes it in copies the rest, from the
    // clipboard or assistive technology alike.
    void theEllipsisStandsForTheRestOfTheText() {
        const QString words = QStringLiteral("abcdefghij ").repeated(1'000);
        VerbatimText text;
        text.setText(words);
        showAsWideAs(text, QStringLiteral("a sentence of a few words"));
        const QString document = text.document()->toPlainText();
        QVERIFY(document.endsWith(QChar(0x2026)));
        const auto shown = QString(document).remove(QChar(0x2060)).remove(QChar(0x200B)).chopped(1).size();
        const int end = static_cast<int>(document.size());
        const auto copied = [&text](int from, int to) {
            QTextCursor cursor = text.textCursor();
            cursor.setPosition(from);
            cursor.setPosition(to, QTextCursor::KeepAnchor);
            text.setTextCursor(cursor);
            text.copy();
            return QApplication::clipboard()->text();
        };
        QCOMPARE(copied(text.shownPosition(7), end), words.mid(7));
        QCOMPARE(copied(end - 1, end), words.mid(shown));
        QCOMPARE(copied(text.shownPosition(7), end - 1), words.mid(7, shown - 7));

        // Begun inside what "…" stands for, a selection takes all of it.
        QAccessibleTextInterface& read = accessibleText(text);
        read.setSelection(0, static_cast<int>(shown) + 5, static_cast<int>(words.size()));
        int start = 0;
        int finish = 0;
        read.selection(0, &start, &finish);
        QCOMPARE(std::pair(start, finish),
                 std::pair(static_cast<int>(shown), static_cast<int>(words.size())));
    }

    void assistiveTechnologyReadsAndSelectsTheText() {
        VerbatimText text;
        const QString fact = QStringLiteral(
            "ED25519 SHA256:uNiVztksCsDhcc0u9e8BujQXVUpKZIDTMczCvj3tD2s sntrup761x25519-sha512");
        text.setText(fact);
        showAsWideAs(text, QStringLiteral("sntrup761x25519-"));
        QAccessibleTextInterface& read = accessibleText(text);
        QCOMPARE(read.characterCount(), static_cast<int>(fact.size()));
        QCOMPARE(read.text(0, read.characterCount()), fact);
        QVERIFY(read.text(0, read.characterCount()).contains(QStringLiteral("SHA256:")));
        QCOMPARE(QAccessible::queryAccessibleInterface(&text)->text(QAccessible::Value), fact);

        int start = 0;
        int end = 0;
        QCOMPARE(read.textAtOffset(int(fact.indexOf(QLatin1String("sha512"))), QAccessible::LineBoundary,
                                   &start, &end),
                 QStringLiteral("sha512"));

        const auto from = int(fact.indexOf(QLatin1String("SHA256")));
        const auto to = int(fact.indexOf(QLatin1String("-sha512")));
        read.setSelection(0, from, to);
        read.selection(0, &start, &end);
        QCOMPARE(std::pair(start, end), std::pair(from, to));
        QCOMPARE(read.cursorPosition(), to);
        text.copy();
        QCOMPARE(QApplication::clipboard()->text(), fact.mid(from, to - from));

        // Another width shows the words otherwise, and the selection stays on the same text.
        showAsWideAs(text, fact);
        read.selection(0, &start, &end);
        QCOMPARE(std::pair(start, end), std::pair(from, to));
    }

    void labelsReadTheirPathsAsTheyAre() {
        QLabel label;
        const QString text = QStringLiteral("Hosts come from ~/.ssh/config and /etc/ssh/ssh_config.");
        burrowlight::setWrappedPlainText(label, text);
        QCOMPARE(QAccessible::queryAccessibleInterface(&label)->text(QAccessible::Name), text);
    }

    void copiesExactlyTheSelectedText() {
        VerbatimText text;
        text.setText(command);
        showAsWideAs(text, QStringLiteral("-o ExitOnForwardFailure"));
        text.selectAll();
        text.copy();
        QCOMPARE(QApplication::clipboard()->text(), command);

        QTextCursor cursor = text.textCursor();
        cursor.setPosition(5);
        cursor.setPosition(text.document()->characterCount() / 2, QTextCursor::KeepAnchor);
        text.setTextCursor(cursor);
        text.copy();
        const QString copied = QApplication::clipboard()->text();
        QVERIFY(copied.size() > command.size() / 3);
        QVERIFY2(command.contains(copied), qPrintable(copied));
    }
};

QTEST_MAIN(VerbatimTextTests)
#include "VerbatimTextTests.moc"
