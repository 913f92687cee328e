#pragma once

#include <memory>
#include <string>

#include "app/command_line.h"
#include "common/clock.h"
#include "platform/audio_backend.h"
#include "platform/sound_files.h"

namespace dvx {

// The sound devices the program runs on, and what the operator should be told about them.
struct AudioChoice {
    std::unique_ptr<SoundFiles> soundFiles;
    std::unique_ptr<AudioBackend> backend;  // empty when nothing could be made
    std::string message;                    // for the error window (or the reason for none)
};

// The backend the command line and the environment ask for. When the machine's sound system
// offers no device at all, the virtual devices take its place and the message says so, so
// the program can still be tried.
AudioChoice chooseAudioBackend(const CommandLine& options, Clock& clock);

}  // namespace dvx
