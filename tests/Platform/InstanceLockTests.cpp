#include "Platform/InstanceLock.h"
#include "TempDir.h"

#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace platform;

namespace {

using Kind = InstanceLockError::Kind;

mode_t modeOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

pid_t spawnSleeper() {
    pid_t pid = -1;
    const char* arguments[] = {"/bin/sleep", "60", nullptr};
    EXPECT_EQ(::posix_spawn(&pid, arguments[0], nullptr, nullptr, const_cast<char**>(arguments), environ), 0);
    return pid;
}

void killAndReap(pid_t pid) {
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
}

} // namespace

TEST(InstanceLock, OneHolderAtATimeInPrivateFolders) {
    testing_support::TempDir base;
    const auto path = base.file("share/com.tolvan.burrowlight/instance.lock");
    {
        auto first = InstanceLock::acquire(path);
        ASSERT_TRUE(first.has_value()) << first.error().code;
        EXPECT_EQ(modeOf(base.file("share")), 0700u);
        EXPECT_EQ(modeOf(base.file("share/com.tolvan.burrowlight")), 0700u);
        EXPECT_EQ(modeOf(path), 0600u);

        const auto second = InstanceLock::acquire(path);
        ASSERT_FALSE(second.has_value());
        EXPECT_EQ(second.error(), (InstanceLockError{Kind::heldElsewhere, path, EWOULDBLOCK}));
    }
    EXPECT_TRUE(InstanceLock::acquire(path).has_value()) << "released with its holder";
}

TEST(InstanceLock, AChildOutlivingTheHolderDoesNotKeepIt) {
    testing_support::TempDir base;
    const auto path = base.file("instance.lock");
    pid_t child = -1;
    {
        const auto lock = InstanceLock::acquire(path);
        ASSERT_TRUE(lock.has_value());
        child = spawnSleeper();
    }
    EXPECT_TRUE(InstanceLock::acquire(path).has_value());
    killAndReap(child);
}

TEST(InstanceLock, AKilledHolderLeavesNoStaleLock) {
    testing_support::TempDir base;
    const auto path = base.file("instance.lock");
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t holder = ::fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        const auto lock = InstanceLock::acquire(path);
        const char byte = lock.has_value() ? '1' : '0';
        (void)!::write(ready[1], &byte, 1);
        ::pause();
        ::_exit(0);
    }
    ::close(ready[1]);
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    ::close(ready[0]);
    ASSERT_EQ(byte, '1');
    EXPECT_EQ(InstanceLock::acquire(path).error().kind, Kind::heldElsewhere);
    killAndReap(holder);
    EXPECT_TRUE(InstanceLock::acquire(path).has_value());
}

TEST(InstanceLock, AFolderThatCannotBeMadeIsAFailure) {
    testing_support::TempDir base;
    ASSERT_EQ(::close(::creat(base.file("file").c_str(), 0600)), 0);
    const auto lock = InstanceLock::acquire(base.file("file/instance.lock"));
    ASSERT_FALSE(lock.has_value());
    EXPECT_EQ(lock.error().kind, Kind::failed);
    EXPECT_EQ(lock.error().code, ENOTDIR);
}
