#include "Platform/SystemLog.h"

#include <cstdlib>
#include <gtest/gtest.h>

using namespace platform;

// syslog(3) itself can't be read back here; its copy on standard error shows the same line.
TEST(SystemLogDeathTest, LinesCarryTheIdentityAndTheCategoryVerbatim) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            const SystemLog log("com.tolvan.burrowlight", {.copyToStandardError = true});
            log.write("app", LogLevel::standard, "Relaunch asked");
            log.write("updates", LogLevel::error, "100% of %s %n done");
            std::exit(0);
        },
        ::testing::ExitedWithCode(0),
        "com\\.tolvan\\.burrowlight\\[[0-9]+\\]: app: Relaunch asked\n"
        "com\\.tolvan\\.burrowlight\\[[0-9]+\\]: updates: 100% of %s %n done\n");
}
