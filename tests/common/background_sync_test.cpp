#include "common/background_sync.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "common/record_file.h"
#include "common/simulated_clock.h"
#include "common/text_file.h"
#include "sensor/alarm_log.h"
#include "support/temp_folder.h"

namespace dvx {
namespace {

// The file an open descriptor of this process refers to.
std::filesystem::path fileOf(int fd) {
    std::error_code error;
    return std::filesystem::read_symlink("/proc/self/fd/" + std::to_string(fd), error);
}

// How many descriptors of this process refer to `path`.
int descriptorsOf(const std::filesystem::path& path) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        count += std::filesystem::read_symlink(entry.path(), error) == path ? 1 : 0;
    }
    return count;
}

// A disk that takes as long as the test says: the first sync waits until the test lets it go
// (at most 30 s, so a caller that waits for it fails the test instead of hanging it). Notes
// the name of every file it syncs.
class HeldDisk {
  public:
    BackgroundSync::SyncCall call() {
        return [this](int fd) {
            std::unique_lock lock(m_mutex);
            m_synced.push_back(fileOf(fd).filename().string());
            if (m_synced.size() == 1) {
                m_changed.notify_all();
                m_timedOut = !m_changed.wait_for(lock, std::chrono::seconds(30),
                                                 [this] { return m_released; });
            }
            return 0;
        };
    }
    void waitUntilHeld() {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_synced.empty(); });
    }
    void release() {
        std::lock_guard lock(m_mutex);
        m_released = true;
        m_changed.notify_all();
    }
    std::vector<std::string> synced() {
        std::lock_guard lock(m_mutex);
        return m_synced;
    }
    bool timedOut() {
        std::lock_guard lock(m_mutex);
        return m_timedOut;
    }

  private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::string> m_synced;
    bool m_released = false;
    bool m_timedOut = false;
};

struct SyncRig {
    test::TempFolder root;
    Paths paths{root.path()};
    SimulatedClock clock{2026, 3, 2, 36000};
    test::RecordingErrorReporter errors;
};

TEST(BackgroundSync, WritesReturnWhileTheDiskIsBusyAndLaterOnesShareOneSync) {
    SyncRig rig;
    HeldDisk disk;
    std::filesystem::create_directories(rig.paths.logsFolder());
    {
        BackgroundSync sync(rig.clock, rig.errors, disk.call());
        RecordFile history(rig.root.path() / "MusHist", 4, &sync);
        AlarmLog log(rig.paths, rig.clock, rig.errors, &sync);

        history.write(1, Bytes{1, 2, 3, 4});
        disk.waitUntilHeld();  // the disk is busy with that record from now on
        log.WriteAlarmLog("Alarm");
        for (std::uint8_t n = 2; n <= 20; ++n) {
            history.write(n, Bytes{n, n, n, n});
        }
        // Everything is in the files, for every reader, before any of it reached the disk.
        EXPECT_EQ(test::fileBytes(rig.root.path() / "MusHist").size(), 80u);
        EXPECT_EQ(test::fileText(rig.paths.logsFolder() / "AL260302.log"), "10:00:00 Alarm\r\n");
        EXPECT_EQ(disk.synced(), std::vector<std::string>{"MusHist"});

        disk.release();
        sync.waitUntilIdle();
        // One sync for the record written before the disk got busy, one for all the rest.
        std::vector<std::string> synced = disk.synced();
        std::sort(synced.begin(), synced.end());
        EXPECT_EQ(synced, (std::vector<std::string>{"AL260302.log", "MusHist", "MusHist"}));
    }
    EXPECT_FALSE(disk.timedOut()) << "a write waited for the disk";
    EXPECT_TRUE(rig.errors.messages.empty());
}

TEST(BackgroundSync, AFailedSyncIsShownNamingTheFileEvenAtTheEnd) {
    SyncRig rig;
    {
        // The null device cannot be synced: the real fdatasync fails on it.
        BackgroundSync sync(rig.clock, rig.errors);
        appendTextLine("/dev/null", "08:00:00 Alarm", &sync);  // does not throw: not synced yet
        sync.waitUntilIdle();
        EXPECT_TRUE(rig.errors.messages.empty());  // shown on the main thread, by the timer
        rig.clock.advance(std::chrono::milliseconds(BackgroundSync::kReportIntervalMs));
        ASSERT_EQ(rig.errors.messages.size(), 1u);
        EXPECT_EQ(rig.errors.messages[0],
                  "Cannot flush /dev/null to the disk: Invalid argument. Its latest changes may "
                  "be lost if the computer stops.");

        appendTextLine("/dev/null", "08:00:01 Audio", &sync);
    }
    // The failure of a sync still under way at the end is not lost either.
    EXPECT_EQ(rig.errors.messages.size(), 2u);
}

TEST(BackgroundSync, TheEndWaitsForEverySyncAndLeavesNoDescriptorOpen) {
    SyncRig rig;
    HeldDisk disk;
    const auto path = rig.root.path() / "CallList.dat";
    auto sync = std::make_unique<BackgroundSync>(rig.clock, rig.errors, disk.call());
    {
        RecordFile file(path, 105, sync.get());
        file.write(1, Bytes(105, 'x'));
        disk.waitUntilHeld();
    }
    EXPECT_EQ(descriptorsOf(path), 1);  // the syncing thread's own, until its sync is done
    disk.release();
    sync.reset();
    EXPECT_EQ(descriptorsOf(path), 0);
    EXPECT_FALSE(disk.timedOut());
}

}  // namespace
}  // namespace dvx
