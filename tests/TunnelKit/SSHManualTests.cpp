#include "TempDir.h"
#include "TunnelKit/SSHManual.h"

#include <filesystem>
#include <future>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <thread>

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
                               "\t \n"
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

// The real mandoc on the installed page.
namespace {

bool manualIsInstalled() {
    const std::string page(SSHManual::manualPath);
    return std::filesystem::exists(page) || std::filesystem::exists(page + ".gz");
}

} // namespace

TEST(SSHManualRealPage, OptionsGiveTheirDescription) {
    if (!manualIsInstalled()) {
        GTEST_SKIP() << "ssh_config(5) is not installed";
    }
    const auto markdown = SSHManual::render();
    ASSERT_TRUE(markdown);

    const auto port = SSHManual::section("Port", *markdown);
    ASSERT_TRUE(port);
    EXPECT_TRUE(port->starts_with("Specifies the port number to connect on the remote host.")) << *port;
    EXPECT_EQ(port->find('\t'), std::string::npos);
    EXPECT_EQ(port->find('\n'), std::string::npos) << "one paragraph";

    const auto keepAlive = SSHManual::section("ServerAliveInterval", *markdown);
    ASSERT_TRUE(keepAlive);
    EXPECT_TRUE(keepAlive->starts_with("Sets a timeout interval in seconds")) << *keepAlive;

    // The page also names LocalForward in a later note with no description; the entry is used.
    const auto localForward = SSHManual::section("LocalForward", *markdown);
    ASSERT_TRUE(localForward);
    EXPECT_TRUE(localForward->starts_with("Specifies that a TCP port on the local machine be forwarded"))
        << *localForward;
    EXPECT_NE(localForward->find("\n\nIPv6 addresses can be specified"), std::string::npos) << *localForward;
}

TEST(SSHManualRealPage, OptionThePageLacksGivesNothing) {
    if (!manualIsInstalled()) {
        GTEST_SKIP() << "ssh_config(5) is not installed";
    }
    const auto markdown = SSHManual::render();
    ASSERT_TRUE(markdown);
    EXPECT_EQ(SSHManual::section("NoSuchOption", *markdown), std::nullopt);
    EXPECT_EQ(SSHManual::section("port", *markdown), std::nullopt);
}

TEST(SSHManualRenderer, MissingOrFailingRendererGivesNothing) {
    testing_support::TempDir dir;
    EXPECT_EQ(SSHManual::render(dir.file("mandoc")), std::nullopt);
    EXPECT_EQ(SSHManual::render("/bin/false"), std::nullopt);
}

TEST(SSHManualRenderer, LoadHandsTheTextOnFromAnotherThread) {
    auto answer = std::make_shared<std::promise<std::pair<std::optional<std::string>, std::thread::id>>>();
    SSHManual::load(
        [answer](std::optional<std::string> markdown) {
            answer->set_value({std::move(markdown), std::this_thread::get_id()});
        },
        "/bin/echo");
    const auto [markdown, thread] = answer->get_future().get();
    EXPECT_EQ(markdown, "-T markdown " + std::string(SSHManual::manualPath) + "\n");
    EXPECT_NE(thread, std::this_thread::get_id());
}
