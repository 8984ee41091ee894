// Text from ssh kept whole where a reader needs it: wrapped between its words, never after the
// hyphen of an option, and copied exactly as ssh wrote it.
#include "Burrowlight/Widgets/Shell/VerbatimText.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

using burrowlight::VerbatimText;

namespace {

const QString command = QStringLiteral(
    "/usr/bin/ssh -N -o ExitOnForwardFailure=yes -p 47353 -L 8080:localhost:80 "
    "-i /tmp/keys/production-bastion_ed25519 -o UserKnownHostsFile=/home/anna/.ssh/known_hosts.d/"
    "bastion.internal.example.com db.example.com");

// The lines as shown, without what keeps the words together.
QStringList shownLines(const VerbatimText& text) {
    QStringList lines;
    for (QTextBlock block = text.document()->begin(); block.isValid(); block = block.next()) {
        const QTextLayout* layout = block.layout();
        for (int index = 0; index < layout->lineCount(); ++index) {
            const QTextLine line = layout->lineAt(index);
            lines << block.text().mid(line.textStart(), line.textLength()).remove(QChar(0x2060));
        }
    }
    return lines;
}

} // namespace

class VerbatimTextTests : public QObject {
    Q_OBJECT

  private slots:
    void wrapsBetweenWordsAndBreaksOnlyWordsLongerThanTheLine() {
        VerbatimText text;
        text.setText(command);
        const int width = text.fontMetrics().horizontalAdvance(QStringLiteral("-o ExitOnForwardFailure=yes"));
        text.resize(width, text.heightForWidth(width));
        text.show();
        QCoreApplication::processEvents();

        const QStringList lines = shownLines(text);
        QVERIFY(lines.size() > 3);
        QCOMPARE(lines.join(QString()), command);
        for (qsizetype index = 0; index + 1 < lines.size(); ++index) {
            // A line ends at a blank, or it is a piece of one word too long for any line.
            QVERIFY2(lines[index].endsWith(QLatin1Char(' ')) || !lines[index].contains(QLatin1Char(' ')),
                     qPrintable(lines.join(QLatin1Char('|'))));
        }
        QVERIFY(text.document()->documentLayout()->documentSize().width() <= width);
        QVERIFY(text.minimumSizeHint().width() < width);
    }

    void copiesExactlyTheSelectedText() {
        VerbatimText text;
        text.setText(command);
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
