#include "library/spot_dates.h"

#include <cctype>
#include <charconv>
#include <cstdio>

#include "common/record_codec.h"

namespace dvx {
namespace {

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
    constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

// A part of a date: one to `maxDigits` decimal digits and nothing else.
std::optional<int> datePart(std::string_view part, std::size_t maxDigits) {
    if (part.empty() || part.size() > maxDigits ||
        part.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    int value = 0;
    std::from_chars(part.data(), part.data() + part.size(), value);
    return value;
}

}  // namespace

CalendarDate dateOf(const LocalDateTime& time) {
    return CalendarDate{time.year, time.month, time.day};
}

std::string spotDateText(const LocalDateTime& time) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d/%02d/%02d", time.month, time.day, time.year % 100);
    return text;
}

bool isOpenDate(std::string_view field) {
    std::string text = trimBlanks(field);
    for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text.empty() || text == "TFN";
}

std::optional<CalendarDate> readSpotDate(std::string_view field) {
    const std::string text = trimBlanks(field);
    const std::size_t first = text.find_first_of("/-");
    if (first == std::string::npos) {
        return std::nullopt;
    }
    const std::size_t second = text.find(text[first], first + 1);
    if (second == std::string::npos) {
        return std::nullopt;
    }
    const std::string_view all(text);
    const auto month = datePart(all.substr(0, first), 2);
    const auto day = datePart(all.substr(first + 1, second - first - 1), 2);
    const std::string_view yearText = all.substr(second + 1);
    auto year = datePart(yearText, 4);
    if (!month || !day || !year || (yearText.size() != 2 && yearText.size() != 4)) {
        return std::nullopt;
    }
    if (yearText.size() == 2) {
        *year += *year < 30 ? 2000 : 1900;
    }
    if (*month < 1 || *month > 12 || *day < 1 || *day > daysInMonth(*year, *month)) {
        return std::nullopt;
    }
    return CalendarDate{*year, *month, *day};
}

bool withinDates(std::string_view StartDate, std::string_view StopDate, const CalendarDate& today) {
    if (!isOpenDate(StartDate)) {
        const auto start = readSpotDate(StartDate);
        if (!start || *start > today) {
            return false;
        }
    }
    if (!isOpenDate(StopDate)) {
        const auto stop = readSpotDate(StopDate);
        if (!stop || *stop < today) {
            return false;
        }
    }
    return true;
}

}  // namespace dvx
