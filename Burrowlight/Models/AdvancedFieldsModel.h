#pragma once

#include "Burrowlight/Core/TunnelDraft.h"

#include <QLocale>
#include <QObject>
#include <QPointer>
#include <QString>
#include <optional>
#include <string>

namespace burrowlight {

// The less common settings of a tunnel draft as the Advanced fields edit them: each control writes
// straight into the draft. Reconnecting is no flag of its own but a retry limit above 0.
class AdvancedFieldsModel : public QObject {
    Q_OBJECT

  public:
    enum class File { identity, certificate, log };

    explicit AdvancedFieldsModel(TunnelDraft& draft, QObject* parent = nullptr);

    TunnelDraft* draft() const { return draft_; }

    void setJumpHosts(const QString& text);
    std::optional<std::string> file(File which) const;
    void setFile(File which, const std::optional<std::string>& path);
    void setTags(const QString& text);
    void setPinned(bool pinned);
    void setConnectsAtLaunch(bool connects);
    void setNote(const QString& text);

    bool reconnects() const;
    // On asks for the default number of attempts again, whatever was typed before; off for none.
    void setReconnects(bool reconnects);
    // The attempts in the locale's digits.
    QString attemptsText(const QLocale& locale = QLocale()) const;
    // A whole number in the locale's format: a negative one counts as none; text that is no number,
    // or one too large to keep, is refused and changes nothing. Whether it was taken.
    bool setAttempts(const QString& text, const QLocale& locale = QLocale());

  signals:
    void changed();

  private:
    void edit(const std::function<void(tunnelkit::Tunnel&)>& change);

    QPointer<TunnelDraft> draft_;
};

} // namespace burrowlight
