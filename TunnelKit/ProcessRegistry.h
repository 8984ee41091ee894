#pragma once

#include "TunnelKit/MainQueue.h"
#include "TunnelKit/ProcessTable.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace tunnelkit {

// The file that lists the ssh processes this application has started and not yet seen end, so that
// those an earlier run left behind (a crash, a forced quit) can be ended at the next start. No
// operation reports an error. Used on the main queue only.
//
// The registry keeps the list in memory and writes the whole file after a change: with a main queue,
// once at the end of the queue's current turn, so that the registrations of one turn (50 tunnels
// connected at once) cost one write; without one, at once. The file is only this process's record
// of its children, worthless after a reboot, so it is never synced to the disk.
class ProcessRegistry : public std::enable_shared_from_this<ProcessRegistry> {
  public:
    struct Entry {
        pid_t pid = 0;
        std::optional<uint64_t> start; // microseconds since 1970; tells a reused pid apart
        bool operator==(const Entry&) const = default;
    };

    // With a queue, the registry must live in a shared_ptr.
    ProcessRegistry(std::string filePath, std::string executable,
                    std::shared_ptr<const ProcessTable> processes,
                    std::shared_ptr<MainQueue> queue = nullptr);
    // Writes a change still pending.
    ~ProcessRegistry();
    ProcessRegistry(const ProcessRegistry&) = delete;
    ProcessRegistry& operator=(const ProcessRegistry&) = delete;

    const std::string& filePath() const { return filePath_; }
    // Only a process running exactly this program is ever ended.
    const std::string& executable() const { return executable_; }

    // Lists the process with its start time, replacing an entry of the same pid.
    void registerProcess(pid_t pid);
    void unregisterProcess(pid_t pid);
    void unregisterProcesses(const std::vector<pid_t>& pids);
    // Writes a pending change now rather than at the end of the turn.
    void flush();

    // Ends what an earlier run left running, then empties the list: SIGTERM to the process group of
    // every orphaned run of `executable` that is listed with the start time it has now, or that is
    // listed without one (an older registry) or not at all (its run died between starting ssh and
    // writing the list) and names `wrapperConfig` after "-F" on its command line, the mark of an ssh
    // of ours. Returns the pids signalled.
    std::vector<pid_t> reapStale(const std::optional<std::string>& wrapperConfig);

    // The file as it is now; a missing, unreadable or corrupt file is empty.
    std::vector<Entry> load() const;
    // The file's bytes as `load` reads them: the current form, else the legacy list of pids.
    static std::vector<Entry> decode(std::string_view bytes);
    // Replaces the list and writes it at once.
    void save(std::vector<Entry> entries);

    std::optional<uint64_t> startTime(pid_t pid) const { return processes_->startTime(pid); }

  private:
    std::vector<Entry>& entries();
    void changed();
    void write();
    bool isOrphaned(pid_t pid, const std::optional<std::string>& ownExecutable) const;

    std::string filePath_;
    std::string executable_;
    std::shared_ptr<const ProcessTable> processes_;
    std::shared_ptr<MainQueue> queue_;
    std::optional<std::vector<Entry>> entries_; // read from the file on first use
    std::optional<std::vector<Entry>> written_;
    bool writePending_ = false;
};

} // namespace tunnelkit
