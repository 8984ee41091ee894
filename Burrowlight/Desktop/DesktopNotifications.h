#pragma once

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QHash>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

class QDBusError;

namespace burrowlight {

// Desktop notifications through the session's notification server (org.freedesktop.Notifications).
// Every notification belongs to a key (a tunnel's id): a later post under the same key replaces the
// earlier one, so a key has at most one notification on screen. Without a server nothing is shown
// and nothing fails; the application log says so once. Nothing here waits: every call to the server
// is asynchronous. Notifications come from the application whose desktop entry is named (its icon too).
class DesktopNotifications : public QObject {
    Q_OBJECT

  public:
    explicit DesktopNotifications(QString desktopEntry, QDBusConnection bus = QDBusConnection::sessionBus(),
                                  QObject* parent = nullptr);

    // Asks the server whether it is there. `answered` runs later, from the event loop: true once a
    // server replied (notifications are "authorized"), false when none answers.
    void checkAuthorization(std::function<void(bool authorized)> answered);

    // Title and body are plain text: a server that reads markup in the body gets it escaped. Posts
    // under one key that follow each other before the server has answered are merged: the last wins.
    void post(const QString& key, const QString& title, const QString& body);
    // Takes the key's notification off the screen.
    void close(const QString& key);

  private:
    struct Content {
        QString title;
        QString body;
    };
    // What one key has on screen and what waits to replace it.
    struct Entry {
        uint id = 0; // the server's id of the notification on screen; 0 for none
        // A post waits while the one before it is on its way: only its answer gives the id to replace.
        bool sending = false;
        std::optional<Content> next;
        bool closeRequested = false;
    };

    void askCapabilities(std::function<void(bool)> answered);
    void capabilitiesAnswered(const QDBusError& error, const QStringList& capabilities);
    void send(const QString& key);
    void dropWaitingPosts();
    void sendClose(uint id);
    void logAbsence(const QDBusError& error);
    void forgetServer();

    QString desktopEntry_;
    QDBusConnection bus_;
    QDBusServiceWatcher serverWatcher_;
    QHash<QString, Entry> entries_;
    // Known once the present server has answered: whether it reads markup in bodies.
    std::optional<bool> bodyMarkup_;
    bool askingCapabilities_ = false;
    std::vector<std::function<void(bool)>> waitingForCapabilities_;
    bool absenceLogged_ = false;
};

} // namespace burrowlight
