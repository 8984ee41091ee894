#pragma once

#include "Burrowlight/Core/ExportFile.h"

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

namespace burrowlight {

class AlertPresenter;
class AppModel;

// The Tunnels pane: importing archives and the hosts of ~/.ssh/config, exporting every live
// tunnel to one archive, and where the tunnels file is, with the reason it can't be read or saved.
class TunnelsSettingsModel : public QObject {
    Q_OBJECT

  public:
    // `openMain` opens the main window, or brings it forward.
    TunnelsSettingsModel(AppModel& model, AlertPresenter& alerts, std::function<void()> openMain);

    // Asks first, and reports an unreadable file itself.
    void importFile(const QString& path);
    // Once the terms are accepted: the main window, asked to import. Before: the terms window.
    void importFromSSHConfig();

    bool canExportAll() const;
    // The archive of every live tunnel, in stored order, named for the save dialog; none when
    // there is nothing to export.
    std::optional<ExportFile> exportAll() const;
    // The name the save dialog proposes.
    static QString suggestedFileName(const ExportFile& file);
    // The path with the archive's extension added when the name typed lacks it.
    static QString archivePath(const QString& chosen);
    // Writes the archive; when the file system refuses, says why in an alert and returns false.
    bool save(const ExportFile& file, const QString& path);

    QString tunnelsFilePath() const;
    void showTunnelsFile() const;
    // The read error first, else the save error; empty when the file is fine.
    QString storageProblem() const;

  signals:
    // Whether there is anything to export, or the storage problem, may have changed.
    void changed();

  private:
    AppModel& model_;
    AlertPresenter& alerts_;
    std::function<void()> openMain_;
};

} // namespace burrowlight
