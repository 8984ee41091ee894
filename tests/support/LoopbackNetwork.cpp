#include "LoopbackNetwork.h"

#include <arpa/inet.h>
#include <array>
#include <cerrno>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <random>
#include <set>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace testing_support {

using tunnelkit::UniqueFd;

namespace {

bool fillAddress(const std::string& address, int port, sockaddr_storage& storage, socklen_t& length) {
    storage = {};
    if (address.find(':') != std::string::npos) {
        auto* v6 = reinterpret_cast<sockaddr_in6*>(&storage);
        v6->sin6_family = AF_INET6;
        v6->sin6_port = htons(static_cast<uint16_t>(port));
        length = sizeof(sockaddr_in6);
        return ::inet_pton(AF_INET6, address.c_str(), &v6->sin6_addr) == 1;
    }
    auto* v4 = reinterpret_cast<sockaddr_in*>(&storage);
    v4->sin_family = AF_INET;
    v4->sin_port = htons(static_cast<uint16_t>(port));
    length = sizeof(sockaddr_in);
    return ::inet_pton(AF_INET, address.c_str(), &v4->sin_addr) == 1;
}

// A TCP socket of the address's family, with the address ready for bind or connect.
struct SocketFor {
    UniqueFd socket;
    sockaddr_storage storage{};
    socklen_t length = 0;

    SocketFor(const std::string& address, int port) {
        if (fillAddress(address, port, storage, length)) {
            socket.reset(::socket(storage.ss_family, SOCK_STREAM | SOCK_CLOEXEC, 0));
        }
    }
    const sockaddr* address() const { return reinterpret_cast<const sockaddr*>(&storage); }
};

UniqueFd listeningSocket(const std::string& address, int port) {
    SocketFor made(address, port);
    auto& socket = made.socket;
    if (!socket) {
        return {};
    }
    if (made.storage.ss_family == AF_INET6) {
        const int only = 1;
        ::setsockopt(socket.get(), IPPROTO_IPV6, IPV6_V6ONLY, &only, sizeof only);
    }
    if (::bind(socket.get(), made.address(), made.length) != 0 || ::listen(socket.get(), 16) != 0) {
        return {};
    }
    return std::move(socket);
}

void setTimeouts(int fd) {
    const timeval timeout{20, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
}

UniqueFd connectTo(const std::string& address, int port) {
    SocketFor made(address, port);
    auto& socket = made.socket;
    if (!socket) {
        return {};
    }
    setTimeouts(socket.get());
    if (::connect(socket.get(), made.address(), made.length) != 0) {
        return {};
    }
    return std::move(socket);
}

bool sendAll(int fd, const std::string& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        const auto n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) {
            if (n < 0 && errno == EINTR) {
                continue;
            }
            return false;
        }
        sent += static_cast<size_t>(n);
    }
    return true;
}

std::optional<std::string> receiveExactly(int fd, size_t count) {
    std::string bytes(count, '\0');
    size_t received = 0;
    while (received < count) {
        const auto n = ::recv(fd, bytes.data() + received, count - received, 0);
        if (n <= 0) {
            if (n < 0 && errno == EINTR) {
                continue;
            }
            return std::nullopt;
        }
        received += static_cast<size_t>(n);
    }
    return bytes;
}

void echo(UniqueFd client) {
    setTimeouts(client.get());
    std::array<char, 4096> buffer{};
    while (true) {
        const auto n = ::recv(client.get(), buffer.data(), buffer.size(), 0);
        if (n <= 0 || !sendAll(client.get(), std::string(buffer.data(), static_cast<size_t>(n)))) {
            return;
        }
    }
}

} // namespace

bool hasIPv6Loopback() {
    return static_cast<bool>(listeningSocket("::1", 0));
}

namespace {

// A test that draws several ports binds them only later (ssh binds its forwards, some on the server
// side of this same machine), so one port handed out twice would fail the test against itself.
std::mutex handedOutLock;
std::set<int> handedOutPorts;

// True the first time `port` is asked for in this process.
bool claimedFirst(int port) {
    std::lock_guard lock(handedOutLock);
    return handedOutPorts.insert(port).second;
}

} // namespace

int freeLoopbackPort() {
    std::random_device seed;
    std::mt19937 random(seed());
    std::uniform_int_distribution<int> ports(20000, 32000);
    const bool withIPv6 = hasIPv6Loopback();
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const int port = ports(random);
        if (claimedFirst(port) && listeningSocket("127.0.0.1", port) &&
            (!withIPv6 || listeningSocket("::1", port))) {
            return port;
        }
    }
    return 0;
}

PortHolder::PortHolder(int port, const std::string& address) : socket_(listeningSocket(address, port)) {}

EchoServer::EchoServer()
    : listener_(listeningSocket("127.0.0.1", 0)), stopEvent_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    sockaddr_in bound{};
    socklen_t length = sizeof bound;
    if (listener_ && ::getsockname(listener_.get(), reinterpret_cast<sockaddr*>(&bound), &length) == 0) {
        port_ = ntohs(bound.sin_port);
    }
    thread_ = std::thread([this] { serve(); });
}

EchoServer::~EchoServer() {
    ::eventfd_write(stopEvent_.get(), 1);
    thread_.join();
}

void EchoServer::serve() {
    std::vector<std::thread> clients;
    while (true) {
        std::array<pollfd, 2> fds{pollfd{listener_.get(), POLLIN, 0}, pollfd{stopEvent_.get(), POLLIN, 0}};
        if (::poll(fds.data(), fds.size(), -1) < 0) {
            continue;
        }
        if (fds[1].revents != 0) {
            break;
        }
        UniqueFd client(::accept4(listener_.get(), nullptr, nullptr, SOCK_CLOEXEC));
        if (client) {
            clients.emplace_back(echo, std::move(client));
        }
    }
    // Each client ends when its peer closes or after the receive time-out.
    for (auto& client : clients) {
        client.join();
    }
}

std::optional<std::string> exchange(const std::string& address, int port, const std::string& message) {
    const auto socket = connectTo(address, port);
    if (!socket || !sendAll(socket.get(), message)) {
        return std::nullopt;
    }
    return receiveExactly(socket.get(), message.size());
}

std::optional<std::string> exchangeThroughSocks(int proxyPort, int targetPort, const std::string& message) {
    const auto socket = connectTo("127.0.0.1", proxyPort);
    // Greeting without authentication, then CONNECT to an IPv4 address.
    if (!socket || !sendAll(socket.get(), std::string("\x05\x01\x00", 3))) {
        return std::nullopt;
    }
    const auto chosen = receiveExactly(socket.get(), 2);
    if (!chosen || *chosen != std::string("\x05\x00", 2)) {
        return std::nullopt;
    }
    std::string request("\x05\x01\x00\x01\x7f\x00\x00\x01", 8);
    request += static_cast<char>((targetPort >> 8) & 0xff);
    request += static_cast<char>(targetPort & 0xff);
    if (!sendAll(socket.get(), request)) {
        return std::nullopt;
    }
    const auto reply = receiveExactly(socket.get(), 10);
    if (!reply || (*reply)[1] != 0 || !sendAll(socket.get(), message)) {
        return std::nullopt;
    }
    return receiveExactly(socket.get(), message.size());
}

} // namespace testing_support
