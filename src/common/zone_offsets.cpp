#include "common/zone_offsets.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <optional>
#include <stdexcept>

namespace dvx {
namespace {

// Changes of the clock lie months apart; a step shorter than any gap between two of them
// finds every one, and a bisection finds its second.
constexpr std::int64_t kScanStepSeconds = 3 * 3600;

std::int32_t libraryOffset(std::int64_t utcSecond) {
    const auto seconds = static_cast<std::time_t>(utcSecond);
    std::tm local{};
    localtime_r(&seconds, &local);
    return static_cast<std::int32_t>(local.tm_gmtoff);
}

// TZ set to one zone for the life of the object, then as it was.
class ZoneInEnvironment {
  public:
    explicit ZoneInEnvironment(const std::string& timeZone) {
        if (const char* old = std::getenv("TZ")) {
            m_saved = old;
        }
        setenv("TZ", timeZone.c_str(), 1);
        tzset();
    }
    ~ZoneInEnvironment() {
        if (m_saved) {
            setenv("TZ", m_saved->c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }
    ZoneInEnvironment(const ZoneInEnvironment&) = delete;
    ZoneInEnvironment& operator=(const ZoneInEnvironment&) = delete;

  private:
    std::optional<std::string> m_saved;
};

void requireKnownZone(const std::string& timeZone) {
    // The C library takes an unknown name for UTC without a word: look for the zone's file.
    const char* dir = std::getenv("TZDIR");
    const std::filesystem::path folder =
        dir != nullptr && *dir != '\0' ? dir : "/usr/share/zoneinfo";
    if (timeZone.empty() || timeZone.front() == '/' || timeZone.find("..") != std::string::npos ||
        !std::filesystem::is_regular_file(folder / timeZone)) {
        throw std::invalid_argument("Unknown time zone: " + timeZone);
    }
}

}  // namespace

ZoneOffsets::ZoneOffsets(const std::string& timeZone, std::int64_t fromUtc, std::int64_t toUtc) {
    requireKnownZone(timeZone);
    const ZoneInEnvironment zone(timeZone);
    m_changes.push_back({fromUtc, libraryOffset(fromUtc)});
    for (std::int64_t start = fromUtc; start < toUtc; start += kScanStepSeconds) {
        std::int64_t before = start;
        std::int64_t after = std::min(start + kScanStepSeconds, toUtc);
        if (libraryOffset(after) == m_changes.back().offset) {
            continue;
        }
        while (after - before > 1) {
            const std::int64_t middle = before + (after - before) / 2;
            (libraryOffset(middle) == m_changes.back().offset ? before : after) = middle;
        }
        m_changes.push_back({after, libraryOffset(after)});
    }
}

std::int32_t ZoneOffsets::offsetAt(std::int64_t utcSecond) const {
    if (m_changes.empty()) {
        return 0;
    }
    const auto next = std::upper_bound(
        m_changes.begin(), m_changes.end(), utcSecond,
        [](std::int64_t second, const Change& change) { return second < change.fromUtc; });
    return next == m_changes.begin() ? m_changes.front().offset : std::prev(next)->offset;
}

std::int64_t ZoneOffsets::utcOf(std::int64_t localSecond) const {
    std::optional<std::int64_t> earliest;
    for (const Change& change : m_changes) {
        const std::int64_t candidate = localSecond - change.offset;
        if (offsetAt(candidate) == change.offset && (!earliest || candidate < *earliest)) {
            earliest = candidate;
        }
    }
    if (earliest) {
        return *earliest;
    }
    // Skipped by a clock set forward: the moment of that jump.
    for (std::size_t i = 1; i < m_changes.size(); ++i) {
        const Change& change = m_changes[i];
        if (localSecond >= change.fromUtc + m_changes[i - 1].offset &&
            localSecond < change.fromUtc + change.offset) {
            return change.fromUtc;
        }
    }
    return localSecond - offsetAt(localSecond);
}

}  // namespace dvx
