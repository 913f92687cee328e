#include "library/catalogue_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "common/time_text.h"

namespace dvx {

double numericValue(std::string_view text) {
    std::string compact;
    for (const char c : text) {
        if (c == '\0') {
            break;  // the rest of a never-written field
        }
        if (c != ' ' && c != '\t') {
            compact.push_back(c);
        }
    }
    std::size_t pos = 0;
    double sign = 1.0;
    if (pos < compact.size() && (compact[pos] == '+' || compact[pos] == '-')) {
        sign = compact[pos] == '-' ? -1.0 : 1.0;
        ++pos;
    }
    double value = 0.0;
    for (; pos < compact.size() && compact[pos] >= '0' && compact[pos] <= '9'; ++pos) {
        value = value * 10.0 + (compact[pos] - '0');
    }
    if (pos < compact.size() && compact[pos] == '.') {
        double scale = 0.1;
        for (++pos; pos < compact.size() && compact[pos] >= '0' && compact[pos] <= '9'; ++pos) {
            value += (compact[pos] - '0') * scale;
            scale /= 10.0;
        }
    }
    return sign * value;
}

std::int32_t wholeSecondsValue(std::string_view text) {
    constexpr double kLimit = std::numeric_limits<std::int32_t>::max();
    return roundHalfEven(std::clamp(numericValue(text), -kLimit, kLimit));
}

int typedNumber(std::string_view text) {
    const double value = numericValue(text);
    return value < 0 || value > 1e6 ? 0 : roundHalfEven(value);
}

std::string zeroPadded(int number, int width) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%0*d", width, number);
    return buffer;
}

std::string shownText(std::string_view stored) {
    std::string text(stored);
    std::replace(text.begin(), text.end(), '\0', ' ');
    return text;
}

}  // namespace dvx
