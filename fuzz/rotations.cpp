// The rotation files (RFNames.dat, a rotation's RF9001.dat) with the spot catalogue they name,
// as the rotation manager lists them and the fill chooses from them. The input holds the three
// files one after another, as FuzzedDataProvider splits strings.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>

#include "fill/rotation_evaluation.h"
#include "fill/rotation_files.h"
#include "fill/rotation_lines.h"
#include "fuzz_files.h"
#include "library/spot_catalogue.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace dvx;
    const Paths& paths = fuzz::dataRoot();
    FuzzedDataProvider input(data, size);
    const auto namesPath =
        fuzz::putFile("c:\\Dorvex\\Spotfile\\RFNames.dat", input.ConsumeRandomLengthString());
    const auto spotsPath =
        fuzz::putFile("c:\\Dorvex\\Spotfile\\Spotfile.dat", input.ConsumeRandomLengthString());
    fuzz::putFile("c:\\Dorvex\\Spotfile\\RF9001.dat", input.ConsumeRemainingBytesAsString());
    RecordFile namesFile(namesPath, kRotationNameRecordLength);
    RecordFile spotsFile(spotsPath, kSpotRecordLength);
    const RotationNames names(namesFile);
    const SpotCatalogue spots(spotsFile, paths);
    rotationNameLines(names, ListOrder::ByName);
    rotationNameLines(names, ListOrder::ByNumber);
    names.firstFreeRecord();
    const RotationEntryFile entries(paths, kFirstRotation);
    const RotationName name = names.read(1);
    for (const int weekday : {1, 4, 7}) {
        const LocalDateTime today{2026, 12, 5 + weekday, weekday, 36000};
        rotationEntryLines(entries, name, spots, today);
        chooseRotationEntry(kFirstRotation, today, names, spots, paths);
    }
    return 0;
}
