#include "platform/command_restart.h"

#include <gtest/gtest.h>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>

#include "common/simulated_clock.h"
#include "sensor/alarm_log.h"
#include "sensor/restart_countdown.h"
#include "support/temp_folder.h"

namespace dvx {
namespace {

// The restart command as DORVEXIA_REBOOT_COMMAND names it while the object is made.
std::unique_ptr<CommandRestart> restartRunning(const std::string& command) {
    setenv("DORVEXIA_REBOOT_COMMAND", command.c_str(), 1);
    auto restart = std::make_unique<CommandRestart>();
    unsetenv("DORVEXIA_REBOOT_COMMAND");
    return restart;
}

bool waitForEnd(CommandRestart& restart) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (restart.requestRunning()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

TEST(CommandRestart, ARefusedRestartIsLoggedAndAskedForAgainEveryFiveSecondsAndShownOnce) {
    test::TempFolder root;
    Paths paths(root.path());
    std::filesystem::create_directories(paths.logsFolder());
    SimulatedClock clock(2026, 1, 5, 3600);
    test::RecordingErrorReporter errors;
    AlarmLog log(paths, clock, errors);

    // The script notes each call and refuses.
    const std::filesystem::path calls = root.path() / "calls.txt";
    const std::filesystem::path script = root.path() / "reboot.sh";
    test::writeFile(script, "#!/bin/sh\necho called >> '" + calls.string() + "'\nexit 1\n");
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    auto restart = restartRunning(script.string());
    RestartCountdown countdown(clock, log, *restart, errors);

    countdown.start();
    clock.advanceSeconds(2.5);
    countdown.start();  // asked for again: the countdown already running goes on
    for (int tick = 1; tick <= 3; ++tick) {
        clock.advanceSeconds(tick == 1 ? 2.5 : 5);
        ASSERT_TRUE(waitForEnd(*restart));
    }

    EXPECT_EQ(test::fileText(calls), "called\ncalled\ncalled\n");
    EXPECT_EQ(test::fileText(log.dailyFile(2026, 1, 5)),
              "01:00:05 Reboot            \r\n01:00:10 Reboot            \r\n"
              "01:00:15 Reboot            \r\n");
    EXPECT_TRUE(countdown.tmrReboot().isEnabled());
    ASSERT_EQ(errors.messages.size(), 1u);
    EXPECT_EQ(errors.messages[0],
              "The computer did not restart: \"" + script.string() +
                  "\" was refused (exit status 1).  The program asks again every 5 seconds.");
}

TEST(CommandRestart, ACommandThatCannotRunIsToldOnTheNextRequest) {
    test::TempFolder root;
    auto restart = restartRunning((root.path() / "missing").string());
    EXPECT_EQ(restart->requestRestart(), "");
    ASSERT_TRUE(waitForEnd(*restart));
    const std::string failure = restart->requestRestart();
    EXPECT_NE(failure.find("could not be run (exit status 127)"), std::string::npos) << failure;
    ASSERT_TRUE(waitForEnd(*restart));
}

}  // namespace
}  // namespace dvx
