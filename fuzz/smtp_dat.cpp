// Smtp.dat, the mail server and sender, as the mailer and the Preferences window read it.
#include <cstddef>
#include <cstdint>

#include "fuzz_files.h"
#include "settings/smtp_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace dvx;
    const Paths& paths = fuzz::dataRoot();
    fuzz::putFile("c:\\Program Files\\Dorvex\\Smtp.dat", {data, size});
    const SmtpLoad stored = readStoredSmtpSettings(paths);
    smtpSettingsProblem(stored.settings);
    withoutCredentials(stored.settings.ServerUrl);
    const SmtpLoad load = loadSmtpSettings(paths, "station@example.org");
    withoutCredentials(load.settings.ServerUrl);
    return 0;
}
