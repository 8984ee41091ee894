#pragma once

#include "TunnelKit/Result.h"
#include "TunnelKit/UniqueFd.h"

#include <cstdint>
#include <dirent.h>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace tunnelkit {

// A failure on a file: what was being done, to which path, and why. The application words it.
struct FileError {
    enum class Operation { read, createFolder, write, rename };
    enum class Kind {
        system,         // the system call failed with `code` (an errno)
        notRegularFile, // a folder, a FIFO, a device or a socket where a file's bytes were due
        tooLarge,       // larger than the reader's limit
    };

    Operation operation = Operation::read;
    std::string path;
    Kind kind = Kind::system;
    int code = 0;

    static FileError system(Operation operation, std::string path, int code) {
        return {operation, std::move(path), Kind::system, code};
    }
    bool operator==(const FileError&) const = default;
};

// What a reader takes at most of a file it did not write itself: the tunnels file, an archive.
inline constexpr uint64_t maximumFileSize = 256ull * 1024 * 1024;

struct DirectoryCloser {
    void operator()(DIR* directory) const { ::closedir(directory); }
};

bool fileExists(const std::string& path);
std::string parentDirectory(const std::string& path);

// Creates the folder and its missing parents; new folders get `mode`.
Result<void, FileError> createDirectories(const std::string& path, mode_t mode = 0700);

// The bytes of a regular file of at most `maximumSize` bytes. Opening never blocks, so a FIFO or a
// device in the file's place is refused rather than waited on or read without end.
Result<std::string, FileError> readFile(const std::string& path, uint64_t maximumSize = maximumFileSize);

enum class Durability {
    survivesPowerLoss,    // synced to the disk before and after the rename
    survivesProcessCrash, // for files that mean nothing after a reboot: no sync
};

// Replaces the file so that a reader sees either the old bytes or the new ones, never a mix:
// a temporary file ".NAME.burrowlight-partial.XXXXXX" in the same folder, created with `mode`,
// written, renamed into place. Missing parent folders are created. On failure the old file stays as it was.
Result<void, FileError> writeFileAtomically(const std::string& path, std::string_view bytes,
                                            mode_t mode = 0600,
                                            Durability durability = Durability::survivesPowerLoss);

// Removes the temporaries that writes of `path` left behind when the process died mid-write, and no
// other file. Only safe while nothing else writes the file.
void removeStaleTemporaries(const std::string& path);

} // namespace tunnelkit
