#pragma once

#include <string>

#include "app/data_files.h"
#include "common/paths.h"
#include "settings/connection_settings.h"
#include "settings/email_account.h"
#include "settings/parameters.h"

namespace dvx {

// Everything start-up loads and the whole run shares: the open data files, the parameters in
// memory, the connection settings, the e-mail account and the facility name. Owned by the
// main window and passed by reference to whoever needs it. Main thread only.
struct Station {
    Paths paths;
    DataFiles files;
    std::string Facility;  // record 1 of the message file, trimmed: heads alarm mail subjects
    ConnectionSettings connection;
    EmailAccount account;
    Parameters parameters;
    DeviceChoice devices;  // handed to the audio components at start-up
};

}  // namespace dvx
