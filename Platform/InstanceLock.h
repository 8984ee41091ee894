#pragma once

#include "TunnelKit/UniqueFd.h"

#include <expected>
#include <string>

namespace platform {

// Why the lock could not be taken: another process holds it, or the file could not be made or
// locked (errno in `code`).
struct InstanceLockError {
    enum class Kind { heldElsewhere, failed };
    Kind kind = Kind::failed;
    std::string path;
    int code = 0;
    bool operator==(const InstanceLockError&) const = default;
};

// An exclusive flock(2) on one file, held as long as this object lives. The kernel lets go of it
// when the process ends in any way, so a crash leaves no stale lock behind; the descriptor is
// close-on-exec, so no child keeps it.
class InstanceLock {
  public:
    // Missing folders on the way are made with mode 0700, the file with 0600.
    static std::expected<InstanceLock, InstanceLockError> acquire(const std::string& path);

    const std::string& path() const { return path_; }

  private:
    InstanceLock(std::string path, tunnelkit::UniqueFd fd) : path_(std::move(path)), fd_(std::move(fd)) {}

    std::string path_;
    tunnelkit::UniqueFd fd_;
};

} // namespace platform
