#include "Burrowlight/Widgets/Shell/MessageBoxAlerts.h"

#include "Burrowlight/Core/AppIdentity.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPushButton>

namespace burrowlight {

namespace {

QMessageBox::Icon icon(Alert::Style style) {
    switch (style) {
    case Alert::Style::informational:
        return QMessageBox::Information;
    case Alert::Style::warning:
        return QMessageBox::Warning;
    case Alert::Style::critical:
        return QMessageBox::Critical;
    }
    return QMessageBox::Warning;
}

QMessageBox::ButtonRole role(Alert::Button::Role role) {
    switch (role) {
    case Alert::Button::Role::normal:
        return QMessageBox::AcceptRole;
    case Alert::Button::Role::destructive:
        return QMessageBox::DestructiveRole;
    case Alert::Button::Role::cancel:
        return QMessageBox::RejectRole;
    }
    return QMessageBox::AcceptRole;
}

} // namespace

MessageBoxAlerts::Box MessageBoxAlerts::makeBox(const Alert& alert, QWidget* parent) {
    Box made;
    made.box = std::make_unique<QMessageBox>(parent);
    QMessageBox& box = *made.box;
    box.setWindowTitle(appDisplayName());
    box.setIcon(icon(alert.style));
    box.setTextFormat(Qt::PlainText);
    box.setText(alert.message);
    box.setInformativeText(alert.informativeText);
    // The informative text takes its format from its own label, which would read markup.
    if (auto* informative = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel"))) {
        informative->setTextFormat(Qt::PlainText);
    }
    if (alert.buttons.empty()) {
        made.buttons.push_back(box.addButton(QMessageBox::Ok));
    }
    for (const auto& button : alert.buttons) {
        made.buttons.push_back(box.addButton(button.title, role(button.role)));
    }
    if (auto* first = qobject_cast<QPushButton*>(made.buttons.front())) {
        box.setDefaultButton(first);
    }
    for (size_t index = 0; index < alert.buttons.size(); ++index) {
        if (alert.buttons[index].role == Alert::Button::Role::cancel) {
            box.setEscapeButton(made.buttons[index]);
        }
    }
    box.setAttribute(Qt::WA_ShowWithoutActivating, !alert.activatesApplication);
    return made;
}

std::optional<size_t> MessageBoxAlerts::run(const Alert& alert) {
    Box made = makeBox(alert, parent_);
    if (alert.activatesApplication) {
        made.box->show();
        made.box->raise();
        made.box->activateWindow();
    }
    made.box->exec();
    const auto chosen = std::ranges::find(made.buttons, made.box->clickedButton());
    if (chosen == made.buttons.end()) {
        return std::nullopt;
    }
    return static_cast<size_t>(chosen - made.buttons.begin());
}

} // namespace burrowlight
