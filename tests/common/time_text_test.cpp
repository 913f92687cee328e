#include "common/time_text.h"

#include <gtest/gtest.h>

namespace dvx {
namespace {

TEST(TimeText, TheThreeClockForms) {
    EXPECT_EQ(FormatSeconds(0), "00:00");
    EXPECT_EQ(FormatSeconds(75), "01:15");
    EXPECT_EQ(FormatSeconds(3725), " 1:02:05");
    EXPECT_EQ(FormatSeconds(40000), "11:06:40");
    EXPECT_EQ(FormatSeconds(86399), "23:59:59");
    EXPECT_EQ(formatSecondsEmptyHours(75), ":01:15");
    EXPECT_EQ(formatSecondsEmptyHours(3725), "1:02:05");
    EXPECT_EQ(formatMinutes(75), "01:15");
    EXPECT_EQ(formatMinutes(4500), "75:00");
    EXPECT_EQ(formatMinutes(5), "00:05");
}

TEST(TimeText, MinutesAndSecondsTextToSeconds) {
    EXPECT_EQ(ParseMinSec("02:30"), 150);
    EXPECT_EQ(ParseMinSec("0:05"), 5);
    EXPECT_EQ(ParseMinSec(" 59:59 "), 3599);
    EXPECT_FALSE(ParseMinSec("60:00").has_value());
    EXPECT_FALSE(ParseMinSec("02:61").has_value());
    EXPECT_FALSE(ParseMinSec("2:30x").has_value());
    EXPECT_FALSE(ParseMinSec("").has_value());
    // The clock form, hours and all, reads back to what it shows.
    EXPECT_EQ(parseClockSeconds(FormatSeconds(3725)), 3725);
    EXPECT_EQ(parseClockSeconds("0:30"), 30);
    EXPECT_FALSE(parseClockSeconds("1:2:03:04").has_value());
    EXPECT_FALSE(parseClockSeconds("x1:02:05").has_value());
}

TEST(TimeText, TimeOfDayTexts) {
    EXPECT_EQ(parseTimeOfDay("23:59:59"), 23 * 3600 + 59 * 60 + 59);
    EXPECT_EQ(parseTimeOfDay("00:00:00"), 0);
    EXPECT_EQ(parseTimeOfDay("8:05"), 8 * 3600 + 5 * 60);
    EXPECT_EQ(parseTimeOfDay("12:00:00 AM"), 0);
    EXPECT_EQ(parseTimeOfDay("1:30 pm"), 13 * 3600 + 30 * 60);
    EXPECT_FALSE(parseTimeOfDay("24:00:00").has_value());
    EXPECT_FALSE(parseTimeOfDay("noon").has_value());
    EXPECT_FALSE(parseTimeOfDay("13:00 PM").has_value());
    EXPECT_EQ(formatTimeOfDay(28800), "08:00:00");
    EXPECT_EQ(formatTimeOfDay(-1), "23:59:59");
}

TEST(TimeText, RoundingHalvesToEvenAndFixedNotificationForms) {
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(3.5), 4);
    EXPECT_EQ(roundHalfEven(86399.5), 86400);
    EXPECT_EQ(roundHalfEven(-0.5), 0);
    EXPECT_EQ(roundHalfEven(10.49), 10);
    EXPECT_EQ(notificationDate(2005, 12, 5), "12-05-2005");
    EXPECT_EQ(notificationTime(28800.97), "08:00:00");
}

}  // namespace
}  // namespace dvx
