// Music.dat as the music files window and the fill read it.
#include <cstddef>
#include <cstdint>

#include "fuzz_files.h"
#include "library/catalogue_text.h"
#include "library/music_catalogue.h"
#include "library/music_fields.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace dvx;
    const Paths& paths = fuzz::dataRoot();
    RecordFile file(fuzz::putFile("c:\\Dorvex\\Music\\Music.dat", {data, size}),
                    kMusicRecordLength);
    MusicCatalogue catalogue(file, paths);
    for (int number = 1; number <= catalogue.recordCount(); ++number) {
        const MusicRecord record = catalogue.read(number);
        isMusicTaken(record);
        catalogue.wavePath(number, record.Drive);
        recordedDateText(record.Recorded);
        wholeSecondsValue(record.EOM);
        for (const TuneView view : {TuneView::Title, TuneView::Artist, TuneView::Length}) {
            tuneListText(record, view);
        }
        for (std::size_t box = 0; box < kMusicBoxCount; ++box) {
            musicBoxText(record, static_cast<MusicBox>(box));
        }
    }
    catalogue.nextFreeNumber();
    return 0;
}
