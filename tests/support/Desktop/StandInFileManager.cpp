#include "StandInFileManager.h"

namespace testing_support {

namespace {

const QString service = QStringLiteral("org.freedesktop.FileManager1");
const QString path = QStringLiteral("/org/freedesktop/FileManager1");

} // namespace

StandInFileManager::StandInFileManager() {
    QDBusConnection& bus = peer_.connection();
    registered_ = bus.registerObject(path, this, QDBusConnection::ExportScriptableSlots) &&
                  bus.registerService(service);
}

StandInFileManager::~StandInFileManager() {
    peer_.connection().unregisterService(service);
    peer_.connection().unregisterObject(path);
}

void StandInFileManager::ShowItems(const QStringList& uris, const QString& startupId) {
    calls_.push_back({uris, startupId});
}

} // namespace testing_support
