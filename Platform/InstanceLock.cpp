#include "Platform/InstanceLock.h"

#include "Platform/Folders.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

namespace platform {

std::expected<InstanceLock, InstanceLockError> InstanceLock::acquire(const std::string& path) {
    using Kind = InstanceLockError::Kind;
    if (const auto slash = path.rfind('/'); slash != std::string::npos && slash > 0) {
        if (const int code = folders::createPrivateFolders(path.substr(0, slash)); code != 0) {
            return std::unexpected(InstanceLockError{Kind::failed, path, code});
        }
    }
    tunnelkit::UniqueFd fd(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!fd) {
        return std::unexpected(InstanceLockError{Kind::failed, path, errno});
    }
    int result = 0;
    do {
        result = ::flock(fd.get(), LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        const Kind kind = errno == EWOULDBLOCK ? Kind::heldElsewhere : Kind::failed;
        return std::unexpected(InstanceLockError{kind, path, errno});
    }
    return InstanceLock(path, std::move(fd));
}

} // namespace platform
