#pragma once

#include "PrivateBuses.h"

#include <QObject>
#include <QStringList>
#include <vector>

namespace testing_support {

// A file manager on the session bus, owned by the test: org.freedesktop.FileManager1 at
// /org/freedesktop/FileManager1, recording each ShowItems call.
class StandInFileManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")

  public:
    struct ShowItemsCall {
        QStringList uris;
        QString startupId;
    };

    StandInFileManager();
    ~StandInFileManager() override;

    bool isRegistered() const { return registered_; }
    const std::vector<ShowItemsCall>& showItemsCalls() const { return calls_; }

  public slots:
    Q_SCRIPTABLE void ShowItems(const QStringList& uris, const QString& startupId);

  private:
    BusPeer peer_{QDBusConnection::SessionBus};
    bool registered_ = false;
    std::vector<ShowItemsCall> calls_;
};

} // namespace testing_support
