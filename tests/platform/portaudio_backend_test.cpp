#include "platform/portaudio_backend.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "audio_test_support.h"
#include "platform/audio_factory.h"

namespace dvx {
namespace {

class Silence : public RenderSource {
  public:
    void render(std::int16_t* samples, int frames, int channels) noexcept override {
        std::fill(samples, samples + frames * channels, std::int16_t{0});
    }
};

// Runs on a machine without any sound device too (the devices themselves are tested on a
// sound server of null sinks: portaudio_devices_test.cpp).
TEST(PortAudioBackend, StartsOnAnyMachineAndRefusesDevicesItDoesNotHave) {
    PortAudioBackend backend;
    EXPECT_EQ(backend.name(), "portaudio");
    const std::size_t outputs = backend.outputDeviceNames().size();
    const std::size_t inputs = backend.inputDeviceNames().size();
    EXPECT_EQ(inputs == 0 && outputs == 0, !backend.startupProblem().empty());
    Silence silence;
    EXPECT_THROW(backend.openOutput(static_cast<int>(outputs), 2, silence), AudioError);
    EXPECT_THROW(backend.openOutput(-1, 2, silence), AudioError);
}

TEST(PortAudioBackend, BackgroundWorkRunsOnItsOwnThreadAndStandsAsideForTheMainThread) {
    PortAudioBackend backend;
    std::atomic<int> runs{0};
    std::atomic<bool> onMainThread{false};
    const std::thread::id mainThread = std::this_thread::get_id();
    auto work = backend.startBackgroundWork([&] {
        onMainThread = onMainThread || std::this_thread::get_id() == mainThread;
        ++runs;
        return true;
    });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (runs < 3 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_GE(runs, 3);  // again and again, by itself
    EXPECT_FALSE(onMainThread);

    int unchanged = -1;
    work->runExclusive([&] {
        const int before = runs;
        std::this_thread::sleep_for(std::chrono::milliseconds(30));  // six of its periods
        unchanged = runs == before ? 1 : 0;
    });
    EXPECT_EQ(unchanged, 1);

    // A work with nothing more to do sleeps until the main thread changes what it works on.
    std::atomic<int> idleRuns{0};
    auto idle = backend.startBackgroundWork([&] { return ++idleRuns < 0; });
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(idleRuns, 1);
    idle->runExclusive([] {});
    while (idleRuns < 2 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(idleRuns, 2);
}

TEST(AudioFactory, CommandLineThenEnvironmentThenPortAudio) {
    ::unsetenv("DORVEXIA_AUDIO");
    EXPECT_EQ(chooseAudioBackendName(""), "portaudio");
    EXPECT_EQ(chooseAudioBackendName("virtual"), "virtual");
    ::setenv("DORVEXIA_AUDIO", "virtual", 1);
    EXPECT_EQ(chooseAudioBackendName(""), "virtual");
    EXPECT_EQ(chooseAudioBackendName("portaudio"), "portaudio");
    EXPECT_EQ(chooseAudioBackendName("pulse"), "pulse");
    ::unsetenv("DORVEXIA_AUDIO");
    EXPECT_THROW(chooseAudioBackendName("alsa"), AudioError);

    test::TempFolder folder;
    SimulatedClock clock(2026, 3, 2, 0);
    SndfileSoundFiles files;
    auto backend = createAudioBackend({"virtual", {}, folder.path()}, clock, files);
    EXPECT_EQ(backend->name(), "virtual");
}

}  // namespace
}  // namespace dvx
