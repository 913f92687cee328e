#include "platform/audio_factory.h"

#include <cstdlib>

#include "platform/portaudio_backend.h"
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
    if (name != "portaudio" && name != "virtual") {
        throw AudioError("Unknown audio backend \"" + name + "\": use portaudio or virtual");
    }
    return name;
}

std::unique_ptr<AudioBackend> createAudioBackend(const AudioOptions& options, Clock& clock,
                                                 SoundFiles& files) {
    if (chooseAudioBackendName(options.backend) == "virtual") {
        return std::make_unique<VirtualAudioBackend>(
            clock, files, VirtualAudioConfig{options.virtualInput, options.virtualOutputDir});
    }
    return std::make_unique<PortAudioBackend>();
}

}  // namespace dvx
