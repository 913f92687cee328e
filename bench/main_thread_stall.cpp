// The longest time the main thread spends writing, while another program loads the disk: a
// 20 ms tick writes one record and one alarm-log line (a fill's history and log), first with
// the fdatasync on the tick, then with it on the syncing thread. The load writes 4 MiB blocks
// into a file of at most 256 MiB and syncs it after every 64 MiB, as a copy or a backup does.
//
//   main_thread_stall [seconds per run, default 10] [folder, default the current one]
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "common/background_sync.h"
#include "common/record_file.h"
#include "common/simulated_clock.h"
#include "sensor/alarm_log.h"

namespace {

using Clock = std::chrono::steady_clock;

class NoErrorWindow : public dvx::ErrorReporter {
  public:
    void showError(std::string_view) override {}
};

// Writes and syncs big blocks until told to stop.
class DiskLoad {
  public:
    explicit DiskLoad(const std::filesystem::path& file)
        : m_fd(::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644)),
          m_thread([this] { run(); }) {}
    ~DiskLoad() {
        m_stop = true;
        m_thread.join();
        ::close(m_fd);
    }

  private:
    void run() {
        std::vector<char> block(4 << 20, 'L');
        off_t at = 0;
        for (int n = 1; !m_stop && m_fd >= 0; ++n) {
            if (::pwrite(m_fd, block.data(), block.size(), at) < 0 ||
                (n % 16 == 0 && ::fsync(m_fd) != 0)) {
                return;
            }
            at = (at + static_cast<off_t>(block.size())) % (256 << 20);
        }
    }

    int m_fd;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

struct Figures {
    double longestMs = 0;
    double p99Ms = 0;
    double meanMs = 0;
    std::size_t ticks = 0;
};

Figures run(const std::filesystem::path& root, bool background, double seconds) {
    dvx::Paths paths(root);
    dvx::SimulatedClock clock(2026, 3, 2, 36000);
    NoErrorWindow errors;
    auto sync = background ? std::make_unique<dvx::BackgroundSync>(clock, errors) : nullptr;
    dvx::RecordFile history(paths.dataFile("MusHist"), 12, sync.get());
    dvx::AlarmLog log(paths, clock, errors, sync.get());
    const dvx::Bytes record(12, 'x');

    std::vector<double> spent;
    DiskLoad load(root / "load.bin");
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    auto next = Clock::now();
    for (int n = 0; Clock::now() < end; ++n) {
        next += std::chrono::milliseconds(20);
        const auto start = Clock::now();
        history.write(1 + n % 500, record);
        log.WriteAlarmLog("Morning Tune                  ");
        spent.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        std::this_thread::sleep_until(next);
    }
    std::sort(spent.begin(), spent.end());
    Figures figures;
    figures.ticks = spent.size();
    figures.longestMs = spent.back();
    figures.p99Ms = spent[spent.size() * 99 / 100];
    for (const double ms : spent) {
        figures.meanMs += ms / static_cast<double>(spent.size());
    }
    return figures;
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
    const std::filesystem::path base = argc > 2 ? argv[2] : std::filesystem::current_path();
    const std::filesystem::path root = base / ("dorvexia-stall-" + std::to_string(::getpid()));
    std::filesystem::create_directories(root / "c/Dorvex/Logs");
    std::printf("%-28s %8s %10s %10s %10s\n", "sync", "ticks", "mean ms", "p99 ms", "longest ms");
    for (const bool background : {false, true}) {
        const Figures f = run(root, background, seconds);
        std::printf("%-28s %8zu %10.3f %10.3f %10.3f\n",
                    background ? "on the syncing thread" : "on the tick (before)", f.ticks,
                    f.meanMs, f.p99Ms, f.longestMs);
    }
    std::filesystem::remove_all(root);
    return 0;
}
