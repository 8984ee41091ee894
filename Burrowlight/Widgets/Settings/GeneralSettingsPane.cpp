#include "Burrowlight/Widgets/Settings/GeneralSettingsPane.h"

#include "Burrowlight/Widgets/Settings/PaneText.h"
#include "Burrowlight/Widgets/Style/Sizes.h"

#include <QAbstractItemView>
#include <QSignalBlocker>

namespace burrowlight {

GeneralSettingsPane::GeneralSettingsPane(std::unique_ptr<GeneralSettingsModel> model)
    : model_(std::move(model)), theme_(*this, [this] {
          makeErrorCallout(loginItemError_);
          makeSecondary(tipText_);
      }) {
    addRows();
    connectControls();
    refresh();
}

GeneralSettingsPane::~GeneralSettingsPane() = default;

void GeneralSettingsPane::addRows() {
    for (const auto language : allAppLanguages) {
        language_.addItem(GeneralSettingsModel::title(language), rawValue(language));
    }
    languageRows_ = &addSection(tr("Language"));
    languageRows_->addRow(tr("Language"), &language_);
    language_.view()->setAccessibleName(tr("Language"));
    makeCallout(relaunchText_);
    relaunch_.setText(tr("Relaunch Now"));
    relaunchLayout_.setContentsMargins(0, 0, 0, 0);
    relaunchLayout_.addWidget(&relaunchText_, 1);
    relaunchLayout_.addWidget(&relaunch_, 0, Qt::AlignVCenter);
    languageRows_->addRow(&relaunchRow_);

    startupRows_ = &addSection(tr("Startup"));
    openAtLogin_.setText(tr("Open at login"));
    startupRows_->addRow(&openAtLogin_);
    makeErrorCallout(loginItemError_);
    startupRows_->addRow(&loginItemError_);

    showsInTaskbar_.setText(tr("Show in the taskbar"));
    appearanceRows_ = &addSection(tr("Appearance"), appearanceNote());
    appearanceRows_->addRow(&showsInTaskbar_);

    notifies_.setText(tr("Notify when a tunnel connects, drops or fails"));
    addSection(tr("Notifications")).addRow(&notifies_);

    if (model_->showsUpdates()) {
        automaticallyChecks_.setText(tr("Check for updates automatically"));
        checkNow_.setText(tr("Check Now"));
        QFormLayout& updates = addSection(
            tr("Updates"), tr("Once a day Burrowlight downloads the list of versions from Tolvan. The "
                              "request carries the versions of the app and of the updates library, "
                              "and the app's language."));
        updates.addRow(&automaticallyChecks_);
        updates.addRow(QString(), &checkNow_);
    }

    version_.setText(model_->version());
    version_.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    QFormLayout& application = addSection(tr("Application"));
    application.addRow(tr("Version"), &version_);
    tipText_.setText(tr("Burrowlight is free. If you'd like to support the project and help us keep it "
                        "maintained, you can buy us a coffee."));
    makeSecondary(tipText_);
    makeWideWrapping(tipText_);
    tipLayout_.setContentsMargins(sizes::scaled(QMargins(0, 4, 0, 4)));
    tipLayout_.setSpacing(sizes::scaled(10));
    tipLayout_.addWidget(&tipText_);
    tipLayout_.addWidget(&tip_, 0, Qt::AlignLeft);
    application.addRow(&tipBlock_);
}

void GeneralSettingsPane::connectControls() {
    connect(model_.get(), &GeneralSettingsModel::changed, this, &GeneralSettingsPane::refresh);
    connect(&language_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (const auto language = appLanguageFromRawValue(language_.itemData(index).toString())) {
            model_->setLanguage(*language);
        }
    });
    connect(&relaunch_, &QPushButton::clicked, model_.get(), &GeneralSettingsModel::relaunchNow);
    connect(&openAtLogin_, &QCheckBox::toggled, model_.get(), &GeneralSettingsModel::setOpensAtLogin);
    connect(&showsInTaskbar_, &QCheckBox::toggled, model_.get(), &GeneralSettingsModel::setShowsInTaskbar);
    connect(&notifies_.box(), &QCheckBox::toggled, model_.get(), &GeneralSettingsModel::setNotifies);
    connect(&automaticallyChecks_, &QCheckBox::toggled, model_.get(),
            &GeneralSettingsModel::setAutomaticallyChecks);
    connect(&checkNow_, &QPushButton::clicked, model_.get(), &GeneralSettingsModel::checkForUpdates);
    connect(&tip_, &QPushButton::clicked, model_.get(), &GeneralSettingsModel::openTipPage);
}

QString GeneralSettingsPane::appearanceNote() const {
    return model_->hasTray()
               ? tr("Burrowlight is always in the tray. Without the taskbar entry, the window opens from "
                    "there.")
               : tr("This desktop shows no tray: the window opens at launch, and Burrowlight keeps the "
                    "tunnels up while it is closed. Opening Burrowlight again shows the window.");
}

void GeneralSettingsPane::refresh() {
    setFooter(*appearanceRows_, appearanceNote());
    const QSignalBlocker quietLanguage(language_);
    const QSignalBlocker quietLogin(openAtLogin_);
    const QSignalBlocker quietTaskbar(showsInTaskbar_);
    const QSignalBlocker quietNotifies(notifies_.box());
    const QSignalBlocker quietUpdates(automaticallyChecks_);
    language_.setCurrentIndex(language_.findData(rawValue(model_->language())));
    const QString explanation = model_->relaunchExplanation();
    relaunchText_.setText(explanation);
    languageRows_->setRowVisible(&relaunchRow_, !explanation.isEmpty());
    openAtLogin_.setChecked(model_->opensAtLogin());
    loginItemError_.setText(model_->loginItemError().value_or(QString()));
    startupRows_->setRowVisible(&loginItemError_, model_->loginItemError().has_value());
    showsInTaskbar_.setChecked(model_->showsInTaskbar());
    notifies_.box().setChecked(model_->notifies());
    automaticallyChecks_.setChecked(model_->automaticallyChecks());
}

} // namespace burrowlight
