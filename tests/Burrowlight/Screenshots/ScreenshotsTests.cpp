// Runs the screenshot program into a folder of its own and looks at every picture it names: each
// was written and shows something (more than a flat fill).
#include <QImage>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run {
    bool succeeded = false;
    QStringList lines;
};

Run run(const QStringList& arguments) {
    QProcess program;
    program.start(QStringLiteral(SCREENSHOTS_PROGRAM), arguments);
    const bool finished = program.waitForFinished(300'000) && program.exitStatus() == QProcess::NormalExit;
    Run result{
        finished && program.exitCode() == 0,
        QString::fromUtf8(program.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)};
    if (!result.succeeded) {
        qWarning().noquote() << program.readAllStandardError();
    }
    return result;
}

int distinctColours(const QImage& image) {
    QSet<QRgb> colours;
    const int step = std::max(1, std::min(image.width(), image.height()) / 64);
    for (int y = 0; y < image.height(); y += step) {
        for (int x = 0; x < image.width(); x += step) {
            colours.insert(image.pixel(x, y));
        }
    }
    return static_cast<int>(colours.size());
}

} // namespace

class ScreenshotsTests : public QObject {
    Q_OBJECT

  private slots:
    void everyPictureIsWrittenAndShowsSomething() {
        const QStringList expected = run({QStringLiteral("--list")}).lines;
        QVERIFY(!expected.isEmpty());
        QVERIFY(expected.contains(QStringLiteral("terms-unticked-it-dark.png")));
        QVERIFY(expected.contains(QStringLiteral("main-tunnels-en-light.png")));
        QVERIFY(expected.contains(QStringLiteral("detail-every-forward-minimum-it-dark.png")));

        const QTemporaryDir output;
        QVERIFY(run({output.path()}).succeeded);
        for (const auto& name : expected) {
            const QImage picture(output.filePath(name));
            QVERIFY2(!picture.isNull(), qPrintable(name + QStringLiteral(" was not written")));
            QVERIFY2(picture.width() > 40 && picture.height() > 20, qPrintable(name));
            QVERIFY2(distinctColours(picture) > 4, qPrintable(name + QStringLiteral(" is blank")));
        }
    }
};

QTEST_GUILESS_MAIN(ScreenshotsTests)
#include "ScreenshotsTests.moc"
