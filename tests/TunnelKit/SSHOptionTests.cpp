#include "TunnelKit/SSHOption.h"
#include "TunnelKit/Text.h"

#include <gtest/gtest.h>
#include <set>

using namespace tunnelkit;

TEST(SSHOptionCatalog, TableTotals) {
    const auto& all = SSHOptionCatalog::all();
    ASSERT_EQ(all.size(), 101u);
    int users = 0, fields = 0, apps = 0, runners = 0, choices = 0, integers = 0, texts = 0;
    std::set<std::string> lowered;
    for (const auto& option : all) {
        lowered.insert(text::lowercased(option.name));
        users += option.ownership == SSHOption::Ownership::user;
        fields += option.ownership == SSHOption::Ownership::field;
        apps += option.ownership == SSHOption::Ownership::app;
        runners += option.executesCommands;
        choices += std::holds_alternative<SSHOption::Choice>(option.kind);
        integers += std::holds_alternative<SSHOption::Integer>(option.kind);
        texts += std::holds_alternative<SSHOption::Text>(option.kind);
        if (option.executesCommands) {
            EXPECT_EQ(option.ownership, SSHOption::Ownership::user) << option.name;
        }
    }
    EXPECT_EQ(lowered.size(), 101u);
    EXPECT_EQ(users, 80);
    EXPECT_EQ(fields, 4);
    EXPECT_EQ(apps, 17);
    EXPECT_EQ(runners, 8);
    EXPECT_EQ(choices, 35);
    EXPECT_EQ(integers, 8);
    EXPECT_EQ(texts, 58);
}

TEST(SSHOptionCatalog, GroupsStandTogetherInDeclarationOrder) {
    int previous = 0;
    for (const auto& option : SSHOptionCatalog::all()) {
        const int group = static_cast<int>(option.group);
        EXPECT_GE(group, previous) << option.name;
        previous = group;
    }
}

TEST(SSHOptionCatalog, LookupIgnoresCaseOnly) {
    for (const char* spelling : {"serveraliveinterval", "SERVERALIVEINTERVAL", "ServerAliveInterval"}) {
        const auto* option = SSHOptionCatalog::option(spelling);
        ASSERT_NE(option, nullptr) << spelling;
        EXPECT_EQ(option->name, "ServerAliveInterval");
        EXPECT_EQ(option->group, SSHOption::Group::keepAlive);
    }
    EXPECT_EQ(SSHOptionCatalog::option(" Port"), nullptr);
    EXPECT_EQ(SSHOptionCatalog::option("NoSuchOption"), nullptr);
    const auto* strict = SSHOptionCatalog::option("stricthostkeychecking");
    ASSERT_NE(strict, nullptr);
    EXPECT_EQ(strict->kind, SSHOption::Kind(SSHOption::Choice{{"ask", "accept-new", "yes", "no"}}));
}

TEST(SSHOptionCatalog, UserOptionsAreWhatAnEditorOffers) {
    const auto& users = SSHOptionCatalog::userOptions();
    ASSERT_EQ(users.size(), 80u);
    EXPECT_EQ(users[0].name, "AddressFamily");
    EXPECT_EQ(users[1].name, "BindAddress");
    EXPECT_EQ(users[2].name, "BindInterface");
    EXPECT_EQ(users[77].name, "LocalCommand");
    EXPECT_EQ(users[78].name, "PermitLocalCommand");
    EXPECT_EQ(users[79].name, "RefuseConnection");
    for (const auto& option : users) {
        for (const char* excluded : {"Hostname", "Port", "User", "ProxyJump", "LogLevel", "RemoteCommand"}) {
            EXPECT_NE(option.name, excluded);
        }
    }
    EXPECT_EQ(SSHOptionCatalog::repeatableOptions(),
              (std::set<std::string>{"identityfile", "certificatefile", "sendenv", "setenv"}));
}

TEST(SSHOptionCatalog, GroupRawValuesAreCaseSensitive) {
    EXPECT_EQ(groupFromRawValue("hostKeys"), SSHOption::Group::hostKeys);
    EXPECT_FALSE(groupFromRawValue("hostkeys"));
    EXPECT_EQ(rawValue(SSHOption::Group::canonicalization), "canonicalization");
}

TEST(SSHOptionCatalog, HelpAddressNamesTheOptionAsSpelled) {
    const auto url = SSHOptionCatalog::option("tunnel")->helpURL();
    EXPECT_TRUE(text::endsWith(url, "ssh_config.5#Tunnel")) << url;
    EXPECT_TRUE(text::endsWith(SSHOptionCatalog::option("serveraliveinterval")->helpURL(),
                               "ssh_config.5#ServerAliveInterval"));
}
