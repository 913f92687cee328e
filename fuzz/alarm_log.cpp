// A day's alarm log (Logs/AL261207.log) as the log viewer shows it, by time and by event.
#include <cstddef>
#include <cstdint>

#include "fuzz_files.h"
#include "viewers/log_viewer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace dvx;
    const Paths& paths = fuzz::dataRoot();
    fuzz::putFile("c:\\Dorvex\\Logs\\AL261207.log", {data, size});
    listLogDays(paths.logsFolder(), "AL");
    readLogDay(paths.logsFolder(), "AL", "12/07/26", LogOrder::ByTime);
    readLogDay(paths.logsFolder(), "AL", "12/07/26", LogOrder::ByEvent);
    return 0;
}
