// DXParams.dat as start-up, the program-lists reload and the Preferences window read it.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "fuzz_files.h"
#include "settings/email_account.h"
#include "settings/parameter_records.h"
#include "settings/parameters_file.h"
#include "settings/preferences_form.h"
#include "settings/program_list_records.h"
#include "settings/smtp_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace dvx;
    const Paths& paths = fuzz::dataRoot();
    fuzz::putFile("c:\\Dorvex\\DXParams.dat", {data, size});
    Parameters parameters;
    const StartupLoad load = loadParametersAtStartup(paths, parameters);
    reloadParameters(paths, parameters);

    ParameterFile file(paths);
    const ProgramListRecords lists = readProgramListRecords(file);
    for (const std::int32_t event : lists.ProgramEvent) {
        programEventText(event);
    }
    EmailAccount account;
    PreferencesForm form(paths, parameters, account, [] {});
    form.open(std::make_unique<ParameterFile>(paths), {"Out A", "Out B"}, {"In A"}, SmtpSettings{},
              load.firstStart);
    return 0;
}
