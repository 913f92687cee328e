#include "platform/pulse_stream.h"

#include <algorithm>

namespace dvx {
namespace {

// Operations whose outcome the stream learns from its state anyway.
void release(pa_operation* operation) {
    if (operation != nullptr) {
        pa_operation_unref(operation);
    }
}

}  // namespace

PulseStream::PulseStream(PulseServer& server, const std::string& device, int channels,
                         CaptureSink* sink, RenderSource* source, Latency latency)
    : m_server(server),
      m_channels(channels == 1 ? 1 : 2),
      m_frameBytes(sizeof(std::int16_t) * static_cast<std::size_t>(m_channels)),
      m_live(latency == Latency::Live),
      m_sink(sink),
      m_source(source),
      m_silence(static_cast<std::size_t>(kFramesPerBuffer) * m_channels) {
    PulseServer::Lock lock(m_server);
    connect(device);
}

PulseStream::~PulseStream() {
    PulseServer::Lock lock(m_server);
    close();
}

void PulseStream::connect(const std::string& device) {
    const char* what = m_sink != nullptr ? "The sound input cannot be opened: "
                                         : "The sound output cannot be opened: ";
    pa_context* context = m_server.context();
    const pa_sample_spec spec{PA_SAMPLE_S16NE, kSampleRate, static_cast<std::uint8_t>(m_channels)};
    m_stream = pa_stream_new(context, m_sink != nullptr ? "Dorvexia input" : "Dorvexia output",
                             &spec, nullptr);
    if (m_stream == nullptr) {
        throw AudioError(what + m_server.lastError());
    }
    pa_stream_set_state_callback(m_stream, &PulseStream::onState, this);
    // Started corked, so nothing flows before start(). Adjusted latency: the sizes below bound
    // the whole delay, the device's buffer included (the server sets the device up to fit).
    const auto flags = static_cast<pa_stream_flags_t>(
        PA_STREAM_START_CORKED | PA_STREAM_ADJUST_LATENCY | PA_STREAM_DONT_MOVE);
    const auto bytes = [&](int frames) {
        return static_cast<std::uint32_t>(frames * m_frameBytes);
    };
    pa_buffer_attr attributes{};
    attributes.maxlength = attributes.tlength = attributes.prebuf = attributes.minreq =
        attributes.fragsize = static_cast<std::uint32_t>(-1);  // the server's choice
    int result = 0;
    if (m_sink != nullptr) {
        attributes.fragsize = bytes(m_live ? kLiveFrames : kFramesPerBuffer);
        pa_stream_set_read_callback(m_stream, &PulseStream::onReadable, this);
        result = pa_stream_connect_record(m_stream, device.c_str(), &attributes, flags);
    } else {
        attributes.tlength = bytes(m_live ? kLiveOutputFrames : kRelaxedOutputFrames);
        // Asked for one capture fragment at a time on the live output: the server's own choice
        // (a quarter of the target) wakes the loop about a hundred times a second more, for no
        // less delay.
        attributes.minreq = bytes(m_live ? kLiveFrames : kFramesPerBuffer);
        pa_stream_set_write_callback(m_stream, &PulseStream::onWritable, this);
        pa_stream_set_underflow_callback(m_stream, &PulseStream::onUnderflow, this);
        result = pa_stream_connect_playback(m_stream, device.c_str(), &attributes, flags, nullptr,
                                            nullptr);
    }
    if (result >= 0) {
        for (pa_stream_state_t state; PA_STREAM_IS_GOOD(state = pa_stream_get_state(m_stream));) {
            if (state == PA_STREAM_READY) {
                return;
            }
            m_server.wait();
        }
    }
    const std::string why = m_server.lastError();
    close();
    throw AudioError(what + why);
}

void PulseStream::close() {
    if (m_stream == nullptr) {
        return;
    }
    pa_stream_set_state_callback(m_stream, nullptr, nullptr);
    pa_stream_set_read_callback(m_stream, nullptr, nullptr);
    pa_stream_set_write_callback(m_stream, nullptr, nullptr);
    pa_stream_set_underflow_callback(m_stream, nullptr, nullptr);
    if (PA_STREAM_IS_GOOD(pa_stream_get_state(m_stream))) {
        pa_stream_disconnect(m_stream);
    }
    pa_stream_unref(m_stream);
    m_stream = nullptr;
}

void PulseStream::start() {
    if (m_running) {
        return;
    }
    if (hasFailed()) {
        throw AudioError("The sound device is no longer available");
    }
    PulseServer::Lock lock(m_server);
    m_active = true;
    // What the server asked for while the stream was stopped is still owed: the server asks
    // again only for what it has been given. A live output owes it silence: its device may
    // take a while to wake, and a source rendered now would then stand still meanwhile while
    // its feed piled up (a pass-through would count that as sound dropped). Its first render
    // comes with the server's first request once the device plays.
    if (m_source != nullptr) {
        fillRequested(m_live ? Fill::Silence : Fill::Rendered);
    }
    pa_operation* uncork = pa_stream_cork(m_stream, 0, nullptr, nullptr);
    if (uncork == nullptr) {
        m_active = false;
        throw AudioError("The sound stream cannot be started: " + m_server.lastError());
    }
    pa_operation_unref(uncork);
    m_running = true;
}

void PulseStream::stop() {
    if (!m_running) {
        return;
    }
    PulseServer::Lock lock(m_server);
    m_active = false;
    m_running = false;
    // Like an aborted PortAudio stream: what is queued is dropped, not played or handed on
    // at the next start.
    if (pa_stream_get_state(m_stream) == PA_STREAM_READY) {
        release(pa_stream_cork(m_stream, 1, nullptr, nullptr));
        release(pa_stream_flush(m_stream, nullptr, nullptr));
        if (m_sink != nullptr) {
            takeCaptured();
        }
    }
}

void PulseStream::takeCaptured() noexcept {
    while (pa_stream_readable_size(m_stream) > 0) {
        const void* data = nullptr;
        std::size_t bytes = 0;
        if (pa_stream_peek(m_stream, &data, &bytes) < 0 || bytes == 0) {
            return;
        }
        if (m_active) {
            deliver(static_cast<const std::int16_t*>(data), bytes / m_frameBytes, data == nullptr);
        }
        pa_stream_drop(m_stream);
    }
}

void PulseStream::deliver(const std::int16_t* samples, std::size_t frames, bool lost) noexcept {
    for (std::size_t done = 0; done < frames;) {
        const std::size_t count = std::min(frames - done, std::size_t{kFramesPerBuffer});
        m_counters.note(lost, false);
        m_sink->onCaptured(lost ? m_silence.data() : samples + done * m_channels,
                           static_cast<int>(count), m_channels);
        done += count;
    }
}

void PulseStream::fillRequested(Fill fill) noexcept {
    std::size_t wanted = pa_stream_writable_size(m_stream);
    if (wanted == static_cast<std::size_t>(-1)) {
        return;
    }
    while (wanted >= m_frameBytes) {
        // Rendered straight into the server's own buffer: no copy, no allocation of ours.
        void* buffer = nullptr;
        std::size_t bytes = std::min(wanted, kFramesPerBuffer * m_frameBytes);
        if (pa_stream_begin_write(m_stream, &buffer, &bytes) < 0 || buffer == nullptr) {
            return;
        }
        // The server may hand out less than asked, never more; a source renders at most
        // kFramesPerBuffer frames at a time all the same.
        const std::size_t frames =
            std::min({bytes, wanted, kFramesPerBuffer * m_frameBytes}) / m_frameBytes;
        if (frames == 0) {
            pa_stream_cancel_write(m_stream);
            return;
        }
        auto* samples = static_cast<std::int16_t*>(buffer);
        if (fill == Fill::Silence) {
            std::fill_n(samples, frames * m_channels, std::int16_t{0});
        } else {
            m_counters.note(false, m_underflowed);
            m_underflowed = false;
            m_source->render(samples, static_cast<int>(frames), m_channels);
        }
        if (pa_stream_write(m_stream, buffer, frames * m_frameBytes, nullptr, 0, PA_SEEK_RELATIVE) <
            0) {
            return;
        }
        wanted -= frames * m_frameBytes;
    }
}

void PulseStream::onState(pa_stream* stream, void* self) {
    auto& me = *static_cast<PulseStream*>(self);
    if (!PA_STREAM_IS_GOOD(pa_stream_get_state(stream))) {
        me.m_failed.store(true, std::memory_order_relaxed);  // killed, or the server went away
    }
    me.m_server.wake();
}

void PulseStream::onReadable(pa_stream* /*stream*/, std::size_t /*bytes*/, void* self) {
    static_cast<PulseStream*>(self)->takeCaptured();
}

void PulseStream::onWritable(pa_stream* /*stream*/, std::size_t /*bytes*/, void* self) {
    auto& me = *static_cast<PulseStream*>(self);
    if (me.m_active) {
        me.fillRequested();
    }
}

void PulseStream::onUnderflow(pa_stream* /*stream*/, void* self) {
    static_cast<PulseStream*>(self)->m_underflowed = true;
}

}  // namespace dvx
