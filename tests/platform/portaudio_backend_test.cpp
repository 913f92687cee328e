#include "platform/portaudio_backend.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "audio_test_support.h"
#include "platform/audio_factory.h"
#include "platform/pulse_backend.h"

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

// Where no sound server answers, the PulseAudio backend starts without devices and says why,
// and the default choice reaches the machine through PortAudio instead (the choice where a
// server answers is tested on the null sinks: pulse_devices_test.cpp).
TEST(AudioFactory, WithoutASoundServerTheDefaultIsPortAudio) {
    const char* before = std::getenv("PULSE_SERVER");
    const std::string kept = before != nullptr ? before : "";
    ::setenv("PULSE_SERVER", "unix:/nonexistent/dorvexia-test/native", 1);
    {
        PulseBackend pulse;
        EXPECT_NE(pulse.startupProblem(), "");
        EXPECT_TRUE(pulse.inputDeviceNames().empty() && pulse.outputDeviceNames().empty());
        Silence silence;
        EXPECT_THROW(pulse.openOutput(0, 2, silence), AudioError);
        EXPECT_EQ(createMachineAudioBackend("auto")->name(), "portaudio");
        EXPECT_EQ(createMachineAudioBackend("pulse")->name(), "pulse");  // chosen: kept
    }
    if (before != nullptr) {
        ::setenv("PULSE_SERVER", kept.c_str(), 1);
    } else {
        ::unsetenv("PULSE_SERVER");
    }
}

TEST(AudioFactory, CommandLineThenEnvironmentThenAuto) {
    ::unsetenv("DORVEXIA_AUDIO");
    EXPECT_EQ(chooseAudioBackendName(""), "auto");
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
