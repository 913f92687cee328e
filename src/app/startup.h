#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/station.h"

namespace dvx {

// Start-up could not make its folders or open its files; the program cannot run.
class StartupError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct StartupResult {
    std::unique_ptr<Station> station;
    std::string caption;                // "Dorvexia Alarm/Fill" or "Dorvexia Alarm Only"
    std::vector<std::string> messages;  // for the error window, in the order they arose
    bool firstStart = false;  // no parameters saved yet: Preferences proposes the first ones
};

// Start-up, in order: the five folders (created when missing), the connection settings, the
// e-mail account, the ten data files with the facility name, and the parameters. The data files
// make their writes durable through `sync` where given. Arming with AutoRun is the caller's last
// step. Throws StartupError with a message naming what failed; a failure overwrites nothing
// that was on disk.
StartupResult runStartup(const Paths& paths, DiskSync* sync = nullptr);

// Makes sure the five folders exist, in start-up order. Throws StartupError.
void ensureFolders(const Paths& paths);

}  // namespace dvx
