#pragma once

#include "TunnelKit/SSHManual.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace burrowlight {

// The installed ssh_config manual, rendered to Markdown once per process off the GUI thread, and
// the descriptions of single options cut out of it. A manual that can't be rendered stays missing
// for the rest of the process.
class ManualCache : public QObject {
    Q_OBJECT

  public:
    using Answer = std::function<void(std::optional<QString> markdown)>;

    static ManualCache& shared();

    explicit ManualCache(std::string renderer = std::string(tunnelkit::SSHManual::rendererPath),
                         QObject* parent = nullptr);

    // The option's description as Markdown, or none when the manual is missing or does not describe
    // it, handed to `answer` on the GUI thread; nothing once `receiver` is gone. Requests made while
    // the manual is being rendered wait for that one rendering.
    void section(const QString& option, const QObject& receiver, Answer answer);
    bool isLoaded() const { return loaded_; }

  private:
    struct Request {
        QString option;
        QPointer<const QObject> receiver;
        Answer answer;
    };

    void answer(Request request) const;

    std::string renderer_;
    bool loaded_ = false;
    bool loading_ = false;
    std::optional<std::string> markdown_;
    std::vector<Request> waiting_;
};

} // namespace burrowlight
