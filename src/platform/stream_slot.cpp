#include "platform/stream_slot.h"

namespace dvx {

template <typename Open>
void StreamSlot::open(Open&& openStream) {
    close();
    try {
        m_stream = openStream();
    } catch (const AudioError&) {
        ++m_failures;
        throw;
    }
}

void StreamSlot::openInput(int device, int channels, CaptureSink& sink) {
    open([&] { return m_backend.openInput(device, channels, sink); });
}

void StreamSlot::openOutput(int device, int channels, RenderSource& source) {
    open([&] { return m_backend.openOutput(device, channels, source); });
}

void StreamSlot::openLiveOutput(int device, int channels, RenderSource& source) {
    open([&] { return m_backend.openLiveOutput(device, channels, source); });
}

CarriedPassThrough* StreamSlot::openCarriedPassThrough(int input, int output, int channels) {
    CarriedPassThrough* carried = nullptr;
    open([&]() -> std::unique_ptr<AudioStream> {
        auto stream = m_backend.openCarriedPassThrough(input, output, channels);
        carried = stream.get();
        return stream;
    });
    return carried;
}

void StreamSlot::start() {
    if (m_stream == nullptr) {
        throw AudioError("The sound stream is not open");
    }
    try {
        m_stream->start();
    } catch (const CarryRefused&) {
        throw;  // no device failed
    } catch (const AudioError&) {
        ++m_failures;
        throw;
    }
}

void StreamSlot::stop() {
    if (m_stream != nullptr) {
        m_stream->stop();
    }
}

void StreamSlot::close() {
    if (m_stream != nullptr) {
        m_stream->stop();
        m_closedStats += m_stream->stats();
        m_stream.reset();
    }
    m_declaredFailed = false;
}

bool StreamSlot::takeFailure() {
    if (m_stream == nullptr || !(m_declaredFailed || m_stream->hasFailed())) {
        return false;
    }
    ++m_failures;
    close();
    return true;
}

StreamStats StreamSlot::stats() const {
    StreamStats total = m_closedStats;
    if (m_stream != nullptr) {
        total += m_stream->stats();
    }
    return total;
}

}  // namespace dvx
