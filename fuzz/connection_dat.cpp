// Connection.dat, the modem line, as start-up reads it.
#include <cstddef>
#include <cstdint>

#include "fuzz_files.h"
#include "settings/connection_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace dvx;
    fuzz::putFile("c:\\Dorvex\\Connection.dat", {data, size});
    loadConnectionSettings(fuzz::dataRoot());
    return 0;
}
