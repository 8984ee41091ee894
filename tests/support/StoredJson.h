#pragma once

#include "TunnelKit/TunnelStore.h"

#include <nlohmann/json.hpp>

namespace testing_support {

// A record's stored JSON form as a value a test can change, to make what a reader must refuse.
inline nlohmann::json storedJson(const tunnelkit::Tunnel& tunnel) {
    return nlohmann::json::parse(tunnelkit::TunnelStore::encode({tunnel}))["tunnels"][0];
}

} // namespace testing_support
