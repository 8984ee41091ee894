#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>

namespace burrowlight {

// The desktop's contrast preference, from the settings portal: org.freedesktop.appearance
// "contrast", 1 for higher contrast. Read once without waiting (ReadOne, or Read from a portal that
// predates it) and followed through the portal's SettingChanged, accepted only from the portal. No
// portal, or one that doesn't know the key, means normal contrast.
class DesktopContrast : public QObject {
    Q_OBJECT

  public:
    explicit DesktopContrast(QDBusConnection sessionBus = QDBusConnection::sessionBus(),
                             QObject* parent = nullptr);

    bool isHigh() const { return high_; }

  signals:
    void highChanged(bool high);

  private slots:
    // Taken whole: a slot naming QDBusVariant would not connect before that type is first used.
    void settingChanged(const QDBusMessage& message);

  private:
    void read(const QString& method);
    void take(const QVariant& value);

    QDBusConnection bus_;
    bool high_ = false;
    // A change heard before the first answer is newer than it.
    bool heardChange_ = false;
};

} // namespace burrowlight
