#pragma once

#include "TunnelKit/SecretStore.h"

#include <memory>
#include <string>

namespace platform::secrets {

// The engine's secret backend over the Secret Service (libsecret, D-Bus): items of a schema named
// after the application, with the attributes "service" and "account", in the default collection.
// Every call blocks until the service answers.
class LibsecretBackend final : public tunnelkit::SecretBackend {
  public:
    explicit LibsecretBackend(const std::string& schemaName);
    ~LibsecretBackend() override;
    LibsecretBackend(const LibsecretBackend&) = delete;
    LibsecretBackend& operator=(const LibsecretBackend&) = delete;

    tunnelkit::Result<void, tunnelkit::SecretError> store(std::string_view service, std::string_view account,
                                                          std::string_view label,
                                                          std::string_view secret) override;
    tunnelkit::Result<std::optional<std::string>, tunnelkit::SecretError>
    lookup(std::string_view service, std::string_view account) override;
    tunnelkit::Result<std::vector<std::string>, tunnelkit::SecretError>
    accounts(std::string_view service) override;
    tunnelkit::Result<void, tunnelkit::SecretError> clear(std::string_view service,
                                                          std::string_view account) override;

  private:
    struct Schema;
    std::unique_ptr<Schema> schema_;
};

} // namespace platform::secrets
