#include "Burrowlight/Core/ArchiveImports.h"

#include "Burrowlight/Core/Background.h"
#include "Burrowlight/Core/Texts/AlertTexts.h"
#include "Burrowlight/Core/Texts/StorageTexts.h"
#include "TunnelKit/TunnelStore.h"

#include <QFileInfo>

namespace burrowlight {

ArchiveImports::Reading ArchiveImports::Reading::of(const QString& path) {
    const QString fileName = QFileInfo(path).fileName();
    auto archive = tunnelkit::TunnelArchive::load(path.toStdString());
    if (!archive) {
        return {texts::notAnArchiveAlert(fileName, texts::message(archive.error())), {}};
    }
    auto alert = texts::importAlert(archive->tunnels, fileName);
    if (!alert) {
        return {};
    }
    return {std::move(alert), std::move(archive->tunnels)};
}

ArchiveImports::ArchiveImports(AlertPresenter& alerts,
                               std::function<void(const std::vector<tunnelkit::Tunnel>&)> import,
                               QObject* parent)
    : QObject(parent), alerts_(alerts), import_(std::move(import)) {}

void ArchiveImports::add(const QString& path) {
    waiting_.push_back(path);
    if (!busy_) {
        next();
    }
}

void ArchiveImports::cancelReading() {
    if (!reading_) {
        return;
    }
    ++readCount_;
    setReading(std::nullopt);
    next();
}

void ArchiveImports::next() {
    if (waiting_.empty()) {
        busy_ = false;
        emit idle();
        return;
    }
    busy_ = true;
    const QString path = waiting_.front();
    waiting_.pop_front();
    setReading(QFileInfo(path).fileName());
    inBackground(
        *this, [path] { return Reading::of(path); },
        [this, count = ++readCount_](Reading reading) {
            if (count == readCount_) {
                read(std::move(reading));
            } else {
                releaseInBackground(std::move(reading.tunnels));
            }
        });
}

void ArchiveImports::read(Reading reading) {
    setReading(std::nullopt);
    if (reading.alert) {
        const auto answer = alerts_.run(*reading.alert);
        if (answer == 0 && !reading.tunnels.empty()) {
            import_(reading.tunnels);
        }
    }
    releaseInBackground(std::move(reading.tunnels));
    next();
}

void ArchiveImports::setReading(std::optional<QString> fileName) {
    if (fileName != reading_) {
        reading_ = std::move(fileName);
        emit readingChanged();
    }
}

} // namespace burrowlight
