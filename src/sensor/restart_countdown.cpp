#include "sensor/restart_countdown.h"

#include <string>

#include "sensor/alarm_log.h"
#include "sensor/system_restart.h"
#include "viewers/error_reporter.h"

namespace dvx {
namespace {

constexpr int kRebootIntervalMs = 5000;
constexpr const char* kRebootLine = "Reboot            ";

}  // namespace

RestartCountdown::RestartCountdown(Clock& clock, AlarmLog& log, SystemRestart& restart,
                                   ErrorReporter& errors)
    : m_log(log), m_restart(restart), m_errors(errors) {
    m_tmrReboot = clock.createTimer("tmrReboot", kRebootIntervalMs, [this] { onTick(); });
}

RestartCountdown::~RestartCountdown() = default;

void RestartCountdown::start() {
    if (!m_tmrReboot->isEnabled()) {
        m_failureShown = false;
    }
    m_tmrReboot->setEnabled(true);
}

void RestartCountdown::onTick() {
    // The line is in the file before the restart is asked for. Where its sync runs in the
    // background, the orderly shutdown still gets it to disk: the run ends on the service
    // manager's SIGTERM waiting for its syncs, and the system syncs before it restarts.
    m_log.WriteAlarmLog(kRebootLine);
    const std::string failure = m_restart.requestRestart();
    if (!failure.empty() && !m_failureShown) {
        m_failureShown = true;
        m_errors.showError("The computer did not restart: " + failure +
                           "  The program asks again every 5 seconds.");
    }
}

}  // namespace dvx
