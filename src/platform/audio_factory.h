#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "common/clock.h"
#include "platform/audio_backend.h"
#include "platform/sound_files.h"

namespace dvx {

// The audio choices of the command line (parsed elsewhere).
struct AudioOptions {
    std::string backend;  // --audio: "auto", "portaudio", "pulse", "virtual", or empty
    std::filesystem::path virtualInput;      // --virtual-input FILE
    std::filesystem::path virtualOutputDir;  // --virtual-output-dir DIR
};

// The backend's name: the command line's choice, else the environment variable
// DORVEXIA_AUDIO, else "auto". Throws AudioError for any other name.
std::string chooseAudioBackendName(const std::string& commandLineChoice);

// Makes the chosen backend. The virtual one is paced by `clock` and reads and writes its files
// through `files`; both must outlive it. Throws AudioError for an unknown backend name and
// IoError when the virtual input file cannot be read. A PortAudio or PulseAudio backend is made
// even without any sound device (see AudioBackend::startupProblem()).
std::unique_ptr<AudioBackend> createAudioBackend(const AudioOptions& options, Clock& clock,
                                                 SoundFiles& files);

// The machine's own sound devices: through PulseAudio for "pulse", through PortAudio for
// "portaudio"; for "auto", through PulseAudio where a sound server (PulseAudio, or PipeWire
// standing in for it) answers and offers a device, else through PortAudio (ALSA alone).
std::unique_ptr<AudioBackend> createMachineAudioBackend(const std::string& name);

}  // namespace dvx
