#include "Burrowlight/Widgets/Settings/SettingsWindow.h"

#include "Burrowlight/Core/AppIcons.h"
#include "Burrowlight/Core/AppIdentity.h"
#include "Burrowlight/Core/AppModel.h"
#include "Burrowlight/Core/SymbolIcons.h"
#include "Burrowlight/Widgets/Settings/GeneralSettingsPane.h"
#include "Burrowlight/Widgets/Settings/SSHSettingsPane.h"
#include "Burrowlight/Widgets/Settings/TunnelsSettingsPane.h"
#include "Burrowlight/Widgets/Style/Sizes.h"

#include <QApplication>

namespace burrowlight {

namespace {

constexpr int sidebarWidth = 190;
constexpr int sidebarRowHeight = 28;
constexpr int brandIconSize = 18;

} // namespace

SettingsWindow::SettingsWindow(SettingsServices services)
    : services_(std::move(services)), model_(services_.model.settings()) {
    setWindowTitle(tr("Settings"));

    for (const auto section : allSettingsSections) {
        sidebar_.addItem(title(section));
        sidebar_.item(sidebar_.count() - 1)->setSizeHint({0, sizes::scaled(sidebarRowHeight)});
    }
    sidebar_.setFrameShape(QFrame::NoFrame);
    sidebar_.setIconSize(sizes::scaled(QSize(16, 16)));
    sidebar_.setAccessibleName(tr("Sections"));
    brandName_.setText(appDisplayName());
    scaleFont(brandName_, 0.92);
    brandLayout_.setContentsMargins(sizes::scaled(QMargins(16, 16, 16, 16)));
    brandLayout_.setSpacing(sizes::scaled(6));
    brandLayout_.addWidget(&brandIcon_);
    brandLayout_.addWidget(&brandName_);
    brandLayout_.addStretch();
    sidebarLayout_.setContentsMargins(sizes::scaled(QMargins(8, 12, 8, 0)));
    sidebarLayout_.setSpacing(0);
    sidebarLayout_.addWidget(&sidebar_, 1);
    sidebarLayout_.addWidget(&brandRow_);
    sidebarColumn_.setFixedWidth(sizes::scaled(sidebarWidth));

    scaleFont(title_, 1.35, QFont::DemiBold);
    subtitle_.setWordWrap(true);
    scaleFont(subtitle_, 0.92);
    headerLayout_.setContentsMargins(sizes::scaled(QMargins(24, 20, 24, 8)));
    headerLayout_.setSpacing(sizes::scaled(6));
    headerLayout_.addWidget(&title_);
    headerLayout_.addWidget(&subtitle_);
    detailLayout_.setContentsMargins(0, 0, 0, 0);
    detailLayout_.setSpacing(0);
    detailLayout_.addWidget(&header_);

    layout_.setContentsMargins(0, 0, 0, 0);
    layout_.setSpacing(0);
    layout_.addWidget(&sidebarColumn_);
    layout_.addWidget(&divider_);
    layout_.addWidget(&detail_, 1);

    showSection(model_.selected());
    // However the row comes to be selected: a click, the keys, assistive technology. A selection that
    // becomes empty keeps the section.
    connect(&sidebar_, &QListWidget::itemSelectionChanged, this, [this] {
        const QList<QListWidgetItem*> selected = sidebar_.selectedItems();
        const int row = selected.isEmpty() ? -1 : sidebar_.row(selected.front());
        if (row >= 0 && row < static_cast<int>(allSettingsSections.size())) {
            model_.select(allSettingsSections[static_cast<size_t>(row)]);
        }
    });
    connect(&model_, &SettingsModel::selectedChanged, this,
            [this](SettingsSection section) { showSection(section); });
    sizes::keepFixedSize(*this, {width, height});
    sizes::keepOnScreen(*this);
    applyTheme();
}

SettingsWindow::~SettingsWindow() = default;

void SettingsWindow::showSection(SettingsSection section) {
    const int row =
        static_cast<int>(std::find(allSettingsSections.begin(), allSettingsSections.end(), section) -
                         allSettingsSections.begin());
    if (sidebar_.currentRow() != row) {
        const QSignalBlocker quiet(sidebar_);
        sidebar_.setCurrentRow(row);
    }
    title_.setText(title(section));
    subtitle_.setText(subtitle(section));
    if (pane_) {
        detailLayout_.removeWidget(pane_.get());
    }
    pane_ = makePane(section);
    pane_->setAccessibleName(title(section));
    detailLayout_.addWidget(pane_.get(), 1);
}

std::unique_ptr<QWidget> SettingsWindow::makePane(SettingsSection section) {
    AppModel& model = services_.model;
    switch (section) {
    case SettingsSection::general:
        return std::make_unique<GeneralSettingsPane>(
            std::make_unique<GeneralSettingsModel>(model, services_.termination));
    case SettingsSection::ssh:
        return std::make_unique<SSHSettingsPane>(std::make_unique<SSHSettingsModel>(model));
    case SettingsSection::tunnels:
        return std::make_unique<TunnelsSettingsPane>(
            std::make_unique<TunnelsSettingsModel>(model, services_.alerts, services_.openMain));
    }
    return std::make_unique<QWidget>();
}

void SettingsWindow::applyTheme() {
    const QColor accent = tolvanAccent();
    applyTolvanSurface(detail_);
    makeSeparator(divider_, Qt::Vertical);
    QPalette sidebarPalette = sidebar_.palette();
    sidebarPalette.setColor(QPalette::Base, QApplication::palette().color(QPalette::Window));
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        sidebarPalette.setColor(group, QPalette::Highlight, accent);
        sidebarPalette.setColor(group, QPalette::HighlightedText, tolvanOnAccent());
    }
    sidebar_.setPalette(sidebarPalette);
    for (int row = 0; row < sidebar_.count(); ++row) {
        const auto section = allSettingsSections[static_cast<size_t>(row)];
        QIcon icon = tintedIcon(symbolIcon(symbolName(section)), accent, {16, 16});
        // On the accent-filled selection the symbol is drawn like the text.
        const QIcon selected = tintedIcon(symbolIcon(symbolName(section)), tolvanOnAccent(), {16, 16});
        for (const QSize size : {QSize(16, 16), QSize(32, 32)}) {
            icon.addPixmap(selected.pixmap(size), QIcon::Selected);
        }
        sidebar_.item(row)->setIcon(icon);
    }
    makeSecondary(brandName_);
    makeSecondary(subtitle_);
    brandIcon_.setPixmap(tintedIcon(trayIcon(), brandName_.palette().color(QPalette::WindowText),
                                    {brandIconSize, brandIconSize})
                             .pixmap(brandIconSize, brandIconSize));
}

void SettingsWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    raise();
    activateWindow();
}

} // namespace burrowlight
