#pragma once

#include "Burrowlight/Core/Alert.h"
#include "TunnelKit/Tunnel.h"

#include <QObject>
#include <QString>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace burrowlight {

// The archives handed to the running application, imported one after another: each file is read
// and decoded, and its alert worded, off the GUI thread, which only asks the user and merges the
// tunnels in. However large the file, the windows, the tray and D-Bus keep answering meanwhile.
class ArchiveImports : public QObject {
    Q_OBJECT

  public:
    // What reading one file came to, made on any thread.
    struct Reading {
        // The question before importing, or why the file is no archive; none for an empty archive.
        std::optional<Alert> alert;
        // What "Import" hands over: empty unless the file is an archive with tunnels.
        std::vector<tunnelkit::Tunnel> tunnels;

        static Reading of(const QString& path);
    };

    // `import` merges the tunnels the user agreed to.
    ArchiveImports(AlertPresenter& alerts, std::function<void(const std::vector<tunnelkit::Tunnel>&)> import,
                   QObject* parent = nullptr);

    // Read once the files handed over before it are done with.
    void add(const QString& path);
    // The name of the file being read, while one is.
    const std::optional<QString>& reading() const { return reading_; }
    // The file being read is dropped unasked; the files after it still come.
    void cancelReading();
    // Nothing read, asked or waiting.
    bool isIdle() const { return !busy_ && waiting_.empty(); }

  signals:
    void readingChanged();
    // The last file handed over has been dealt with.
    void idle();

  private:
    void next();
    void read(Reading reading);
    void setReading(std::optional<QString> fileName);

    AlertPresenter& alerts_;
    std::function<void(const std::vector<tunnelkit::Tunnel>&)> import_;
    std::deque<QString> waiting_;
    std::optional<QString> reading_;
    // From the start of a read to the end of its alert.
    bool busy_ = false;
    // A cancelled read's result finds the count moved on.
    int readCount_ = 0;
};

} // namespace burrowlight
