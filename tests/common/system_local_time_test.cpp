// The program's wall clock reads the zone once a second and works out the date itself.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <string>
#include <thread>

#include "common/system_clock.h"

namespace dvx {
namespace {

// Zones east and west of Greenwich, with half and three-quarter hours, and one whose local
// date is usually a day ahead of UTC's: the local time must match the C library's.
TEST(SystemLocalTime, MatchesTheCLibraryInZonesEastAndWestOfGreenwich) {
    const char* saved = std::getenv("TZ");
    const std::string savedZone = saved != nullptr ? saved : "";
    for (const char* zone : {"UTC0", "<+0545>-5:45", "<-0330>3:30", "<+14>-14", "<-12>12"}) {
        setenv("TZ", zone, 1);
        tzset();
        // The offset is kept for the second it was read in: start afresh in the next one.
        const std::time_t start = std::time(nullptr);
        while (std::time(nullptr) == start) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        const LocalDateTime ours = systemLocalTime();
        const std::time_t seconds = std::time(nullptr);
        std::tm theirs{};
        localtime_r(&seconds, &theirs);
        SCOPED_TRACE(zone);
        EXPECT_EQ(ours.year, theirs.tm_year + 1900);
        EXPECT_EQ(ours.month, theirs.tm_mon + 1);
        EXPECT_EQ(ours.day, theirs.tm_mday);
        EXPECT_EQ(ours.weekday, theirs.tm_wday + 1);
        const int theirSecond = theirs.tm_hour * 3600 + theirs.tm_min * 60 + theirs.tm_sec;
        EXPECT_NEAR(ours.secondsOfDay, theirSecond, 1.0);
    }
    if (saved != nullptr) {
        setenv("TZ", savedZone.c_str(), 1);
    } else {
        unsetenv("TZ");
    }
    tzset();
}

}  // namespace
}  // namespace dvx
