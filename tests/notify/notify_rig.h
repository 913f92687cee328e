#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "common/paths.h"
#include "common/simulated_clock.h"
#include "notify/contact_book.h"
#include "sensor/alarm_log.h"
#include "settings/connection_settings.h"
#include "support/temp_folder.h"

namespace dvx::test {

// Keeps every message with the simulated second it was shown at.
class TimedErrorReporter : public ErrorReporter {
  public:
    explicit TimedErrorReporter(const SimulatedClock& clock) : m_clock(clock) {}
    void showError(std::string_view message) override {
        shown.emplace_back(m_clock.elapsedNanoseconds() / 1e9, std::string(message));
    }
    std::vector<std::pair<double, std::string>> shown;

  private:
    const SimulatedClock& m_clock;
};

// A data root, a simulated clock on Monday 7 December 2026 at 10:00, the alarm log and the
// connection settings of a modem on port 3 at 9600 baud.
struct NotifyRig {
    TempFolder folder;
    Paths paths{folder.path()};
    SimulatedClock clock{2026, 12, 7, 10 * 3600.0};
    TimedErrorReporter errors{clock};
    AlarmLog log{paths, clock, errors};
    ConnectionSettings connection{3, "9600", 0};

    NotifyRig() { std::filesystem::create_directories(paths.logsFolder()); }
    std::string todaysLog() const { return fileText(log.dailyFile(2026, 12, 7)); }
    // Today's log lines without their "HH:MM:SS " stamps.
    std::vector<std::string> logEntries() const {
        std::vector<std::string> entries = fileLines(log.dailyFile(2026, 12, 7));
        for (std::string& entry : entries) {
            entry.erase(0, 9);
        }
        return entries;
    }
    double seconds() const { return clock.elapsedNanoseconds() / 1e9; }
};

inline ContactEntry contact(std::string name, std::string contactField, char schedule) {
    ContactEntry entry;
    entry.InUse = kInUse;
    entry.Schedule = schedule;
    entry.Name = std::move(name);
    entry.Contact = std::move(contactField);
    entry.DayOn.fill('0');
    return entry;
}

// Records 1 "Always", 2 "Never" and 3 "Always" of a call list.
inline void writeAlwaysNeverAlways(ContactBook& callList) {
    callList.write(1, contact("Ann", "5551234", kScheduleAlways));
    callList.write(2, contact("Bob", "5550000", kScheduleNever));
    callList.write(3, contact("Cy", "5559876", kScheduleAlways));
}

}  // namespace dvx::test
