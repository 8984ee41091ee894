#include "Platform/Folders.h"

#include <gtest/gtest.h>
#include <unistd.h>

using namespace platform;
using folders::Environment;

namespace {

constexpr const char* identifier = "com.tolvan.burrowlight";

Environment environment(std::map<std::string, std::string> variables) {
    return Environment::fixed(std::move(variables), ::getuid());
}

} // namespace

TEST(ApplicationSupportFolder, UnderTheDataHomeElseLocalShare) {
    EXPECT_EQ(folders::applicationSupportDirectory(
                  identifier, environment({{"XDG_DATA_HOME", "/data/me/"}, {"HOME", "/home/me"}})),
              "/data/me/com.tolvan.burrowlight");
    EXPECT_EQ(folders::applicationSupportDirectory(
                  identifier, environment({{"XDG_DATA_HOME", "data"}, {"HOME", "/home/me/"}})),
              "/home/me/.local/share/com.tolvan.burrowlight")
        << "a relative data home is ignored";
    EXPECT_EQ(folders::applicationSupportDirectory(
                  identifier, environment({{"XDG_DATA_HOME", ""}, {"HOME", "/home/me"}})),
              "/home/me/.local/share/com.tolvan.burrowlight");
}

TEST(AutostartEntryPath, UnderTheConfigHomeElseDotConfig) {
    EXPECT_EQ(folders::autostartEntryPath(
                  identifier, environment({{"XDG_CONFIG_HOME", "/etc/me"}, {"HOME", "/home/me"}})),
              "/etc/me/autostart/com.tolvan.burrowlight.desktop");
    EXPECT_EQ(folders::autostartEntryPath(
                  identifier, environment({{"XDG_CONFIG_HOME", "./config"}, {"HOME", "/home/me"}})),
              "/home/me/.config/autostart/com.tolvan.burrowlight.desktop");
}
