#include "sensor/alarm_log.h"

#include <gtest/gtest.h>

#include "common/simulated_clock.h"
#include "support/temp_folder.h"

namespace dvx {
namespace {

TEST(AlarmLog, LinesGoToTheFileOfTheirDayWithTrailingBlanksKept) {
    test::TempFolder root;
    Paths paths(root.path());
    std::filesystem::create_directories(paths.logsFolder());
    SimulatedClock clock(2005, 12, 5, 86399.2);
    test::RecordingErrorReporter errors;
    AlarmLog log(paths, clock, errors);

    log.WriteAlarmLog("Alarm                ");
    log.WriteAlarmLog("Audio");
    clock.advanceSeconds(1);
    log.WriteAlarmLog("Alarm End            ");
    log.WritePlaylistLog("Spot one");

    EXPECT_EQ(test::fileText(root.path() / "c/Dorvex/Logs/AL051205.log"),
              "23:59:59 Alarm                \r\n23:59:59 Audio\r\n");
    EXPECT_EQ(test::fileText(root.path() / "c/Dorvex/Logs/AL051206.log"),
              "00:00:00 Alarm End            \r\n");
    EXPECT_EQ(test::fileText(root.path() / "c/Dorvex/Logs/Playlist.txt"), "00:00:00 Spot one\r\n");
    EXPECT_TRUE(errors.messages.empty());
}

TEST(AlarmLog, AMissingLogsFolderIsReportedAndTheCallerGoesOn) {
    test::TempFolder root;
    Paths paths(root.path());
    SimulatedClock clock(2026, 1, 1, 0);
    test::RecordingErrorReporter errors;
    AlarmLog log(paths, clock, errors);
    log.WriteAlarmLog("Alarm");
    ASSERT_EQ(errors.messages.size(), 1u);
    EXPECT_EQ(errors.messages[0].rfind("2 Cannot open", 0), 0u) << errors.messages[0];
}

}  // namespace
}  // namespace dvx
