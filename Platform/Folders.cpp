#include "Platform/Folders.h"

#include "TunnelKit/SSHCommandBuilder.h"

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform::folders {

namespace {

// An unset variable, an empty one and, as the XDG conventions ask, a relative path all count as
// not given.
std::optional<std::string> absolutePathVariable(const Environment& environment, const std::string& name) {
    auto value = environment.variable(name);
    if (!value || value->empty() || value->front() != '/') {
        return std::nullopt;
    }
    return value;
}

bool isPrivateFolderOf(const std::string& path, uid_t uid) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == uid &&
           (info.st_mode & 07777) == 0700;
}

std::optional<std::string> passwordDatabaseHome(uid_t uid) {
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
    struct passwd entry {};
    struct passwd* found = nullptr;
    if (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr ||
        found->pw_dir == nullptr || found->pw_dir[0] == '\0') {
        return std::nullopt;
    }
    return std::string(found->pw_dir);
}

std::string withoutTrailingSlashes(std::string path) {
    while (!path.empty() && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

// An XDG base folder: the variable when it holds an absolute path, else its default under home.
std::optional<std::string> baseDirectory(const Environment& environment, const std::string& variable,
                                         const std::string& defaultUnderHome) {
    if (auto value = absolutePathVariable(environment, variable)) {
        return withoutTrailingSlashes(*value);
    }
    const auto home = homeDirectory(environment);
    if (home.empty()) {
        return std::nullopt;
    }
    return withoutTrailingSlashes(home) + "/" + defaultUnderHome;
}

} // namespace

Environment Environment::current() {
    return {[](const std::string& name) -> std::optional<std::string> {
                const char* value = std::getenv(name.c_str());
                return value ? std::optional<std::string>(value) : std::nullopt;
            },
            ::getuid()};
}

Environment Environment::fixed(std::map<std::string, std::string> variables, uid_t uid) {
    return {[variables = std::move(variables)](const std::string& name) -> std::optional<std::string> {
                const auto found = variables.find(name);
                return found == variables.end() ? std::nullopt : std::optional<std::string>(found->second);
            },
            uid};
}

std::string homeDirectory(const Environment& environment) {
    if (auto home = environment.variable("HOME"); home && !home->empty()) {
        return *home;
    }
    return passwordDatabaseHome(environment.uid).value_or("");
}

std::optional<std::string> wrapperConfigPath(std::string_view bundleIdentifier,
                                             const Environment& environment) {
    const std::string identifier(bundleIdentifier);
    if (auto runtime = absolutePathVariable(environment, "XDG_RUNTIME_DIR");
        runtime && isPrivateFolderOf(*runtime, environment.uid)) {
        return withoutTrailingSlashes(*runtime) + "/" + identifier + ".ssh_config";
    }
    auto cache = absolutePathVariable(environment, "XDG_CACHE_HOME");
    if (!cache) {
        const auto home = homeDirectory(environment);
        if (home.empty()) {
            return std::nullopt;
        }
        cache = withoutTrailingSlashes(home) + "/.cache";
    }
    return withoutTrailingSlashes(*cache) + "/" + identifier + "/ssh_config";
}

std::optional<std::string> applicationSupportDirectory(std::string_view bundleIdentifier,
                                                       const Environment& environment) {
    const auto data = baseDirectory(environment, "XDG_DATA_HOME", ".local/share");
    if (!data) {
        return std::nullopt;
    }
    return *data + "/" + std::string(bundleIdentifier);
}

int createPrivateFolders(const std::string& path) {
    for (auto slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string folder = path.substr(0, slash);
        if (!folder.empty() && ::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
            return errno;
        }
        if (slash == std::string::npos) {
            return 0;
        }
    }
}

std::optional<std::string> autostartEntryPath(std::string_view bundleIdentifier,
                                              const Environment& environment) {
    const auto config = baseDirectory(environment, "XDG_CONFIG_HOME", ".config");
    if (!config) {
        return std::nullopt;
    }
    return *config + "/autostart/" + std::string(bundleIdentifier) + ".desktop";
}

std::optional<std::string> wrapperConfigLocation(std::string_view bundleIdentifier,
                                                 const Environment& environment) {
    auto path = wrapperConfigPath(bundleIdentifier, environment);
    if (!path || tunnelkit::ShellQuoting::needsQuoting(*path)) {
        return std::nullopt;
    }
    return path;
}

} // namespace platform::folders
