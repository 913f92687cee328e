#include "platform/portaudio_backend.h"

#include <portaudio.h>

namespace dvx {
namespace {

std::string deviceLabel(const PaDeviceInfo& info) {
    const PaHostApiInfo* api = Pa_GetHostApiInfo(info.hostApi);
    std::string label = info.name != nullptr ? info.name : "?";
    if (api != nullptr && api->name != nullptr) {
        label += std::string(" (") + api->name + ")";
    }
    return label;
}

}  // namespace

PortAudioBackend::PortAudioBackend() {
    const PaError error = Pa_Initialize();
    if (error != paNoError) {
        throw AudioError(std::string("The sound system could not be started: ") +
                         Pa_GetErrorText(error));
    }
    const int count = Pa_GetDeviceCount();
    for (int i = 0; i < count; ++i) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
        if (info == nullptr) {
            continue;
        }
        if (info->maxInputChannels > 0) {
            m_inputs.push_back({i, deviceLabel(*info)});
        }
        if (info->maxOutputChannels > 0) {
            m_outputs.push_back({i, deviceLabel(*info)});
        }
    }
}

PortAudioBackend::~PortAudioBackend() { Pa_Terminate(); }

std::vector<std::string> PortAudioBackend::inputDeviceNames() const {
    std::vector<std::string> names;
    for (const Device& device : m_inputs) {
        names.push_back(device.name);
    }
    return names;
}

std::vector<std::string> PortAudioBackend::outputDeviceNames() const {
    std::vector<std::string> names;
    for (const Device& device : m_outputs) {
        names.push_back(device.name);
    }
    return names;
}

std::unique_ptr<AudioStream> PortAudioBackend::openInput(int, int, CaptureSink&) {
    throw AudioError("Sound input streams are not available in this build");
}

std::unique_ptr<AudioStream> PortAudioBackend::openOutput(int, int, RenderSource&) {
    throw AudioError("Sound output streams are not available in this build");
}

}  // namespace dvx
