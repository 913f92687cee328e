#include "platform/portaudio_stream.h"

#include <algorithm>
#include <string>

#if __has_include(<pa_linux_alsa.h>)
#include <pa_linux_alsa.h>
#define DORVEXIA_PA_ALSA 1
#endif

namespace dvx {
namespace {

AudioError streamError(const char* what, PaError error) {
    return AudioError(std::string(what) + ": " + Pa_GetErrorText(error));
}

// Asks ALSA for real-time scheduling of the callback thread (time-critical priority). Where
// the system refuses, PortAudio goes on at normal priority.
void preferRealTime([[maybe_unused]] PaStream* stream, [[maybe_unused]] int device) {
#ifdef DORVEXIA_PA_ALSA
    const PaDeviceInfo* info = Pa_GetDeviceInfo(device);
    const PaHostApiInfo* api = info != nullptr ? Pa_GetHostApiInfo(info->hostApi) : nullptr;
    if (api != nullptr && api->type == paALSA) {
        PaAlsa_EnableRealtimeScheduling(stream, 1);
    }
#endif
}

}  // namespace

PortAudioStream::PortAudioStream(int portAudioDevice, int channels, CaptureSink* sink,
                                 RenderSource* source, Latency latency)
    : m_channels(channels == 1 ? 1 : 2),
      m_sink(sink),
      m_source(source),
      m_silence(static_cast<std::size_t>(kFramesPerBuffer) * m_channels) {
    const PaDeviceInfo* info = Pa_GetDeviceInfo(portAudioDevice);
    if (info == nullptr) {
        throw AudioError("The sound device is no longer there");
    }
    PaStreamParameters parameters{};
    parameters.device = portAudioDevice;
    parameters.channelCount = m_channels;
    parameters.sampleFormat = paInt16;
    // A roomy buffer keeps a late wake-up from losing sound, but on a sound server's device
    // it is delay as well, in either direction: the live pass-through keeps both small (a few
    // of its buffers of slack on the output), the rest stays roomy.
    const bool live = latency == Latency::Live;
    if (sink != nullptr) {
        parameters.suggestedLatency =
            live ? info->defaultLowInputLatency : info->defaultHighInputLatency;
    } else {
        parameters.suggestedLatency =
            live ? std::max(info->defaultLowOutputLatency, kLiveOutputSlackSeconds)
                 : info->defaultHighOutputLatency;
    }
    const PaError error = Pa_OpenStream(&m_stream, sink != nullptr ? &parameters : nullptr,
                                        source != nullptr ? &parameters : nullptr, kSampleRate,
                                        live ? kLiveFramesPerBuffer : kFramesPerBuffer,
                                        paClipOff | paDitherOff, &PortAudioStream::onBuffer, this);
    if (error != paNoError) {
        throw streamError(sink != nullptr ? "The sound input cannot be opened"
                                          : "The sound output cannot be opened",
                          error);
    }
    Pa_SetStreamFinishedCallback(m_stream, &PortAudioStream::onFinished);
    preferRealTime(m_stream, portAudioDevice);
}

PortAudioStream::~PortAudioStream() {
    stop();
    Pa_CloseStream(m_stream);
}

void PortAudioStream::start() {
    if (m_running) {
        return;
    }
    if (m_failed.load()) {
        throw AudioError("The sound device is no longer available");
    }
    m_stopping.store(false);
    const PaError error = Pa_StartStream(m_stream);
    if (error != paNoError) {
        throw streamError("The sound stream cannot be started", error);
    }
    m_running = true;
}

void PortAudioStream::stop() {
    if (!m_running) {
        return;
    }
    m_stopping.store(true);
    // Abort rather than drain: a stop takes effect at once, and a stream on a lost device
    // cannot hold it up.
    Pa_AbortStream(m_stream);
    m_running = false;
}

bool PortAudioStream::hasFailed() const {
    return m_failed.load() || (m_running && Pa_IsStreamActive(m_stream) != 1);
}

int PortAudioStream::onBuffer(const void* input, void* output, unsigned long frames,
                              const PaStreamCallbackTimeInfo* /*time*/, PaStreamCallbackFlags flags,
                              void* self) {
    auto& stream = *static_cast<PortAudioStream*>(self);
    stream.m_counters.note((flags & (paInputOverflow | paOutputOverflow)) != 0,
                           (flags & (paInputUnderflow | paOutputUnderflow)) != 0);
    const int count = static_cast<int>(frames);
    if (stream.m_sink != nullptr) {
        const auto* samples = static_cast<const std::int16_t*>(input);
        if (samples == nullptr && frames <= static_cast<unsigned long>(kFramesPerBuffer)) {
            samples = stream.m_silence.data();
        }
        if (samples != nullptr) {
            stream.m_sink->onCaptured(samples, count, stream.m_channels);
        }
    } else {
        stream.m_source->render(static_cast<std::int16_t*>(output), count, stream.m_channels);
    }
    return paContinue;
}

void PortAudioStream::onFinished(void* self) {
    auto& stream = *static_cast<PortAudioStream*>(self);
    if (!stream.m_stopping.load()) {
        stream.m_failed.store(true);  // it ended by itself: the device went away
    }
}

}  // namespace dvx
