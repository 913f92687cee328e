#include "common/time_text.h"

#include <cctype>
#include <cmath>
#include <cstdio>

namespace dvx {
namespace {

std::string twoDigits(std::int32_t value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d", static_cast<int>(value));
    return buffer;
}

// Reads up to `maxDigits` decimal digits starting at `pos`; nothing when there is none.
std::optional<int> readNumber(std::string_view text, std::size_t& pos, std::size_t maxDigits) {
    const std::size_t start = pos;
    int value = 0;
    while (pos < text.size() && pos - start < maxDigits &&
           std::isdigit(static_cast<unsigned char>(text[pos]))) {
        value = value * 10 + (text[pos] - '0');
        ++pos;
    }
    if (pos == start) {
        return std::nullopt;
    }
    return value;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace

std::string FormatSeconds(std::int32_t seconds) {
    const std::int32_t h = seconds / 3600;
    const std::int32_t m = (seconds % 3600) / 60;
    const std::int32_t s = seconds % 60;
    std::string text;
    if (h != 0) {
        text = (h < 10 ? " " : "") + std::to_string(h) + ":";
    }
    return text + twoDigits(m) + ":" + twoDigits(s);
}

std::string formatSecondsEmptyHours(std::int32_t seconds) {
    const std::int32_t h = seconds / 3600;
    const std::int32_t m = (seconds % 3600) / 60;
    const std::int32_t s = seconds % 60;
    return (h != 0 ? std::to_string(h) : std::string{}) + ":" + twoDigits(m) + ":" + twoDigits(s);
}

std::string formatMinutes(std::int32_t seconds) {
    return twoDigits(seconds / 60) + ":" + twoDigits(seconds % 60);
}

std::optional<std::int32_t> ParseMinSec(std::string_view text) {
    text = trimmed(text);
    std::size_t pos = 0;
    const auto minutes = readNumber(text, pos, 2);
    if (!minutes || pos >= text.size() || text[pos] != ':') {
        return std::nullopt;
    }
    ++pos;
    const auto secs = readNumber(text, pos, 2);
    if (!secs || pos != text.size() || *minutes > 59 || *secs > 59) {
        return std::nullopt;
    }
    return *minutes * 60 + *secs;
}

std::optional<std::int32_t> parseClockSeconds(std::string_view text) {
    text = trimmed(text);
    const std::size_t first = text.find(':');
    if (first == std::string_view::npos || text.find(':', first + 1) == std::string_view::npos) {
        return ParseMinSec(text);
    }
    std::size_t pos = 0;
    const auto hours = readNumber(text, pos, 4);
    const auto rest = ParseMinSec(text.substr(first + 1));
    if (!hours || pos != first || !rest) {
        return std::nullopt;
    }
    return *hours * 3600 + *rest;
}

std::optional<std::int32_t> parseTimeOfDay(std::string_view text) {
    text = trimmed(text);
    std::size_t pos = 0;
    auto hours = readNumber(text, pos, 2);
    if (!hours || pos >= text.size() || text[pos] != ':') {
        return std::nullopt;
    }
    ++pos;
    const auto minutes = readNumber(text, pos, 2);
    if (!minutes) {
        return std::nullopt;
    }
    int secs = 0;
    if (pos < text.size() && text[pos] == ':') {
        ++pos;
        const auto s = readNumber(text, pos, 2);
        if (!s) {
            return std::nullopt;
        }
        secs = *s;
    }
    std::string_view rest = trimmed(text.substr(pos));
    if (!rest.empty()) {
        std::string suffix;
        for (char c : rest) {
            suffix += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
        if ((suffix != "AM" && suffix != "PM") || *hours < 1 || *hours > 12) {
            return std::nullopt;
        }
        *hours = (*hours % 12) + (suffix == "PM" ? 12 : 0);
    }
    if (*hours > 23 || *minutes > 59 || secs > 59) {
        return std::nullopt;
    }
    return *hours * 3600 + *minutes * 60 + secs;
}

std::string formatTimeOfDay(std::int32_t seconds) {
    seconds %= 86400;
    if (seconds < 0) {
        seconds += 86400;
    }
    return twoDigits(seconds / 3600) + ":" + twoDigits((seconds % 3600) / 60) + ":" +
           twoDigits(seconds % 60);
}

std::int32_t roundHalfEven(double value) {
    return static_cast<std::int32_t>(std::nearbyint(value));  // default mode: to nearest, ties even
}

std::string notificationDate(int year, int month, int day) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02d-%02d-%04d", month, day, year);
    return buffer;
}

std::string notificationTime(double secondsOfDay) {
    return formatTimeOfDay(static_cast<std::int32_t>(std::floor(secondsOfDay)));
}

}  // namespace dvx
