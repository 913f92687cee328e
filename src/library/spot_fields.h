#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "library/spot_catalogue.h"
#include "library/spot_dates.h"

namespace dvx {

// The edit boxes of the spot files window, in the order of its focus chain.
enum class SpotBox { Name, Talent, Outcue, Length, EOM, StartDate, StopDate, RecordDate, SpotCat };
inline constexpr std::size_t kSpotBoxCount = 9;

// What a box's text stores in its field when the user edits it.
struct StoredField {
    std::optional<std::string> value;  // nothing: the field stays as it is
    bool yearRefused = false;          // a date whose year two digits cannot hold
};

// The rules of the boxes: the name in upper case; talent, outcue and category as typed; each
// cut to its field. Length and EOM read as "mm:ss" and stored as seconds (a text that is not
// such a time, as while it is typed, stores nothing). Start and stop dates as
// storedDateText says. The record date stores nothing.
StoredField storedFieldValue(SpotBox box, std::string_view text);

// Sets the box's field in `record`; the category takes the first character, blank for none.
void setField(SpotRecord& record, SpotBox box, const std::string& value);

// The text a date box stores: in upper case and trimmed; a date is stored as two-digit
// month, day and year with the separator typed ("12/25/2026" -> "12/25/26"); any other text
// is cut to 8. Nothing for a date whose year two digits cannot hold (outside 1930..2029).
std::optional<std::string> storedDateText(std::string_view typed);

// "MM/DD/YY" or "MM-DD-YY"; nothing outside 1930..2029.
std::optional<std::string> spotDateText(const CalendarDate& date, char separator);

// The day `days` days after `date` (before, for a negative count).
CalendarDate addDays(const CalendarDate& date, int days);

// "Time remaining: " and the recording time that `freeBytes` hold at 176400 bytes a second
// (stereo, `RecMode` 1) or 88200 (mono, 0), in the clock form with empty hours.
std::string timeRemainingText(std::uintmax_t freeBytes, int RecMode);

// The text in upper case (ASCII letters).
std::string upperCase(std::string text);

}  // namespace dvx
