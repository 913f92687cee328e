#include "platform/file_source.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "audio_test_support.h"

namespace dvx {
namespace {

TEST(FileSource, ChangingTheFileWhileAConsumerThreadPullsNeverTearsABuffer) {
    test::TempFolder folder;
    SndfileSoundFiles files;
    test::HandDrivenBackend backend;  // decoding on a worker thread, as with real devices
    const auto low = folder.path() / "low.wav";
    const auto high = folder.path() / "high.wav";
    test::writeWithProgramWriter(files, low, test::constant(1000, 44100));
    test::writeWithProgramWriter(files, high, test::constant(2000, 44100));
    FileSource source(backend, files);
    source.setFileName(low);

    std::atomic<bool> done{false};
    std::atomic<int> torn{0};
    std::atomic<int> pulls{0};
    std::thread consumer([&] {
        std::vector<std::int16_t> buffer(2 * 4000);
        while (!done.load()) {
            const FileSource::Pulled pulled = source.pull(buffer.data(), 4000);
            for (int i = 1; i < 2 * pulled.frames; ++i) {
                if (buffer[i] != buffer[0] || (buffer[0] != 1000 && buffer[0] != 2000)) {
                    torn.fetch_add(1);
                    break;
                }
            }
            pulls.fetch_add(1);
            if (pulled.frames == 0) {
                std::this_thread::yield();
            }
        }
    });
    for (int change = 0; change < 400; ++change) {
        if (change % 3 == 2) {
            source.setPositionMs(change);
        } else {
            source.setFileName(change % 2 == 0 ? high : low);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    done.store(true);
    consumer.join();
    EXPECT_EQ(torn.load(), 0);
    EXPECT_GT(pulls.load(), 400);

    // On its own the source delivers the whole file, then says it has ended.
    source.setFileName(low);
    std::vector<std::int16_t> buffer(2 * 1024);
    int frames = 0;
    FileSource::Pulled pulled;
    for (int i = 0; i < 10000 && pulled.state != FileSource::State::Ended; ++i) {
        pulled = source.pull(buffer.data(), 1024);
        frames += pulled.frames;
        if (pulled.frames == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    EXPECT_EQ(pulled.state, FileSource::State::Ended);
    EXPECT_EQ(frames, 44100);
    EXPECT_TRUE(source.hasEnded());
    EXPECT_EQ(source.positionMs(), 1000);
}

}  // namespace
}  // namespace dvx
