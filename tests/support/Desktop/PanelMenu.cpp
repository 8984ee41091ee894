#include "PanelMenu.h"

#include <QDBusArgument>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>

namespace testing_support {

namespace {

MenuNode readNode(const QDBusArgument& argument) {
    MenuNode node;
    argument.beginStructure();
    argument >> node.id >> node.properties;
    argument.beginArray();
    while (!argument.atEnd()) {
        QDBusVariant child;
        argument >> child;
        node.children.append(readNode(qvariant_cast<QDBusArgument>(child.variant())));
    }
    argument.endArray();
    argument.endStructure();
    return node;
}

} // namespace

const MenuNode* MenuNode::child(const QString& startOfLabel) const {
    const auto found = std::ranges::find_if(
        children, [&](const MenuNode& node) { return node.label().startsWith(startOfLabel); });
    return found == children.end() ? nullptr : &*found;
}

QStringList MenuNode::labels() const {
    QStringList shown;
    for (const auto& node : children) {
        shown.append(node.isSeparator() ? QStringLiteral("—") : node.label());
    }
    return shown;
}

std::optional<QDBusMessage> callMenu(QDBusConnection& bus, const QString& service, const QString& method,
                                     const QVariantList& arguments) {
    auto call = QDBusMessage::createMethodCall(service, QStringLiteral("/MenuBar"),
                                               QStringLiteral("com.canonical.dbusmenu"), method);
    call.setArguments(arguments);
    QDBusPendingCallWatcher pending(bus.asyncCall(call, 10'000));
    if (!pending.isFinished()) {
        QEventLoop loop;
        QObject::connect(&pending, &QDBusPendingCallWatcher::finished, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return pending.isError() && pending.error().type() == QDBusError::Timeout
               ? std::nullopt
               : std::optional(pending.reply());
}

std::optional<MenuNode> layout(QDBusConnection& bus, const QString& service) {
    const auto reply = callMenu(bus, service, QStringLiteral("GetLayout"), {0, -1, QStringList()});
    if (!reply || reply->type() != QDBusMessage::ReplyMessage || reply->arguments().size() != 2) {
        return std::nullopt;
    }
    return readNode(qvariant_cast<QDBusArgument>(reply->arguments().at(1)));
}

} // namespace testing_support
