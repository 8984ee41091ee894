#include "ErrorPrinting.h"
#include "ProcessCounts.h"
#include "TunnelKit/Spawn.h"

#include <csignal>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

using namespace tunnelkit;

TEST(Spawn, AReapedChildIsNeverSignalled) {
    auto spawned = spawnChild(SpawnRequest{"/bin/true", {}, {}, true, ErrorOutput::joined});
    ASSERT_TRUE(spawned) << spawned.error();
    Child& child = *spawned->child;
    EXPECT_TRUE(child.signal(0)) << "an unreaped child can be signalled";
    EXPECT_EQ(terminationFromWaitStatus(child.waitForExit()), Termination{Exited{0}});
    EXPECT_TRUE(child.isReaped());
    EXPECT_EQ(child.exitDescriptor(), -1);
    // Its pid may belong to another process by now.
    EXPECT_FALSE(child.signal(SIGTERM));
    EXPECT_FALSE(child.signalGroup(SIGKILL));
}

TEST(Spawn, SignalsReachTheNewGroupWhileTheChildRuns) {
    auto spawned = spawnChild(SpawnRequest{"/bin/sleep", {"30"}, {}, true, ErrorOutput::joined});
    ASSERT_TRUE(spawned);
    EXPECT_EQ(::getpgid(spawned->child->pid()), spawned->child->pid());
    EXPECT_TRUE(spawned->child->signalGroup(SIGKILL));
    EXPECT_EQ(terminationFromWaitStatus(spawned->child->waitForExit()), Termination{Signaled{SIGKILL}});
}

TEST(Spawn, WithoutANewGroupTheChildStaysInOurs) {
    auto spawned = spawnChild(SpawnRequest{"/bin/sleep", {"30"}, {}, false, ErrorOutput::joined});
    ASSERT_TRUE(spawned);
    EXPECT_EQ(::getpgid(spawned->child->pid()), ::getpgrp());
    EXPECT_TRUE(spawned->child->signal(SIGKILL));
    spawned->child->waitForExit();
}

TEST(Spawn, FreeingAnExitedChildLeavesNoZombie) {
    auto spawned = spawnChild(SpawnRequest{"/bin/true", {}, {}, false, ErrorOutput::joined});
    ASSERT_TRUE(spawned);
    pollfd exit{spawned->child->exitDescriptor(), POLLIN, 0};
    ASSERT_EQ(::poll(&exit, 1, 30'000), 1);
    spawned->child.reset();
    EXPECT_TRUE(testing_support::hasNoChildren());
}

TEST(Spawn, WaitStatusBecomesTermination) {
    EXPECT_EQ(terminationFromWaitStatus(0), Termination{Exited{0}});
    EXPECT_EQ(terminationFromWaitStatus(255 << 8), Termination{Exited{255}});
    EXPECT_EQ(terminationFromWaitStatus(SIGKILL), Termination{Signaled{SIGKILL}});
    EXPECT_EQ(terminationFromWaitStatus(SIGSEGV | 0x80), Termination{Signaled{SIGSEGV}}) << "core dumped";
}
