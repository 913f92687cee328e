// Connection.dat, the modem line, as start-up reads it.
#include <cstddef>
#include <cstdint>

#include "common/io_error.h"
#include "fuzz_files.h"
#include "settings/connection_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace dvx;
    const Paths& paths = fuzz::dataRoot();
    fuzz::putFile(paths.dataFile("Connection.dat"), {data, size});
    try {
        loadConnectionSettings(paths);
    } catch (const IoError&) {
    }
    return 0;
}
