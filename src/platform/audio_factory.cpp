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
        name = "portaudio";
    }
    if (name != "portaudio" && name != "pulse" && name != "virtual") {
        throw AudioError("Unknown audio backend \"" + name + "\": use portaudio, pulse or virtual");
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
    if (name == "pulse") {
        return std::make_unique<PulseBackend>();
    }
    return std::make_unique<PortAudioBackend>();
}

}  // namespace dvx
