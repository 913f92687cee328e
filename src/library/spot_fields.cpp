#include "library/spot_fields.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <limits>

#include "common/record_codec.h"
#include "common/time_text.h"

namespace dvx {
namespace {

// The widths of the fields the boxes write, in the order of SpotBox.
constexpr std::size_t kFieldWidths[kSpotBoxCount] = {25, 3, 25, 5, 5, 8, 8, 8, 1};

std::string cut(std::string text, std::size_t width) {
    text.resize(std::min(width, text.size()));
    return text;
}

}  // namespace

std::string upperCase(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

StoredField storedFieldValue(SpotBox box, std::string_view text) {
    std::string value(text);
    switch (box) {
        case SpotBox::Name:
            value = upperCase(value);
            break;
        case SpotBox::Length:
        case SpotBox::EOM: {
            const auto seconds = ParseMinSec(text);
            if (!seconds) {
                return {};
            }
            value = std::to_string(*seconds);
            break;
        }
        case SpotBox::StartDate:
        case SpotBox::StopDate: {
            const auto date = storedDateText(text);
            if (!date) {
                return {std::nullopt, true};
            }
            value = *date;
            break;
        }
        case SpotBox::RecordDate:
            return {};
        default:
            break;
    }
    return {cut(value, kFieldWidths[static_cast<std::size_t>(box)])};
}

void setField(SpotRecord& record, SpotBox box, const std::string& value) {
    switch (box) {
        case SpotBox::Name:
            record.Name = value;
            break;
        case SpotBox::Talent:
            record.Talent = value;
            break;
        case SpotBox::Outcue:
            record.Outcue = value;
            break;
        case SpotBox::Length:
            record.Length = value;
            break;
        case SpotBox::EOM:
            record.EOM = value;
            break;
        case SpotBox::StartDate:
            record.StartDate = value;
            break;
        case SpotBox::StopDate:
            record.StopDate = value;
            break;
        case SpotBox::RecordDate:
            record.RecordDate = value;
            break;
        case SpotBox::SpotCat:
            record.SpotCat = value.empty() ? ' ' : value[0];
            break;
    }
}

std::optional<std::string> storedDateText(std::string_view typed) {
    const std::string text = upperCase(trimBlanks(typed));
    if (const auto date = readSpotDate(text)) {
        return spotDateText(*date, text[text.find_first_of("/-")]);
    }
    return cut(text, 8);
}

std::optional<std::string> spotDateText(const CalendarDate& date, char separator) {
    if (date.year < 1930 || date.year > 2029) {
        return std::nullopt;  // two digits would read back as another century
    }
    char text[16];
    std::snprintf(text, sizeof text, "%02d%c%02d%c%02d", date.month, separator, date.day, separator,
                  date.year % 100);
    return std::string(text);
}

CalendarDate addDays(const CalendarDate& date, int days) {
    using namespace std::chrono;
    const year_month_day moved{sys_days{year{date.year} / month{static_cast<unsigned>(date.month)} /
                                        day{static_cast<unsigned>(date.day)}} +
                               std::chrono::days{days}};
    return CalendarDate{static_cast<int>(moved.year()), static_cast<int>(unsigned(moved.month())),
                        static_cast<int>(unsigned(moved.day()))};
}

std::string timeRemainingText(std::uintmax_t freeBytes, int RecMode) {
    const double bytesPerSecond = RecMode == 0 ? 88200.0 : 176400.0;
    const double seconds = std::min(static_cast<double>(freeBytes) / bytesPerSecond,
                                    static_cast<double>(std::numeric_limits<std::int32_t>::max()));
    return "Time remaining: " + formatSecondsEmptyHours(roundHalfEven(seconds));
}

}  // namespace dvx
