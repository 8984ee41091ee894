#pragma once

#include <cerrno>
#include <filesystem>
#include <string>
#include <sys/wait.h>

namespace testing_support {

inline size_t countEntries(const std::string& folder) {
    size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) {
        ++count;
    }
    return count;
}

inline size_t openDescriptorCount() {
    return countEntries("/proc/self/fd");
}
inline size_t threadCount() {
    return countEntries("/proc/self/task");
}

// True when this process has no child at all, running or zombie.
inline bool hasNoChildren() {
    siginfo_t info{};
    return ::waitid(P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT) < 0 && errno == ECHILD;
}

} // namespace testing_support
