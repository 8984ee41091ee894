#include "Platform/NetlinkNetworkMonitor.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <net/if.h>
#include <optional>
#include <poll.h>
#include <span>
#include <sys/eventfd.h>
#include <sys/socket.h>

namespace platform {

using tunnelkit::UniqueFd;

namespace {

using Bytes = std::span<const char>;

// Large enough for any datagram the kernel sends on a route socket (at most 32 KiB).
constexpr size_t receiveBufferSize = 64 * 1024;
// While the state can't be read, it is tried again this often.
constexpr int retryMilliseconds = 1000;

std::unexpected<std::error_code> lastError() {
    return std::unexpected(std::error_code(errno, std::system_category()));
}

template <class T> std::optional<T> readValue(Bytes bytes) {
    if (bytes.size() < sizeof(T)) {
        return std::nullopt;
    }
    T value;
    std::memcpy(&value, bytes.data(), sizeof(T));
    return value;
}

struct Message {
    uint16_t type = 0;
    uint16_t flags = 0;
    uint32_t sequence = 0;
    Bytes payload;
};

// Messages are copied out rather than cast in place, so a malformed datagram can't cause a misaligned read.
template <class Visit> void forEachMessage(Bytes datagram, Visit&& visit) {
    while (const auto header = readValue<nlmsghdr>(datagram)) {
        if (header->nlmsg_len < NLMSG_HDRLEN || header->nlmsg_len > datagram.size()) {
            return;
        }
        visit(Message{header->nlmsg_type, header->nlmsg_flags, header->nlmsg_seq,
                      datagram.subspan(NLMSG_HDRLEN, header->nlmsg_len - NLMSG_HDRLEN)});
        datagram = datagram.subspan(std::min<size_t>(NLMSG_ALIGN(header->nlmsg_len), datagram.size()));
    }
}

template <class Visit> void forEachAttribute(Bytes attributes, Visit&& visit) {
    while (const auto header = readValue<rtattr>(attributes)) {
        if (header->rta_len < RTA_LENGTH(0) || header->rta_len > attributes.size()) {
            return;
        }
        visit(header->rta_type, attributes.subspan(RTA_LENGTH(0), header->rta_len - RTA_LENGTH(0)));
        attributes = attributes.subspan(std::min<size_t>(RTA_ALIGN(header->rta_len), attributes.size()));
    }
}

void appendNextHopInterfaces(Bytes nextHops, std::vector<int>& interfaces) {
    while (const auto hop = readValue<rtnexthop>(nextHops)) {
        if (hop->rtnh_len < sizeof(rtnexthop) || hop->rtnh_len > nextHops.size()) {
            return;
        }
        interfaces.push_back(hop->rtnh_ifindex);
        nextHops = nextHops.subspan(std::min<size_t>(RTNH_ALIGN(hop->rtnh_len), nextHops.size()));
    }
}

std::optional<NetworkLink> parseLink(Bytes payload) {
    const auto info = readValue<ifinfomsg>(payload);
    if (!info) {
        return std::nullopt;
    }
    return NetworkLink{.index = info->ifi_index,
                       .isUp = (info->ifi_flags & IFF_UP) != 0,
                       .isRunning = (info->ifi_flags & IFF_RUNNING) != 0,
                       .isLoopback = (info->ifi_flags & IFF_LOOPBACK) != 0};
}

std::optional<NetworkRoute> parseRoute(Bytes payload) {
    const auto header = readValue<rtmsg>(payload);
    if (!header || (header->rtm_family != AF_INET && header->rtm_family != AF_INET6)) {
        return std::nullopt;
    }
    NetworkRoute route{.family = header->rtm_family,
                       .table = header->rtm_table,
                       .type = header->rtm_type,
                       .destinationLength = header->rtm_dst_len,
                       .interfaceIndexes = {}};
    const size_t headerLength = std::min<size_t>(NLMSG_ALIGN(sizeof(rtmsg)), payload.size());
    forEachAttribute(payload.subspan(headerLength), [&](uint16_t type, Bytes value) {
        if (type == RTA_TABLE) {
            route.table = readValue<uint32_t>(value).value_or(route.table);
        } else if (type == RTA_OIF) {
            if (const auto index = readValue<int>(value)) {
                route.interfaceIndexes.push_back(*index);
            }
        } else if (type == RTA_MULTIPATH) {
            appendNextHopInterfaces(value, route.interfaceIndexes);
        }
    });
    return route;
}

std::expected<UniqueFd, std::error_code> openRouteSocket(uint32_t groups) {
    UniqueFd socket(::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE));
    if (!socket) {
        return lastError();
    }
    sockaddr_nl address{};
    address.nl_family = AF_NETLINK;
    address.nl_groups = groups;
    if (::bind(socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        return lastError();
    }
    return socket;
}

// Receives one datagram from the kernel; datagrams from other processes are dropped.
std::expected<Bytes, std::error_code> receive(int socket, std::vector<char>& buffer, int flags) {
    for (;;) {
        sockaddr_nl sender{};
        iovec vector{buffer.data(), buffer.size()};
        msghdr header{};
        header.msg_name = &sender;
        header.msg_namelen = sizeof sender;
        header.msg_iov = &vector;
        header.msg_iovlen = 1;
        const ssize_t length = ::recvmsg(socket, &header, flags);
        if (length < 0) {
            if (errno == EINTR) {
                continue;
            }
            return lastError();
        }
        if ((header.msg_flags & MSG_TRUNC) != 0) {
            return std::unexpected(std::make_error_code(std::errc::message_size));
        }
        if (sender.nl_pid == 0) {
            return Bytes(buffer.data(), static_cast<size_t>(length));
        }
    }
}

template <class Request, class Visit>
std::expected<void, std::error_code> dump(int socket, uint16_t type, uint32_t sequence, const Request& body,
                                          Visit&& visit) {
    struct {
        nlmsghdr header;
        Request body;
    } request{};
    request.header.nlmsg_len = NLMSG_LENGTH(sizeof(Request));
    request.header.nlmsg_type = type;
    request.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
    request.header.nlmsg_seq = sequence;
    request.body = body;
    sockaddr_nl kernel{};
    kernel.nl_family = AF_NETLINK;
    if (::sendto(socket, &request, request.header.nlmsg_len, 0, reinterpret_cast<const sockaddr*>(&kernel),
                 sizeof kernel) < 0) {
        return lastError();
    }
    std::vector<char> buffer(receiveBufferSize);
    std::optional<std::error_code> outcome;
    while (!outcome) {
        const auto datagram = receive(socket, buffer, 0);
        if (!datagram) {
            return std::unexpected(datagram.error());
        }
        forEachMessage(*datagram, [&](const Message& message) {
            if (outcome || message.sequence != sequence) {
                return;
            }
            // The tables changed during the dump, so its parts may not fit together.
            if ((message.flags & NLM_F_DUMP_INTR) != 0) {
                outcome = std::make_error_code(std::errc::resource_unavailable_try_again);
            } else if (message.type == NLMSG_DONE || message.type == NLMSG_ERROR) {
                const int error = readValue<int>(message.payload).value_or(0);
                outcome = std::error_code(error < 0 ? -error : 0, std::system_category());
            } else {
                visit(message);
            }
        });
    }
    if (*outcome) {
        return std::unexpected(*outcome);
    }
    return {};
}

enum class Drained { nothing, changes, broken };

// Reads every waiting notification. Lost notifications (ENOBUFS) count as changes: anything may have
// happened.
Drained drainNotifications(int socket) {
    std::vector<char> buffer(receiveBufferSize);
    bool changed = false;
    for (;;) {
        const auto datagram = receive(socket, buffer, MSG_DONTWAIT);
        if (!datagram) {
            const auto error = datagram.error();
            if (error == std::errc::resource_unavailable_try_again ||
                error == std::errc::operation_would_block) {
                return changed ? Drained::changes : Drained::nothing;
            }
            if (error == std::errc::no_buffer_space || error == std::errc::message_size) {
                changed = true;
                continue;
            }
            return Drained::broken;
        }
        forEachMessage(*datagram, [&](const Message& message) {
            changed = changed || message.type == RTM_NEWLINK || message.type == RTM_DELLINK ||
                      message.type == RTM_NEWROUTE || message.type == RTM_DELROUTE;
        });
    }
}

} // namespace

bool isNetworkAvailable(const std::vector<NetworkLink>& links, const std::vector<NetworkRoute>& routes) {
    const auto isUsable = [&](int index) {
        return std::ranges::any_of(links, [&](const NetworkLink& link) {
            return link.index == index && link.isUp && link.isRunning && !link.isLoopback;
        });
    };
    return std::ranges::any_of(routes, [&](const NetworkRoute& route) {
        return (route.family == AF_INET || route.family == AF_INET6) && route.destinationLength == 0 &&
               route.table == RT_TABLE_MAIN && route.type == RTN_UNICAST &&
               std::ranges::any_of(route.interfaceIndexes, isUsable);
    });
}

std::expected<NetworkState, std::error_code> readNetworkState() {
    auto socket = openRouteSocket(0);
    if (!socket) {
        return std::unexpected(socket.error());
    }
    // The kernel always answers a dump; the limit only keeps a broken socket from hanging its caller.
    const timeval patience{.tv_sec = 5, .tv_usec = 0};
    ::setsockopt(socket->get(), SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);

    // Zeroed requests ask for every family (AF_UNSPEC); only IPv4 and IPv6 routes are kept.
    NetworkState state;
    const auto links = dump(socket->get(), RTM_GETLINK, 1, ifinfomsg{}, [&](const Message& message) {
        if (message.type == RTM_NEWLINK) {
            if (auto link = parseLink(message.payload)) {
                state.links.push_back(*link);
            }
        }
    });
    if (!links) {
        return std::unexpected(links.error());
    }
    const auto routes = dump(socket->get(), RTM_GETROUTE, 2, rtmsg{}, [&](const Message& message) {
        if (message.type == RTM_NEWROUTE) {
            if (auto route = parseRoute(message.payload)) {
                state.routes.push_back(std::move(*route));
            }
        }
    });
    if (!routes) {
        return std::unexpected(routes.error());
    }
    return state;
}

std::expected<bool, std::error_code> currentNetworkAvailable() {
    const auto state = readNetworkState();
    if (!state) {
        return std::unexpected(state.error());
    }
    return isNetworkAvailable(state->links, state->routes);
}

NetlinkNetworkMonitor::~NetlinkNetworkMonitor() {
    cancel();
}

void NetlinkNetworkMonitor::start(UpdateHandler onUpdate) {
    std::lock_guard lock(mutex_);
    if (thread_.joinable() || cancelled_) {
        return;
    }
    wake_ = UniqueFd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    thread_ = std::thread([this, onUpdate = std::move(onUpdate)] { run(onUpdate); });
}

void NetlinkNetworkMonitor::cancel() {
    std::thread finished;
    {
        std::lock_guard lock(mutex_);
        cancelled_ = true;
        if (wake_) {
            const uint64_t one = 1;
            [[maybe_unused]] const auto written = ::write(wake_.get(), &one, sizeof one);
        }
        if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) {
            finished = std::move(thread_);
        }
    }
    if (finished.joinable()) {
        finished.join();
    }
}

