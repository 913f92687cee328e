// The least a pass-through costs on a backend of real devices: the program's own streams, with
// nothing else running (no level test, no window, no timers). Where the backend's sound system
// carries the pass-through itself, that is the capture and the carried pass-through; otherwise
// the capture and Net Out's live stream joined by a ring, at the program's buffer sizes and
// slack. bench/cpu_share runs it beside FFmpeg, so the program's share can be read against
// what its sound path alone costs.
//
//   audio_floor portaudio|pulse INPUT_NAME OUTPUT_NAME SECONDS
//
// The names are the start of the backend's device names ("FeedIn", "NetOut"). It prints
// "ready" once the streams run.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio_factory.h"
#include "platform/sample_ring.h"

namespace {

struct Capture : dvx::CaptureSink {
    dvx::SampleRing& ring;
    explicit Capture(dvx::SampleRing& r) : ring(r) {}
    void onCaptured(const std::int16_t* samples, int frames, int channels) noexcept override {
        ring.write(samples, static_cast<std::size_t>(frames) * channels);
    }
};

struct Playback : dvx::RenderSource {
    dvx::SampleRing& ring;
    explicit Playback(dvx::SampleRing& r) : ring(r) {}
    void render(std::int16_t* samples, int frames, int channels) noexcept override {
        const std::size_t wanted = static_cast<std::size_t>(frames) * channels;
        for (std::size_t i = ring.read(samples, wanted); i < wanted; ++i) {
            samples[i] = 0;
        }
    }
};

int deviceNamed(const std::vector<std::string>& names, const std::string& start) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i].rfind(start, 0) == 0) {
            return static_cast<int>(i);
        }
    }
    std::fprintf(stderr, "audio_floor: no device named %s...\n", start.c_str());
    std::exit(2);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5 || (std::string(argv[1]) != "portaudio" && std::string(argv[1]) != "pulse")) {
        std::fprintf(stderr, "usage: audio_floor portaudio|pulse INPUT_NAME OUTPUT_NAME SECONDS\n");
        return 2;
    }
    try {
        const auto backend = dvx::createMachineAudioBackend(argv[1]);
        dvx::SampleRing ring(1 << 16);
        Capture capture(ring);
        Playback playback(ring);
        const int in = deviceNamed(backend->inputDeviceNames(), argv[2]);
        const int out = deviceNamed(backend->outputDeviceNames(), argv[3]);
        std::unique_ptr<dvx::AudioStream> output = backend->openCarriedPassThrough(in, out, 2);
        if (output == nullptr) {
            output = backend->openLiveOutput(out, 2, playback);
        }
        auto input = backend->openInput(in, 2, capture);
        input->start();
        output->start();
        std::printf("ready\n");
        std::fflush(stdout);
        std::this_thread::sleep_for(std::chrono::seconds(std::atoi(argv[4])));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "audio_floor: %s\n", error.what());
        return 1;
    }
    return 0;
}
