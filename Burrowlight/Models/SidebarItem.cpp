#include "Burrowlight/Models/SidebarItem.h"

#include "Burrowlight/Core/EmbeddedText.h"

namespace burrowlight {

QString SidebarTexts::title(const SidebarItem& item) {
    switch (item.kind) {
    case SidebarItem::Kind::all:
        return tr("All Tunnels");
    case SidebarItem::Kind::pinned:
        return tr("Pinned");
    case SidebarItem::Kind::connected:
        return tr("Connected");
    case SidebarItem::Kind::untagged:
        return tr("Untagged");
    case SidebarItem::Kind::trash:
        return tr("Recently Deleted");
    case SidebarItem::Kind::tag:
        return onOneLine(QString::fromStdString(item.tag));
    }
    return {};
}

QString SidebarTexts::symbol(const SidebarItem& item) {
    switch (item.kind) {
    case SidebarItem::Kind::all:
        return QStringLiteral("tray.full");
    case SidebarItem::Kind::pinned:
        return QStringLiteral("pin");
    case SidebarItem::Kind::connected:
        return QStringLiteral("bolt.horizontal.circle");
    case SidebarItem::Kind::untagged:
        return QStringLiteral("tag.slash");
    case SidebarItem::Kind::trash:
        return QStringLiteral("trash");
    case SidebarItem::Kind::tag:
        return QStringLiteral("tag");
    }
    return {};
}

QString SidebarTexts::tagsHeader() {
    return tr("Tags");
}

} // namespace burrowlight
