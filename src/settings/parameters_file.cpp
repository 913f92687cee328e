#include "settings/parameters_file.h"

#include "settings/parameter_orders.h"

namespace dvx {

StartupLoad loadParametersAtStartup(ParameterRecords& records, Parameters& parameters) {
    StartupLoad result;
    for (const int record : kStartupLoadOrder) {
        const std::int32_t value = records.read(record);
        if (!applyDeviceRecord(result.devices, record, value)) {
            applyStoredValue(parameters, record, value);
        }
    }
    result.caption = mainCaption(parameters.AlarmOnly);
    return result;
}

StartupLoad loadParametersAtStartup(const Paths& paths, Parameters& parameters) {
    ParameterFile file(paths);
    StartupLoad result = loadParametersAtStartup(file, parameters);
    result.warning = file.lengthWarning();
    result.firstStart = file.isEmpty();
    return result;
}

std::string reloadParameters(ParameterRecords& records, Parameters& parameters) {
    for (const int record : kReloadOrder) {
        applyStoredValue(parameters, record, records.read(record));
    }
    return mainCaption(parameters.AlarmOnly);
}

std::string reloadParameters(const Paths& paths, Parameters& parameters) {
    ParameterFile file(paths);
    return reloadParameters(file, parameters);
}

}  // namespace dvx
