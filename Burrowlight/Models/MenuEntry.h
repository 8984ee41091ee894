#pragma once

#include <QString>
#include <functional>
#include <vector>

namespace burrowlight {

// One entry of a context menu as a value: the models compute menus, the widgets show them.
struct MenuEntry {
    enum class Kind { action, toggle, separator, submenu };

    Kind kind = Kind::action;
    QString title;
    // A symbol name of the icon table; empty for none.
    QString symbol;
    bool destructive = false;
    // A toggle's reading when the menu was computed.
    bool checked = false;
    std::function<void()> run;
    // A submenu's entries.
    std::vector<MenuEntry> entries;

    static MenuEntry action(QString title, QString symbol, std::function<void()> run,
                            bool destructive = false) {
        return {Kind::action, std::move(title), std::move(symbol), destructive, false, std::move(run), {}};
    }
    static MenuEntry toggle(QString title, bool checked, std::function<void()> run) {
        return {Kind::toggle, std::move(title), {}, false, checked, std::move(run), {}};
    }
    static MenuEntry separator() { return {Kind::separator, {}, {}, false, false, {}, {}}; }
    static MenuEntry submenu(QString title, QString symbol, std::vector<MenuEntry> entries) {
        return {Kind::submenu, std::move(title), std::move(symbol), false, false, {}, std::move(entries)};
    }
};

using Menu = std::vector<MenuEntry>;

} // namespace burrowlight
