#include "Platform/LinuxProcessTable.h"
#include "TempDir.h"
#include "TunnelKit/FileIO.h"
#include "TunnelKit/ProcessRegistry.h"
#include "TunnelKit/Spawn.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace tunnelkit;
using testing_support::TempDir;

namespace {

std::string fileBytes(const std::string& path) {
    return readFile(path).value_or("<missing>");
}

// A program run by a shell that stays alive: the program's parent is not this application, so it
// counts as an orphan of an earlier run. Leads a process group of its own, like ssh.
class OrphanedRun {
  public:
    explicit OrphanedRun(const std::string& program, std::vector<std::string> arguments = {"infinity"}) {
        arguments.insert(arguments.begin(), {"-c", "setsid \"$0\" \"$@\" & echo $!; wait $!", program});
        auto spawned = spawnChild(SpawnRequest{"/bin/sh", arguments, {{"PATH", "/usr/bin:/bin"}}});
        EXPECT_TRUE(spawned);
        shell_ = spawned->child;
        output_ = std::move(spawned->output);
        std::string line;
        char c = 0;
        while (::read(output_.get(), &c, 1) == 1 && c != '\n') {
            line += c;
        }
        pid_ = static_cast<pid_t>(std::stol(line));
        // $! is known before the shell's child has become the program.
        const std::filesystem::path real = std::filesystem::canonical(program);
        for (int attempt = 0; attempt < 3000 && platform::processes::executablePath(pid_) != real.string();
             ++attempt) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        EXPECT_EQ(platform::processes::executablePath(pid_), real.string());
    }
    ~OrphanedRun() {
        // The shell reaps the program only once it has ended, so while the shell runs the pid is its.
        if (!shell_->isReaped() && isAlive()) {
            ::kill(pid_, SIGKILL);
        }
        shell_->waitForExit();
    }

    pid_t pid() const { return pid_; }
    bool isAlive() const { return !shell_->tryReap(); }
    // The shell passes on how the program ended.
    Termination end() const { return terminationFromWaitStatus(shell_->waitForExit()); }

  private:
    std::shared_ptr<Child> shell_;
    UniqueFd output_;
    pid_t pid_ = 0;
};

std::shared_ptr<const ProcessTable> kernel() {
    return std::make_shared<platform::LinuxProcessTable>();
}

std::shared_ptr<ProcessRegistry> registryAt(const std::string& path, const std::string& executable,
                                            std::shared_ptr<MainQueue> queue = nullptr) {
    return std::make_shared<ProcessRegistry>(path, executable, kernel(), std::move(queue));
}

} // namespace

