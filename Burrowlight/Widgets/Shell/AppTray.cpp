#include "Burrowlight/Widgets/Shell/AppTray.h"

#include "Burrowlight/Core/AppIcons.h"
#include "Burrowlight/Core/AppIdentity.h"
#include "Burrowlight/Core/EmbeddedText.h"
#include "Burrowlight/Core/SymbolIcons.h"
#include "Burrowlight/Widgets/Style/Sizes.h"

#include <QApplication>
#include <QCursor>

namespace burrowlight {

namespace {

constexpr qsizetype statusColumnLength = 60;

bool sameShape(const std::vector<TrayMenuItem>& shown, const std::vector<TrayMenuItem>& next) {
    return std::ranges::equal(shown, next, [](const TrayMenuItem& a, const TrayMenuItem& b) {
        return a.kind == b.kind && a.checkable == b.checkable && sameShape(a.children, b.children);
    });
}

// Submenus are children of the menu that shows them; clearing a menu does not delete them.
void clear(QMenu& menu) {
    const auto submenus = menu.findChildren<QMenu*>(QString(), Qt::FindDirectChildrenOnly);
    menu.clear();
    for (QMenu* submenu : submenus) {
        submenu->deleteLater();
    }
}

} // namespace

QString menuText(const QString& title, TrayMenuView::Drawing drawing) {
    QString text = title;
    if (drawing == TrayMenuView::Drawing::byQt) {
        // Qt draws an item on one line: a toggle's status goes to the column on the right, cut short
        // so that one long message of ssh's does not widen the whole menu.
        if (const auto lineBreak = text.indexOf(QLatin1Char('\n')); lineBreak >= 0) {
            text = text.left(lineBreak) + QLatin1Char('\t') +
                   shortened(text.mid(lineBreak + 1), statusColumnLength);
        }
        return text.replace(QLatin1Char('&'), QStringLiteral("&&"));
    }
    text.replace(QLatin1Char('_'), QStringLiteral("__"));
    if (const auto first = text.indexOf(QLatin1Char('&')); first >= 0) {
        text.insert(first, QLatin1Char('&'));
    }
    return text;
}

TrayMenuView::TrayMenuView(QMenu& menu, Choose choose) : menu_(menu), choose_(std::move(choose)) {
    palette_ = std::make_unique<PaletteFollower>(menu_, [this] { redraw(); });
}

void TrayMenuView::render(const TrayMenu& menu) {
    bindings_.clear();
    if (shown_ && sameShape(shown_->items, menu.items)) {
        update(menu_, menu.items);
    } else {
        clear(menu_);
        rebuild(menu_, menu.items);
    }
    menu_.setMinimumWidth(sizes::scaled(menu.minimumWidth));
    shown_ = menu;
}

void TrayMenuView::setDrawing(Drawing drawing) {
    if (drawing != drawing_) {
        drawing_ = drawing;
        redraw();
    }
}

// Afresh: the icons take the palette's colours, the titles the drawing's escapes.
void TrayMenuView::redraw() {
    if (auto menu = std::exchange(shown_, std::nullopt)) {
        render(*menu);
    }
}

const TrayMenuAction* TrayMenuView::actionOf(const QAction* action) const {
    const auto found =
        std::ranges::find(bindings_, action, &std::pair<const QAction*, TrayMenuAction>::first);
    return found == bindings_.end() ? nullptr : &found->second;
}

void TrayMenuView::rebuild(QMenu& menu, const std::vector<TrayMenuItem>& items) {
    for (const auto& item : items) {
        switch (item.kind) {
        case TrayMenuItem::Kind::divider:
            menu.addSeparator();
            break;
        case TrayMenuItem::Kind::submenu: {
            QMenu* submenu = menu.addMenu(QString());
            apply(*submenu->menuAction(), item);
            rebuild(*submenu, item.children);
            break;
        }
        case TrayMenuItem::Kind::command: {
            QAction* action = menu.addAction(QString());
            QObject::connect(action, &QAction::triggered, &menu, [this, action] { choose(action); });
            apply(*action, item);
            break;
        }
        }
    }
}

void TrayMenuView::update(QMenu& menu, const std::vector<TrayMenuItem>& items) {
    const auto actions = menu.actions();
    for (qsizetype index = 0; index < actions.size(); ++index) {
        const auto& item = items[static_cast<size_t>(index)];
        if (item.kind == TrayMenuItem::Kind::divider) {
            continue;
        }
        apply(*actions[index], item);
        if (item.kind == TrayMenuItem::Kind::submenu) {
            update(*actions[index]->menu(), item.children);
        }
    }
}

void TrayMenuView::apply(QAction& action, const TrayMenuItem& item) {
    action.setText(menuText(item.title, drawing_));
    action.setIcon(item.iconName.isEmpty()
                       ? QIcon()
                       : tintedIcon(symbolIcon(item.iconName), menu_.palette().color(QPalette::WindowText),
                                    QSize(16, 16)));
    action.setCheckable(item.checkable);
    action.setChecked(item.checked);
    action.setEnabled(item.enabled);
    if (item.kind == TrayMenuItem::Kind::command) {
        bindings_.emplace_back(&action, item.action);
    }
}

void TrayMenuView::choose(const QAction* action) {
    const TrayMenuAction* chosen = actionOf(action);
    if (!chosen) {
        return;
    }
    QMetaObject::invokeMethod(
        &menu_, [choose = choose_, chosen = *chosen] { choose(chosen); }, Qt::QueuedConnection);
}

QIcon trayIconFor(const QPalette& palette) {
    QIcon icon;
    const QColor color = palette.color(QPalette::WindowText);
    for (const int side : {16, 22, 24, 32, 48, 64}) {
        const QSize size(side, side);
        icon.addPixmap(tintedIcon(trayIcon(), color, size).pixmap(size));
    }
    icon.setIsMask(true);
    return icon;
}

AppTray::AppTray(AppModel& model, TrayMenuModel::Handlers handlers)
    : model_(model, std::move(handlers)), view_(menu_,
                                                [this](const TrayMenuAction& action) {
                                                    model_.trigger(action);
                                                    // A click flips a toggle's check on its own: the
                                                    // menu shows what the engine made of it.
                                                    view_.render(model_.menu());
                                                }),
      palette_(menu_, [this] {
          if (tray_) {
              tray_->setIcon(trayIconFor(QApplication::palette()));
          }
      }) {
    view_.render(model_.menu());
    QObject::connect(&model_, &TrayMenuModel::changed, &menu_, [this] { view_.render(model_.menu()); });
    // A panel asks for the menu just before it shows it; so does Qt's own popup.
    QObject::connect(&menu_, &QMenu::aboutToShow, &model_, &TrayMenuModel::refresh);
}

void AppTray::showIcon() {
    if (tray_) {
        return;
    }
    tray_ = std::make_unique<QSystemTrayIcon>(trayIconFor(QApplication::palette()));
    tray_->setToolTip(appDisplayName());
    tray_->setContextMenu(&menu_);
    tray_->show();
    // A menu exported over D-Bus has a platform menu behind it; one that Qt draws has none.
    const bool exported = menu_.platformMenu() != nullptr;
    view_.setDrawing(exported ? TrayMenuView::Drawing::byPanel : TrayMenuView::Drawing::byQt);
    if (!exported) {
        // A click on the icon opens the menu too, as on a menu bar; a panel decides that itself.
        QObject::connect(tray_.get(), &QSystemTrayIcon::activated, &menu_,
                         [this](QSystemTrayIcon::ActivationReason reason) {
                             if (reason == QSystemTrayIcon::Trigger) {
                                 menu_.popup(QCursor::pos());
                             }
                         });
    }
}

} // namespace burrowlight
