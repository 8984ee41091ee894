#include "TunnelKit/FileIO.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace tunnelkit {

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
        return Failure(FileError::system(FileError::Operation::createFolder, path, ENOTDIR));
    }
    const auto parent = parentDirectory(path);
    if (parent != path) {
        if (auto made = createDirectories(parent, mode); !made) {
            return made;
        }
    }
    if (::mkdir(path.c_str(), mode) != 0 && errno != EEXIST) {
        return Failure(FileError::system(FileError::Operation::createFolder, path, errno));
    }
    return {};
}

Result<std::string, FileError> readFile(const std::string& path, uint64_t maximumSize) {
    const auto failure = [&](FileError::Kind kind, int code = 0) {
        return Failure(FileError{FileError::Operation::read, path, kind, code});
    };
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd) {
        return failure(FileError::Kind::system, errno);
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) {
        return failure(FileError::Kind::system, errno);
    }
    if (!S_ISREG(info.st_mode)) {
        return failure(FileError::Kind::notRegularFile);
    }
    if (static_cast<uint64_t>(info.st_size) > maximumSize) {
        return failure(FileError::Kind::tooLarge);
    }
    std::string bytes;
    bytes.reserve(static_cast<size_t>(info.st_size));
    char buffer[65536];
    while (true) {
        const auto n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return failure(FileError::Kind::system, errno);
        }
        if (n == 0) {
            return bytes;
        }
        // The file may have grown since it was measured.
        if (bytes.size() + static_cast<size_t>(n) > maximumSize) {
            return failure(FileError::Kind::tooLarge);
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

std::string fileName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Only this writer names files so: a user's ".tunnels.json.backup" beside the file is never taken
// for a temporary.
constexpr std::string_view temporaryMarker = ".burrowlight-partial.";
constexpr size_t temporarySuffixLength = 6;

std::string temporaryTemplate(const std::string& folder, const std::string& name) {
    return folder + "/." + name + std::string(temporaryMarker) + std::string(temporarySuffixLength, 'X');
}

// The name mkostemp makes of the template: six letters or digits in place of the X.
bool isTemporaryOf(std::string_view candidate, std::string_view name) {
    const auto prefixLength = 1 + name.size() + temporaryMarker.size();
    if (candidate.size() != prefixLength + temporarySuffixLength || !candidate.starts_with(".") ||
        candidate.substr(1, name.size()) != name ||
        candidate.substr(1 + name.size(), temporaryMarker.size()) != temporaryMarker) {
        return false;
    }
    const auto suffix = candidate.substr(prefixLength);
    return std::ranges::all_of(suffix, [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    });
}

} // namespace

Result<void, FileError> writeFileAtomically(const std::string& path, std::string_view bytes, mode_t mode,
                                            Durability durability) {
    const auto folder = parentDirectory(path);
    if (auto made = createDirectories(folder); !made) {
        return made;
    }
    std::string temporary = temporaryTemplate(folder, fileName(path));
    // mkstemp creates the file 0600, so it is never readable by others, even briefly.
    UniqueFd fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (!fd) {
        return Failure(FileError::system(FileError::Operation::write, path, errno));
    }
    const bool syncs = durability == Durability::survivesPowerLoss;
    auto fail = [&](FileError::Operation operation, int code) {
        ::unlink(temporary.c_str());
        return Failure(FileError::system(operation, path, code));
    };
    if (::fchmod(fd.get(), mode) != 0 || !writeAll(fd.get(), bytes) || (syncs && ::fsync(fd.get()) != 0)) {
        return fail(FileError::Operation::write, errno);
    }
    if (::close(fd.release()) != 0) {
        return fail(FileError::Operation::write, errno);
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        return fail(FileError::Operation::rename, errno);
    }
    if (syncs) {
        UniqueFd directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (directory) {
            ::fsync(directory.get());
        }
    }
    return {};
}

void removeStaleTemporaries(const std::string& path) {
    const auto folder = parentDirectory(path);
    const auto name = fileName(path);
    const std::unique_ptr<DIR, DirectoryCloser> directory(::opendir(folder.c_str()));
    if (!directory) {
        return;
    }
    while (const dirent* entry = ::readdir(directory.get())) {
        if (isTemporaryOf(entry->d_name, name)) {
            ::unlinkat(::dirfd(directory.get()), entry->d_name, 0);
        }
    }
}

} // namespace tunnelkit
