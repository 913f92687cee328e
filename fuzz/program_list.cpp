// A program list (MusRotFileOne) with the categories it names (MusicCat.dat), as My
// Programming shows them and the fill ranks them. The input holds the category file, then the
// program list, as FuzzedDataProvider splits strings.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>

#include "fill/music_categories.h"
#include "fill/program_list.h"
#include "fuzz_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace dvx;
    FuzzedDataProvider input(data, size);
    RecordFile categoriesFile(
        fuzz::putFile("c:\\Dorvex\\MusicCat.dat", input.ConsumeRandomLengthString()),
        kCategoryRecordLength);
    RecordFile listFile(
        fuzz::putFile("c:\\Dorvex\\MusRotFileOne", input.ConsumeRemainingBytesAsString()),
        kProgramListRecordLength);
    const MusicCategories categories(categoriesFile);
    categories.LoadMusicCategories(CategoryView::Names);
    categories.LoadMusicCategories(CategoryView::Letter);
    const ProgramList list(listFile);
    list.rankFirst();
    list.displayLines(categories);
    for (int record = 1; record <= list.recordCount(); ++record) {
        CategoryLetter(list.read(record).Category);
    }
    return 0;
}
