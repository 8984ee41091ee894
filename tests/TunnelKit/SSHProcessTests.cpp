#include "ErrorPrinting.h"
#include "ProcessCounts.h"
#include "TempDir.h"
#include "TunnelKit/SSHProcess.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace tunnelkit;
using namespace std::chrono_literals;
using testing_support::TempDir;

namespace {

const Environment shellEnvironment{{"PATH", "/usr/bin:/bin"}};

struct Recorder {
    std::vector<std::string> lines;
    std::vector<Termination> ends;

    SSHProcessEvents events(const std::shared_ptr<Recorder>& self) {
        return {self, [this](const std::string& line) { lines.push_back(line); },
                [this](const Termination& end) { ends.push_back(end); }};
    }
};

class SSHProcessTest : public ::testing::Test {
  protected:
    Result<SSHProcess, LaunchError> shell(const std::string& script) {
        return SSHProcess::launch("/bin/sh", {"-c", script}, shellEnvironment, queue,
                                  recorder->events(recorder));
    }
    bool runUntilEnded() {
        return queue->runUntil([&] { return !recorder->ends.empty(); }, 30s);
    }
    bool runUntilLines(size_t count) {
        return queue->runUntil([&] { return recorder->lines.size() >= count; }, 30s);
    }

    std::shared_ptr<RunLoopQueue> queue = std::make_shared<RunLoopQueue>();
    std::shared_ptr<Recorder> recorder = std::make_shared<Recorder>();
};

// Descendants left by a child become ours, so that a test can watch them end and reap them.
void adoptOrphans() {
    ASSERT_EQ(::prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
}

pid_t parsePid(const std::string& line) {
    return static_cast<pid_t>(std::stol(line));
}

// Opens the FIFO for writing once its reader is there, writes a line and closes it.
void release(const std::string& fifo) {
    for (int attempt = 0; attempt < 3000; ++attempt) {
        const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
            ASSERT_EQ(::write(fd, "go\n", 3), 3);
            ::close(fd);
            return;
        }
        std::this_thread::sleep_for(10ms);
    }
    FAIL() << "nobody opened " << fifo;
}

// A main queue that counts what is handed to it, so a test knows when a process has said everything.
class CountingQueue final : public MainQueue {
  public:
    void post(Job job) override {
        ++posted;
        loop.post(std::move(job));
    }
    std::atomic<int> posted{0};
    RunLoopQueue loop;

  protected:
    void schedule(BootClock::time_point, Job) override { ADD_FAILURE() << "no delayed job expected"; }
};

} // namespace

