#pragma once

#include "Platform/InstanceLock.h"

#include <QDBusConnection>
#include <QObject>
#include <QProcessEnvironment>
#include <QStringList>
#include <memory>
#include <optional>
#include <variant>

namespace burrowlight {

class ApplicationAdaptor;

// What a launch asks of the application: to open files, or, with none, to come forward (reopen).
struct LaunchRequest {
    QStringList files; // absolute paths
    // Handed on by the launcher (XDG_ACTIVATION_TOKEN, else DESKTOP_STARTUP_ID), so that the
    // running instance may raise its window. Read it before the application object exists: Qt
    // takes it from the environment for its own first window.
    QString activationToken;

    // Every argument names a file (file: URLs included); relative paths are taken from the
    // launch's working folder, since the running instance has a folder of its own.
    static LaunchRequest
    fromArguments(const QStringList& arguments, const QString& workingFolder,
                  const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());
};

// Why this launch can neither run nor hand its request over.
struct InstanceError {
    enum class Kind {
        lockFailed,     // the lock file could not be made or locked (its path and the system's reason)
        alreadyRunning, // another instance holds the lock and can't be reached over the session bus
        handOverFailed, // the running instance did not take the request (the D-Bus error)
    };
    Kind kind = Kind::lockFailed;
    QString detail;
};

// One instance per user. The first launch owns the session-bus name (the bundle identifier, such
// as com.tolvan.burrowlight) and a lock file in the application-support folder; a later launch hands
// its request to the first over D-Bus (org.freedesktop.Application at the path made of the name,
// /com/tolvan/burrowlight) and ends. Without a session bus
// the lock alone keeps a second instance from running: the first runs without hand-overs, and a
// later launch ends with `alreadyRunning`. The name is shared: other objects of the application
// (scripting) register on the same session-bus connection at paths of their own.
class SingleInstance : public QObject {
    Q_OBJECT

  public:
    struct HandedOver {};
    using Claim = std::variant<std::unique_ptr<SingleInstance>, HandedOver, InstanceError>;

    // Once at launch, before any window: the calls to the bus wait for their answers (a later
    // launch at most 10 s for the first instance). The application object must exist.
    static Claim claim(const QString& serviceName, const QString& applicationSupportFolder,
                       const LaunchRequest& request, QDBusConnection bus = QDBusConnection::sessionBus());

    ~SingleInstance() override;

    // False when running without a session bus: later launches can't hand anything over then.
    bool ownsBusName() const { return ownsName_; }

  signals:
    // Emitted from the event loop after the later launch has had its answer, so that a handler may
    // show a modal dialog without keeping that launch waiting.
    void filesOpened(const QStringList& paths, const QString& activationToken);
    void reopenRequested(const QString& activationToken);

  private:
    struct Key {};

  public:
    SingleInstance(Key, QString serviceName, QDBusConnection bus);

  private:
    enum class NameClaim { owned, heldElsewhere, unavailable };

    static Claim handOver(const QString& serviceName, QDBusConnection& bus, const LaunchRequest& request);
    NameClaim claimBusName();

    QString serviceName_;
    QDBusConnection bus_;
    std::unique_ptr<ApplicationAdaptor> adaptor_;
    std::optional<platform::InstanceLock> lock_;
    bool objectRegistered_ = false;
    bool ownsName_ = false;
};

} // namespace burrowlight
