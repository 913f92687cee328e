#include "app/audio_choice.h"

#include "platform/audio_factory.h"
#include "platform/portaudio_backend.h"
#include "platform/sndfile_sound_files.h"

namespace dvx {

AudioChoice chooseAudioBackend(const CommandLine& options, Clock& clock) {
    AudioChoice choice;
    choice.soundFiles = std::make_unique<SndfileSoundFiles>();
    AudioOptions audio{options.audio, options.virtualInput, options.virtualOutputDir};
    try {
        choice.backend = createAudioBackend(audio, clock, *choice.soundFiles);
        auto* portAudio = dynamic_cast<PortAudioBackend*>(choice.backend.get());
        if (portAudio != nullptr && portAudio->inputDeviceNames().empty() &&
            portAudio->outputDeviceNames().empty()) {
            const std::string why = portAudio->startupProblem().empty()
                                        ? std::string("no sound device was found")
                                        : portAudio->startupProblem();
            audio.backend = "virtual";
            choice.backend = createAudioBackend(audio, clock, *choice.soundFiles);
            choice.message = "The sound system offers no device (" + why +
                             ").  Dorvexia runs on its virtual devices instead: start it with "
                             "--audio virtual --virtual-input FILE to feed them.";
        }
    } catch (const std::exception& error) {
        choice.backend.reset();
        choice.message = error.what();
    }
    return choice;
}

}  // namespace dvx
