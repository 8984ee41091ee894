#pragma once

#include "TunnelKit/Result.h"

#include <string>
#include <string_view>
#include <sys/types.h>

namespace tunnelkit {

// An operating-system failure on a file: which path, the errno, and its text.
struct FileError {
    std::string path;
    int code = 0;
    std::string message() const;
    bool operator==(const FileError&) const = default;
};

// Owns one file descriptor and closes it exactly once.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { reset(); }

    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    int release();
    void reset(int fd = -1);

private:
    int fd_ = -1;
};

bool fileExists(const std::string& path);
std::string parentDirectory(const std::string& path);

// Creates the folder and its missing parents; new folders get `mode`.
Result<void, FileError> createDirectories(const std::string& path, mode_t mode = 0700);

Result<std::string, FileError> readFile(const std::string& path);

// Replaces the file so that a reader sees either the old bytes or the new ones, never a mix:
// a temporary file in the same folder, created with `mode`, written, synced, renamed into place.
// Missing parent folders are created. On failure the old file stays as it was.
Result<void, FileError> writeFileAtomically(const std::string& path, std::string_view bytes, mode_t mode = 0600);

} // namespace tunnelkit
