#include "TunnelKit/ProcessRegistry.h"

#include "Platform/ProcessTable.h"
#include "TunnelKit/FileIO.h"
#include "TunnelKit/JsonCoding.h"
#include "TunnelKit/Spawn.h"

#include <algorithm>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <limits>
#include <memory>

namespace tunnelkit {

namespace {

namespace processes = platform::processes;

pid_t decodePid(const json::Reader& reader) {
    const auto value = reader.integer();
    if (value < std::numeric_limits<pid_t>::min() || value > std::numeric_limits<pid_t>::max()) {
        reader.fail(DecodingError::Kind::dataCorrupted, "The number does not fit.");
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
                    start->fail(DecodingError::Kind::dataCorrupted, "The number does not fit.");
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

// Desktop sessions hand orphans to a subreaper (systemd --user), not to process 1, so any parent
// that is not a running instance of this application counts.
bool isOrphaned(pid_t pid) {
    const auto parent = processes::parentOf(pid);
    if (!parent) {
        return false;
    }
    if (*parent == 1) {
        return true;
    }
    const auto own = processes::ownExecutablePath();
    return !own || processes::executablePath(*parent) != own;
}

} // namespace

std::vector<ProcessRegistry::Entry> ProcessRegistry::load() const {
    const auto bytes = readFile(filePath_);
    if (!bytes) {
        return {};
    }
    if (auto entries = decodeEntries(*bytes)) {
        return std::move(*entries);
    }
    if (auto entries = decodeLegacyPids(*bytes)) {
        return std::move(*entries);
    }
    return {};
}

void ProcessRegistry::save(std::vector<Entry> entries) const {
    (void)createDirectories(parentDirectory(filePath_));
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.pid < b.pid; });
    auto array = nlohmann::ordered_json::array();
    for (const auto& entry : entries) {
        nlohmann::ordered_json object;
        object["pid"] = entry.pid;
        if (entry.start) {
            object["start"] = *entry.start;
        }
        array.push_back(std::move(object));
    }
    (void)writeFileAtomically(filePath_, array.dump());
}

void ProcessRegistry::registerProcess(pid_t pid) const {
    auto entries = load();
    std::erase_if(entries, [pid](const Entry& entry) { return entry.pid == pid; });
    entries.push_back({pid, startTime(pid)});
    save(std::move(entries));
}

void ProcessRegistry::unregisterProcess(pid_t pid) const {
    auto entries = load();
    std::erase_if(entries, [pid](const Entry& entry) { return entry.pid == pid; });
    save(std::move(entries));
}

std::optional<uint64_t> ProcessRegistry::startTime(pid_t pid) { return processes::startTime(pid); }

bool ProcessRegistry::isStaleRun(const Entry& entry) const {
    const auto path = processes::executablePath(entry.pid);
    if (!path || decodeUTF8(*path) != canonicalPath(executable_)) {
        return false;
    }
    if (!isOrphaned(entry.pid)) {
        return false;
    }
    return !entry.start || startTime(entry.pid) == entry.start;
}

std::vector<pid_t> ProcessRegistry::reapStale() const {
    std::vector<pid_t> ended;
    for (const auto& entry : load()) {
        if (entry.pid > 1 && isStaleRun(entry)) {
            ::killpg(entry.pid, SIGTERM);
            ended.push_back(entry.pid);
        }
    }
    save({});
    return ended;
}

} // namespace tunnelkit
