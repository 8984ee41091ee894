#include "SSHTranscripts.h"
#include "TempDir.h"
#include "TunnelKit/LogFileWriter.h"

#include <cerrno>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace tunnelkit;
using testing_support::readWholeFile;
using testing_support::TempDir;

namespace {

SSHLogLine line(std::string text, std::int64_t id = 0) {
    return {id, *parseIsoDate("2026-12-08T02:28:55Z"), std::move(text), SSHLogLine::Level::error};
}

TEST(LogFileWriterTest, WritesDateBlankAndTextWithoutLevelAfterWhatIsThere) {
    TempDir folder;
    const auto path = folder.file("tunnel.log");
    ASSERT_TRUE(writeFileAtomically(path, "earlier line\n"));
    LogFileWriter writer(path);
    ASSERT_TRUE(writer.isOpen());

    EXPECT_EQ(writer.write(line("debug1: Entering interactive session.")), std::nullopt);
    EXPECT_EQ(writer.write(line("caf\xc3\xa9")), std::nullopt);

    EXPECT_EQ(readWholeFile(path), "earlier line\n"
                                   "2026-12-08T02:28:55Z debug1: Entering interactive session.\n"
                                   "2026-12-08T02:28:55Z caf\xc3\xa9\n");
}

TEST(LogFileWriterTest, FileThatCannotBeOpenedIsSilentlyNotWritten) {
    TempDir folder;
    LogFileWriter writer(folder.path()); // a folder, not a file
    EXPECT_FALSE(writer.isOpen());
    EXPECT_EQ(writer.write(line("x")), std::nullopt);

    // A FIFO nobody reads used to hold up the opening, and with it the main queue, for good.
    const auto fifo = folder.file("fifo.log");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(LogFileWriter(fifo).isOpen());
}

TEST(LogFileWriterTest, FailedWriteReportsItsErrorOnceAndClosesTheFile) {
    TempDir folder;
    const auto path = folder.file("tunnel.log");
    LogFileWriter writer(path);
    ASSERT_TRUE(writer.isOpen());

    rlimit original{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &original), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = original;
    small.rlim_cur = 64;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const auto first = writer.write(line(std::string(100, 'a')));
    const auto second = writer.write(line("b"));
    ::setrlimit(RLIMIT_FSIZE, &original);
    std::signal(SIGXFSZ, previousHandler);

    ASSERT_TRUE(first);
    EXPECT_EQ(first->code, EFBIG);
    EXPECT_EQ(first->path, path);
    EXPECT_FALSE(writer.isOpen());
    EXPECT_EQ(second, std::nullopt);
    EXPECT_EQ(readWholeFile(path).size(), 64u); // what fitted stays; nothing after the error
}

} // namespace
