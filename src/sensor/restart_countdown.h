#pragma once

#include <memory>

#include "common/clock.h"

namespace dvx {

class AlarmLog;
class ErrorReporter;
class SystemRestart;

// The restart countdown (`tmrReboot`, 5 s). Once started it logs "Reboot" and asks for a
// restart every 5 seconds until the computer goes down: neither sound returning nor disarming
// stops it. A request that fails is shown once per countdown. Main thread only.
class RestartCountdown {
  public:
    RestartCountdown(Clock& clock, AlarmLog& log, SystemRestart& restart, ErrorReporter& errors);
    ~RestartCountdown();

    // Starts the countdown; a countdown already running goes on unchanged.
    void start();

    Timer& tmrReboot() { return *m_tmrReboot; }

  private:
    void onTick();

    AlarmLog& m_log;
    SystemRestart& m_restart;
    ErrorReporter& m_errors;
    std::unique_ptr<Timer> m_tmrReboot;
    bool m_failureShown = false;
};

}  // namespace dvx