void NetlinkNetworkMonitor::run(const UpdateHandler& onUpdate) {
    std::optional<bool> reported;
    const auto report = [&](bool available) {
        if (reported != available && !cancelled_) {
            reported = available;
            onUpdate(available);
        }
    };
    if (!wake_) {
        // Without a way to be woken for cancel there is no monitoring; the network counts as available,
        // so nothing waits on a monitor that can't work.
        report(true);
        return;
    }
    UniqueFd subscription;
    bool stale = true;
    while (!cancelled_) {
        if (!subscription) {
            if (auto opened = openRouteSocket(RTMGRP_LINK | RTMGRP_IPV4_ROUTE | RTMGRP_IPV6_ROUTE)) {
                subscription = std::move(*opened);
                stale = true;
            }
        }
        // Subscribed before reading, so no change after the reading goes unnoticed.
        if (subscription && stale) {
            if (const auto state = readNetworkState()) {
                stale = false;
                report(isNetworkAvailable(state->links, state->routes));
            }
        }
        pollfd watched[] = {{wake_.get(), POLLIN, 0}, {subscription ? subscription.get() : -1, POLLIN, 0}};
        const bool retrying = !subscription || stale;
        if (::poll(watched, 2, retrying ? retryMilliseconds : -1) <= 0) {
            continue;
        }
        if (watched[0].revents != 0) {
            return;
        }
        if (watched[1].revents != 0) {
            switch (drainNotifications(subscription.get())) {
            case Drained::nothing:
                break;
            case Drained::changes:
                stale = true;
                break;
            case Drained::broken:
                subscription.reset();
                break;
            }
        }
    }
}

} // namespace platform
