#pragma once

#include "Burrowlight/Core/AppSettings.h"

#include <QObject>
#include <QStringList>

namespace burrowlight {

// The host aliases of the user's ~/.ssh/config that the server field offers: read off the GUI
// thread while the ssh configuration is in use, none otherwise, and read again whenever that
// setting changes.
class HostAliases : public QObject {
    Q_OBJECT

  public:
    HostAliases(AppSettings& settings, QString homeDirectory, QObject* parent = nullptr);

    const QStringList& aliases() const { return aliases_; }

  signals:
    void aliasesChanged();

  private:
    void reload();
    void setAliases(QStringList aliases);

    AppSettings& settings_;
    QString homeDirectory_;
    QStringList aliases_;
    // Only the read started last is taken.
    int generation_ = 0;
};

} // namespace burrowlight
