#include "Burrowlight/Desktop/DesktopNotifications.h"

#include "Burrowlight/Desktop/AppLog.h"
#include "Burrowlight/Desktop/DBusReplies.h"

#include <QDBusReply>
#include <QGuiApplication>

namespace burrowlight {

namespace {

const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString path = QStringLiteral("/org/freedesktop/Notifications");
const QString interface = QStringLiteral("org.freedesktop.Notifications");

QDBusMessage methodCall(const QString& method) {
    return QDBusMessage::createMethodCall(service, path, interface, method);
}

} // namespace

DesktopNotifications::DesktopNotifications(QString desktopEntry, QDBusConnection bus, QObject* parent)
    : QObject(parent), desktopEntry_(std::move(desktopEntry)), bus_(std::move(bus)),
      serverWatcher_(service, bus_, QDBusServiceWatcher::WatchForOwnerChange) {
    // A server that starts anew numbers its notifications from the start again: an id kept from
    // the one before could name another application's notification.
    connect(&serverWatcher_, &QDBusServiceWatcher::serviceOwnerChanged, this, [this] { forgetServer(); });
}

void DesktopNotifications::checkAuthorization(std::function<void(bool authorized)> answered) {
    askCapabilities(std::move(answered));
}

void DesktopNotifications::post(const QString& key, const QString& title, const QString& body) {
    Entry& entry = entries_[key];
    entry.next = Content{title, body};
    entry.closeRequested = false;
    if (!bodyMarkup_) {
        askCapabilities(nullptr);
        return;
    }
    send(key);
}

void DesktopNotifications::close(const QString& key) {
    const auto found = entries_.find(key);
    if (found == entries_.end()) {
        return;
    }
    found->next.reset();
    if (found->sending) {
        found->closeRequested = true;
        return;
    }
    sendClose(found->id);
    entries_.erase(found);
}

void DesktopNotifications::askCapabilities(std::function<void(bool)> answered) {
    if (answered) {
        waitingForCapabilities_.push_back(std::move(answered));
    }
    if (askingCapabilities_) {
        return;
    }
    askingCapabilities_ = true;
    callAsync(bus_, methodCall(QStringLiteral("GetCapabilities")), this, [this](const QDBusMessage& answer) {
        const QDBusReply<QStringList> reply(answer);
        capabilitiesAnswered(reply.error(), reply.isValid() ? reply.value() : QStringList());
    });
}

void DesktopNotifications::capabilitiesAnswered(const QDBusError& error, const QStringList& capabilities) {
    askingCapabilities_ = false;
    const bool answered = !error.isValid();
    if (answered) {
        bodyMarkup_ = capabilities.contains(QStringLiteral("body-markup"));
        absenceLogged_ = false;
        for (const QString& key : entries_.keys()) {
            send(key);
        }
    } else {
        bodyMarkup_.reset();
        logAbsence(error);
        dropWaitingPosts();
    }
    for (const auto& waiting : std::exchange(waitingForCapabilities_, {})) {
        waiting(answered);
    }
}

void DesktopNotifications::send(const QString& key) {
    Entry& entry = entries_[key];
    if (entry.sending || !entry.next || !bodyMarkup_) {
        return;
    }
    const Content content = *std::exchange(entry.next, std::nullopt);
    const QString body = *bodyMarkup_ ? content.body.toHtmlEscaped() : content.body;
    const QVariantMap hints{{QStringLiteral("desktop-entry"), desktopEntry_}};
    QDBusMessage call = methodCall(QStringLiteral("Notify"));
    call.setArguments({QGuiApplication::applicationDisplayName(), entry.id, desktopEntry_, content.title,
                       body, QStringList(), hints, -1});
    entry.sending = true;
    callAsync(bus_, call, this, [this, key](const QDBusMessage& answer) {
        const QDBusReply<uint> reply(answer);
        Entry& answered = entries_[key];
        answered.sending = false;
        if (!reply.isValid()) {
            // The server went away or refused: ask again before the next post goes out.
            logAbsence(reply.error());
            bodyMarkup_.reset();
        } else {
            answered.id = reply.value();
            absenceLogged_ = false;
        }
        if (answered.closeRequested) {
            close(key);
        } else if (answered.next) {
            const Content next = *answered.next;
            post(key, next.title, next.body);
        }
    });
}

// Posts that wait for a server are dropped when none answers: nothing is shown.
void DesktopNotifications::dropWaitingPosts() {
    for (auto it = entries_.begin(); it != entries_.end();) {
        if (it->sending) {
            ++it;
        } else if (it->id == 0) {
            it = entries_.erase(it);
        } else {
            it->next.reset();
            ++it;
        }
    }
}

void DesktopNotifications::sendClose(uint id) {
    if (id == 0) {
        return;
    }
    QDBusMessage call = methodCall(QStringLiteral("CloseNotification"));
    call.setArguments({id});
    // Nothing to do with the answer: a notification the server no longer has is closed already.
    bus_.asyncCall(call);
}

void DesktopNotifications::logAbsence(const QDBusError& error) {
    if (std::exchange(absenceLogged_, true)) {
        return;
    }
    AppLog::app().write(QStringLiteral("No notification server answers (%1: %2); notifications are not shown")
                            .arg(error.name(), error.message()));
}

void DesktopNotifications::forgetServer() {
    bodyMarkup_.reset();
    for (Entry& entry : entries_) {
        entry.id = 0;
    }
}

} // namespace burrowlight
