#include "sensor/alarm_log.h"

#include <gtest/gtest.h>

#include "common/simulated_clock.h"
#include "support/file_size_limit.h"
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

// A disk that fills part-way through a line, and a logs folder that is missing or is a plain
// file: each line that cannot be written is reported and leaves no trace; the lines before it
// stay, and the next one goes on a line of its own once the log can be written again.
TEST(AlarmLog, ALineThatCannotBeWrittenIsReportedAndSpoilsNoOtherLine) {
    test::TempFolder root;
    Paths paths(root.path());
    SimulatedClock clock(2026, 1, 1, 0);
    test::RecordingErrorReporter errors;
    AlarmLog log(paths, clock, errors);
    log.WriteAlarmLog("Alarm");
    ASSERT_EQ(errors.messages.size(), 1u);
    EXPECT_EQ(errors.messages[0].rfind("2 Cannot open", 0), 0u) << errors.messages[0];

    test::writeFile(paths.logsFolder(), "a plain file");
    log.WritePlaylistLog("Spot one");
    ASSERT_EQ(errors.messages.size(), 2u);
    EXPECT_NE(errors.messages[1].find("Not a directory"), std::string::npos) << errors.messages[1];

    std::filesystem::remove(paths.logsFolder());
    std::filesystem::create_directories(paths.logsFolder());
    log.WriteAlarmLog("Alarm");  // 16 bytes
    {
        test::FileSizeLimit diskFull(24);
        log.WriteAlarmLog("Audio device lost: Virtual Feed");
    }
    ASSERT_EQ(errors.messages.size(), 3u);
    EXPECT_NE(errors.messages[2].find("AL260101.log"), std::string::npos) << errors.messages[2];
    log.WriteAlarmLog("Alarm End");
    EXPECT_EQ(test::fileText(log.dailyFile(2026, 1, 1)),
              "00:00:00 Alarm\r\n00:00:00 Alarm End\r\n");
}

}  // namespace
}  // namespace dvx