TEST(ProcessRegistry, WritesCompactEntriesSortedByPid) {
    TempDir dir;
    const auto registry = registryAt(dir.file("support/ssh-processes.json"), "/usr/bin/ssh");
    registry->save({{20, std::nullopt}, {10, 1'700'000'000'123'456}});
    EXPECT_EQ(fileBytes(registry->filePath()), R"([{"pid":10,"start":1700000000123456},{"pid":20}])");
    EXPECT_EQ(registry->load(),
              (std::vector<ProcessRegistry::Entry>{{10, 1'700'000'000'123'456}, {20, std::nullopt}}));
    registry->save({});
    EXPECT_EQ(fileBytes(registry->filePath()), "[]");
}

TEST(ProcessRegistry, RegisteringRecordsTheStartTimeOnceAndUnregisteringRemoves) {
    TempDir dir;
    const auto registry = registryAt(dir.file("ssh-processes.json"), "/usr/bin/ssh");
    const pid_t self = ::getpid();
    registry->registerProcess(self);
    registry->registerProcess(self);
    const auto start = registry->startTime(self);
    ASSERT_TRUE(start);
    EXPECT_EQ(registry->load(), (std::vector<ProcessRegistry::Entry>{{self, start}}));
    EXPECT_EQ(fileBytes(registry->filePath()),
              "[{\"pid\":" + std::to_string(self) + ",\"start\":" + std::to_string(*start) + "}]");
    registry->unregisterProcess(self);
    EXPECT_EQ(fileBytes(registry->filePath()), "[]");
}

TEST(ProcessRegistry, ChangesOfOneTurnOfTheQueueAreWrittenOnceAtItsEnd) {
    TempDir dir;
    const auto queue = std::make_shared<RunLoopQueue>();
    const auto registry = registryAt(dir.file("ssh-processes.json"), "/usr/bin/ssh", queue);
    registry->save({{7, 70}});
    const pid_t self = ::getpid();
    const pid_t parent = ::getppid();
    registry->registerProcess(self);
    registry->registerProcess(parent);
    registry->unregisterProcess(7);
    EXPECT_EQ(fileBytes(registry->filePath()), R"([{"pid":7,"start":70}])")
        << "nothing written within the turn";

    bool turnEnded = false;
    queue->post([&] { turnEnded = true; });
    ASSERT_TRUE(queue->runUntil([&] { return turnEnded; }, std::chrono::seconds(10)));
    std::vector<ProcessRegistry::Entry> expected{{self, registry->startTime(self)},
                                                 {parent, registry->startTime(parent)}};
    std::ranges::sort(expected, {}, &ProcessRegistry::Entry::pid);
    EXPECT_EQ(registry->load(), expected) << "written once the queue went on";

    registry->unregisterProcesses({self, parent});
    registry->flush();
    EXPECT_EQ(fileBytes(registry->filePath()), "[]") << "a flush writes at once";
}

TEST(ProcessRegistry, ReadsTheLegacyListOfPidsAndRewritesItInTheCurrentForm) {
    TempDir dir;
    const auto registry = registryAt(dir.file("ssh-processes.json"), "/usr/bin/ssh");
    ASSERT_TRUE(writeFileAtomically(registry->filePath(), "[4000000, 12]"));
    EXPECT_EQ(registry->load(),
              (std::vector<ProcessRegistry::Entry>{{4000000, std::nullopt}, {12, std::nullopt}}));
    registry->unregisterProcess(99);
    EXPECT_EQ(fileBytes(registry->filePath()), R"([{"pid":12},{"pid":4000000}])");
}

TEST(ProcessRegistry, UnreadableFilesAreEmpty) {
    TempDir dir;
    const auto registry = registryAt(dir.file("ssh-processes.json"), "/usr/bin/ssh");
    EXPECT_TRUE(registry->load().empty());
    for (const char* bytes : {"", "{}", "[1.5]", "[{\"pid\":\"1\"}]", "[{\"pid\":1,\"start\":-4}]",
                              "[5000000000]", "[1,{\"pid\":2}]", "[1e400]", "[-1e999]"}) {
        ASSERT_TRUE(writeFileAtomically(registry->filePath(), bytes));
        EXPECT_TRUE(registry->load().empty()) << bytes;
    }
    ASSERT_TRUE(writeFileAtomically(registry->filePath(), R"([{"pid":3,"start":null,"other":1}])"));
    EXPECT_EQ(registry->load(), (std::vector<ProcessRegistry::Entry>{{3, std::nullopt}}));
    ASSERT_EQ(::mkfifo(dir.file("fifo.json").c_str(), 0600), 0);
    EXPECT_TRUE(registryAt(dir.file("fifo.json"), "/usr/bin/ssh")->load().empty())
        << "a FIFO is not waited on";
}

TEST(ProcessRegistry, ReapStaleWithoutAFileEndsNothingAndWritesAnEmptyList) {
    TempDir dir;
    const auto registry = registryAt(dir.file("support/ssh-processes.json"), "/usr/bin/ssh");
    EXPECT_TRUE(registry->reapStale(std::nullopt).empty());
    EXPECT_EQ(fileBytes(registry->filePath()), "[]");
}

TEST(ProcessRegistry, ReapStaleEndsOnlyOrphanedRunsOfTheProgramStartedAtTheRecordedTime) {
    TempDir dir;
    // /bin leads to /usr/bin on merged systems; the registry compares real paths.
    const auto registry = registryAt(dir.file("ssh-processes.json"), "/bin/sleep");
    OrphanedRun orphan("/bin/sleep");
    OrphanedRun otherProgram("/usr/bin/tail", {"-f", "/dev/null"});
    OrphanedRun reusedPid("/bin/sleep");
    auto ownChild = spawnChild(SpawnRequest{"/bin/sleep", {"infinity"}, {}, true});
    ASSERT_TRUE(ownChild);

    const auto startOf = [&](pid_t pid) { return registry->startTime(pid); };
    ASSERT_TRUE(startOf(reusedPid.pid()));
    registry->save({{orphan.pid(), startOf(orphan.pid())},
                    {otherProgram.pid(), startOf(otherProgram.pid())},
                    {reusedPid.pid(), *startOf(reusedPid.pid()) + 1},
                    {ownChild->child->pid(), startOf(ownChild->child->pid())}});

    EXPECT_EQ(registry->reapStale(std::nullopt), std::vector<pid_t>{orphan.pid()});
    EXPECT_EQ(fileBytes(registry->filePath()), "[]");
    EXPECT_EQ(orphan.end(), Termination{Exited{128 + SIGTERM}}) << "the orphan got SIGTERM";
    EXPECT_TRUE(otherProgram.isAlive());
    EXPECT_TRUE(reusedPid.isAlive());
    EXPECT_FALSE(ownChild->child->tryReap()) << "a child of a live instance is left alone";
    ownChild->child->signalGroup(SIGKILL);
    ownChild->child->waitForExit();
}

// tail -F names a file after "-F" and stays, which is all a run needs to look like an ssh of ours.
TEST(ProcessRegistry, AnEntryWithoutStartTimeIsEndedOnlyWhenItsCommandLineNamesOurConfiguration) {
    TempDir dir;
    const auto wrapper = dir.file("wrapper.ssh_config");
    const auto registry = registryAt(dir.file("ssh-processes.json"), "/usr/bin/tail");
    OrphanedRun ours("/usr/bin/tail", {"-F", wrapper});
    OrphanedRun usersOwn("/usr/bin/tail", {"-F", dir.file("another.ssh_config")});
    ASSERT_TRUE(writeFileAtomically(registry->filePath(), "[" + std::to_string(ours.pid()) + "," +
                                                              std::to_string(usersOwn.pid()) + "]"));
    EXPECT_EQ(registry->reapStale(wrapper), std::vector<pid_t>{ours.pid()});
    EXPECT_EQ(ours.end(), Termination{Exited{128 + SIGTERM}});
    EXPECT_TRUE(usersOwn.isAlive()) << "a reused pid of the user's own run is never signalled";
    EXPECT_EQ(fileBytes(registry->filePath()), "[]");

    OrphanedRun legacy("/usr/bin/tail", {"-F", dir.file("another.ssh_config")});
    ASSERT_TRUE(writeFileAtomically(registry->filePath(), "[" + std::to_string(legacy.pid()) + "]"));
    EXPECT_TRUE(registry->reapStale(std::nullopt).empty()) << "without a mark to look for, nothing";
    EXPECT_TRUE(legacy.isAlive());
}

TEST(ProcessRegistry, ReapStaleEndsAnUnlistedOrphanThatNamesOurConfiguration) {
    TempDir dir;
    const auto wrapper = dir.file("wrapper.ssh_config");
    const auto registry = registryAt(dir.file("ssh-processes.json"), "/usr/bin/tail");
    ASSERT_TRUE(writeFileAtomically(wrapper, ""));
    OrphanedRun unlisted("/usr/bin/tail", {"-F", wrapper});
    OrphanedRun unmarked("/usr/bin/tail", {"-f", wrapper});
    auto ownChild = spawnChild(SpawnRequest{"/usr/bin/tail", {"-F", wrapper}, {}, true});
    ASSERT_TRUE(ownChild);

    EXPECT_EQ(registry->reapStale(wrapper), std::vector<pid_t>{unlisted.pid()});
    EXPECT_EQ(unlisted.end(), Termination{Exited{128 + SIGTERM}});
    EXPECT_TRUE(unmarked.isAlive());
    EXPECT_FALSE(ownChild->child->tryReap()) << "a child of a live instance is left alone";
    ownChild->child->signalGroup(SIGKILL);
    ownChild->child->waitForExit();
}