TEST_F(SSHProcessTest, CutsLinesAtLineFeedsStripsCarriageReturnsAndEndsOnce) {
    ASSERT_TRUE(shell("printf 'a\\r\\nb\\n\\nc'"));
    ASSERT_TRUE(runUntilEnded());
    queue->runFor(50ms);
    EXPECT_EQ(recorder->lines, (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(recorder->ends, (std::vector<Termination>{Exited{0}}));
}

TEST_F(SSHProcessTest, LinesLongerThanOneReadStayWhole) {
    ASSERT_TRUE(shell("head -c 40000 /dev/zero | tr '\\000' x; echo; printf '\\r\\n'; echo second"));
    ASSERT_TRUE(runUntilEnded());
    ASSERT_EQ(recorder->lines.size(), 2u);
    EXPECT_EQ(recorder->lines[0], std::string(40000, 'x'));
    EXPECT_EQ(recorder->lines[1], "second");
}

TEST_F(SSHProcessTest, IllFormedUTF8BecomesReplacementCharacters) {
    ASSERT_TRUE(shell("printf '\\377\\n'; printf 'a\\342\\202b\\n'; printf '\\303\\251t\\303\\251'"));
    ASSERT_TRUE(runUntilEnded());
    EXPECT_EQ(recorder->lines, (std::vector<std::string>{"\uFFFD", "a\uFFFDb", "\u00E9t\u00E9"}));
}

TEST(DecodeUTF8, ReplacesEachMaximalSubpart) {
    EXPECT_EQ(decodeUTF8("\xF0\x9F\x98"), "\uFFFD") << "a truncated sequence is one subpart";
    EXPECT_EQ(decodeUTF8("\xC0\xAF"), "\uFFFD\uFFFD") << "an overlong lead byte starts no sequence";
    EXPECT_EQ(decodeUTF8("\xED\xA0\x80"), "\uFFFD\uFFFD\uFFFD") << "surrogates are refused byte by byte";
    EXPECT_EQ(decodeUTF8(std::string_view("x\0y", 3)), std::string("x\0y", 3));
}

TEST_F(SSHProcessTest, ReportsExitStatusOrSignal) {
    ASSERT_TRUE(shell("exit 255"));
    ASSERT_TRUE(runUntilEnded());
    EXPECT_EQ(recorder->ends, (std::vector<Termination>{Exited{255}}));

    recorder->ends.clear();
    ASSERT_TRUE(shell("kill -KILL $$"));
    ASSERT_TRUE(runUntilEnded());
    EXPECT_EQ(recorder->ends, (std::vector<Termination>{Signaled{SIGKILL}}));
}

TEST_F(SSHProcessTest, GrandchildHoldingThePipeDoesNotHoldBackTheEnd) {
    adoptOrphans();
    TempDir dir;
    const auto fifo = dir.file("hold");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    ASSERT_TRUE(shell("(read x < " + fifo + "; echo late) & echo $!; printf tail; exit 4"));
    ASSERT_TRUE(runUntilEnded());
    ASSERT_EQ(recorder->lines.size(), 2u);
    EXPECT_EQ(recorder->lines[1], "tail") << "the last partial line comes before the end";
    EXPECT_EQ(recorder->ends, (std::vector<Termination>{Exited{4}}));

    const pid_t grandchild = parsePid(recorder->lines[0]);
    EXPECT_EQ(::waitpid(grandchild, nullptr, WNOHANG), 0) << "the end came while the pipe was still held";
    release(fifo);
    int status = 0;
    ASSERT_EQ(::waitpid(grandchild, &status, 0), grandchild);
    queue->runFor(50ms);
    EXPECT_EQ(recorder->lines.size(), 2u) << "what the grandchild prints later is not read";
    EXPECT_EQ(recorder->ends.size(), 1u);
}

TEST_F(SSHProcessTest, ChildClosingItsOutputEarlyEndsOnlyWhenItExits) {
    TempDir dir;
    const auto fifo = dir.file("exit");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    ASSERT_TRUE(shell("echo before; exec >&- 2>&-; read x < " + fifo + "; exit 7"));
    ASSERT_TRUE(runUntilLines(1));
    queue->runFor(300ms);
    EXPECT_TRUE(recorder->ends.empty()) << "the output is closed but the child still runs";
    release(fifo);
    ASSERT_TRUE(runUntilEnded());
    EXPECT_EQ(recorder->lines, (std::vector<std::string>{"before"}));
    EXPECT_EQ(recorder->ends, (std::vector<Termination>{Exited{7}}));
}

TEST_F(SSHProcessTest, MissingOrNonExecutableProgramIsATypedLaunchErrorThatLeaksNothing) {
    TempDir dir;
    const auto plain = dir.file("not-a-program");
    {
        const int fd = ::open(plain.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0600);
        ASSERT_GE(fd, 0);
        ::close(fd);
    }
    const auto descriptors = testing_support::openDescriptorCount();

    const auto missing =
        SSHProcess::launch(dir.file("no-such-ssh"), {"-N"}, {}, queue, recorder->events(recorder));
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error().code, ENOENT);

    const auto refused = SSHProcess::launch(plain, {}, {}, queue, recorder->events(recorder));
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error(), LaunchError{EACCES});

    EXPECT_EQ(testing_support::openDescriptorCount(), descriptors);
    EXPECT_TRUE(testing_support::hasNoChildren());
    queue->runFor(20ms);
    EXPECT_TRUE(recorder->lines.empty());
    EXPECT_TRUE(recorder->ends.empty());
}

TEST_F(SSHProcessTest, ChildEnvironmentIsExactlyTheOneGiven) {
    const Environment given{{"A", "1"}, {"B", "two words"}, {"EMPTY", ""}};
    ASSERT_TRUE(SSHProcess::launch("/usr/bin/env", {}, given, queue, recorder->events(recorder)));
    ASSERT_TRUE(runUntilEnded());
    auto lines = recorder->lines;
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(lines, (std::vector<std::string>{"A=1", "B=two words", "EMPTY="}));
}

TEST_F(SSHProcessTest, ChildGetsOnlyItsStandardDescriptorsCleanSignalsAndItsOwnGroup) {
    UniqueFd inheritable(::fcntl(STDERR_FILENO, F_DUPFD, 100)); // without close-on-exec
    ASSERT_TRUE(inheritable);
    sigset_t blocked;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGUSR2);
    ASSERT_EQ(::pthread_sigmask(SIG_BLOCK, &blocked, nullptr), 0);
    const auto previous = ::signal(SIGUSR1, SIG_IGN);

    const auto fd = std::to_string(inheritable.get());
    const auto process =
        shell("for n in 0 1 2 3 4 5 6 7 8 9 " + fd +
              "; do [ -e /proc/$$/fd/$n ] && echo fd$n; done\n"
              "echo in=$(readlink /proc/$$/fd/0)\n"
              "[ \"$(readlink /proc/$$/fd/1)\" = \"$(readlink /proc/$$/fd/2)\" ] && echo joined\n"
              "readlink /proc/$$/fd/1 | cut -c1-5\n"
              "grep -E '^Sig(Blk|Ign):' /proc/$$/status | tr -d '\\t'\n"
              "echo group=$(cut -d' ' -f5 /proc/$$/stat)");
    ::signal(SIGUSR1, previous);
    ASSERT_EQ(::pthread_sigmask(SIG_UNBLOCK, &blocked, nullptr), 0);
    ASSERT_TRUE(process);
    ASSERT_TRUE(runUntilEnded());
    auto& lines = recorder->lines;
    ASSERT_EQ(lines.size(), 9u) << ::testing::PrintToString(lines);
    // glibc leaves its two internal signals (32 and 33) ignored; every standard one must be default.
    const auto ignored = std::stoull(lines[7].substr(std::string("SigIgn:").size()), nullptr, 16);
    EXPECT_EQ(ignored & 0x7fffffffull, 0u) << lines[7];
    lines.erase(lines.begin() + 7);
    EXPECT_EQ(lines, (std::vector<std::string>{"fd0", "fd1", "fd2", "in=/dev/null", "joined",
                                               "pipe:", "SigBlk:0000000000000000",
                                               "group=" + std::to_string(process->pid())}));
}

