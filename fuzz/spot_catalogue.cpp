// Spotfile.dat as the spot files window, the rotation manager and the fill read it.
#include <cstddef>
#include <cstdint>

#include "fill/rotation_lines.h"
#include "fuzz_files.h"
#include "library/catalogue_text.h"
#include "library/spot_catalogue.h"
#include "library/spot_dates.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace dvx;
    const Paths& paths = fuzz::dataRoot();
    RecordFile file(fuzz::putFile("c:\\Dorvex\\Spotfile\\Spotfile.dat", {data, size}),
                    kSpotRecordLength);
    SpotCatalogue catalogue(file, paths);
    const CalendarDate today{2026, 12, 7};
    for (int number = 1; number <= catalogue.recordCount(); ++number) {
        const SpotRecord record = catalogue.read(number);
        catalogue.playProblem(number);
        readSpotDate(record.StartDate);
        readSpotDate(record.RecordDate);
        withinDates(record.StartDate, record.StopDate, today);
        wholeSecondsValue(record.Length);
        numericValue(record.EOM);
    }
    catalogue.activeList(SpotListView::ByName);
    catalogue.activeList(SpotListView::ByNumber);
    catalogue.nextFreeNumber();
    rotationSpotLines(catalogue, ListOrder::ByName);
    rotationSpotLines(catalogue, ListOrder::ByNumber);
    return 0;
}
