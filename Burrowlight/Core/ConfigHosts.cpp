#include "Burrowlight/Core/ConfigHosts.h"

namespace burrowlight {

ConfigHosts::ConfigHosts(BuilderSource builders, std::shared_ptr<tunnelkit::MainQueue> mainQueue,
                         std::chrono::milliseconds timeout, QObject* parent)
    : QObject(parent), builders_(std::move(builders)), mainQueue_(std::move(mainQueue)), timeout_(timeout),
      self_(std::make_shared<ConfigHosts*>(this)) {}

ConfigHosts::~ConfigHosts() = default;

std::optional<tunnelkit::ResolvedHost> ConfigHosts::host(const std::string& alias) const {
    const auto found = hosts_.find(alias);
    return found == hosts_.end() ? std::nullopt : std::optional(found->second);
}

void ConfigHosts::resolve(const std::string& alias, std::function<void()> done) {
    asked_.insert(alias);
    const auto builder = builders_();
    if (!builder) {
        // Views observing the alias learn that it has no entry, even when it had none before.
        hosts_.erase(alias);
        emit hostsChanged();
        if (done) {
            mainQueue_->post(std::move(done));
        }
        return;
    }
    const int generation = generation_;
    std::weak_ptr<ConfigHosts*> self = self_;
    auto answered = [self, generation, alias,
                     done = std::move(done)](std::optional<tunnelkit::ResolvedHost> host) {
        const auto owner = self.lock();
        if (!owner) {
            return;
        }
        ConfigHosts& hosts = **owner;
        if (hosts.generation_ == generation) {
            hosts.setEntry(alias, host);
        }
        if (done) {
            done();
        }
    };
    tunnelkit::SSHConfigResolver::resolve(
        alias, *builder, timeout_,
        [queue = mainQueue_,
         answered = std::move(answered)](std::optional<tunnelkit::ResolvedHost> host) mutable {
            queue->post([answered = std::move(answered), host = std::move(host)] { answered(host); });
        });
}

void ConfigHosts::resolveAll(const std::vector<tunnelkit::Tunnel>& tunnels, std::function<void()> done) {
    std::vector<std::string> aliases;
    for (const auto& tunnel : tunnels) {
        if (tunnel.forwards.empty() && !tunnel.isTrashed()) {
            aliases.push_back(tunnel.host);
        }
    }
    resolveNext(std::move(aliases), 0, std::move(done));
}

void ConfigHosts::resolveNext(std::vector<std::string> aliases, size_t next, std::function<void()> done) {
    if (next >= aliases.size()) {
        if (done) {
            done();
        }
        return;
    }
    const std::string alias = aliases[next];
    std::weak_ptr<ConfigHosts*> self = self_;
    resolve(alias, [self, aliases = std::move(aliases), next, done = std::move(done)]() mutable {
        if (const auto owner = self.lock()) {
            (*owner)->resolveNext(std::move(aliases), next + 1, std::move(done));
        }
    });
}

void ConfigHosts::reset() {
    ++generation_;
    hosts_.clear();
    asked_.clear();
    emit hostsChanged();
}

void ConfigHosts::setEntry(const std::string& alias, const std::optional<tunnelkit::ResolvedHost>& host) {
    const auto found = hosts_.find(alias);
    if (host) {
        if (found != hosts_.end() && found->second == *host) {
            return;
        }
        hosts_.insert_or_assign(alias, *host);
    } else {
        if (found == hosts_.end()) {
            return;
        }
        hosts_.erase(found);
    }
    emit hostsChanged();
}

} // namespace burrowlight
