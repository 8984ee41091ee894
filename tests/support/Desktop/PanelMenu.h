#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QList>
#include <QStringList>
#include <QVariantMap>
#include <optional>

// A tray item's menu as a panel reads it, over com.canonical.dbusmenu.
namespace testing_support {

// One node of a dbusmenu layout.
struct MenuNode {
    int id = 0;
    QVariantMap properties;
    QList<MenuNode> children;

    QString label() const { return properties.value(QStringLiteral("label")).toString(); }
    bool isSeparator() const { return properties.value(QStringLiteral("type")).toString() == "separator"; }
    const MenuNode* child(const QString& startOfLabel) const;
    // The children's labels, "—" for a separator.
    QStringList labels() const;
};

// Calls the item's menu without blocking the thread's events, which may serve the call itself.
std::optional<QDBusMessage> callMenu(QDBusConnection& bus, const QString& service, const QString& method,
                                     const QVariantList& arguments);
// The whole menu of the item that `service` holds; none when it doesn't answer.
std::optional<MenuNode> layout(QDBusConnection& bus, const QString& service);

} // namespace testing_support
