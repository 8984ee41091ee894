#include "Platform/SystemFacts.h"
#include "TempDir.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>

using namespace platform;

namespace {

std::string writeFile(const testing_support::TempDir& base, const std::string& name,
                      const std::string& text) {
    std::ofstream(base.file(name)) << text;
    return base.file(name);
}

std::string commandOutput(const char* command) {
    std::string output;
    FILE* pipe = ::popen(command, "r");
    std::array<char, 256> buffer{};
    while (pipe && std::fgets(buffer.data(), buffer.size(), pipe)) {
        output += buffer.data();
    }
    if (pipe) {
        ::pclose(pipe);
    }
    while (!output.empty() && output.back() == '\n') {
        output.pop_back();
    }
    return output;
}

} // namespace

TEST(DistributionName, PrettyNameInTheShellsQuoting) {
    testing_support::TempDir base;
    const auto name = [&](const std::string& line) {
        return system::distributionName({writeFile(base, "os-release", "NAME=Other\n" + line + "\nID=x\n")});
    };
    EXPECT_EQ(name(R"x(PRETTY_NAME="Debian GNU/Linux 12 (bookworm)")x"), "Debian GNU/Linux 12 (bookworm)");
    EXPECT_EQ(name("PRETTY_NAME='Fedora Linux 40 (Workstation Edition)'"),
              "Fedora Linux 40 (Workstation Edition)");
    EXPECT_EQ(name("PRETTY_NAME=Arch"), "Arch");
    EXPECT_EQ(name(R"(PRETTY_NAME="Say \"hi\" for \$5 \n")"), R"(Say "hi" for $5 \n)");
    EXPECT_EQ(name(R"(PRETTY_NAME="it's")"), "it's");
    EXPECT_EQ(name("PRETTY_NAME="), "Linux");
    EXPECT_EQ(name("# PRETTY_NAME=commented"), "Linux");
}

TEST(DistributionName, FirstFileThatCanBeReadElseLinux) {
    testing_support::TempDir base;
    const auto usrLib = writeFile(base, "usr-lib-os-release", "PRETTY_NAME=\"From usr/lib\"\n");
    EXPECT_EQ(system::distributionName({base.file("missing"), usrLib}), "From usr/lib");
    const auto etc = writeFile(base, "etc-os-release", "PRETTY_NAME=\"From etc\"\n");
    EXPECT_EQ(system::distributionName({etc, usrLib}), "From etc");
    EXPECT_EQ(system::distributionName({base.file("missing"), base.file("gone")}), "Linux");
}

TEST(KernelRelease, AsUnamePrintsIt) {
    EXPECT_EQ(system::kernelRelease(), commandOutput("uname -r"));
}
