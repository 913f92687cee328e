#include "platform/portaudio_backend.h"

#include <dlfcn.h>
#include <portaudio.h>

#include "platform/portaudio_stream.h"
#include "platform/threaded_background_work.h"

#ifdef DORVEXIA_HAVE_ALSA
#include <alsa/asoundlib.h>
#endif

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

#ifdef DORVEXIA_HAVE_ALSA
void ignoreAlsaMessage(const char*, int, const char*, int, const char*, ...) {}
#endif
void ignoreJackMessage(const char*) {}

// Probing the host APIs makes ALSA and JACK print pages of complaints on a machine without a
// sound card or sound server. Their message hooks are pointed at nothing, so the program's
// own output stays readable. JACK is reached through the loader, since PortAudio may be built
// without it.
void silenceSoundSystemMessages() {
#ifdef DORVEXIA_HAVE_ALSA
    snd_lib_error_set_handler(&ignoreAlsaMessage);
#endif
    using SetHandler = void (*)(void (*)(const char*));
    for (const char* name : {"jack_set_error_function", "jack_set_info_function"}) {
        if (auto set = reinterpret_cast<SetHandler>(dlsym(RTLD_DEFAULT, name))) {
            set(&ignoreJackMessage);
        }
    }
}

}  // namespace

PortAudioBackend::PortAudioBackend() {
    silenceSoundSystemMessages();
    const PaError error = Pa_Initialize();
    if (error != paNoError) {
        m_startupProblem =
            std::string("The sound system could not be started: ") + Pa_GetErrorText(error);
        return;
    }
    m_initialized = true;
    const int count = Pa_GetDeviceCount();
    for (int i = 0; i < count; ++i) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
        if (info == nullptr) {
            continue;
        }
        if (info->maxInputChannels > 0) {
            m_inputs.add(i, deviceLabel(*info));
        }
        if (info->maxOutputChannels > 0) {
            m_outputs.add(i, deviceLabel(*info));
        }
    }
    if (m_inputs.empty() && m_outputs.empty()) {
        m_startupProblem = "No sound device was found";
    }
}

PortAudioBackend::~PortAudioBackend() {
    if (m_initialized) {
        Pa_Terminate();
    }
}

std::vector<std::string> PortAudioBackend::inputDeviceNames() const {
    return m_inputs.names();
}

std::vector<std::string> PortAudioBackend::outputDeviceNames() const {
    return m_outputs.names();
}

std::optional<int> PortAudioBackend::defaultOutputDevice() const {
    if (!m_initialized) {
        return std::nullopt;
    }
    return m_outputs.find(Pa_GetDefaultOutputDevice());
}

std::unique_ptr<AudioStream> PortAudioBackend::openInput(int device, int channels,
                                                         CaptureSink& sink) {
    return std::make_unique<PortAudioStream>(m_inputs.at(device, "input"), channels, &sink, nullptr,
                                             PortAudioStream::Latency::Live);
}

std::unique_ptr<AudioStream> PortAudioBackend::openOutput(int device, int channels,
                                                          RenderSource& source) {
    return std::make_unique<PortAudioStream>(m_outputs.at(device, "output"), channels, nullptr,
                                             &source, PortAudioStream::Latency::Relaxed);
}

std::unique_ptr<AudioStream> PortAudioBackend::openLiveOutput(int device, int channels,
                                                              RenderSource& source) {
    return std::make_unique<PortAudioStream>(m_outputs.at(device, "output"), channels, nullptr,
                                             &source, PortAudioStream::Latency::Live);
}

std::unique_ptr<BackgroundWork> PortAudioBackend::startBackgroundWork(std::function<bool()> work) {
    return std::make_unique<ThreadedBackgroundWork>(std::move(work));
}

}  // namespace dvx
