#include "platform/stream_slot.h"

namespace dvx {

void StreamSlot::openInput(int device, int channels, CaptureSink& sink) {
    close();
    m_stream = m_backend.openInput(device, channels, sink);
}

void StreamSlot::openOutput(int device, int channels, RenderSource& source) {
    close();
    m_stream = m_backend.openOutput(device, channels, source);
}

void StreamSlot::start() {
    if (m_stream == nullptr) {
        throw AudioError("The sound stream is not open");
    }
    m_stream->start();
}

void StreamSlot::stop() {
    if (m_stream != nullptr) {
        m_stream->stop();
    }
}

void StreamSlot::close() {
    if (m_stream != nullptr) {
        m_stream->stop();
        m_stream.reset();
    }
}

bool StreamSlot::takeFailure() {
    if (m_stream == nullptr || !m_stream->hasFailed()) {
        return false;
    }
    close();
    return true;
}

}  // namespace dvx
