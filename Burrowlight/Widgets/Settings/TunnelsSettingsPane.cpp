#include "Burrowlight/Widgets/Settings/TunnelsSettingsPane.h"

#include "Burrowlight/Widgets/Settings/PaneText.h"

#include <QDir>
#include <QFileDialog>

namespace burrowlight {

TunnelsSettingsPane::FileDialogs TunnelsSettingsPane::FileDialogs::ofTheDesktop() {
    return {
        .open =
            [](QWidget* parent) {
                return QFileDialog::getOpenFileName(parent, tr("Import Tunnels"), QDir::homePath(),
                                                    tr("Burrowlight tunnels (*.burrowlight *.json)"));
            },
        .save =
            [](QWidget* parent, const QString& suggestedName) {
                return QFileDialog::getSaveFileName(parent, tr("Export All Tunnels"),
                                                    QDir::home().filePath(suggestedName),
                                                    tr("Burrowlight tunnels (*.burrowlight)"));
            },
    };
}

TunnelsSettingsPane::TunnelsSettingsPane(std::unique_ptr<TunnelsSettingsModel> model, FileDialogs dialogs)
    : model_(std::move(model)), dialogs_(std::move(dialogs)),
      theme_(*this, [this] { makeErrorCallout(storageProblem_); }) {
    importFromSSHConfig_.setText(tr("From SSH Config…"));
    import_.setText(tr("Import…"));
    importLayout_.setContentsMargins(0, 0, 0, 0);
    importLayout_.addWidget(&importFromSSHConfig_);
    importLayout_.addWidget(&import_);
    importLayout_.addStretch();
    export_.setText(tr("Export All…"));
    QFormLayout& transfer = addSection(
        tr("Import and Export"), tr("Exported files hold the tunnels' settings, never passwords or keys."));
    transfer.addRow(tr("Import"), &importButtons_);
    transfer.addRow(tr("Export"), &export_);

    showTunnelsFile_.setText(tr("Show in Files"));
    storageRows_ = &addSection(tr("Storage"));
    storageRows_->addRow(tr("Folder"), &showTunnelsFile_);
    storageRows_->addRow(&storageProblem_);

    connect(&importFromSSHConfig_, &QPushButton::clicked, model_.get(),
            &TunnelsSettingsModel::importFromSSHConfig);
    connect(&import_, &QPushButton::clicked, this, &TunnelsSettingsPane::importFile);
    connect(&export_, &QPushButton::clicked, this, &TunnelsSettingsPane::exportAll);
    connect(&showTunnelsFile_, &QPushButton::clicked, model_.get(), &TunnelsSettingsModel::showTunnelsFile);
    connect(model_.get(), &TunnelsSettingsModel::changed, this, &TunnelsSettingsPane::refresh);
    refresh();
}

TunnelsSettingsPane::~TunnelsSettingsPane() = default;

void TunnelsSettingsPane::importFile() {
    if (const QString path = dialogs_.open(this); !path.isEmpty()) {
        model_->importFile(path);
    }
}

void TunnelsSettingsPane::exportAll() {
    const auto file = model_->exportAll();
    if (!file) {
        return;
    }
    if (const QString path = dialogs_.save(this, TunnelsSettingsModel::suggestedFileName(*file));
        !path.isEmpty()) {
        model_->save(*file, TunnelsSettingsModel::archivePath(path));
    }
}

void TunnelsSettingsPane::refresh() {
    export_.setEnabled(model_->canExportAll());
    const QString problem = model_->storageProblem();
    storageProblem_.setText(problem);
    storageRows_->setRowVisible(&storageProblem_, !problem.isEmpty());
}

} // namespace burrowlight
