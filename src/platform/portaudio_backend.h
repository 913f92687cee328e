#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/audio_backend.h"
#include "platform/device_list.h"

namespace dvx {

// The machine's real sound devices through PortAudio (ALSA, JACK, PipeWire/PulseAudio).
// Device lists hold the devices that have input (or output) channels, in PortAudio's order.
// Streams run in callback mode, 1024 frames per buffer, their callbacks on PortAudio's threads
// (real-time priority where ALSA grants it); background work runs on threads of its own.
//
// Without any sound device, or when PortAudio cannot start at all, the backend is still made,
// with empty lists; startupProblem() then says why, and opening a stream fails.
//
// Threads: main thread only. The backend must outlive every stream and work it hands out.
class PortAudioBackend : public AudioBackend {
  public:
    PortAudioBackend();
    ~PortAudioBackend() override;
    PortAudioBackend(const PortAudioBackend&) = delete;
    PortAudioBackend& operator=(const PortAudioBackend&) = delete;

    std::string name() const override { return "portaudio"; }
    std::vector<std::string> inputDeviceNames() const override;
    std::vector<std::string> outputDeviceNames() const override;
    std::unique_ptr<AudioStream> openInput(int device, int channels, CaptureSink& sink) override;
    std::unique_ptr<AudioStream> openOutput(int device, int channels,
                                            RenderSource& source) override;
    std::unique_ptr<AudioStream> openLiveOutput(int device, int channels,
                                                RenderSource& source) override;
    std::unique_ptr<BackgroundWork> startBackgroundWork(std::function<bool()> work) override;

    std::optional<int> defaultOutputDevice() const override;
    std::string startupProblem() const override { return m_startupProblem; }

  private:
    bool m_initialized = false;
    std::string m_startupProblem;
    DeviceList<int> m_inputs;  // by PortAudio device index
    DeviceList<int> m_outputs;
};

}  // namespace dvx
