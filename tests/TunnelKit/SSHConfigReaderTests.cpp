#include "SSHHome.h"
#include "TunnelKit/SSHConfigReader.h"

#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <vector>

using namespace tunnelkit;
using testing_support::SSHHome;
using Aliases = std::vector<std::string>;

namespace {

Aliases aliasesOf(const SSHHome& home) {
    return SSHConfigReader::hostAliases(home.configFile(), home.path());
}

SSHConfigReader::TokenizedLine line(std::string keyword, std::vector<std::string> arguments) {
    return {std::move(keyword), std::move(arguments)};
}

} // namespace

TEST(SSHConfigTokenizer, SplitsKeywordEqualsQuotesAndTrailingComment) {
    EXPECT_EQ(SSHConfigReader::tokenize(R"(  Host = web "my box" db # old)"),
              line("host", {"web", "my box", "db"}));
    EXPECT_EQ(SSHConfigReader::tokenize(R"(Include "~/.ssh/my configs/*.conf")"),
              line("include", {"~/.ssh/my configs/*.conf"}));
}

TEST(SSHConfigTokenizer, EqualsWithoutBlanksAndOnlyOneEqualsSkipped) {
    EXPECT_EQ(SSHConfigReader::tokenize("Host=alpha beta"), line("host", {"alpha", "beta"}));
    EXPECT_EQ(SSHConfigReader::tokenize("Host==alpha"), line("host", {"=alpha"}));
    EXPECT_EQ(SSHConfigReader::tokenize("HOST\tAlpha"), line("host", {"Alpha"}));
}

TEST(SSHConfigTokenizer, BlankAndCommentLinesHaveNoKeyword) {
    EXPECT_EQ(SSHConfigReader::tokenize(""), line("", {}));
    EXPECT_EQ(SSHConfigReader::tokenize(" \t "), line("", {}));
    EXPECT_EQ(SSHConfigReader::tokenize("\t# Host commented"), line("", {}));
}

TEST(SSHConfigTokenizer, HashInsideWordOrQuotesIsKept) {
    EXPECT_EQ(SSHConfigReader::tokenize("Host al#pha"), line("host", {"al#pha"}));
    EXPECT_EQ(SSHConfigReader::tokenize(R"(Host "#quoted" x)"), line("host", {"#quoted", "x"}));
    EXPECT_EQ(SSHConfigReader::tokenize("Host alpha #old beta"), line("host", {"alpha"}));
}

TEST(SSHConfigTokenizer, EmptyQuotesAddNothingAndUnclosedQuoteRunsToTheEnd) {
    EXPECT_EQ(SSHConfigReader::tokenize(R"(Host "" a)"), line("host", {"a"}));
    EXPECT_EQ(SSHConfigReader::tokenize(R"(Host a "b c # d)"), line("host", {"a", "b c # d"}));
}

TEST(SSHConfigTokenizer, UnicodeWhitespaceSeparatesAndKeywordIsLowercased) {
    // U+00A0 no-break space and U+3000 ideographic space are whitespace.
    EXPECT_EQ(SSHConfigReader::tokenize("HÖST\u00A0a\u3000b"), line("höst", {"a", "b"}));
}

TEST(SSHConfigReader, MissingTopFileGivesNothing) {
    SSHHome home;
    EXPECT_TRUE(aliasesOf(home).empty());
}

TEST(SSHConfigReader, PatternsAndNegationsAreLeftOutPlainNamesStay) {
    SSHHome home;
    home.writeConfig("Host *\n"
                     "  User me\n"
                     "Host !bad good\n"
                     "  Hostname good.example\n"
                     "Host web?\n"
                     "HOST Upper\n"
                     "Hostname notanalias\n"
                     "# Host commented\n"
                     "Host alpha # old\n"
                     "Match host matched\n");
    EXPECT_EQ(aliasesOf(home), (Aliases{"good", "Upper", "alpha"}));
}

TEST(SSHConfigReader, EveryKindOfLineBreakSeparatesLines) {
    SSHHome home;
    home.writeConfig("Host a\r\nHost b\rHost c\vHost d\fHost e\u0085Host f\u2028Host g\u2029Host h");
    EXPECT_EQ(aliasesOf(home), (Aliases{"a", "b", "c", "d", "e", "f", "g", "h"}));
}

TEST(SSHConfigReader, ByteThatIsNotUTF8DoesNotDropTheFileOrItsIncludes) {
    SSHHome home;
    home.write("extra", "Host extra\n");
    home.writeConfig("# caf\xE9 (Latin-1)\nHost first\nInclude extra\nHost last\n");
    EXPECT_EQ(aliasesOf(home), (Aliases{"first", "extra", "last"}));
}

TEST(SSHConfigReader, GlobIncludeReadsMatchesInSortedOrderWhereTheLineStands) {
    SSHHome home;
    home.write("conf.d/20-db", "Host db\n");
    home.write("conf.d/10-web", "Host web\n");
    home.write("conf.d/30-cache", "Host cache\n");
    home.writeConfig("Host before\nInclude conf.d/*\nHost after\n");
    EXPECT_EQ(aliasesOf(home), (Aliases{"before", "web", "db", "cache", "after"}));
}

TEST(SSHConfigReader, IncludeTakesTildeRelativeAbsoluteAndQuotedPaths) {
    SSHHome home;
    const auto absolute = home.write("elsewhere/abs.conf", "Host absolute\n");
    home.write("tilde.conf", "Host tilde\n");
    home.write("with blank/q.conf", "Host quoted\n");
    home.write("rel.conf", "Host relative\n");
    home.writeConfig("Include ~/.ssh/tilde.conf rel.conf\n"
                     "Include " +
                     absolute +
                     "\n"
                     "Include \"with blank/q.conf\"\n");
    EXPECT_EQ(aliasesOf(home), (Aliases{"tilde", "relative", "absolute", "quoted"}));
}

TEST(SSHConfigReader, UnmatchedIncludeAddsNothingAndReadingGoesOn) {
    SSHHome home;
    home.writeConfig("Include missing.conf nothing/*\nHost kept\n");
    EXPECT_EQ(aliasesOf(home), (Aliases{"kept"}));
}

TEST(SSHConfigReader, MutualAndSelfIncludesAreReadOnce) {
    SSHHome home;
    home.write("a.conf", "Host a1\nInclude b.conf\nHost a2\n");
    home.write("b.conf", "Host b1\nInclude a.conf b.conf\nHost b2\n");
    home.writeConfig("Include a.conf\nInclude config\nHost top\n");
    EXPECT_EQ(aliasesOf(home), (Aliases{"a1", "b1", "b2", "a2", "top"}));
}

TEST(SSHConfigReader, IncludesAreFollowedSixteenLevelsDeep) {
    SSHHome home;
    home.writeConfig("Host level0\nInclude level1\n");
    for (int level = 1; level <= 20; ++level) {
        home.write("level" + std::to_string(level), "Host level" + std::to_string(level) + "\nInclude level" +
                                                        std::to_string(level + 1) + "\n");
    }
    Aliases expected;
    for (int level = 0; level <= SSHConfigReader::maximumIncludeDepth; ++level) {
        expected.push_back("level" + std::to_string(level));
    }
    EXPECT_EQ(aliasesOf(home), expected);
}

TEST(SSHConfigReader, RepeatedAliasIsListedOnceAtItsFirstPosition) {
    SSHHome home;
    home.write("more.conf", "Host db web Web\n");
    home.writeConfig("Host web\nInclude more.conf\nHost db\n");
    EXPECT_EQ(aliasesOf(home), (Aliases{"web", "db", "Web"}));
}

TEST(SSHConfigReader, OnlyRegularFilesOfAtMostAMebibyteAreRead) {
    SSHHome home;
    ASSERT_EQ(::mkfifo((home.sshFolder() + "/fifo").c_str(), 0600), 0);
    home.write("big", "Host big\n" + std::string(SSHConfigReader::maximumFileSize, '#'));
    home.write("fits", "Host fits\n" + std::string(SSHConfigReader::maximumFileSize - 10, '#'));
    home.writeConfig("Host first\nInclude /dev/zero\nInclude fifo\nInclude big\nInclude fits\nHost last\n");
    // Unbounded reading of /dev/zero ran out of memory; a FIFO blocked the reader for good.
    EXPECT_EQ(aliasesOf(home), (Aliases{"first", "fits", "last"}));
}
