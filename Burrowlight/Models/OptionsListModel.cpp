#include "Burrowlight/Models/OptionsListModel.h"

#include "Burrowlight/Core/Texts/CommandErrorTexts.h"

#include <algorithm>

namespace burrowlight {

using tunnelkit::SSHOption;
using tunnelkit::SSHOptionValue;
using tunnelkit::Tunnel;

OptionsListModel::OptionsListModel(TunnelDraft& draft, QObject* parent) : QObject(parent), draft_(&draft) {
    connect(&draft, &TunnelDraft::changed, this, &OptionsListModel::changed);
}

OptionsListModel::Row OptionsListModel::row(const SSHOptionValue& option) {
    Row row;
    row.id = option.id;
    row.name = QString::fromStdString(option.name);
    row.value = QString::fromStdString(option.value);
    row.entry = tunnelkit::SSHOptionCatalog::option(option.name);
    if (!row.entry) {
        return row;
    }
    row.name = QString::fromStdString(row.entry->name);
    row.runsPrograms = row.entry->executesCommands;
    if (const auto* choice = std::get_if<SSHOption::Choice>(&row.entry->kind)) {
        row.editor = Row::Editor::choice;
        for (const auto& word : choice->words) {
            row.choices << QString::fromStdString(word);
        }
        if (!row.choices.contains(row.value)) {
            row.choices << row.value;
        }
    } else if (std::holds_alternative<SSHOption::Integer>(row.entry->kind)) {
        row.editor = Row::Editor::integer;
    }
    return row;
}

std::vector<OptionsListModel::Row> OptionsListModel::rows() const {
    std::vector<Row> rows;
    if (draft_) {
        for (const auto& option : draft_->tunnel().options) {
            rows.push_back(row(option));
        }
    }
    return rows;
}

Menu OptionsListModel::addMenu() {
    Menu menu;
    for (const auto group : SSHOption::allGroups) {
        std::vector<MenuEntry> entries;
        for (const auto& entry : tunnelkit::SSHOptionCatalog::userOptions()) {
            if (entry.group == group) {
                entries.push_back(MenuEntry::action(QString::fromStdString(entry.name), {},
                                                    [this, &entry] { add(entry); }));
            }
        }
        if (!entries.empty()) {
            menu.push_back(MenuEntry::submenu(texts::title(group), {}, std::move(entries)));
        }
    }
    return menu;
}

tunnelkit::Uuid OptionsListModel::add(const SSHOption& entry) {
    SSHOptionValue option{tunnelkit::Uuid::random(), entry.name, {}};
    if (const auto* choice = std::get_if<SSHOption::Choice>(&entry.kind); choice && !choice->words.empty()) {
        option.value = choice->words.front();
    }
    if (draft_) {
        draft_->editTunnel([&](Tunnel& tunnel) { tunnel.options.push_back(option); });
    }
    return option.id;
}

void OptionsListModel::remove(const tunnelkit::Uuid& id) {
    if (draft_) {
        draft_->editTunnel(
            [&](Tunnel& tunnel) { std::erase_if(tunnel.options, [&](auto& o) { return o.id == id; }); });
    }
}

void OptionsListModel::setValue(const tunnelkit::Uuid& id, const QString& value) {
    if (!draft_) {
        return;
    }
    draft_->editTunnel([&](Tunnel& tunnel) {
        for (auto& option : tunnel.options) {
            if (option.id == id) {
                option.value = value.toStdString();
            }
        }
    });
}

} // namespace burrowlight