TEST_F(SSHProcessTest, TerminateIgnoredByTheChildEndsInSIGKILLToItsGroup) {
    adoptOrphans();
    const auto process = shell("trap '' TERM; sleep 30 & echo $!; wait");
    ASSERT_TRUE(process);
    ASSERT_TRUE(runUntilLines(1));
    const pid_t grandchild = parsePid(recorder->lines[0]);
    process->terminate(300ms);
    ASSERT_TRUE(runUntilEnded());
    EXPECT_EQ(recorder->ends, (std::vector<Termination>{Signaled{SIGKILL}}));
    int status = 0;
    ASSERT_EQ(::waitpid(grandchild, &status, 0), grandchild);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "the whole group is killed";
}

TEST_F(SSHProcessTest, TerminateEndsAWillingChildAndIsHarmlessAfterTheEnd) {
    const auto process = shell("echo ready; exec sleep 30");
    ASSERT_TRUE(process);
    ASSERT_TRUE(runUntilLines(1));
    process->terminate(200ms);
    ASSERT_TRUE(runUntilEnded());
    EXPECT_EQ(recorder->ends, (std::vector<Termination>{Signaled{SIGTERM}}));
    process->terminate(0ms);
    queue->runFor(50ms);
    EXPECT_EQ(recorder->ends.size(), 1u);
}

TEST_F(SSHProcessTest, FreeingTheHandleKillsNothingAndTheEventsStillCome) {
    ASSERT_TRUE(shell("echo one; sleep 0.2; echo two"));
    ASSERT_TRUE(runUntilEnded());
    EXPECT_EQ(recorder->lines, (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(recorder->ends, (std::vector<Termination>{Exited{0}}));
}

TEST(SSHProcess, OwnerFreedBeforeItsEventsRunGetsNothing) {
    const auto queue = std::make_shared<CountingQueue>();
    auto recorder = std::make_shared<Recorder>();
    const std::weak_ptr<Recorder> watched = recorder;
    int calls = 0;
    SSHProcessEvents events{recorder, [&](const std::string&) { ++calls; },
                            [&](const Termination&) { ++calls; }};
    // One write of both lines, so one hand-over for the lines and one for the end.
    ASSERT_TRUE(
        SSHProcess::launch("/bin/sh", {"-c", "printf 'one\\ntwo\\n'"}, shellEnvironment, queue, events));
    recorder.reset();
    ASSERT_TRUE(watched.expired());
    EXPECT_TRUE(queue->loop.runUntil([&] { return queue->posted == 2; }, 30s));
    queue->loop.runFor(20ms);
    EXPECT_EQ(calls, 0);
}

TEST(SSHProcess, AThousandShortLivedChildrenLeaveNoDescriptorThreadOrZombie) {
    const auto queue = std::make_shared<RunLoopQueue>();
    auto recorder = std::make_shared<Recorder>();
    const auto descriptors = testing_support::openDescriptorCount();
    const auto threads = testing_support::threadCount();

    constexpr size_t batches = 40;
    constexpr size_t perBatch = 25;
    for (size_t batch = 0; batch < batches; ++batch) {
        std::vector<SSHProcess> running;
        for (size_t i = 0; i < perBatch; ++i) {
            auto process = SSHProcess::launch("/bin/echo", {"x"}, {}, queue, recorder->events(recorder));
            ASSERT_TRUE(process) << process.error();
            running.push_back(std::move(*process));
        }
        const size_t expected = (batch + 1) * perBatch;
        ASSERT_TRUE(queue->runUntil([&] { return recorder->ends.size() == expected; }, 60s));
    }
    EXPECT_EQ(recorder->lines.size(), batches * perBatch);
    EXPECT_EQ(std::count(recorder->ends.begin(), recorder->ends.end(), Termination{Exited{0}}),
              static_cast<long>(batches * perBatch));

    // The watching threads end just after handing over the end.
    EXPECT_TRUE(queue->runUntil([&] { return testing_support::threadCount() == threads; }, 30s))
        << testing_support::threadCount() << " threads, " << threads << " before";
    EXPECT_EQ(testing_support::openDescriptorCount(), descriptors);
    EXPECT_TRUE(testing_support::hasNoChildren());
}
