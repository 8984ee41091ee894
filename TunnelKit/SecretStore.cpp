#include "TunnelKit/SecretStore.h"

#include "TunnelKit/Text.h"

#include <algorithm>

namespace tunnelkit {

std::string SecretStore::account(Uuid tunnel, const SecretKey& key) {
    return tunnel.toString() + "/" + std::string(rawValue(key.kind)) + "/" + key.identity;
}

std::optional<SecretKey> SecretStore::parseAccount(std::string_view account, Uuid tunnel) {
    const auto prefix = tunnel.toString() + "/";
    if (!text::startsWith(account, prefix)) {
        return std::nullopt;
    }
    const auto rest = account.substr(prefix.size());
    const auto slash = rest.find('/');
    if (slash == std::string_view::npos) {
        return std::nullopt;
    }
    const auto kind = secretKindFromRawValue(rest.substr(0, slash));
    if (!kind) {
        return std::nullopt;
    }
    return SecretKey{*kind, std::string(rest.substr(slash + 1))};
}

std::optional<std::string> SecretStore::secret(Uuid tunnel, const SecretKey& key) const {
    auto found = backend_->lookup(service_, account(tunnel, key));
    if (!found || !*found || !text::isWellFormedUTF8(**found)) {
        return std::nullopt;
    }
    return std::move(**found);
}

Result<void, SecretError> SecretStore::save(std::string_view secret, Uuid tunnel, const SecretKey& key,
                                            std::string_view label) const {
    return backend_->store(service_, account(tunnel, key), label, secret);
}

std::vector<SecretKey> SecretStore::keys(Uuid tunnel) const {
    const auto accounts = backend_->accounts(service_);
    if (!accounts) {
        return {};
    }
    std::vector<SecretKey> keys;
    for (const auto& account : *accounts) {
        if (auto key = parseAccount(account, tunnel)) {
            keys.push_back(std::move(*key));
        }
    }
    std::sort(keys.begin(), keys.end());
    return keys;
}

void SecretStore::deleteSecret(Uuid tunnel, const SecretKey& key) const {
    (void)backend_->clear(service_, account(tunnel, key));
}

void SecretStore::deleteAll(Uuid tunnel) const {
    for (const auto& key : keys(tunnel)) {
        deleteSecret(tunnel, key);
    }
}

} // namespace tunnelkit
