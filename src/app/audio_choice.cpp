#include "app/audio_choice.h"

#include "platform/audio_factory.h"
#include "platform/sndfile_sound_files.h"

namespace dvx {

AudioChoice chooseAudioBackend(const CommandLine& options, Clock& clock) {
    AudioChoice choice;
    choice.soundFiles = std::make_unique<SndfileSoundFiles>();
    AudioOptions audio{options.audio, options.virtualInput, options.virtualOutputDir};
    try {
        choice.backend = createAudioBackend(audio, clock, *choice.soundFiles);
        if (choice.backend->name() != "virtual" && choice.backend->inputDeviceNames().empty() &&
            choice.backend->outputDeviceNames().empty()) {
            const std::string why = choice.backend->startupProblem().empty()
                                        ? std::string("no sound device was found")
                                        : choice.backend->startupProblem();
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
