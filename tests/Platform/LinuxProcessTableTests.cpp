#include "Platform/LinuxProcessTable.h"

#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace platform;

TEST(ProcessTable, ReadsThisProcessAndItsParent) {
    const auto own = processes::ownExecutablePath();
    ASSERT_TRUE(own);
    EXPECT_NE(own->find("PlatformTests"), std::string::npos) << *own;
    EXPECT_EQ(processes::parentOf(::getpid()), ::getppid());
    const auto start = processes::startTime(::getpid());
    ASSERT_TRUE(start);
    const auto now = std::chrono::duration_cast<std::chrono::microseconds>(
                         std::chrono::system_clock::now().time_since_epoch())
                         .count();
    EXPECT_LE(*start, static_cast<uint64_t>(now));
    EXPECT_GT(*start, static_cast<uint64_t>(now) - 3'600'000'000ull)
        << "this test process started within the hour";
    EXPECT_EQ(processes::startTime(::getpid()), start) << "the start time is stable";
}

TEST(ProcessTable, ChildIsSeenUntilReapedThenGone) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::pause();
        ::_exit(0);
    }
    EXPECT_EQ(processes::parentOf(child), ::getpid());
    EXPECT_TRUE(processes::startTime(child));
    EXPECT_GE(*processes::startTime(child), *processes::startTime(::getpid()));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_FALSE(processes::parentOf(child));
    EXPECT_FALSE(processes::executablePath(child));
    EXPECT_FALSE(processes::startTime(child));
}
