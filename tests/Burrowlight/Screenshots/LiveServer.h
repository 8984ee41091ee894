#pragma once

#include <string>

namespace burrowlight {
class AppModel;
}

namespace screenshots {

// Saves a tunnel named `name` to a real sshd on 127.0.0.1 (started at first use, stopped when the
// program ends) as a user keeps one: a key and its certificate under ~/.ssh, the server's keys in a
// known-hosts file of its own, a forward of every kind on free ports, and options of every kind.
// `hostKeyAlgorithm` ("ssh-ed25519", "ecdsa-sha2-nistp256", "rsa-sha2-512") picks the server key it
// meets. Accepts the terms, connects the tunnel and waits until ssh has set it up; the program ends
// with ssh's log when it does not.
void connectLiveTunnel(burrowlight::AppModel& app, const std::string& name,
                       const std::string& hostKeyAlgorithm);

} // namespace screenshots
