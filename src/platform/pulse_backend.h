#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/audio_backend.h"
#include "platform/device_list.h"

namespace dvx {

class PulseServer;

// The machine's sound devices through the PulseAudio sound server (or PipeWire's stand-in for
// it), without PortAudio and ALSA between: one mainloop thread and one connection carry every
// stream, where PortAudio on ALSA's pulse plugin runs a thread of its own and a client thread
// for each stream.
//
// The input list holds the server's sources (monitors of its sinks among them), the output list
// its sinks, each sorted by the server's name for the device, so a device keeps its place however
// the server happened to load them. A device shows as its description ("Built-in Audio Analog
// Stereo"); devices of one list that share a description get the server's name after it. The
// lists are read when the backend is made.
//
// Without a server that answers, the backend is still made, with empty lists; startupProblem()
// then says why. Streams opened later connect again if the server has come back meanwhile.
//
// The live pass-through is carried by the server itself (PulsePassThrough), and the capture
// then takes buffers of kFramesPerBuffer, as the level test wants them. A backend made to pass
// the sound through the program, or one whose server refuses the loopback, captures in small
// fragments for the program's own live output instead (PulseStream).
//
// Threads: main thread only. The backend must outlive every stream and work it hands out.
class PulseBackend : public AudioBackend {
  public:
    enum class PassThrough { Carried, Program };
    explicit PulseBackend(PassThrough passThrough = PassThrough::Carried);
    ~PulseBackend() override;
    PulseBackend(const PulseBackend&) = delete;
    PulseBackend& operator=(const PulseBackend&) = delete;

    std::string name() const override { return "pulse"; }
    std::vector<std::string> inputDeviceNames() const override { return m_inputs.names(); }
    std::vector<std::string> outputDeviceNames() const override { return m_outputs.names(); }
    std::unique_ptr<AudioStream> openInput(int device, int channels, CaptureSink& sink) override;
    std::unique_ptr<AudioStream> openOutput(int device, int channels,
                                            RenderSource& source) override;
    std::unique_ptr<AudioStream> openLiveOutput(int device, int channels,
                                                RenderSource& source) override;
    std::unique_ptr<CarriedPassThrough> openCarriedPassThrough(int input, int output,
                                                               int channels) override;
    std::unique_ptr<BackgroundWork> startBackgroundWork(std::function<bool()> work) override;
    std::optional<int> defaultOutputDevice() const override;
    std::string startupProblem() const override { return m_startupProblem; }

  private:
    void readDevices();
    bool carries() const { return m_passThrough == PassThrough::Carried && !m_carryRefused; }

    const PassThrough m_passThrough;
    std::unique_ptr<PulseServer> m_server;
    std::string m_startupProblem;
    DeviceList<std::string> m_inputs;  // by the server's name of the device
    DeviceList<std::string> m_outputs;
    std::string m_defaultSink;
    bool m_carryRefused = false;  // the server would not load the loopback
};

}  // namespace dvx
