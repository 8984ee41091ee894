#include "Burrowlight/Widgets/Shell/MessageBoxAlerts.h"

#include "Burrowlight/Core/AppIcons.h"
#include "Burrowlight/Core/AppIdentity.h"
#include "Burrowlight/Widgets/Style/EditorLook.h"
#include "Burrowlight/Widgets/Style/Sizes.h"
#include "Burrowlight/Widgets/Style/Theme.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QFontMetricsF>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

namespace burrowlight {

namespace {

// The widest the accessory's lines go.
constexpr int accessoryWidth = 260;

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

// The desktop's picture for a grave alert, where its icon theme has one (freedesktop names); the
// application's icon for the others, as the system's alerts show it.
QIcon alertIcon(Alert::Style style) {
    switch (style) {
    case Alert::Style::informational:
        return appIcon();
    case Alert::Style::warning:
        return QIcon::fromTheme(QStringLiteral("dialog-warning"));
    case Alert::Style::critical:
        return QIcon::fromTheme(QStringLiteral("dialog-error"));
    }
    return {};
}

void showAlertIcon(QMessageBox& box, Alert::Style style) {
    box.setIcon(icon(style));
    const QIcon picture = alertIcon(style);
    auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgboxex_icon_label"));
    if (picture.isNull() || !label) {
        return;
    }
    // Over the style's own picture: the box keeps its icon kind for assistive technology.
    const int size = box.style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, &box);
    label->setPixmap(picture.pixmap(QSize(size, size), box.devicePixelRatioF()));
}

// Lines no wider than `width`, broken only where the text has a space; a word longer than a line
// keeps its own line.
QString wrappedAtSpaces(const QString& text, const QFontMetricsF& metrics, qreal width) {
    QStringList lines;
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        QString line;
        for (const QString& word : paragraph.split(QLatin1Char(' '))) {
            const QString longer = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
            if (!line.isEmpty() && metrics.horizontalAdvance(longer) > width) {
                lines << line;
                line = word;
            } else {
                line = longer;
            }
        }
        lines << line;
    }
    return lines.join(QLatin1Char('\n'));
}

// Under the informative text, above the buttons. The box lays itself out afresh when its texts
// change, so this comes last.
std::unique_ptr<QLabel> addAccessory(QMessageBox& box, const QString& text) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    auto* informative = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel"));
    auto* buttons = box.findChild<QDialogButtonBox*>();
    if (!grid || !informative || !buttons) {
        return nullptr;
    }
    int row = 0;
    int column = 0;
    int rowSpan = 0;
    int columnSpan = 0;
    grid->getItemPosition(grid->indexOf(informative), &row, &column, &rowSpan, &columnSpan);
    auto accessory = std::make_unique<QLabel>(&box);
    accessory->setObjectName(QStringLiteral("accessory"));
    accessory->setTextFormat(Qt::PlainText);
    accessory->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    QFont font = editorLook::monospaced(box.font());
    font.setPointSizeF(font.pointSizeF() * 0.85);
    accessory->setFont(font);
    // Facts such as a kernel's release are read whole: the lines break at spaces only, and the
    // label is as wide as its longest line.
    accessory->setText(wrappedAtSpaces(text, QFontMetricsF(font), sizes::scaled(accessoryWidth)));
    accessory->setFixedSize(accessory->sizeHint());
    makeSecondary(*accessory);
    int buttonsRow = 0;
    int buttonsColumn = 0;
    int buttonsRowSpan = 0;
    int buttonsColumnSpan = 0;
    grid->getItemPosition(grid->indexOf(buttons), &buttonsRow, &buttonsColumn, &buttonsRowSpan,
                          &buttonsColumnSpan);
    grid->removeWidget(buttons);
    grid->addWidget(accessory.get(), row + 1, column, 1, columnSpan);
    grid->addWidget(buttons, std::max(buttonsRow, row + 2), buttonsColumn, buttonsRowSpan, buttonsColumnSpan);
    return accessory;
}

} // namespace

MessageBoxAlerts::Box MessageBoxAlerts::makeBox(const Alert& alert, QWidget* parent) {
    Box made;
    made.box = std::make_unique<QMessageBox>(parent);
    QMessageBox& box = *made.box;
    box.setWindowTitle(appDisplayName());
    showAlertIcon(box, alert.style);
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
    if (!alert.accessoryText.isEmpty()) {
        made.accessory = addAccessory(box, alert.accessoryText);
    }
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
