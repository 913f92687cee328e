#include "sensor/alarm_log.h"

#include <cmath>
#include <cstdio>

#include "common/io_error.h"
#include "common/text_file.h"
#include "common/time_text.h"

namespace dvx {

AlarmLog::AlarmLog(const Paths& paths, const Clock& clock, ErrorReporter& errors, DiskSync* sync)
    : m_paths(paths), m_clock(clock), m_errors(errors), m_sync(sync) {}

std::filesystem::path AlarmLog::dailyFile(int year, int month, int day) const {
    char name[32];
    std::snprintf(name, sizeof name, "AL%02d%02d%02d.log", year % 100, month, day);
    return m_paths.resolve(std::string("c:\\Dorvex\\Logs\\") + name);
}

void AlarmLog::WriteAlarmLog(std::string_view LogText) {
    const LocalDateTime now = m_clock.now();
    append(dailyFile(now.year, now.month, now.day), now.secondsOfDay, LogText);
}

void AlarmLog::WritePlaylistLog(std::string_view LogText) {
    append(m_paths.resolve("c:\\Dorvex\\Logs\\Playlist.txt"), m_clock.now().secondsOfDay, LogText);
}

void AlarmLog::append(const std::filesystem::path& file, double secondsOfDay,
                      std::string_view text) {
    const std::string line = formatTimeOfDay(static_cast<std::int32_t>(std::floor(secondsOfDay))) +
                             " " + std::string(text);
    try {
        appendTextLine(file, line, m_sync);
    } catch (const IoError& error) {
        m_errors.showError(std::to_string(error.errorNumber()) + " " + error.what());
    }
}

}  // namespace dvx
