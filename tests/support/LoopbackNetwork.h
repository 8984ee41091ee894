#pragma once

#include "TunnelKit/FileIO.h"

#include <atomic>
#include <optional>
#include <string>
#include <thread>

namespace testing_support {

// A TCP port on 127.0.0.1 that nothing listens on now, chosen at random outside the kernel's
// range for outgoing connections, so that parallel tests rarely meet on one; never the same port
// twice in one process.
int freeLoopbackPort();
bool hasIPv6Loopback();

// Listens on 127.0.0.1 (or another address) at `port` until destroyed; a port taken by "someone else".
class PortHolder {
  public:
    explicit PortHolder(int port, const std::string& address = "127.0.0.1");
    bool isHeld() const { return static_cast<bool>(socket_); }

  private:
    tunnelkit::UniqueFd socket_;
};

// Sends back whatever each client sends, on 127.0.0.1 at a port the kernel chose.
class EchoServer {
  public:
    EchoServer();
    ~EchoServer();
    EchoServer(const EchoServer&) = delete;
    EchoServer& operator=(const EchoServer&) = delete;

    int port() const { return port_; }

  private:
    void serve();

    tunnelkit::UniqueFd listener_;
    tunnelkit::UniqueFd stopEvent_;
    int port_ = 0;
    std::thread thread_;
};

// Connects to address:port, sends the message, and returns what comes back of the same length;
// nothing when the connection or the exchange fails. Waits at most 20 s per step.
std::optional<std::string> exchange(const std::string& address, int port, const std::string& message);

// The same through a SOCKS5 proxy on 127.0.0.1:proxyPort to 127.0.0.1:targetPort.
std::optional<std::string> exchangeThroughSocks(int proxyPort, int targetPort, const std::string& message);

} // namespace testing_support
