#include "Burrowlight/Desktop/SingleInstance.h"

#include "Burrowlight/Desktop/AppLog.h"

#include <QDBusAbstractAdaptor>
#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QDir>
#include <QUrl>
#include <cstring>

namespace burrowlight {

namespace {

const QString applicationInterface = QStringLiteral("org.freedesktop.Application");
constexpr int handOverTimeoutMilliseconds = 10'000;

QString activationToken(const QVariantMap& platformData) {
    for (const char* key : {"activation-token", "desktop-startup-id"}) {
        if (const QString token = platformData.value(QLatin1String(key)).toString(); !token.isEmpty()) {
            return token;
        }
    }
    return {};
}

// org.freedesktop.Application's object lives at the path made of the bus name.
QString objectPath(const QString& serviceName) {
    return QLatin1Char('/') + QString(serviceName).replace(QLatin1Char('.'), QLatin1Char('/'));
}

QVariantMap platformData(const QString& activationToken) {
    if (activationToken.isEmpty()) {
        return {};
    }
    return {{QStringLiteral("activation-token"), activationToken},
            {QStringLiteral("desktop-startup-id"), activationToken}};
}

} // namespace

// The first instance's side of the hand-over: the later launch gets its answer at once, the request
// reaches the application from the event loop.
class ApplicationAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")

  public:
    explicit ApplicationAdaptor(SingleInstance* instance)
        : QDBusAbstractAdaptor(instance), instance_(instance) {
        setAutoRelaySignals(false);
    }

  public slots:
    void Activate(const QVariantMap& platformData) {
        QMetaObject::invokeMethod(
            instance_,
            [instance = instance_, token = activationToken(platformData)] {
                emit instance->reopenRequested(token);
            },
            Qt::QueuedConnection);
    }

    void Open(const QStringList& uris, const QVariantMap& platformData) {
        QStringList paths;
        for (const QString& uri : uris) {
            if (const QUrl url(uri); url.isLocalFile()) {
                paths.append(url.toLocalFile());
            }
        }
        if (paths.isEmpty()) {
            return;
        }
        QMetaObject::invokeMethod(
            instance_,
            [instance = instance_, paths, token = activationToken(platformData)] {
                emit instance->filesOpened(paths, token);
            },
            Qt::QueuedConnection);
    }

  private:
    SingleInstance* instance_;
};

LaunchRequest LaunchRequest::fromArguments(const QStringList& arguments, const QString& workingFolder,
                                           const QProcessEnvironment& environment) {
    LaunchRequest request;
    const QDir folder(workingFolder);
    for (const QString& argument : arguments) {
        if (argument.isEmpty()) {
            continue;
        }
        const QUrl url(argument);
        const QString path =
            url.isLocalFile() && argument.startsWith(QLatin1String("file:")) ? url.toLocalFile() : argument;
        request.files.append(QDir::cleanPath(folder.absoluteFilePath(path)));
    }
    request.activationToken = environment.value(QStringLiteral("XDG_ACTIVATION_TOKEN"));
    if (request.activationToken.isEmpty()) {
        request.activationToken = environment.value(QStringLiteral("DESKTOP_STARTUP_ID"));
    }
    return request;
}

SingleInstance::SingleInstance(Key, QString serviceName, QDBusConnection bus)
    : serviceName_(std::move(serviceName)), bus_(std::move(bus)),
      adaptor_(std::make_unique<ApplicationAdaptor>(this)) {}

SingleInstance::~SingleInstance() {
    if (ownsName_) {
        bus_.interface()->unregisterService(serviceName_);
    }
    if (objectRegistered_) {
        bus_.unregisterObject(objectPath(serviceName_));
    }
}

SingleInstance::Claim SingleInstance::claim(const QString& serviceName,
                                            const QString& applicationSupportFolder,
                                            const LaunchRequest& request, QDBusConnection bus) {
    auto instance = std::make_unique<SingleInstance>(Key{}, serviceName, bus);
    const NameClaim name = instance->claimBusName();
    if (name == NameClaim::heldElsewhere) {
        instance.reset();
        return handOver(serviceName, bus, request);
    }
    const QString lockPath = QDir(applicationSupportFolder).filePath(QStringLiteral("instance.lock"));
    auto lock = platform::InstanceLock::acquire(lockPath.toStdString());
    if (!lock) {
        if (lock.error().kind == platform::InstanceLockError::Kind::heldElsewhere) {
            return InstanceError{InstanceError::Kind::alreadyRunning, lockPath};
        }
        return InstanceError{InstanceError::Kind::lockFailed,
                             lockPath + QStringLiteral(": ") +
                                 QString::fromLocal8Bit(std::strerror(lock.error().code))};
    }
    instance->lock_.emplace(std::move(*lock));
    return instance;
}

SingleInstance::NameClaim SingleInstance::claimBusName() {
    const auto unavailable = [](const QString& reason) {
        AppLog::app().write(
            QStringLiteral("The session bus can't be used (%1); a later launch can't hand its files over")
                .arg(reason));
        return NameClaim::unavailable;
    };
    if (!bus_.isConnected()) {
        return unavailable(bus_.lastError().message());
    }
    // The object answers before the name is taken, so that no call finds the name without it.
    objectRegistered_ = bus_.registerObject(objectPath(serviceName_), this, QDBusConnection::ExportAdaptors);
    if (!objectRegistered_) {
        return unavailable(QStringLiteral("the object path is taken"));
    }
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
        bus_.interface()->registerService(serviceName_, QDBusConnectionInterface::DontQueueService,
                                          QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid()) {
        return unavailable(reply.error().message());
    }
    ownsName_ = reply.value() == QDBusConnectionInterface::ServiceRegistered;
    return ownsName_ ? NameClaim::owned : NameClaim::heldElsewhere;
}

SingleInstance::Claim SingleInstance::handOver(const QString& serviceName, QDBusConnection& bus,
                                               const LaunchRequest& request) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        serviceName, objectPath(serviceName), applicationInterface,
        request.files.isEmpty() ? QStringLiteral("Activate") : QStringLiteral("Open"));
    if (!request.files.isEmpty()) {
        QStringList uris;
        for (const QString& file : request.files) {
            uris.append(QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded));
        }
        call << uris;
    }
    call << platformData(request.activationToken);
    const QDBusMessage reply = bus.call(call, QDBus::Block, handOverTimeoutMilliseconds);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        return InstanceError{InstanceError::Kind::handOverFailed,
                             reply.errorName() + QStringLiteral(": ") + reply.errorMessage()};
    }
    return HandedOver{};
}

} // namespace burrowlight

#include "SingleInstance.moc"
