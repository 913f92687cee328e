#pragma once

#include <optional>
#include <string>

#include "settings/parameter_records.h"
#include "settings/parameters.h"

namespace dvx {

class Paths;

// What the main window takes from the start-up load besides the parameters themselves.
struct StartupLoad {
    DeviceChoice devices;                // for the audio components
    std::string caption;                 // "Dorvexia Alarm Only" or "Dorvexia Alarm/Fill"
    std::optional<std::string> warning;  // for the error window: the file is torn or foreign
    bool firstStart = false;             // the file was empty or missing: nothing saved yet
};

// Start-up: reads every record (kStartupLoadOrder) into `parameters` and the device choice.
// The caption follows AlarmOnly. Throws IoError.
StartupLoad loadParametersAtStartup(ParameterRecords& records, Parameters& parameters);
// The same on DXParams.dat, opened (created empty when missing) and closed around the load. A
// file that is not a whole number of records long is read all the same and left as it is; the
// result's warning says so. Throws IoError.
StartupLoad loadParametersAtStartup(const Paths& paths, Parameters& parameters);

// After the program-lists window has written its share: reads kReloadOrder into `parameters`
// (DeadAirSeconds takes effect here) and returns the main window's caption, as at start-up.
// Throws IoError.
std::string reloadParameters(ParameterRecords& records, Parameters& parameters);
std::string reloadParameters(const Paths& paths, Parameters& parameters);

}  // namespace dvx
