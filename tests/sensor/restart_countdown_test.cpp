#include "sensor/restart_countdown.h"

#include <gtest/gtest.h>

#include "common/simulated_clock.h"
#include "sensor/alarm_log.h"
#include "sensor/system_restart.h"
#include "support/temp_folder.h"

namespace dvx {
namespace {

// Notes what the alarm log held at each request; the system may go down at once.
class LogWatchingRestart : public SystemRestart {
  public:
    explicit LogWatchingRestart(std::filesystem::path log) : m_log(std::move(log)) {}
    std::string requestRestart() override {
        logAtRequest.push_back(std::filesystem::exists(m_log) ? test::fileText(m_log) : "");
        return "";
    }
    std::vector<std::string> logAtRequest;

  private:
    std::filesystem::path m_log;
};

TEST(RestartCountdown, TheRebootLineIsOnDiskBeforeTheRestartIsAskedFor) {
    test::TempFolder root;
    Paths paths(root.path());
    std::filesystem::create_directories(paths.logsFolder());
    SimulatedClock clock(2026, 1, 5, 3600);
    test::RecordingErrorReporter errors;
    AlarmLog log(paths, clock, errors);
    LogWatchingRestart restart(log.dailyFile(2026, 1, 5));
    RestartCountdown countdown(clock, log, restart, errors);

    countdown.start();
    clock.advanceSeconds(5);
    EXPECT_EQ(restart.logAtRequest, std::vector<std::string>{"01:00:05 Reboot            \r\n"});
    EXPECT_TRUE(errors.messages.empty());
}

}  // namespace
}  // namespace dvx
