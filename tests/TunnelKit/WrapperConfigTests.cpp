#include "ErrorPrinting.h"
#include "TempDir.h"
#include "TunnelKit/FileIO.h"
#include "TunnelKit/SSHCommandBuilder.h"
#include "TunnelKit/Text.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace tunnelkit;

namespace {

const std::string fixedPart = "# Written by Burrowlight before each connection. The values above the\n"
                              "# includes win over them, also for jump hosts.\n"
                              "ControlMaster no\n"
                              "ControlPath none\n"
                              "ControlPersist no\n"
                              "ForkAfterAuthentication no\n"
                              "BatchMode no\n"
                              "ClearAllForwardings no\n"
                              "RemoteCommand none\n"
                              "RequestTTY no\n"
                              "LogLevel INFO\n";

mode_t permissionsOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

} // namespace

TEST(WrapperConfig, IncludesTheUsersFilesAfterTheFixedSettings) {
    SSHCommandBuilder builder(SSHCommandBuilder::defaultExecutable, true, "/Users/me");
    EXPECT_EQ(builder.wrapperConfigText(),
              fixedPart + "Include \"/Users/me/.ssh/config\"\nInclude \"/etc/ssh/ssh_config\"\n");
    builder.systemConfigFile = "/opt/ssh/ssh_config";
    EXPECT_TRUE(text::endsWith(builder.wrapperConfigText(), "Include \"/opt/ssh/ssh_config\"\n"));
}

TEST(WrapperConfig, WithoutTheUsersFilesElevenLines) {
    SSHCommandBuilder builder(SSHCommandBuilder::defaultExecutable, false, "/Users/me");
    EXPECT_EQ(builder.wrapperConfigText(), fixedPart);
    EXPECT_EQ(text::split(builder.wrapperConfigText(), '\n').size(), 12u)
        << "eleven lines, each ending in a line feed";
}

TEST(WrapperConfig, ChosenFileIsTheOnlyInclude) {
    for (bool usesConfigFiles : {true, false}) {
        SSHCommandBuilder builder(SSHCommandBuilder::defaultExecutable, usesConfigFiles, "/Users/me");
        builder.configFile = "/etc/burrow/my ssh.conf";
        EXPECT_EQ(builder.wrapperConfigText(), fixedPart + "Include \"/etc/burrow/my ssh.conf\"\n");
    }
}

TEST(WrapperConfig, WritingWithoutALocationTouchesNothing) {
    testing_support::TempDir folder;
    SSHCommandBuilder builder(SSHCommandBuilder::defaultExecutable, true, folder.path());
    EXPECT_TRUE(builder.writeWrapperConfig());
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

TEST(WrapperConfig, WrittenPrivateFromTheStartAndReplaced) {
    testing_support::TempDir folder;
    SSHCommandBuilder builder(SSHCommandBuilder::defaultExecutable, true, "/home/me");
    builder.wrapperURL = folder.file("cache/com.tolvan.burrowlight/ssh_config");

    const auto oldMask = ::umask(0);
    auto written = builder.writeWrapperConfig();
    ::umask(oldMask);
    ASSERT_TRUE(written) << written.error();
    EXPECT_EQ(readFile(*builder.wrapperURL), builder.wrapperConfigText());
    EXPECT_EQ(permissionsOf(*builder.wrapperURL), 0600u) << "even with an open umask";
    EXPECT_EQ(permissionsOf(folder.file("cache/com.tolvan.burrowlight")), 0700u)
        << "a missing folder is made private";

    ::chmod(builder.wrapperURL->c_str(), 0644);
    builder.usesConfigFiles = false;
    ASSERT_TRUE(builder.writeWrapperConfig());
    EXPECT_EQ(readFile(*builder.wrapperURL), fixedPart);
    EXPECT_EQ(permissionsOf(*builder.wrapperURL), 0600u) << "an older file's permissions do not survive";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.file("cache/com.tolvan.burrowlight")),
                            std::filesystem::directory_iterator()),
              1)
        << "no temporary file is left behind";
}

TEST(WrapperConfig, WriteFailureIsReported) {
    testing_support::TempDir folder;
    ASSERT_TRUE(writeFileAtomically(folder.file("plain"), "a file, not a folder"));
    SSHCommandBuilder builder(SSHCommandBuilder::defaultExecutable, true, "/home/me");
    builder.wrapperURL = folder.file("plain/ssh_config");
    const auto written = builder.writeWrapperConfig();
    ASSERT_FALSE(written);
    EXPECT_EQ(written.error().code, ENOTDIR);
}
