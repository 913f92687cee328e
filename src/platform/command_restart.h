#pragma once

#include <sys/types.h>
#include <string>

#include "sensor/system_restart.h"

namespace dvx {

// Restarts the computer with `systemctl reboot` (logind and polkit decide whether this user
// may), or with the command line of DORVEXIA_REBOOT_COMMAND run through /bin/sh -c where
// that is set. The command is started without waiting; it is looked at again on the next
// request, which reports a refusal, and no second request starts while one still runs.
// Main thread only.
class CommandRestart : public SystemRestart {
  public:
    // Reads DORVEXIA_REBOOT_COMMAND now.
    CommandRestart();
    ~CommandRestart() override;
    CommandRestart(const CommandRestart&) = delete;
    CommandRestart& operator=(const CommandRestart&) = delete;

    std::string requestRestart() override;

    // True while the last command started has not ended.
    bool requestRunning();
    const std::string& commandText() const { return m_commandText; }

  private:
    std::string spawn();
    void collectChild();

    std::string m_shellCommand;  // empty: systemctl reboot
    std::string m_commandText;   // the command as messages show it
    pid_t m_child = -1;
    std::string m_refusal;  // how the last command ended, when it failed and was not told
};

}  // namespace dvx
