// The main thread's time for one record write and one alarm-log line: with the fdatasync on
// the caller (tests and tools without a syncing thread), and handed to the syncing thread (the
// program). The folder is the current one, or DORVEXIA_BENCH_DIR: the temporary folder may be
// held in memory, where a sync costs nothing.
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "common/background_sync.h"
#include "common/record_file.h"
#include "common/simulated_clock.h"
#include "sensor/alarm_log.h"

namespace {

class NoErrorWindow : public dvx::ErrorReporter {
  public:
    void showError(std::string_view) override {}
};

// A data root on the disk under test, removed at the end.
struct DiskFolder {
    DiskFolder() {
        const char* chosen = std::getenv("DORVEXIA_BENCH_DIR");
        path =
            (chosen != nullptr ? std::filesystem::path(chosen) : std::filesystem::current_path()) /
            ("dorvexia-sync-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path / "c/Dorvex/Logs");
    }
    ~DiskFolder() { std::filesystem::remove_all(path); }
    std::filesystem::path path;
};

// Everything a write needs; `background` chooses who syncs.
struct WriteRig {
    explicit WriteRig(bool background)
        : sync(background ? std::make_unique<dvx::BackgroundSync>(clock, errors) : nullptr) {}

    // Between iterations, off the clock: the syncing thread catches up, as it does between
    // the program's writes, so every write pays for handing its sync over.
    void settle(benchmark::State& state) {
        if (sync) {
            state.PauseTiming();
            sync->waitUntilIdle();
            state.ResumeTiming();
        }
    }

    DiskFolder folder;
    dvx::Paths paths{folder.path};
    dvx::SimulatedClock clock{2026, 3, 2, 36000};
    NoErrorWindow errors;
    std::unique_ptr<dvx::BackgroundSync> sync;
};

void recordWrite(benchmark::State& state) {
    WriteRig rig(state.range(0) == 1);
    dvx::RecordFile history(rig.paths.dataFile("MusHist"), 12, rig.sync.get());
    const dvx::Bytes record(12, 'x');
    int n = 0;
    for (auto _ : state) {
        history.write(1 + n++ % 500, record);
        rig.settle(state);
    }
}
BENCHMARK(recordWrite)->ArgName("background")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void logLine(benchmark::State& state) {
    WriteRig rig(state.range(0) == 1);
    dvx::AlarmLog log(rig.paths, rig.clock, rig.errors, rig.sync.get());
    for (auto _ : state) {
        log.WriteAlarmLog("Alarm                ");
        rig.settle(state);
    }
}
BENCHMARK(logLine)->ArgName("background")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
