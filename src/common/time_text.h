#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace dvx {

// Clock form: "mm:ss" below an hour, else hours, ":" and "mm:ss", the hours padded with one
// blank below 10. 75 -> "01:15", 3725 -> " 1:02:05", 40000 -> "11:06:40".
std::string FormatSeconds(std::int32_t seconds);

// Clock form with empty hours: hours without padding (nothing for none), ":", "mm:ss".
// 75 -> ":01:15", 3725 -> "1:02:05".
std::string formatSecondsEmptyHours(std::int32_t seconds);

// Minutes form: whole minutes with at least two digits, ":", seconds. 75 -> "01:15",
// 4500 -> "75:00".
std::string formatMinutes(std::int32_t seconds);

// "mm:ss" (read as the time of day "00:mm:ss") to seconds: "02:30" -> 150. Nothing when the
// text is not such a time (minutes or seconds above 59, stray characters).
std::optional<std::int32_t> ParseMinSec(std::string_view text);

// Clock form back to seconds: "mm:ss" or "h:mm:ss" (blanks around it allowed): "0:30" -> 30,
// " 1:02:05" -> 3725. Nothing when the text is neither.
std::optional<std::int32_t> parseClockSeconds(std::string_view text);

// A time of day typed as "h:mm[:ss]" or "h:mm[:ss] AM/PM" to seconds since midnight; nothing
// when it is not a time of day.
std::optional<std::int32_t> parseTimeOfDay(std::string_view text);
// Seconds since midnight as "HH:MM:SS" (24-hour); values outside a day wrap into it.
std::string formatTimeOfDay(std::int32_t seconds);

// Rounds to the nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
std::int32_t roundHalfEven(double value);

// The fixed forms of dates and times inside notification texts: "MM-DD-YYYY" and "HH:MM:SS".
std::string notificationDate(int year, int month, int day);
std::string notificationTime(double secondsOfDay);

}  // namespace dvx
