#include "StandInStatusNotifierWatcher.h"

#include <QMutex>
#include <QObject>
#include <atomic>

namespace testing_support {

class StatusNotifierWatcherObject : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ isHostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)

  public:
    explicit StatusNotifierWatcherObject(bool hostRegistered) : hostRegistered_(hostRegistered) {}

    bool isHostRegistered() const {
        const bool registered = hostRegistered_;
        ++hostQuestions_;
        return registered;
    }
    int hostQuestions() const { return hostQuestions_; }
    // On the watcher's thread; not a slot, which the bus would offer as a method.
    void registerHost() {
        hostRegistered_ = true;
        emit StatusNotifierHostRegistered();
    }
    int protocolVersion() const { return 0; }
    QStringList items() const {
        const QMutexLocker lock(&mutex_);
        return items_;
    }

  public slots:
    Q_SCRIPTABLE void RegisterStatusNotifierItem(const QString& service) {
        const QMutexLocker lock(&mutex_);
        items_.append(service);
    }
    Q_SCRIPTABLE void RegisterStatusNotifierHost(const QString&) {}

  signals:
    Q_SCRIPTABLE void StatusNotifierItemRegistered(const QString& service);
    Q_SCRIPTABLE void StatusNotifierHostRegistered();

  private:
    mutable QMutex mutex_;
    QStringList items_;
    std::atomic<bool> hostRegistered_;
    mutable std::atomic<int> hostQuestions_ = 0;
};

namespace {

const QString service = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString path = QStringLiteral("/StatusNotifierWatcher");

} // namespace

StandInStatusNotifierWatcher::StandInStatusNotifierWatcher(Host host)
    : watcher_(std::make_unique<StatusNotifierWatcherObject>(host == Host::registered)) {
    // Registered before it moves: the bus makes its helpers on the thread that registers.
    registered_ = connection().registerObject(path, watcher_.get(), QDBusConnection::ExportAllContents);
    watcher_->moveToThread(&thread_);
    thread_.start();
    registered_ = registered_ && connection().registerService(service);
}

StandInStatusNotifierWatcher::~StandInStatusNotifierWatcher() {
    connection().unregisterService(service);
    connection().unregisterObject(path);
    thread_.quit();
    thread_.wait();
}

QStringList StandInStatusNotifierWatcher::items() const {
    return watcher_->items();
}

void StandInStatusNotifierWatcher::registerHost() {
    QMetaObject::invokeMethod(watcher_.get(), [watcher = watcher_.get()] { watcher->registerHost(); });
}

int StandInStatusNotifierWatcher::hostQuestions() const {
    return watcher_->hostQuestions();
}

} // namespace testing_support

#include "StandInStatusNotifierWatcher.moc"
