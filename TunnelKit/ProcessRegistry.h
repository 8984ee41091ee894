#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace tunnelkit {

// The file that lists the ssh processes this application has started and not yet seen end, so that
// those an earlier run left behind (a crash, a forced quit) can be ended at the next start. Every
// operation reads and writes the file afresh; none reports an error. Used on the main queue only.
class ProcessRegistry {
public:
    struct Entry {
        pid_t pid = 0;
        std::optional<uint64_t> start; // microseconds since 1970; tells a reused pid apart
        bool operator==(const Entry&) const = default;
    };

    ProcessRegistry(std::string filePath, std::string executable)
        : filePath_(std::move(filePath)), executable_(std::move(executable)) {}

    const std::string& filePath() const { return filePath_; }
    // Only a process running exactly this program is ever ended.
    const std::string& executable() const { return executable_; }

    // Lists the process with its start time, replacing an entry of the same pid.
    void registerProcess(pid_t pid) const;
    void unregisterProcess(pid_t pid) const;

    // Sends SIGTERM to the process group of every listed process that is still an orphaned run of
    // `executable` with the recorded start time, then empties the file. Returns the pids signalled.
    std::vector<pid_t> reapStale() const;

    // A missing, unreadable or corrupt file is empty.
    std::vector<Entry> load() const;
    void save(std::vector<Entry> entries) const;

    static std::optional<uint64_t> startTime(pid_t pid);

private:
    bool isStaleRun(const Entry& entry) const;

    std::string filePath_;
    std::string executable_;
};

} // namespace tunnelkit
