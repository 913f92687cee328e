#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/audio_backend.h"

namespace dvx {

// Input devices of one backend and output devices of another: a demonstration feeds the
// sensor from a virtual input and plays on the machine's real speakers. Background work runs
// as the output backend runs it, since the players it feeds keep that backend's pace.
//
// Threads: main thread only, as AudioBackend. It owns both backends, so it must outlive every
// stream and work it hands out.
class SplitAudioBackend : public AudioBackend {
  public:
    SplitAudioBackend(std::unique_ptr<AudioBackend> inputs, std::unique_ptr<AudioBackend> outputs);
    ~SplitAudioBackend() override;

    std::string name() const override;
    std::vector<std::string> inputDeviceNames() const override;
    std::vector<std::string> outputDeviceNames() const override;
    std::unique_ptr<AudioStream> openInput(int device, int channels, CaptureSink& sink) override;
    std::unique_ptr<AudioStream> openOutput(int device, int channels,
                                            RenderSource& source) override;
    std::unique_ptr<AudioStream> openLiveOutput(int device, int channels,
                                                RenderSource& source) override;
    std::unique_ptr<BackgroundWork> startBackgroundWork(std::function<bool()> work) override;

  private:
    std::unique_ptr<AudioBackend> m_inputs;
    std::unique_ptr<AudioBackend> m_outputs;
};

}  // namespace dvx
