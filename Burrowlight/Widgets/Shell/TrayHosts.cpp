#include "Burrowlight/Widgets/Shell/TrayHosts.h"

#include "Burrowlight/Widgets/Shell/XcbReplies.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <string>
#include <utility>

namespace burrowlight {

namespace {

const QString watcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString watcherPath = QStringLiteral("/StatusNotifierWatcher");
// A stuck watcher does not hold the launch for long.
constexpr int watcherTimeout = 2'000;

QDBusMessage hostQuestion() {
    auto question = QDBusMessage::createMethodCall(watcherService, watcherPath,
                                                   QStringLiteral("org.freedesktop.DBus.Properties"),
                                                   QStringLiteral("Get"));
    question.setArguments({watcherService, QStringLiteral("IsStatusNotifierHostRegistered")});
    return question;
}

bool saysAHostIsRegistered(const QDBusMessage& answer) {
    return answer.type() == QDBusMessage::ReplyMessage && !answer.arguments().isEmpty() &&
           qvariant_cast<QDBusVariant>(answer.arguments().constFirst()).variant().toBool();
}

// The screen Qt shows its windows on, as DISPLAY names it (":0.1" is screen 1); its tray selection
// is the one Qt docks in.
int screenNumber() {
    const QByteArray display = qgetenv("DISPLAY");
    const auto dot = display.lastIndexOf('.');
    if (dot < 0 || dot < display.lastIndexOf(':')) {
        return 0;
    }
    return display.mid(dot + 1).toInt();
}

xcb_atom_t traySelection(xcb_connection_t* connection) {
    const std::string name = "_NET_SYSTEM_TRAY_S" + std::to_string(screenNumber());
    return xcb::internAtom(connection, name.c_str());
}

bool selectionIsOwned(xcb_connection_t* connection, xcb_atom_t selection) {
    const xcb::ReplyPointer<xcb_get_selection_owner_reply_t> owner(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, selection), nullptr));
    return owner && owner->owner != XCB_NONE;
}

} // namespace

bool trayIsPresent(const QDBusConnection& bus) {
    if (xcb_connection_t* connection = xcb::connection();
        connection && selectionIsOwned(connection, traySelection(connection))) {
        return true;
    }
    return saysAHostIsRegistered(QDBusConnection(bus).call(hostQuestion(), QDBus::Block, watcherTimeout));
}

TrayHostWatch::TrayHostWatch(QDBusConnection bus) : bus_(std::move(bus)) {
    connect(&watcher_, &QDBusServiceWatcher::serviceRegistered, this, &TrayHostWatch::askTheWatcher);
    // From whoever holds the watcher's name now or later.
    bus_.connect(QString(), watcherPath, watcherService, QStringLiteral("StatusNotifierHostRegistered"), this,
                 SLOT(askTheWatcher()));
    if (xcb_connection_t* connection = xcb::connection()) {
        traySelection_ = traySelection(connection);
        managerAtom_ = xcb::internAtom(connection, "MANAGER");
        QCoreApplication::instance()->installNativeEventFilter(this);
        if (selectionIsOwned(connection, traySelection_)) {
            QMetaObject::invokeMethod(this, &TrayHostWatch::found, Qt::QueuedConnection);
        }
    }
    askTheWatcher();
}

TrayHostWatch::~TrayHostWatch() {
    stopWatching();
}

void TrayHostWatch::askTheWatcher() {
    auto* pending = new QDBusPendingCallWatcher(bus_.asyncCall(hostQuestion(), watcherTimeout), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* answered) {
        answered->deleteLater();
        if (saysAHostIsRegistered(answered->reply())) {
            found();
        }
    });
}

// An XEmbed tray announces itself to every client with a MANAGER message on the root window, which
// Qt selects for every application.
bool TrayHostWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr* /*result*/) {
    if (eventType != "xcb_generic_event_t") {
        return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & ~0x80) == XCB_CLIENT_MESSAGE) {
        const auto* client = static_cast<const xcb_client_message_event_t*>(message);
        if (client->type == managerAtom_ && client->format == 32 &&
            client->data.data32[1] == traySelection_) {
            QMetaObject::invokeMethod(this, &TrayHostWatch::found, Qt::QueuedConnection);
        }
    }
    return false;
}

void TrayHostWatch::found() {
    if (std::exchange(found_, true)) {
        return;
    }
    stopWatching();
    emit appeared();
}

void TrayHostWatch::stopWatching() {
    watcher_.setWatchedServices({});
    bus_.disconnect(QString(), watcherPath, watcherService, QStringLiteral("StatusNotifierHostRegistered"),
                    this, SLOT(askTheWatcher()));
    if (std::exchange(managerAtom_, 0) != 0) {
        QCoreApplication::instance()->removeNativeEventFilter(this);
    }
}

} // namespace burrowlight
