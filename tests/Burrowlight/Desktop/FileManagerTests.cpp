#include "Burrowlight/Desktop/FileManager.h"
#include "PrivateBuses.h"
#include "StandInFileManager.h"

#include <QDesktopServices>
#include <QTest>
#include <QUrl>

using namespace burrowlight;
using testing_support::StandInFileManager;

namespace {

// Takes what QDesktopServices would hand to the desktop's default handler.
class OpenedUrls : public QObject {
    Q_OBJECT

  public:
    OpenedUrls() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    ~OpenedUrls() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    QList<QUrl> urls;

  public slots:
    void open(const QUrl& url) { urls.append(url); }
};

} // namespace

class FileManagerTests : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QVERIFY2(testing_support::onPrivateBuses(), "run through tests/support/with-private-buses.sh");
    }

    void theFileManagerShowsTheFileSelected() {
        const StandInFileManager files;
        QVERIFY(files.isRegistered());
        const OpenedUrls opened;
        revealInFileManager(QStringLiteral("/home/me/a b/.ssh/known_hosts"));
        QTRY_COMPARE(files.showItemsCalls().size(), size_t(1));
        QCOMPARE(files.showItemsCalls()[0].uris,
                 QStringList{QStringLiteral("file:///home/me/a%20b/.ssh/known_hosts")});
        QCOMPARE(files.showItemsCalls()[0].startupId, QString());
        QVERIFY(opened.urls.isEmpty());
    }

    void withoutOneTheContainingFolderOpens() {
        const OpenedUrls opened;
        revealInFileManager(QStringLiteral("/home/me/a b/.ssh/known_hosts"));
        QTRY_COMPARE(opened.urls, QList<QUrl>{QUrl::fromLocalFile(QStringLiteral("/home/me/a b/.ssh"))});
    }
};

QTEST_MAIN(FileManagerTests)
#include "FileManagerTests.moc"
