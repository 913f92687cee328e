// User.dat, the mail account, as start-up and the Preferences window read it; what is read is
// checked as Apply would before storing it.
#include <cstddef>
#include <cstdint>

#include "fuzz_files.h"
#include "settings/email_account.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace dvx;
    fuzz::putFile("c:\\Program Files\\Dorvex\\User.dat", {data, size});
    if (const auto account = readEmailAccount(fuzz::dataRoot())) {
        emailAccountProblem(*account);
    }
    return 0;
}
