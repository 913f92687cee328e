// Connection.dat, the modem line, as start-up reads it.
#include <cstddef>
#include <cstdint>

#include "fuzz_files.h"
#include "settings/connection_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace dvx;
    const Paths& paths = fuzz::dataRoot();
    fuzz::putFile(paths.dataFile("Connection.dat"), {data, size});
    loadConnectionSettings(paths);
    return 0;
}
