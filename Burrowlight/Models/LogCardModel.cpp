#include "Burrowlight/Models/LogCardModel.h"

#include "Burrowlight/Core/AppSettings.h"
#include "Burrowlight/Core/EngineBridge.h"

#include <QStringList>

namespace burrowlight {

using tunnelkit::SSHLogLine;

LogCardModel::LogCardModel(EngineBridge& engine, std::shared_ptr<tunnelkit::TunnelConnection> connection,
                           AppSettings& settings, QObject* parent)
    : QObject(parent), connection_(std::move(connection)), settings_(settings) {
    connect(&engine, &EngineBridge::logAppended, this, [this](const tunnelkit::Uuid& id) {
        if (id == connection_->tunnel().id) {
            takeNewLines();
        }
    });
    connect(&settings_, &AppSettings::logShowsDetailsChanged, this, &LogCardModel::rebuild);
    rebuild();
}

bool LogCardModel::showsDetails() const {
    return settings_.logShowsDetails();
}

void LogCardModel::setShowsDetails(bool shows) {
    settings_.setLogShowsDetails(shows);
}

void LogCardModel::clear() {
    connection_->clearLog();
}

bool LogCardModel::isVisible(const SSHLogLine& line) const {
    return showsDetails() || line.level != SSHLogLine::Level::debug;
}

QString LogCardModel::copyText() const {
    QStringList texts;
    texts.reserve(qsizetype(lines_.size()));
    for (const auto& line : lines_) {
        texts.append(QString::fromStdString(line.text));
    }
    return texts.join(QLatin1Char('\n'));
}

void LogCardModel::takeNewLines() {
    const auto& log = connection_->log();
    // Cleared, or every line we knew has been pushed out: start again from what is there.
    if (log.empty() || !seen_ || log.front().id > *seen_ + 1) {
        rebuild();
        return;
    }
    auto next = log.end();
    while (next != log.begin() && std::prev(next)->id > *seen_) {
        --next;
    }
    int added = 0;
    for (; next != log.end(); ++next) {
        seen_ = next->id;
        if (!isVisible(*next)) {
            continue;
        }
        lines_.push_back(*next);
        ++added;
        if (lines_.size() > limit) {
            lines_.pop_front();
        }
    }
    if (added > 0) {
        emit appended(added);
    }
}

void LogCardModel::rebuild() {
    lines_.clear();
    const auto& log = connection_->log();
    for (auto line = log.rbegin(); line != log.rend() && lines_.size() < limit; ++line) {
        if (isVisible(*line)) {
            lines_.push_front(*line);
        }
    }
    seen_ = log.empty() ? std::nullopt : std::optional(log.back().id);
    emit reset();
}

} // namespace burrowlight
