#pragma once

#include "TunnelKit/AskPass.h"
#include "TunnelKit/Identifiers.h"
#include "TunnelKit/Result.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tunnelkit {

// A failure of the desktop's secret store, as GLib reported it: its code and its own text, which
// may be empty. The application words it.
struct SecretError {
    int32_t code = 0;
    std::string glibMessage;

    bool operator==(const SecretError&) const = default;
};

// The desktop's secret store reduced to what the engine needs: items found by a service and an
// account, each with a label and a secret. The secret service implements it; an item's secret is
// bytes, since other programs may have stored anything.
class SecretBackend {
  public:
    virtual ~SecretBackend() = default;

    // Creates the item, or replaces the secret and the label of the one that exists.
    virtual Result<void, SecretError> store(std::string_view service, std::string_view account,
                                            std::string_view label, std::string_view secret) = 0;
    virtual Result<std::optional<std::string>, SecretError> lookup(std::string_view service,
                                                                   std::string_view account) = 0;
    // The accounts of every item of the service.
    virtual Result<std::vector<std::string>, SecretError> accounts(std::string_view service) = 0;
    virtual Result<void, SecretError> clear(std::string_view service, std::string_view account) = 0;
};

// The passwords and key passphrases the user chose to remember, one item per tunnel, kind and
// identity. Only saving reports a failure: a secret that can't be read is simply not there.
class SecretStore {
  public:
    using Kind = SecretKind;
    static constexpr const char* defaultService = "com.tolvan.burrowlight";

    SecretStore(std::string service, std::shared_ptr<SecretBackend> backend)
        : service_(std::move(service)), backend_(std::move(backend)) {}

    const std::string& service() const { return service_; }

    // Nothing when there is no item, the store fails, or the bytes are not UTF-8.
    std::optional<std::string> secret(Uuid tunnel, const SecretKey& key) const;
    Result<void, SecretError> save(std::string_view secret, Uuid tunnel, const SecretKey& key,
                                   std::string_view label) const;
    // In list order: passphrases before passwords, then by identity.
    std::vector<SecretKey> keys(Uuid tunnel) const;
    void deleteSecret(Uuid tunnel, const SecretKey& key) const;
    // Removes the tunnel's own items only; other tunnels' and foreign items stay.
    void deleteAll(Uuid tunnel) const;

    // TUNNEL "/" KIND "/" IDENTITY; the identity may hold slashes of its own.
    static std::string account(Uuid tunnel, const SecretKey& key);
    static std::optional<SecretKey> parseAccount(std::string_view account, Uuid tunnel);

  private:
    std::string service_;
    std::shared_ptr<SecretBackend> backend_;
};

} // namespace tunnelkit
