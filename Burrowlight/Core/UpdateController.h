#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

namespace burrowlight {

// Where updates come from; both parts are needed.
struct UpdateFeed {
    QString feedURL;
    QString publicKey;

    // What this build names: nothing unless it was configured with a feed.
    static UpdateFeed ofThisBuild();
};

// The updater behind the controller: it reads the feed, checks on its own schedule, downloads,
// installs and shows its own windows. No build of ours ships one.
class UpdateBackend {
  public:
    virtual ~UpdateBackend() = default;
    virtual bool automaticallyChecksForUpdates() const = 0;
    virtual void setAutomaticallyChecksForUpdates(bool checks) = 0;
    // A check the user asked for.
    virtual void checkForUpdates() = 0;
};

// Software updates as the menu and the settings see them: whether they are configured at all,
// whether the updater checks on its own, and whether an update found by a scheduled check waits
// in the menu. The backend reports through updateAnnounced() and the two calls after it.
class UpdateController : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool automaticallyChecks READ automaticallyChecks WRITE setAutomaticallyChecks NOTIFY
                   automaticallyChecksChanged)
    Q_PROPERTY(bool updateWaiting READ updateWaiting NOTIFY updateWaitingChanged)

  public:
    // Makes the updater for a configured feed, started, reporting to the controller.
    using BackendFactory =
        std::function<std::unique_ptr<UpdateBackend>(const UpdateFeed&, UpdateController&)>;

    explicit UpdateController(UpdateFeed feed = UpdateFeed::ofThisBuild(),
                              const BackendFactory& makeBackend = {}, QObject* parent = nullptr);
    ~UpdateController() override;

    // Fixed at creation: a feed with its key, and an updater for it.
    bool isConfigured() const { return backend_ != nullptr; }
    bool automaticallyChecks() const { return automaticallyChecks_; }
    // Also tells the updater, even when the value stays.
    void setAutomaticallyChecks(bool checks);
    bool updateWaiting() const { return updateWaiting_; }
    void checkForUpdates();

    // From the updater: an update was found and is about to be shown.
    void updateAnnounced(const QString& displayVersion, bool userInitiated);
    // From the updater: the user turned to the update, or the update session ends.
    void userAttendedToUpdate();
    void updateSessionWillFinish();

  signals:
    void automaticallyChecksChanged(bool checks);
    void updateWaitingChanged(bool waiting);

  private:
    void setUpdateWaiting(bool waiting);

    std::unique_ptr<UpdateBackend> backend_;
    bool automaticallyChecks_ = false;
    bool updateWaiting_ = false;
};

} // namespace burrowlight
