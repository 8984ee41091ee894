#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

// The user's folders as the XDG base-directory conventions and the password database name them.
namespace platform::folders {

// What the folder rules read of the process: its environment variables and its user. Tests hand in
// their own, so that they never change the environment of the process they run in.
struct Environment {
    std::function<std::optional<std::string>(const std::string& name)> variable;
    uid_t uid = 0;

    static Environment current();
    static Environment fixed(std::map<std::string, std::string> variables, uid_t uid);
};

// $HOME, else the home folder of the password database; empty when neither names one.
std::string homeDirectory(const Environment& environment = Environment::current());

// Where the wrapper ssh configuration is written: "<bundle id>.ssh_config" in $XDG_RUNTIME_DIR when
// that is a folder of this user's with mode 0700, else "ssh_config" in the folder named after the
// bundle identifier under $XDG_CACHE_HOME (default ~/.cache). Nothing when no home is known.
std::optional<std::string> wrapperConfigPath(std::string_view bundleIdentifier,
                                             const Environment& environment = Environment::current());

// The application-support folder: the bundle identifier under $XDG_DATA_HOME (default
// ~/.local/share). Nothing when no home is known.
std::optional<std::string>
applicationSupportDirectory(std::string_view bundleIdentifier,
                            const Environment& environment = Environment::current());

// The login item: "<bundle id>.desktop" in the autostart folder under $XDG_CONFIG_HOME (default
// ~/.config). Nothing when no home is known.
std::optional<std::string> autostartEntryPath(std::string_view bundleIdentifier,
                                              const Environment& environment = Environment::current());

// Makes the folder and its missing parents, the new ones with mode 0700 as the XDG conventions ask.
// 0, or the errno of the first folder that could not be made.
int createPrivateFolders(const std::string& path);

// The wrapper path above, or nothing when no wrapper is to be used: ssh pastes the "-F" path
// unquoted into the command it builds for jump hosts, so a path with any character a shell reads
// specially is never handed to it.
std::optional<std::string> wrapperConfigLocation(std::string_view bundleIdentifier,
                                                 const Environment& environment = Environment::current());

} // namespace platform::folders
