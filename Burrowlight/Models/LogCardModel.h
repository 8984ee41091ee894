#pragma once

#include "TunnelKit/TunnelConnection.h"

#include <QObject>
#include <QString>
#include <deque>
#include <memory>

namespace burrowlight {

class AppSettings;
class EngineBridge;

// The lines a tunnel's log card shows: the connection's log without ssh's debug lines unless the
// details are on, at most the last `limit`. New lines are taken over one by one as they come, so a
// chatty ssh costs the card only what it adds.
class LogCardModel : public QObject {
    Q_OBJECT

  public:
    static constexpr size_t limit = 400;

    LogCardModel(EngineBridge& engine, std::shared_ptr<tunnelkit::TunnelConnection> connection,
                 AppSettings& settings, QObject* parent = nullptr);

    const std::deque<tunnelkit::SSHLogLine>& lines() const { return lines_; }
    // The visible texts joined by line feeds.
    QString copyText() const;
    bool showsDetails() const;
    // Kept in the settings, for every log card.
    void setShowsDetails(bool shows);
    void clear();

  signals:
    // The last `count` lines are new; older ones beyond the limit were dropped from the front.
    void appended(int count);
    // The lines were replaced as a whole.
    void reset();

  private:
    bool isVisible(const tunnelkit::SSHLogLine& line) const;
    void takeNewLines();
    void rebuild();

    std::shared_ptr<tunnelkit::TunnelConnection> connection_;
    AppSettings& settings_;
    std::deque<tunnelkit::SSHLogLine> lines_;
    // The id of the newest log line looked at, visible or not.
    std::optional<std::int64_t> seen_;
};

} // namespace burrowlight
