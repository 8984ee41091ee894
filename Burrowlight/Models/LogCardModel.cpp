#include "Burrowlight/Models/LogCardModel.h"

#include "Burrowlight/Core/AppSettings.h"
#include "Burrowlight/Core/EngineBridge.h"

#include <QStringList>
#include <algorithm>
#include <iterator>
#include <vector>

namespace burrowlight {

using tunnelkit::SSHLogLine;

LogCardModel::LogCardModel(EngineBridge& engine, std::shared_ptr<tunnelkit::TunnelConnection> connection,
                           AppSettings& settings, QObject* parent)
    : QAbstractListModel(parent), connection_(std::move(connection)), settings_(settings) {
    take_.setSingleShot(true);
    take_.setInterval(takeDelay);
    connect(&take_, &QTimer::timeout, this, &LogCardModel::takeNewLines);
    connect(&engine, &EngineBridge::logAppended, this, [this](const tunnelkit::Uuid& id) {
        if (id != connection_->tunnel().id) {
            return;
        }
        // A chatty ssh sends many small batches: the card takes those of a moment together.
        if (connection_->log().empty()) {
            take_.stop();
            rebuild();
        } else if (!take_.isActive()) {
            take_.start();
        }
    });
    connect(&settings_, &AppSettings::logShowsDetailsChanged, this, &LogCardModel::rebuild);
    rebuild();
}

LogCardModel::~LogCardModel() = default;

int LogCardModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(lines_.size());
}

QVariant LogCardModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || size_t(index.row()) >= lines_.size()) {
        return {};
    }
    const auto& line = lines_[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(line.text);
    case levelRole:
        return int(line.level);
    default:
        return {};
    }
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
    std::vector<SSHLogLine> added;
    for (; next != log.end(); ++next) {
        seen_ = next->id;
        if (isVisible(*next)) {
            added.push_back(*next);
        }
    }
    if (added.empty()) {
        return;
    }
    // Only the newest `limit` can stay.
    const size_t keep = std::min(added.size(), limit);
    const size_t drop =
        std::min(lines_.size(), lines_.size() + keep > limit ? lines_.size() + keep - limit : 0);
    if (drop > 0) {
        beginRemoveRows({}, 0, int(drop) - 1);
        lines_.erase(lines_.begin(), lines_.begin() + std::ptrdiff_t(drop));
        endRemoveRows();
    }
    beginInsertRows({}, int(lines_.size()), int(lines_.size() + keep) - 1);
    lines_.insert(lines_.end(), std::make_move_iterator(added.end() - std::ptrdiff_t(keep)),
                  std::make_move_iterator(added.end()));
    endInsertRows();
}

void LogCardModel::rebuild() {
    beginResetModel();
    lines_.clear();
    const auto& log = connection_->log();
    for (auto line = log.rbegin(); line != log.rend() && lines_.size() < limit; ++line) {
        if (isVisible(*line)) {
            lines_.push_front(*line);
        }
    }
    seen_ = log.empty() ? std::nullopt : std::optional(log.back().id);
    endResetModel();
}

} // namespace burrowlight
