#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tunnelkit {

// Facts about one attempt's session, read from the lines ssh prints while it connects.
struct SessionInfo {
    // The address, a colon and the port; an IPv6 address in square brackets.
    std::optional<std::string> address;
    std::optional<std::string> serverSoftware;
    // The authentication method that succeeded.
    std::optional<std::string> authentication;
    std::optional<std::string> keyExchange;
    std::optional<std::string> hostKeyAlgorithm;
    // Type and fingerprint, as ssh prints them.
    std::optional<std::string> hostKey;
    // The cipher, and " + " and the MAC unless the cipher authenticates itself.
    std::optional<std::string> cipherToServer;
    std::optional<std::string> cipherFromServer;

    // Changes at most one field; a line that names nothing known leaves everything as it was.
    void update(std::string_view line);

    bool isEmpty() const;
    // A hybrid post-quantum key exchange (ML-KEM or Streamlined NTRU Prime).
    bool isPostQuantum() const;

    bool operator==(const SessionInfo&) const = default;
};

} // namespace tunnelkit
