#pragma once

#include "TunnelKit/TunnelConnection.h"

#include <QAbstractListModel>
#include <QString>
#include <QTimer>
#include <chrono>
#include <deque>
#include <memory>

namespace burrowlight {

class AppSettings;
class EngineBridge;

// The lines a tunnel's log card shows, one row each: the connection's log without ssh's debug lines
// unless the details are on, at most the last `limit`. New lines are taken over as they come and
// told as inserted rows (the oldest as removed ones), so a chatty ssh costs the card only what it
// adds.
class LogCardModel : public QAbstractListModel {
    Q_OBJECT

  public:
    static constexpr size_t limit = 400;
    // The line's SSHLogLine::Level, as an int.
    static constexpr int levelRole = Qt::UserRole + 1;
    // How long new lines wait to be taken in with those that follow them.
    static constexpr std::chrono::milliseconds takeDelay{50};

    LogCardModel(EngineBridge& engine, std::shared_ptr<tunnelkit::TunnelConnection> connection,
                 AppSettings& settings, QObject* parent = nullptr);
    ~LogCardModel() override;

    const std::deque<tunnelkit::SSHLogLine>& lines() const { return lines_; }
    // The visible texts joined by line feeds.
    QString copyText() const;
    bool showsDetails() const;
    // Kept in the settings, for every log card.
    void setShowsDetails(bool shows);
    void clear();

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

  private:
    bool isVisible(const tunnelkit::SSHLogLine& line) const;
    void takeNewLines();
    void rebuild();

    std::shared_ptr<tunnelkit::TunnelConnection> connection_;
    AppSettings& settings_;
    QTimer take_;
    std::deque<tunnelkit::SSHLogLine> lines_;
    // The id of the newest log line looked at, visible or not.
    std::optional<std::int64_t> seen_;
};

} // namespace burrowlight
