#include "app/demo_start.h"

#include "app/demo_station.h"
#include "common/paths.h"
#include "platform/audio_factory.h"
#include "platform/sndfile_sound_files.h"
#include "platform/split_audio_backend.h"
#include "platform/virtual_audio_backend.h"

namespace dvx {

AudioChoice startDemo(const CommandLine& options, Clock& clock, const std::filesystem::path& root) {
    AudioChoice choice;
    choice.soundFiles = std::make_unique<SndfileSoundFiles>();
    try {
        const std::filesystem::path feed = root / "demo-feed.wav";
        writeDemoFeed(feed, *choice.soundFiles);
        auto inputs = std::make_unique<VirtualAudioBackend>(
            clock, *choice.soundFiles,
            VirtualAudioConfig{feed, options.virtualOutputDir, /*loopInput=*/true});
        DeviceChoice devices{0, 0, 1, 2};  // virtual: the pass-through and each player apart
        if (const std::string name = chooseAudioBackendName(options.audio); name != "virtual") {
            auto outputs = createMachineAudioBackend(name);
            if (const auto speaker = outputs->defaultOutputDevice()) {
                devices = {0, *speaker, *speaker, *speaker};
                choice.backend =
                    std::make_unique<SplitAudioBackend>(std::move(inputs), std::move(outputs));
            } else {
                choice.message =
                    "The sound system offers no default output, so the demonstration plays on "
                    "virtual devices: the fill shows on the screen but is not heard.";
            }
        }
        if (!choice.backend) {
            choice.backend = std::move(inputs);
        }
        writeDemoStation(Paths(root), *choice.soundFiles, devices);
    } catch (const std::exception& error) {
        choice.backend.reset();
        choice.message = std::string("The demonstration cannot be set up: ") + error.what();
    }
    return choice;
}

}  // namespace dvx
