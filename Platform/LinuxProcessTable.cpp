#include "Platform/LinuxProcessTable.h"

#include "TunnelKit/FileIO.h"

#include <charconv>
#include <climits>
#include <dirent.h>
#include <fstream>
#include <limits>
#include <memory>
#include <sstream>
#include <unistd.h>
#include <vector>

namespace platform::processes {

namespace {

std::string procPath(pid_t pid, const char* leaf) {
    return "/proc/" + std::to_string(pid) + "/" + leaf;
}

// Fields of /proc/PID/stat after the command name, which may itself hold blanks and parentheses.
std::optional<std::vector<std::string>> statFields(pid_t pid) {
    std::ifstream file(procPath(pid, "stat"));
    std::string line;
    if (!std::getline(file, line)) {
        return std::nullopt;
    }
    const auto close = line.rfind(')');
    if (close == std::string::npos) {
        return std::nullopt;
    }
    std::istringstream rest(line.substr(close + 1));
    std::vector<std::string> fields;
    for (std::string field; rest >> field;) {
        fields.push_back(field);
    }
    return fields;
}

std::optional<uint64_t> bootTimeSeconds() {
    static const std::optional<uint64_t> boot = []() -> std::optional<uint64_t> {
        std::ifstream file("/proc/stat");
        for (std::string key; file >> key;) {
            if (key == "btime") {
                uint64_t seconds = 0;
                if (file >> seconds) {
                    return seconds;
                }
                return std::nullopt;
            }
            file.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
        }
        return std::nullopt;
    }();
    return boot;
}

} // namespace

std::optional<std::string> executablePath(pid_t pid) {
    std::vector<char> buffer(PATH_MAX + 1);
    const auto length = ::readlink(procPath(pid, "exe").c_str(), buffer.data(), buffer.size());
    if (length <= 0 || static_cast<size_t>(length) >= buffer.size()) {
        return std::nullopt;
    }
    std::string path(buffer.data(), static_cast<size_t>(length));
    constexpr std::string_view deleted = " (deleted)";
    if (path.size() > deleted.size() &&
        path.compare(path.size() - deleted.size(), deleted.size(), deleted) == 0) {
        path.resize(path.size() - deleted.size());
    }
    return path;
}

std::optional<pid_t> parentOf(pid_t pid) {
    const auto fields = statFields(pid);
    // After the name: state (field 3), then the parent (field 4).
    if (!fields || fields->size() < 2) {
        return std::nullopt;
    }
    try {
        return static_cast<pid_t>(std::stol((*fields)[1]));
    } catch (...) {
        return std::nullopt;
    }
}

std::optional<uint64_t> startTime(pid_t pid) {
    const auto fields = statFields(pid);
    // Field 22 of the whole line is the start time in clock ticks since boot.
    constexpr size_t startIndex = 22 - 3;
    const auto boot = bootTimeSeconds();
    const long ticksPerSecond = ::sysconf(_SC_CLK_TCK);
    if (!fields || fields->size() <= startIndex || !boot || ticksPerSecond <= 0) {
        return std::nullopt;
    }
    try {
        const uint64_t ticks = std::stoull((*fields)[startIndex]);
        const auto ticks64 = static_cast<uint64_t>(ticksPerSecond);
        return *boot * 1'000'000 + ticks / ticks64 * 1'000'000 + ticks % ticks64 * 1'000'000 / ticks64;
    } catch (...) {
        return std::nullopt;
    }
}

std::optional<std::vector<std::string>> commandLine(pid_t pid) {
    const auto bytes = tunnelkit::readFile(procPath(pid, "cmdline"));
    if (!bytes) {
        return std::nullopt;
    }
    std::vector<std::string> words;
    std::string_view rest(*bytes);
    while (!rest.empty()) {
        const auto end = rest.find('\0');
        words.emplace_back(rest.substr(0, end));
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    }
    return words;
}

std::vector<pid_t> processIDs() {
    std::vector<pid_t> pids;
    const std::unique_ptr<DIR, tunnelkit::DirectoryCloser> proc(::opendir("/proc"));
    if (!proc) {
        return pids;
    }
    while (const dirent* entry = ::readdir(proc.get())) {
        const std::string_view name(entry->d_name);
        pid_t pid = 0;
        const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), pid);
        if (error == std::errc() && end == name.data() + name.size() && pid > 0) {
            pids.push_back(pid);
        }
    }
    return pids;
}

std::optional<std::string> ownExecutablePath() {
    return executablePath(::getpid());
}

} // namespace platform::processes
