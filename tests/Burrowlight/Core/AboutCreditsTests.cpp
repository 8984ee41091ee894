#include "Burrowlight/Core/AboutCredits.h"
#include "Burrowlight/Core/AppLanguage.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace burrowlight;

namespace {

const QString disclaimer = QStringLiteral("Burrowlight is distributed in the hope that it will be useful, "
                                          "but without any warranty, within the limits "
                                          "of the law: the details are in the Terms of Use.");

QString written(const QTemporaryDir& dir, const QByteArray& bytes) {
    const QString path = dir.filePath(QStringLiteral("notices.txt"));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(bytes);
    }
    return path;
}

} // namespace

class AboutCreditsTests : public QObject {
    Q_OBJECT

  private slots:
    void theDisclaimerAloneWithoutReadableNotices() {
        QTemporaryDir dir;
        QCOMPARE(aboutCredits(dir.filePath(QStringLiteral("missing.txt"))), disclaimer);
        QCOMPARE(aboutCredits(written(dir, QByteArray("caf\xC3 and \xFF\xFE", 11))), disclaimer);
    }

    void theNoticesFollowAsTheyStandInEitherLanguage() {
        QTemporaryDir dir;
        const QByteArray notices("Lib \xE2\x80\x94 MIT\n\n  indented line\n");
        const QString path = written(dir, notices);
        QCOMPARE(aboutCredits(path), disclaimer +
                                         QStringLiteral("\n\nBurrowlight includes the following open source "
                                                        "software.\n\n") +
                                         QString::fromUtf8(notices));
        AppTranslation italian(QStringLiteral("it"));
        const QString credits = aboutCredits(path);
        QVERIFY2(credits.startsWith(QStringLiteral("Burrowlight è distribuito")), qPrintable(credits));
        QVERIFY(credits.contains(
            QStringLiteral("\n\nBurrowlight include il seguente software open source.\n\n")));
        QVERIFY(credits.endsWith(QString::fromUtf8(notices)));
    }

    void theCompiledNoticesNameEveryLinkedLibrary() {
        const QString credits = aboutCredits();
        for (const char* library : {"Qt 6", "nlohmann-json", "ICU", "libsecret", "OpenSSL", "libuuid",
                                    "GNU LESSER GENERAL PUBLIC LICENSE", "Apache License"}) {
            QVERIFY2(credits.contains(QLatin1String(library)), library);
        }
    }
};

QTEST_GUILESS_MAIN(AboutCreditsTests)
#include "AboutCreditsTests.moc"
