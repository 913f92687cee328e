#include "platform/split_audio_backend.h"

namespace dvx {

SplitAudioBackend::SplitAudioBackend(std::unique_ptr<AudioBackend> inputs,
                                     std::unique_ptr<AudioBackend> outputs)
    : m_inputs(std::move(inputs)), m_outputs(std::move(outputs)) {}

SplitAudioBackend::~SplitAudioBackend() = default;

std::string SplitAudioBackend::name() const {
    return m_inputs->name() + " input, " + m_outputs->name() + " output";
}

std::vector<std::string> SplitAudioBackend::inputDeviceNames() const {
    return m_inputs->inputDeviceNames();
}

std::vector<std::string> SplitAudioBackend::outputDeviceNames() const {
    return m_outputs->outputDeviceNames();
}

std::unique_ptr<AudioStream> SplitAudioBackend::openInput(int device, int channels,
                                                          CaptureSink& sink) {
    return m_inputs->openInput(device, channels, sink);
}

std::unique_ptr<AudioStream> SplitAudioBackend::openOutput(int device, int channels,
                                                           RenderSource& source) {
    return m_outputs->openOutput(device, channels, source);
}

std::unique_ptr<AudioStream> SplitAudioBackend::openLiveOutput(int device, int channels,
                                                               RenderSource& source) {
    return m_outputs->openLiveOutput(device, channels, source);
}

std::unique_ptr<BackgroundWork> SplitAudioBackend::startBackgroundWork(std::function<bool()> work) {
    return m_outputs->startBackgroundWork(std::move(work));
}

}  // namespace dvx
