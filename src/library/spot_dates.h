#pragma once

#include <compare>
#include <optional>
#include <string>
#include <string_view>

#include "common/clock.h"

namespace dvx {

// A calendar day, ordered by time.
struct CalendarDate {
    int year = 2000;
    int month = 1;
    int day = 1;
    auto operator<=>(const CalendarDate&) const = default;
};

CalendarDate dateOf(const LocalDateTime& time);

// The day as recording and import write it into a spot's dates: "MM/DD/YY".
std::string spotDateText(const LocalDateTime& time);

// A start or stop date of a spot is open (no limit on that side) when, trimmed and in upper
// case, it is empty or "TFN".
bool isOpenDate(std::string_view field);

// A date field as month, day and year separated by "/" or "-" ("12/05/26", "12-05-26"); a
// two-digit year 00..29 is 2000..2029 and 30..99 is 1930..1999, four digits are taken as they
// are. Nothing when the text is not a date of the calendar.
std::optional<CalendarDate> readSpotDate(std::string_view field);

// Whether a spot may run on `today`: its start date is open or not after today, and its stop
// date is open or not before today. A date that cannot be read keeps the spot out.
bool withinDates(std::string_view StartDate, std::string_view StopDate, const CalendarDate& today);

}  // namespace dvx
