#include "ProcessCounts.h"
#include "TunnelKit/ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <stop_token>
#include <thread>
#include <unistd.h>

using namespace tunnelkit;
using namespace std::chrono_literals;

namespace {

ChildProcessRequest shell(const std::string& script) {
    ChildProcessRequest request;
    request.executable = "/bin/sh";
    request.arguments = {"-c", script};
    return request;
}

} // namespace

TEST(ChildProcess, CapturesStandardOutputAndTheExitStatus) {
    const auto discarded = runChildProcess(shell("printf out; printf err >&2; exit 3"));
    ASSERT_TRUE(discarded);
    EXPECT_EQ(discarded->output, "out");
    EXPECT_EQ(discarded->termination, Termination{Exited{3}});
    EXPECT_FALSE(discarded->timedOut);

    auto joinedRequest = shell("printf out; printf err >&2");
    joinedRequest.errorOutput = ErrorOutput::joined;
    const auto joined = runChildProcess(joinedRequest);
    ASSERT_TRUE(joined);
    EXPECT_EQ(joined->output, "outerr");
}

TEST(ChildProcess, ReadsOutputLargerThanThePipeBeforeWaiting) {
    const auto result = runChildProcess(shell("head -c 300000 /dev/zero"));
    ASSERT_TRUE(result);
    EXPECT_EQ(result->output.size(), 300000u);
}

TEST(ChildProcess, InheritsThisEnvironmentUnlessGivenOne) {
    ::setenv("BURROWLIGHT_TEST_VALUE", "inherited", 1);
    EXPECT_EQ(runChildProcess(shell("printf %s \"$BURROWLIGHT_TEST_VALUE\""))->output, "inherited");
    auto request = shell("printf %s \"${BURROWLIGHT_TEST_VALUE-unset}\"");
    request.environment = {};
    EXPECT_EQ(runChildProcess(request)->output, "unset");
}

TEST(ChildProcess, TimeOutTerminatesTheChild) {
    auto request = shell("echo started; exec sleep 30");
    request.timeout = 200ms;
    const auto result = runChildProcess(request);
    ASSERT_TRUE(result);
    EXPECT_TRUE(result->timedOut);
    EXPECT_EQ(result->termination, Termination{Signaled{SIGTERM}});
    EXPECT_TRUE(testing_support::hasNoChildren());
}

TEST(ChildProcess, AChildIgnoringTheTimeOutIsKilledWithItsGroup) {
    auto request = shell("trap '' TERM; sleep 30 & wait");
    request.timeout = 1s; // long enough for the shell to set its trap first
    const auto result = runChildProcess(request);
    ASSERT_TRUE(result);
    EXPECT_TRUE(result->timedOut);
    EXPECT_EQ(result->termination, Termination{Signaled{SIGKILL}});
}

TEST(ChildProcess, AStopRequestEndsTheChildAndItsGroupAtOnce) {
    // The stop comes only once the grandchild has started, long before the time-out.
    std::stop_source stop;
    auto request = shell("sleep 600 & echo $! > \"$0\"; wait");
    const auto pidFile =
        std::filesystem::temp_directory_path() / ("burrowlight-stop-" + std::to_string(::getpid()));
    request.arguments.push_back(pidFile.string());
    request.timeout = 600s;
    std::thread stopper([&] {
        while (!std::filesystem::exists(pidFile) || std::filesystem::file_size(pidFile) == 0) {
            std::this_thread::sleep_for(10ms);
        }
        stop.request_stop();
    });
    const auto result = runChildProcess(request, stop.get_token());
    stopper.join();
    ASSERT_TRUE(result);
    EXPECT_TRUE(result->stopped);
    EXPECT_FALSE(result->timedOut);
    EXPECT_EQ(result->termination, Termination{Signaled{SIGTERM}});
    EXPECT_TRUE(testing_support::hasNoChildren());
    std::ifstream pidText(pidFile);
    pid_t grandchild = 0;
    pidText >> grandchild;
    std::filesystem::remove(pidFile);
    ASSERT_GT(grandchild, 0);
    // The grandchild got the signal too: soon it is gone, or a zombie waiting for its new parent.
    // It would sleep for ten minutes otherwise.
    const auto ended = [grandchild] {
        std::ifstream stat("/proc/" + std::to_string(grandchild) + "/stat");
        std::string pid, name, state;
        return !(stat >> pid >> name >> state) || state == "Z";
    };
    for (int round = 0; round < 500 && !ended(); ++round) {
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_TRUE(ended());
}

TEST(ChildProcess, MissingProgramIsALaunchError) {
    ChildProcessRequest request;
    request.executable = "/nonexistent/mandoc";
    const auto result = runChildProcess(request);
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error(), LaunchError{ENOENT});
}

TEST(ChildProcess, ManyRunsLeaveNoDescriptorOrZombie) {
    const auto descriptors = testing_support::openDescriptorCount();
    for (int i = 0; i < 200; ++i) {
        ChildProcessRequest request;
        request.executable = "/bin/echo";
        request.arguments = {"x"};
        ASSERT_EQ(runChildProcess(request)->output, "x\n");
    }
    EXPECT_EQ(testing_support::openDescriptorCount(), descriptors);
    EXPECT_TRUE(testing_support::hasNoChildren());
}
