#include "TunnelKit/FileIO.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tunnelkit {

std::string FileError::message() const {
    return path + ": " + std::strerror(code);
}

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
        reset(other.release());
    }
    return *this;
}

int UniqueFd::release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

void UniqueFd::reset(int fd) {
    if (fd_ >= 0) {
        ::close(fd_);
    }
    fd_ = fd;
}

bool fileExists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

std::string parentDirectory(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    if (slash == 0) {
        return "/";
    }
    return path.substr(0, slash);
}

Result<void, FileError> createDirectories(const std::string& path, mode_t mode) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) {
            return {};
        }
        return Failure(FileError{path, ENOTDIR});
    }
    const auto parent = parentDirectory(path);
    if (parent != path) {
        if (auto made = createDirectories(parent, mode); !made) {
            return made;
        }
    }
    if (::mkdir(path.c_str(), mode) != 0 && errno != EEXIST) {
        return Failure(FileError{path, errno});
    }
    return {};
}

Result<std::string, FileError> readFile(const std::string& path) {
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd) {
        return Failure(FileError{path, errno});
    }
    std::string bytes;
    char buffer[65536];
    while (true) {
        const auto n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return Failure(FileError{path, errno});
        }
        if (n == 0) {
            return bytes;
        }
        bytes.append(buffer, static_cast<size_t>(n));
    }
}

namespace {

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const auto n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

} // namespace

Result<void, FileError> writeFileAtomically(const std::string& path, std::string_view bytes, mode_t mode) {
    const auto folder = parentDirectory(path);
    if (auto made = createDirectories(folder); !made) {
        return made;
    }
    const auto slash = path.find_last_of('/');
    const auto name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string temporary = folder + "/." + name + ".XXXXXX";
    // mkstemp creates the file 0600, so it is never readable by others, even briefly.
    UniqueFd fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (!fd) {
        return Failure(FileError{temporary, errno});
    }
    auto fail = [&](int code) {
        ::unlink(temporary.c_str());
        return Failure(FileError{path, code});
    };
    if (::fchmod(fd.get(), mode) != 0 || !writeAll(fd.get(), bytes) || ::fsync(fd.get()) != 0) {
        return fail(errno);
    }
    if (::close(fd.release()) != 0) {
        return fail(errno);
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        return fail(errno);
    }
    UniqueFd directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory) {
        ::fsync(directory.get());
    }
    return {};
}

} // namespace tunnelkit
