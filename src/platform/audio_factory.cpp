#include "platform/audio_factory.h"

#include <cstdlib>

#include "platform/portaudio_backend.h"
#include "platform/pulse_backend.h"
#include "platform/virtual_audio_backend.h"

namespace dvx {

std::string chooseAudioBackendName(const std::string& commandLineChoice) {
    std::string name = commandLineChoice;
    if (name.empty()) {
        const char* environment = std::getenv("DORVEXIA_AUDIO");
        name = environment != nullptr ? environment : "";
    }
    if (name.empty()) {
        name = "auto";
    }
    if (name != "auto" && name != "portaudio" && name != "pulse" && name != "virtual") {
        throw AudioError("Unknown audio backend \"" + name +
                         "\": use auto, portaudio, pulse or virtual");
    }
    return name;
}

std::unique_ptr<AudioBackend> createAudioBackend(const AudioOptions& options, Clock& clock,
                                                 SoundFiles& files) {
    const std::string name = chooseAudioBackendName(options.backend);
    if (name == "virtual") {
        return std::make_unique<VirtualAudioBackend>(
            clock, files, VirtualAudioConfig{options.virtualInput, options.virtualOutputDir});
    }
    return createMachineAudioBackend(name);
}

std::unique_ptr<AudioBackend> createMachineAudioBackend(const std::string& name) {
    if (name == "portaudio") {
        return std::make_unique<PortAudioBackend>();
    }
    auto pulse = std::make_unique<PulseBackend>();
    if (name == "pulse" || pulse->startupProblem().empty()) {
        return pulse;
    }
    // Straight to the sound server where it runs: one client thread for every stream, where
    // PortAudio on ALSA's pulse plugin runs two for each, at about twice the processor time.
    pulse.reset();
    return std::make_unique<PortAudioBackend>();
}

}  // namespace dvx
