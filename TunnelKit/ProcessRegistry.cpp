#include "TunnelKit/ProcessRegistry.h"

#include "TunnelKit/FileIO.h"
#include "TunnelKit/JsonCoding.h"
#include "TunnelKit/Spawn.h"

#include <algorithm>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <limits>
#include <memory>
#include <unistd.h>

namespace tunnelkit {

namespace {

pid_t decodePid(const json::Reader& reader) {
    const auto value = reader.integer();
    if (value < std::numeric_limits<pid_t>::min() || value > std::numeric_limits<pid_t>::max()) {
        reader.fail(DecodingError::Problem::numberOutOfRange);
    }
    return static_cast<pid_t>(value);
}

Result<std::vector<ProcessRegistry::Entry>, DecodingError> decodeEntries(std::string_view bytes) {
    return json::decode(bytes, [](const json::Reader& top) {
        std::vector<ProcessRegistry::Entry> entries;
        for (const auto& item : top.array()) {
            ProcessRegistry::Entry entry{decodePid(item.required("pid")), std::nullopt};
            if (const auto start = item.optional("start")) {
                const auto value = start->integer();
                if (value < 0) {
                    start->fail(DecodingError::Problem::numberOutOfRange);
                }
                entry.start = static_cast<uint64_t>(value);
            }
            entries.push_back(entry);
        }
        return entries;
    });
}

Result<std::vector<ProcessRegistry::Entry>, DecodingError> decodeLegacyPids(std::string_view bytes) {
    return json::decode(bytes, [](const json::Reader& top) {
        std::vector<ProcessRegistry::Entry> entries;
        for (const auto& item : top.array()) {
            entries.push_back({decodePid(item), std::nullopt});
        }
        return entries;
    });
}

// /proc names the program by its real path; the configured one may lead there through links.
std::string canonicalPath(const std::string& path) {
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
    return resolved ? std::string(resolved.get()) : path;
}

bool namesConfiguration(const std::vector<std::string>& words, const std::string& configuration) {
    const auto found =
        std::ranges::adjacent_find(words, [&](const std::string& option, const std::string& value) {
            return option == "-F" && value == configuration;
        });
    return found != words.end();
}

void endProcessGroupOf(pid_t pid) {
    // An ssh of ours leads its own group; anything else only ever gets the signal itself.
    if (::getpgid(pid) == pid) {
        ::killpg(pid, SIGTERM);
    } else {
        ::kill(pid, SIGTERM);
    }
}

} // namespace

ProcessRegistry::ProcessRegistry(std::string filePath, std::string executable,
                                 std::shared_ptr<const ProcessTable> processes,
                                 std::shared_ptr<MainQueue> queue)
    : filePath_(std::move(filePath)), executable_(std::move(executable)), processes_(std::move(processes)),
      queue_(std::move(queue)) {}

ProcessRegistry::~ProcessRegistry() {
    flush();
}

std::vector<ProcessRegistry::Entry> ProcessRegistry::load() const {
    const auto bytes = readFile(filePath_);
    return bytes ? decode(*bytes) : std::vector<Entry>{};
}

std::vector<ProcessRegistry::Entry> ProcessRegistry::decode(std::string_view bytes) {
    if (auto entries = decodeEntries(bytes)) {
        return std::move(*entries);
    }
    if (auto entries = decodeLegacyPids(bytes)) {
        return std::move(*entries);
    }
    return {};
}

void ProcessRegistry::save(std::vector<Entry> entries) {
    entries_ = std::move(entries);
    writePending_ = true;
    flush();
}

std::vector<ProcessRegistry::Entry>& ProcessRegistry::entries() {
    if (!entries_) {
        entries_ = load();
    }
    return *entries_;
}

void ProcessRegistry::changed() {
    if (writePending_) {
        return;
    }
    writePending_ = true;
    const auto self = weak_from_this();
    if (!queue_ || self.expired()) {
        flush();
        return;
    }
    queue_->post([self] {
        if (const auto registry = self.lock()) {
            registry->flush();
        }
    });
}

void ProcessRegistry::flush() {
    if (!std::exchange(writePending_, false)) {
        return;
    }
    auto sorted = entries();
    std::ranges::stable_sort(sorted, {}, &Entry::pid);
    if (sorted == written_) {
        return;
    }
    auto array = nlohmann::ordered_json::array();
    for (const auto& entry : sorted) {
        nlohmann::ordered_json object;
        object["pid"] = entry.pid;
        if (entry.start) {
            object["start"] = *entry.start;
        }
        array.push_back(std::move(object));
    }
    if (writeFileAtomically(filePath_, array.dump(), 0600, Durability::survivesProcessCrash)) {
        written_ = std::move(sorted);
    }
}

void ProcessRegistry::registerProcess(pid_t pid) {
    auto& list = entries();
    std::erase_if(list, [pid](const Entry& entry) { return entry.pid == pid; });
    list.push_back({pid, startTime(pid)});
    changed();
}

void ProcessRegistry::unregisterProcess(pid_t pid) {
    unregisterProcesses({pid});
}

void ProcessRegistry::unregisterProcesses(const std::vector<pid_t>& pids) {
    std::erase_if(entries(),
                  [&](const Entry& entry) { return std::ranges::find(pids, entry.pid) != pids.end(); });
    changed();
}

// Desktop sessions hand orphans to a subreaper (systemd --user), not to process 1, so any parent
// that is not a running instance of this application counts.
bool ProcessRegistry::isOrphaned(pid_t pid, const std::optional<std::string>& ownExecutable) const {
    const auto parent = processes_->parentOf(pid);
    if (!parent) {
        return false;
    }
    if (*parent == 1) {
        return true;
    }
    return !ownExecutable || processes_->executablePath(*parent) != ownExecutable;
}

std::vector<pid_t> ProcessRegistry::reapStale(const std::optional<std::string>& wrapperConfig) {
    const auto program = canonicalPath(executable_);
    const auto ownExecutable = processes_->executablePath(::getpid());
    const auto runsProgram = [&](pid_t pid) {
        const auto path = processes_->executablePath(pid);
        return path && decodeUTF8(*path) == program;
    };
    const auto carriesMark = [&](pid_t pid) {
        const auto words = wrapperConfig ? processes_->commandLine(pid) : std::nullopt;
        return words && namesConfiguration(*words, *wrapperConfig);
    };

    std::vector<pid_t> ended;
    const auto end = [&](pid_t pid) {
        endProcessGroupOf(pid);
        ended.push_back(pid);
    };
    for (const auto& entry : entries()) {
        if (entry.pid <= 1 || !runsProgram(entry.pid) || !isOrphaned(entry.pid, ownExecutable)) {
            continue;
        }
        // Without a start time a reused pid can't be told apart by time: only the mark says it is ours.
        if (entry.start ? startTime(entry.pid) == entry.start : carriesMark(entry.pid)) {
            end(entry.pid);
        }
    }
    if (wrapperConfig) {
        for (const pid_t pid : processes_->processIDs()) {
            if (pid > 1 && std::ranges::find(ended, pid) == ended.end() && runsProgram(pid) &&
                carriesMark(pid) && isOrphaned(pid, ownExecutable)) {
                end(pid);
            }
        }
    }
    save({});
    return ended;
}

} // namespace tunnelkit
