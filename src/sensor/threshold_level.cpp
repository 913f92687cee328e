#include "sensor/threshold_level.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace dvx {
namespace {

constexpr double kFullScale = 32768.0;
constexpr const char* kMinus = "\u2212";

}  // namespace

double thresholdDbfs(int threshold) {
    if (threshold <= 0) {
        return -std::numeric_limits<double>::infinity();
    }
    return 20.0 * std::log10(threshold / kFullScale);
}

std::string thresholdDbfsText(int threshold) {
    const double level = thresholdDbfs(threshold);
    if (std::isinf(level)) {
        return std::string(kMinus) + "\u221e dBFS";
    }
    char digits[16];
    // The magnitude, so that a level just below full scale reads 0 rather than -0.
    std::snprintf(digits, sizeof digits, "%.0f", std::fabs(level));
    const bool negative = std::string(digits) != "0" && level < 0;
    return (negative ? std::string(kMinus) : std::string()) + digits + " dBFS";
}

}  // namespace dvx
