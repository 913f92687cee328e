#include "platform/portaudio_backend.h"

#include <gtest/gtest.h>

#include <cstdlib>

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

TEST(PortAudioBackend, StartsOnAnyMachineAndRefusesDevicesItDoesNotHave) {
    PortAudioBackend backend;  // this machine may have no sound card at all
    EXPECT_EQ(backend.name(), "portaudio");
    const std::size_t outputs = backend.outputDeviceNames().size();
    if (backend.inputDeviceNames().empty() && outputs == 0) {
        EXPECT_FALSE(backend.startupProblem().empty());
    }
    Silence silence;
    EXPECT_THROW(backend.openOutput(static_cast<int>(outputs), 2, silence), AudioError);
    EXPECT_THROW(backend.openOutput(-1, 2, silence), AudioError);

    int runs = 0;
    auto work = backend.startBackgroundWork([&] { ++runs; });
    work->runExclusive([&] { runs += 1000; });
    EXPECT_GE(runs, 1000);
}

TEST(AudioFactory, CommandLineThenEnvironmentThenPortAudio) {
    ::unsetenv("DORVEXIA_AUDIO");
    EXPECT_EQ(chooseAudioBackendName(""), "portaudio");
    EXPECT_EQ(chooseAudioBackendName("virtual"), "virtual");
    ::setenv("DORVEXIA_AUDIO", "virtual", 1);
    EXPECT_EQ(chooseAudioBackendName(""), "virtual");
    EXPECT_EQ(chooseAudioBackendName("portaudio"), "portaudio");
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
