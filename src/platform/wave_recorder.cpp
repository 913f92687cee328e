#include "platform/wave_recorder.h"

namespace dvx {

WaveRecorder::WaveRecorder(AudioBackend& backend, SoundFiles& files, AudioEventPump& pump)
    : m_sink(backend, files), m_input(backend, pump) {
    m_sink.setGain(&m_gain);
    m_input.setSink(&m_sink);
}

WaveRecorder::~WaveRecorder() {
    m_input.close();
}

void WaveRecorder::arm() {
    if (m_sink.isOpen()) {
        return;
    }
    m_sink.open(m_path, m_input.channels());
    try {
        m_input.start();
    } catch (...) {
        m_input.close();
        m_sink.close();
        throw;
    }
}

void WaveRecorder::start() {
    arm();
    m_sink.setEnabled(true);
}

void WaveRecorder::pause() {
    m_sink.setEnabled(false);
}

void WaveRecorder::stop() {
    m_sink.setEnabled(false);
    m_input.close();
    m_sink.close();
}

}  // namespace dvx
