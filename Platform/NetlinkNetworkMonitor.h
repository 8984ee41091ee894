#pragma once

#include "TunnelKit/NetworkMonitor.h"
#include "TunnelKit/UniqueFd.h"

#include <atomic>
#include <cstdint>
#include <expected>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace platform {

// One network interface as rtnetlink reports it.
struct NetworkLink {
    int index = 0;
    bool isUp = false;      // IFF_UP: switched on by the administrator
    bool isRunning = false; // IFF_RUNNING: carrier present and the link operational
    bool isLoopback = false;

    friend bool operator==(const NetworkLink&, const NetworkLink&) = default;
};

// One IPv4 or IPv6 route; the numbers are the kernel's (RTN_*, RT_TABLE_*).
struct NetworkRoute {
    int family = 0; // AF_INET or AF_INET6
    uint32_t table = 0;
    uint8_t type = 0;
    uint8_t destinationLength = 0;
    std::vector<int> interfaceIndexes; // one, or one per next hop of a multipath route

    friend bool operator==(const NetworkRoute&, const NetworkRoute&) = default;
};

struct NetworkState {
    std::vector<NetworkLink> links;
    std::vector<NetworkRoute> routes;
};

// Available when the main table holds a unicast default route (IPv4 or IPv6) through an interface
// that is up, running and not the loopback. Running matters: when the cable is pulled or the radio
// leaves its network, the kernel keeps the route (marked linkdown) although it carries nothing.
bool isNetworkAvailable(const std::vector<NetworkLink>& links, const std::vector<NetworkRoute>& routes);

// Asks the kernel once for every link and every IPv4 and IPv6 route of this network namespace.
std::expected<NetworkState, std::error_code> readNetworkState();
std::expected<bool, std::error_code> currentNetworkAvailable();

// Listens on an rtnetlink socket to the link and route groups and reads the whole state again
// after each batch of messages; reports only when the answer changes.
class NetlinkNetworkMonitor final : public tunnelkit::NetworkMonitor {
  public:
    NetlinkNetworkMonitor() = default;
    // Cancels. Must not run on the monitor's own thread.
    ~NetlinkNetworkMonitor() override;
    NetlinkNetworkMonitor(const NetlinkNetworkMonitor&) = delete;
    NetlinkNetworkMonitor& operator=(const NetlinkNetworkMonitor&) = delete;

    void start(UpdateHandler onUpdate) override;
    void cancel() override;

  private:
    void run(const UpdateHandler& onUpdate);

    std::mutex mutex_;
    std::thread thread_;
    tunnelkit::UniqueFd wake_;
    std::atomic<bool> cancelled_ = false;
};

} // namespace platform
