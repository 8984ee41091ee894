#pragma once

#include "TunnelKit/MainQueue.h"
#include "TunnelKit/SSHCommandBuilder.h"
#include "TunnelKit/SSHConfigResolver.h"

#include <QObject>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace burrowlight {

// What the user's ssh configuration makes of the host aliases asked for, as "ssh -G" reports it.
// ssh runs on a thread of its own; results come back through the main queue. A reset drops every
// entry, and the answers of runs started before it.
class ConfigHosts : public QObject {
    Q_OBJECT

  public:
    // The builder to ask ssh with, made afresh for every run; none while the user's ssh
    // configuration is not to be read.
    using BuilderSource = std::function<std::optional<tunnelkit::SSHCommandBuilder>()>;

    ConfigHosts(BuilderSource builders, std::shared_ptr<tunnelkit::MainQueue> mainQueue,
                std::chrono::milliseconds timeout = tunnelkit::SSHConfigResolver::defaultTimeout,
                QObject* parent = nullptr);
    ~ConfigHosts() override;

    const std::map<std::string, tunnelkit::ResolvedHost>& hosts() const { return hosts_; }
    std::optional<tunnelkit::ResolvedHost> host(const std::string& alias) const;
    // Aliases a run was started for since the last reset: views start one only for the others.
    const std::set<std::string>& asked() const { return asked_; }
    int generation() const { return generation_; }

    // The alias's entry is replaced by ssh's answer, or removed when there is none or the
    // configuration is not read. `done` runs on the main queue once the run is over.
    void resolve(const std::string& alias, std::function<void()> done = {});
    // One after another, in order, the hosts of the tunnels outside the trash without forwards of
    // their own.
    void resolveAll(const std::vector<tunnelkit::Tunnel>& tunnels, std::function<void()> done = {});
    void reset();

  signals:
    void hostsChanged();

  private:
    void setEntry(const std::string& alias, const std::optional<tunnelkit::ResolvedHost>& host);
    void resolveNext(std::vector<std::string> aliases, size_t next, std::function<void()> done);

    BuilderSource builders_;
    std::shared_ptr<tunnelkit::MainQueue> mainQueue_;
    std::chrono::milliseconds timeout_;
    std::map<std::string, tunnelkit::ResolvedHost> hosts_;
    std::set<std::string> asked_;
    int generation_ = 0;
    // Held by answers on their way back: they find it gone once this object is.
    std::shared_ptr<ConfigHosts*> self_;
};

} // namespace burrowlight
