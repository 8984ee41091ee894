// The one executable's two roles, told apart by the environment it is started with.
#include "BurrowlightProcess.h"
#include "ErrorPrinting.h"
#include "TempDir.h"
#include "TunnelKit/ChildProcess.h"
#include "TunnelKit/FileIO.h"
#include "TunnelKit/Identifiers.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>

using namespace tunnelkit;
using namespace std::chrono_literals;
using testing_support::burrowlightExecutable;
using testing_support::TempDir;

namespace {

const std::string refusalLine = "Burrowlight: askpass refused, not started by Burrowlight through ssh\n";

bool isEmptyFolder(const std::string& path) {
    return std::filesystem::is_directory(path) && std::filesystem::is_empty(path);
}

// A home of its own, so that anything the program writes under it shows.
Environment environmentWithHome(const TempDir& folder) {
    auto environment = testing_support::cleanEnvironment();
    const auto home = folder.file("home");
    std::filesystem::create_directory(home);
    ::chmod(home.c_str(), 0700);
    environment["HOME"] = home;
    for (const char* name :
         {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME", "XDG_RUNTIME_DIR"}) {
        environment[name] = home;
    }
    return environment;
}

bool mapsLibrary(pid_t pid, const std::string& name) {
    const auto maps = readFile("/proc/" + std::to_string(pid) + "/maps");
    return maps && maps->find(name) != std::string::npos;
}

} // namespace

TEST(ExecutableRoles, HelperNotStartedByTheApplicationRefusesAndCreatesNothing) {
    TempDir folder;
    auto environment = environmentWithHome(folder);
    const auto ledger = folder.file("askpass");
    environment["BURROWLIGHT_ASKPASS"] = "1";
    environment["BURROWLIGHT_TUNNEL_ID"] = Uuid::random().toString();
    environment["BURROWLIGHT_TUNNEL_NAME"] = "office";
    environment["BURROWLIGHT_ATTEMPT"] = Uuid::random().toString();
    environment["BURROWLIGHT_STATE_DIR"] = ledger;
    // The check comes before anything of Qt: a platform that can't load would otherwise end the
    // process with an error of its own.
    environment["QT_QPA_PLATFORM"] = "no-such-platform";

    const std::vector<std::vector<std::string>> questions{
        {"Enter passphrase for key '/root/.ssh/id_ed25519': "},
        {"Are you sure you want to continue connecting (yes/no/[fingerprint])? "},
        {"user@host's password: "},
        {},
    };
    for (const auto& arguments : questions) {
        SCOPED_TRACE(arguments.empty() ? "no prompt" : arguments.front());
        const auto joined = runChildProcess({burrowlightExecutable, arguments, environment,
                                             ErrorOutput::joined, std::chrono::milliseconds(60s)});
        ASSERT_TRUE(joined) << joined.error();
        EXPECT_EQ(joined->termination, Termination(Exited{1}));
        EXPECT_EQ(joined->output, refusalLine);

        // Standard output alone stays empty: the line went to standard error.
        const auto outputOnly = runChildProcess({burrowlightExecutable, arguments, environment,
                                                 ErrorOutput::discarded, std::chrono::milliseconds(60s)});
        ASSERT_TRUE(outputOnly) << outputOnly.error();
        EXPECT_EQ(outputOnly->termination, Termination(Exited{1}));
        EXPECT_EQ(outputOnly->output, "");
    }
    EXPECT_FALSE(std::filesystem::exists(ledger)) << "no ledger, no marker";
    EXPECT_TRUE(isEmptyFolder(environment["HOME"])) << "no settings, no keyring item, nothing";
}

TEST(ExecutableRoles, AnyOtherFlagValueStartsTheApplication) {
    for (const std::optional<std::string>& value :
         {std::optional<std::string>("true"), std::optional<std::string>("01"),
          std::optional<std::string>(""), std::optional<std::string>("1 "), std::optional<std::string>()}) {
        SCOPED_TRACE(value ? "BURROWLIGHT_ASKPASS=\"" + *value + "\"" : "no BURROWLIGHT_ASKPASS");
        TempDir folder;
        auto environment = environmentWithHome(folder);
        if (value) {
            environment["BURROWLIGHT_ASKPASS"] = *value;
        }
        environment["QT_QPA_PLATFORM"] = "offscreen";
        auto spawned = spawnChild({burrowlightExecutable,
                                   {"Enter passphrase for key '/root/.ssh/id_ed25519': "},
                                   environment,
                                   true,
                                   ErrorOutput::joined});
        ASSERT_TRUE(spawned) << spawned.error();
        auto& child = *spawned->child;

        // The application makes its window system connection (the offscreen platform here) and
        // then stays in its event loop; the helper would have refused and ended at once.
        const auto giveUp = std::chrono::steady_clock::now() + 60s;
        bool platformLoaded = false;
        while (!child.tryReap() && std::chrono::steady_clock::now() < giveUp) {
            if ((platformLoaded = mapsLibrary(child.pid(), "libqoffscreen"))) {
                break;
            }
            std::this_thread::sleep_for(20ms);
        }
        EXPECT_TRUE(platformLoaded);
        EXPECT_FALSE(child.isReaped()) << "the application ended by itself";

        child.signalGroup(SIGKILL);
        child.waitForExit();
        std::string output;
        char buffer[4096];
        for (ssize_t count; (count = ::read(spawned->output.get(), buffer, sizeof buffer)) > 0;) {
            output.append(buffer, static_cast<size_t>(count));
        }
        EXPECT_EQ(output.find("askpass refused"), std::string::npos) << output;
    }
}
