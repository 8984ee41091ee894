#include "Burrowlight/Widgets/Editor/HostField.h"

#include "Burrowlight/Core/EmbeddedText.h"
#include "Burrowlight/Core/TunnelDraft.h"
#include "Burrowlight/Widgets/Editor/FieldText.h"
#include "Burrowlight/Widgets/Style/EditorLook.h"
#include "Burrowlight/Widgets/Style/Look.h"
#include "Burrowlight/Widgets/Style/Sizes.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>

namespace burrowlight {

HostField::HostField(TunnelDraft& draft, HostAliases& aliases, std::function<void(const QString&)> picked,
                     QWidget* parent)
    : QWidget(parent), draft_(draft), aliases_(aliases), picked_(std::move(picked)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(sizes::scaled(4));
    edit_ = new QLineEdit(this);
    edit_->setPlaceholderText(tr("name, address or alias"));
    edit_->setAccessibleName(tr("Host"));
    layout->addWidget(edit_, 1);
    fieldText::bind(*edit_, [this](const QString& text) {
        draft_.editTunnel([&text](tunnelkit::Tunnel& tunnel) { tunnel.host = text.toStdString(); });
    });

    menuButton_ =
        &editorLook::iconButton(QStringLiteral("chevron.down"), tr("Hosts in ~/.ssh/config"), *this);
    menuButton_->setPopupMode(QToolButton::InstantPopup);
    menuButton_->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; width: 0; }"));
    menuButton_->setMenu(new QMenu(menuButton_));
    // As tall as the field beside it, so that the server field is as tall as the others in its row.
    menuButton_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Ignored);
    layout->addWidget(menuButton_);

    connect(&draft, &TunnelDraft::changed, this, &HostField::refresh);
    connect(&aliases, &HostAliases::aliasesChanged, this, &HostField::refreshMenu);
    setFocusProxy(edit_);
    refresh();
    refreshMenu();
}

void HostField::refresh() {
    fieldText::showUnlessTyping(*edit_, QString::fromStdString(draft_.tunnel().host));
}

void HostField::refreshMenu() {
    QMenu& menu = *menuButton_->menu();
    menu.clear();
    look::addSection(menu, tr("Hosts in ~/.ssh/config"));
    for (const QString& alias : aliases_.aliases()) {
        QAction* action = menu.addAction(look::menuText(shortened(alias)));
        connect(action, &QAction::triggered, this, [this, alias] {
            draft_.editTunnel([&alias](tunnelkit::Tunnel& tunnel) { tunnel.host = alias.toStdString(); });
            fieldText::show(*edit_, alias);
            if (picked_) {
                picked_(alias);
            }
        });
    }
    menuButton_->setVisible(!aliases_.aliases().isEmpty());
}

} // namespace burrowlight
