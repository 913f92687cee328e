// Every file the fill reads (the parameters, both catalogues, both program lists, the play
// history, the rotation names and rotation 9001's entries) as it chooses and counts items at
// some moment of a day. The input's last bytes give the moment; its strings, the files in that
// order, as FuzzedDataProvider splits them.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>

#include "app/data_files.h"
#include "common/simulated_clock.h"
#include "fill/fill_selection.h"
#include "fuzz_files.h"
#include "sensor/sensor_state.h"
#include "settings/parameters_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace dvx;
    const Paths& paths = fuzz::dataRoot();
    FuzzedDataProvider input(data, size);
    const double secondsOfDay = input.ConsumeIntegralInRange<int>(0, 86399);
    const int day = input.ConsumeIntegralInRange<int>(1, 7);
    const bool alternate = input.ConsumeBool();
    for (const char* file :
         {"c:\\Dorvex\\DXParams.dat", "c:\\Dorvex\\Spotfile\\Spotfile.dat",
          "c:\\Dorvex\\Music\\Music.dat", "c:\\Dorvex\\MusRotFileOne", "c:\\Dorvex\\MusRotFileTwo",
          "c:\\Dorvex\\MusHist", "c:\\Dorvex\\Spotfile\\RFNames.dat"}) {
        fuzz::putFile(file, input.ConsumeRandomLengthString());
    }
    fuzz::putFile("c:\\Dorvex\\Spotfile\\RF9001.dat", input.ConsumeRemainingBytesAsString());
    Parameters parameters;
    loadParametersAtStartup(paths, parameters);
    DataFiles files = DataFiles::open(paths);
    SimulatedClock clock(2026, 12, day, secondsOfDay);
    SensorState state;
    state.AlternateActive = alternate;
    FillSelection selection(clock, state, parameters,
                            FillFiles{files.Spotfile, files.Music, files.MusRotFileOne,
                                      files.MusRotFileTwo, files.MusHist, files.RFNames},
                            paths);
    selection.beginFill();
    for (int item = 0; item < 4; ++item) {
        const FillSelection::Result chosen = selection.choose();
        if (item % 2 == 0) {
            selection.passOver(chosen);
        } else {
            selection.commit(chosen);
        }
        clock.advanceSeconds(200);
    }
    return 0;
}
