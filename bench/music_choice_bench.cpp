// One fill music choice (`HotKeyLoad` outside the break windows) over a full catalogue: 9999
// music files spread over the 52 categories, all 52 in program list one. Each choice ranks the
// list, walks the whole catalogue for the category's least recently played file, counts the
// play and stamps the history, so the files change from one iteration to the next as they do
// on air.
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "app/data_files.h"
#include "common/simulated_clock.h"
#include "fill/fill_selection.h"
#include "fill/music_categories.h"
#include "fill/program_list.h"
#include "library/music_catalogue.h"
#include "sensor/sensor_state.h"
#include "settings/parameters.h"

namespace {

constexpr int kMusicFiles = 9999;

// A fresh data folder below the temporary folder, removed at the end.
struct BenchFolder {
    BenchFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "dorvexia-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot create a temporary folder");
        }
        path = pattern;
    }
    ~BenchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::filesystem::path path;
};

dvx::DataFiles openData(const dvx::Paths& paths) {
    for (const auto& folder : {paths.spotFolder(), paths.musicFolder(), paths.logsFolder()}) {
        std::filesystem::create_directories(folder);
    }
    return dvx::DataFiles::open(paths);
}

void fillLibrary(dvx::DataFiles& files, const dvx::Paths& paths) {
    dvx::MusicCatalogue music(files.Music, paths);
    for (int number = 1; number <= kMusicFiles; ++number) {
        dvx::MusicRecord record;
        record.Status = dvx::kMusicActive;
        record.Title = "Title " + std::to_string(number);
        record.Artist = "Artist " + std::to_string(number % 700);
        record.Category = dvx::CategoryLetter(1 + number % dvx::kCategoryCount);
        record.Length = record.EOM = "180";
        record.Comp = dvx::kFillAllowed;
        music.write(number, record);
    }
    dvx::ProgramList list(files.MusRotFileOne);
    for (int category = 1; category <= dvx::kCategoryCount; ++category) {
        list.add(category);
    }
}

void musicChoice(benchmark::State& state) {
    BenchFolder folder;
    const dvx::Paths paths(folder.path);
    dvx::DataFiles files = openData(paths);
    fillLibrary(files, paths);
    // Monday 7 December 2026, 10:05: no break window is open.
    dvx::SimulatedClock clock(2026, 12, 7, 10 * 3600 + 5 * 60);
    dvx::SensorState sensor;
    dvx::Parameters parameters;
    dvx::FillSelection selection(clock, sensor, parameters,
                                 dvx::FillFiles{files.Spotfile, files.Music, files.MusRotFileOne,
                                                files.MusRotFileTwo, files.MusHist, files.RFNames},
                                 paths);
    for (auto _ : state) {
        const dvx::FillSelection::Result result = selection.HotKeyLoad();
        if (!result.item) {
            state.SkipWithError(result.failure.c_str());
            break;
        }
        benchmark::DoNotOptimize(result);
        clock.advanceSeconds(1);
    }
}
BENCHMARK(musicChoice)->Unit(benchmark::kMillisecond);

}  // namespace
