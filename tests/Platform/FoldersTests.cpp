#include "Platform/Folders.h"
#include "TempDir.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace platform;
using folders::Environment;

namespace {

constexpr const char* identifier = "com.tolvan.burrowlight";

std::string makeFolder(const testing_support::TempDir& base, const std::string& name, mode_t mode) {
    const auto path = base.file(name);
    EXPECT_EQ(::mkdir(path.c_str(), 0700), 0);
    EXPECT_EQ(::chmod(path.c_str(), mode), 0);
    return path;
}

Environment runtimeAt(const std::string& runtime) {
    return Environment::fixed({{"XDG_RUNTIME_DIR", runtime}, {"HOME", "/home/me"}}, ::getuid());
}

} // namespace

TEST(HomeFolder, FromTheEnvironmentElseThePasswordDatabase) {
    EXPECT_EQ(folders::homeDirectory(Environment::fixed({{"HOME", "/home/elsewhere"}}, ::getuid())),
              "/home/elsewhere");
    const auto* entry = ::getpwuid(::getuid());
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(folders::homeDirectory(Environment::fixed({}, ::getuid())), entry->pw_dir);
    EXPECT_EQ(folders::homeDirectory(Environment::fixed({{"HOME", ""}}, ::getuid())), entry->pw_dir);
}

TEST(WrapperConfigPath, InThePrivateRuntimeFolder) {
    testing_support::TempDir base;
    const auto runtime = makeFolder(base, "runtime", 0700);
    const auto environment =
        Environment::fixed({{"XDG_RUNTIME_DIR", runtime + "/"}, {"HOME", "/home/me"}}, ::getuid());
    EXPECT_EQ(folders::wrapperConfigPath(identifier, environment),
              runtime + "/com.tolvan.burrowlight.ssh_config");
}

TEST(WrapperConfigPath, CacheFolderWhenTheRuntimeFolderIsNotPrivate) {
    testing_support::TempDir base;
    const auto cacheFile = "/home/me/.cache/com.tolvan.burrowlight/ssh_config";
    const auto withRuntime = [&](std::optional<std::string> runtime, uid_t uid = ::getuid()) {
        std::map<std::string, std::string> variables{{"HOME", "/home/me"}};
        if (runtime) {
            variables["XDG_RUNTIME_DIR"] = *runtime;
        }
        return folders::wrapperConfigPath(identifier, Environment::fixed(variables, uid));
    };
    EXPECT_EQ(withRuntime(std::nullopt), cacheFile);
    EXPECT_EQ(withRuntime(""), cacheFile);
    EXPECT_EQ(withRuntime(makeFolder(base, "open", 0755)), cacheFile);
    EXPECT_EQ(withRuntime(makeFolder(base, "sticky", 01700)), cacheFile);
    EXPECT_EQ(withRuntime(base.file("missing")), cacheFile);
    EXPECT_EQ(withRuntime(makeFolder(base, "theirs", 0700), ::getuid() + 1), cacheFile)
        << "owned by another user";
    EXPECT_EQ(withRuntime("relative/run"), cacheFile);

    const auto notAFolder = base.file("file");
    ASSERT_EQ(::close(::open(notAFolder.c_str(), O_CREAT | O_WRONLY, 0700)), 0);
    EXPECT_EQ(withRuntime(notAFolder), cacheFile);
}

TEST(WrapperConfigPath, CacheHomeFromTheEnvironment) {
    const auto path = [](std::map<std::string, std::string> variables) {
        return folders::wrapperConfigPath(identifier, Environment::fixed(std::move(variables), ::getuid()));
    };
    EXPECT_EQ(path({{"XDG_CACHE_HOME", "/var/cache/me/"}, {"HOME", "/home/me"}}),
              "/var/cache/me/com.tolvan.burrowlight/ssh_config");
    EXPECT_EQ(path({{"XDG_CACHE_HOME", "cache"}, {"HOME", "/home/me"}}),
              "/home/me/.cache/com.tolvan.burrowlight/ssh_config")
        << "a relative cache home is ignored";
    EXPECT_EQ(path({{"HOME", "/"}}), "/.cache/com.tolvan.burrowlight/ssh_config");
}

TEST(WrapperLocation, UsedOnlyWhenThePathNeedsNoQuoting) {
    testing_support::TempDir folder;
    const auto runtime = folder.file("run");
    ASSERT_EQ(::mkdir(runtime.c_str(), 0700), 0);
    EXPECT_EQ(folders::wrapperConfigLocation(identifier, runtimeAt(runtime)),
              runtime + "/com.tolvan.burrowlight.ssh_config");

    for (const char* name : {"run dir", "run$dir", "run'dir", "ru\u00F1", "run~", "run*"}) {
        const auto odd = folder.file(name);
        ASSERT_EQ(::mkdir(odd.c_str(), 0700), 0) << name;
        EXPECT_EQ(folders::wrapperConfigLocation(identifier, runtimeAt(odd)), std::nullopt) << name;
    }
}
