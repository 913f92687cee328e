#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/audio_backend.h"

namespace dvx {

// The machine's real sound devices through PortAudio (ALSA, JACK, PipeWire/PulseAudio).
// Device lists hold the devices that have input (or output) channels, in PortAudio's order.
class PortAudioBackend : public AudioBackend {
public:
    // Throws AudioError when PortAudio cannot be initialised.
    PortAudioBackend();
    ~PortAudioBackend() override;

    std::string name() const override { return "portaudio"; }
    std::vector<std::string> inputDeviceNames() const override;
    std::vector<std::string> outputDeviceNames() const override;
    std::unique_ptr<AudioStream> openInput(int device, int channels, CaptureSink& sink) override;
    std::unique_ptr<AudioStream> openOutput(int device, int channels, RenderSource& source) override;

private:
    struct Device {
        int portAudioIndex;
        std::string name;
    };
    std::vector<Device> m_inputs;
    std::vector<Device> m_outputs;
};

}  // namespace dvx
