#include "TunnelKit/SSHManual.h"

#include <gtest/gtest.h>

#include <string>

using namespace tunnelkit;

namespace {

const std::string quotedPort = "**Port**\n"
                               "\n"
                               "> Specifies the port\n"
                               "> to connect on .\n"
                               "\n"
                               "> Default is 22\n"
                               "\n"
                               "**ProxyJump**\n"
                               "\n"
                               "> Jumps.\n";

} // namespace

TEST(SSHManualSection, QuotedParagraphsAreJoinedAndTidied) {
    EXPECT_EQ(SSHManual::section("Port", quotedPort), "Specifies the port to connect on.\n\nDefault is 22");
    EXPECT_EQ(SSHManual::section("ProxyJump", quotedPort), "Jumps.");
}

TEST(SSHManualSection, NameIsMatchedExactly) {
    EXPECT_EQ(SSHManual::section("port", quotedPort), std::nullopt);
    EXPECT_EQ(SSHManual::section("Por", quotedPort), std::nullopt);
    EXPECT_EQ(SSHManual::section("Port", " **Port**\n\n> text\n"), std::nullopt);
}

TEST(SSHManualSection, TabIndentedDescriptionCountsLikeQuotedLines) {
    const std::string debian = "**Port**\n"
                               "\n"
                               "\tSpecifies the port number to connect on the remote host.\n"
                               "\tThe default is 22.\n"
                               "\n"
                               "\tSecond paragraph ,\n"
                               "\t\tindented deeper .\n"
                               "\n"
                               "**PreferredAuthentications**\n";
    EXPECT_EQ(SSHManual::section("Port", debian),
              "Specifies the port number to connect on the remote host. The default is 22.\n\n"
              "Second paragraph, indented deeper.");
}

TEST(SSHManualSection, HeadingWithoutDescriptionFallsBackToAnEarlierEntry) {
    const std::string text = "**LocalForward**\n\n\tForwards a port.\n\n"
                             "# NOTES\n\n**LocalForward**\nand\n**RemoteForward**\nsupport variables.\n"
                             "**LocalForward**\n\n \t \n";
    EXPECT_EQ(SSHManual::section("LocalForward", text), "Forwards a port.");
    EXPECT_EQ(SSHManual::section("RemoteForward", text), std::nullopt);
}

TEST(SSHManualSection, EntryNearestTheEndWins) {
    const std::string text = "**Port**\n\n> first\n\n**Port**\n\n> second\n";
    EXPECT_EQ(SSHManual::section("Port", text), "second");
}

TEST(SSHManualSection, SectionEndsAtTheFirstLineThatIsNeitherDescriptionNorEmpty) {
    const std::string text = "**Port**\n> one\n>\n> two\n \nplain line\n> not part\n";
    EXPECT_EQ(SSHManual::section("Port", text), "one  two");
}

TEST(SSHManualSection, MarkdownEscapesAreLeftForTheMarkdownRenderer) {
    const std::string text = "**Hash**\n\n\tMatches \\*.example.com and C:\\\\dir with **bold**.\n";
    EXPECT_EQ(SSHManual::section("Hash", text), "Matches \\*.example.com and C:\\\\dir with **bold**.");
}
