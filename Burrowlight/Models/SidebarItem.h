#pragma once

#include <QCoreApplication>
#include <QString>
#include <string>

namespace burrowlight {

// The group of tunnels chosen in the sidebar and shown by the list.
struct SidebarItem {
    enum class Kind {
        all,       // every live tunnel
        pinned,    // live and pinned
        connected, // live and connected, retrying or connecting
        untagged,  // live without tags
        trash,     // "Recently Deleted"
        tag,       // live and carrying exactly `tag`
    };

    Kind kind = Kind::all;
    std::string tag;

    static SidebarItem all() { return {}; }
    static SidebarItem pinned() { return {Kind::pinned, {}}; }
    static SidebarItem connected() { return {Kind::connected, {}}; }
    static SidebarItem untagged() { return {Kind::untagged, {}}; }
    static SidebarItem trash() { return {Kind::trash, {}}; }
    static SidebarItem tagged(std::string tag) { return {Kind::tag, std::move(tag)}; }

    bool isTrash() const { return kind == Kind::trash; }
    bool isTag(const std::string& text) const { return kind == Kind::tag && tag == text; }

    bool operator==(const SidebarItem&) const = default;
};

// The words and symbols of the groups.
class SidebarTexts {
    Q_DECLARE_TR_FUNCTIONS(Sidebar)

  public:
    // "All Tunnels", "Pinned", ...; a tag's own text, never translated.
    static QString title(const SidebarItem& item);
    static QString symbol(const SidebarItem& item);
    static QString tagsHeader();
};

} // namespace burrowlight
