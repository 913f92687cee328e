#include "viewers/log_viewer.h"

#include <gtest/gtest.h>

#include "common/io_error.h"
#include "support/temp_folder.h"

namespace dvx {
namespace {

using Lines = std::vector<std::string>;

TEST(LogViewer, ListsOnlyTheDaysOfItsKindNewestFirst) {
    test::TempFolder folder;
    const auto logs = folder.path() / "Logs";
    EXPECT_EQ(listLogDays(logs, "AL"), Lines{"No Logs"});  // no folder at all

    test::writeFile(logs / "PL051206.log", "x\r\n");
    test::writeFile(logs / "Playlist.txt", "x\r\n");
    EXPECT_EQ(listLogDays(logs, "AL"), Lines{"No Logs"});

    for (const char* name :
         {"AL051205.log", "AL051207.log", "AL041231.log", "AL051206.log.bak", "ALnotes.txt",
          "AL0512.log", "AL05120x.log", "AL0512055.log", "al051208.log", "XAL051208.log"}) {
        test::writeFile(logs / name, "x\r\n");
    }
    std::filesystem::create_directory(logs / "AL051209.log");
    EXPECT_EQ(listLogDays(logs, "AL"), (Lines{"12/07/05", "12/05/05", "12/31/04"}));
    EXPECT_EQ(listLogDays(logs, "PL"), Lines{"12/06/05"});
}

TEST(LogViewer, DayLinesTurnBackIntoTheirFiles) {
    const std::filesystem::path logs = "/data/Logs";
    EXPECT_EQ(logDayPath(logs, "AL", "12/05/05"), logs / "AL051205.log");
    EXPECT_EQ(logDayPath(logs, "AL", "01/31/26"), logs / "AL260131.log");
    for (const char* notADay : {"No Logs", "1/5/05", "12-05-05", "12/05/0x", "12/05/055", ""}) {
        EXPECT_FALSE(logDayPath(logs, "AL", notADay).has_value()) << notADay;
    }
}

TEST(LogViewer, ReadsADayByTimeOrGroupedByEvent) {
    const std::string alarm = "Alarm" + std::string(16, ' ');
    const std::string alarmEnd = "Alarm End" + std::string(12, ' ');
    const std::string jingle = "Jingle" + std::string(19, ' ');  // a spot's 25-character name
    const Lines written = {"09:00:00 " + alarm,
                           "09:00:02 Email--> ops@example.org",
                           "09:00:05 " + jingle,
                           "09:10:00 " + alarmEnd,
                           "10:00:00 " + alarm,
                           "10:00:01 email--> chief@example.org",
                           "10:00:03 Email--> ops@example.org",
                           "11:00:00 Audio"};
    std::string file;
    for (const std::string& line : written) {
        file += line + "\r\n";
    }
    file.resize(file.size() - 2);  // a last line cut short by a crash still counts
    test::TempFolder folder;
    test::writeFile(folder.path() / "AL051205.log", file);

    EXPECT_EQ(readLogDay(folder.path(), "AL", "12/05/05", LogOrder::ByTime), written);

    // One event's lines stand together with their times rising; case does not split "email".
    EXPECT_EQ(
        readLogDay(folder.path(), "AL", "12/05/05", LogOrder::ByEvent),
        (Lines{alarm + " 09:00:00", alarm + " 10:00:00", alarmEnd + " 09:10:00", "Audio 11:00:00",
               "email--> chief@example.org 10:00:01", "Email--> ops@example.org 09:00:02",
               "Email--> ops@example.org 10:00:03", jingle + " 09:00:05"}));
}

TEST(LogViewer, AMissingOrEmptyDayIsOneLine) {
    test::TempFolder folder;
    test::writeFile(folder.path() / "AL051206.log", "");
    for (const char* day : {"12/05/05", "12/06/05"}) {
        for (LogOrder order : {LogOrder::ByTime, LogOrder::ByEvent}) {
            EXPECT_EQ(readLogDay(folder.path(), "AL", day, order),
                      Lines{"Log for " + std::string(day) + " does not exist."});
        }
    }
}

TEST(LogViewer, OkShowsADayAndGoesBackToTheDays) {
    test::TempFolder folder;
    test::writeFile(folder.path() / "AL051205.log", "09:00:00 Alarm\r\n");
    test::writeFile(folder.path() / "AL051206.log", "08:00:00 Audio\r\n");
    LogViewer viewer(folder.path(), "AL");
    viewer.load();
    EXPECT_EQ(viewer.caption(), "Load Logs");
    EXPECT_EQ(viewer.days(), (Lines{"12/06/05", "12/05/05"}));
    EXPECT_FALSE(viewer.showingLines());

    viewer.ok("12/05/05", LogOrder::ByTime);
    EXPECT_TRUE(viewer.showingLines());
    EXPECT_EQ(viewer.lines(), Lines{"09:00:00 Alarm"});

    viewer.ok("12/05/05", LogOrder::ByTime);
    EXPECT_FALSE(viewer.showingLines());
    EXPECT_TRUE(viewer.lines().empty());
    EXPECT_EQ(viewer.caption(), "Select Log");

    viewer.ok("12/06/05", LogOrder::ByEvent);
    EXPECT_EQ(viewer.lines(), Lines{"Audio 08:00:00"});

    // A day file that cannot be read is reported and leaves the day list on show.
    viewer.ok("12/06/05", LogOrder::ByTime);
    std::filesystem::create_directory(folder.path() / "AL051207.log");
    EXPECT_THROW(viewer.ok("12/07/05", LogOrder::ByTime), IoError);
    EXPECT_FALSE(viewer.showingLines());
    EXPECT_TRUE(viewer.lines().empty());
}

}  // namespace
}  // namespace dvx
