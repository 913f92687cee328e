#include "app/graph_sensor_audio.h"

#include "sensor/level_detector.h"

namespace dvx {

GraphSensorAudio::GraphSensorAudio(MainAudioGraph& graph, LevelDetector& levels)
    : m_graph(graph), m_levels(levels) {
    m_graph.WaveIn.addObserver(*this);
}

GraphSensorAudio::~GraphSensorAudio() {
    m_graph.WaveIn.stop();
    m_graph.WaveIn.removeObserver(*this);
}

void GraphSensorAudio::onBuffer(const CapturedBuffer& buffer) noexcept {
    m_levels.onBuffer(buffer.peaks.left, buffer.peaks.right);
}

void GraphSensorAudio::startCapture() {
    m_graph.WaveIn.start();
}

void GraphSensorAudio::stopCapture() {
    // A recording of the same device keeps the capture running until it ends.
    m_graph.WaveIn.close();
}

void GraphSensorAudio::startPassThrough() {
    m_graph.WaveOut1.start();
}
void GraphSensorAudio::stopPassThrough() {
    m_graph.WaveOut1.stop();
}
void GraphSensorAudio::stopFillOutput() {
    m_graph.WaveOut2.stop();
}

void GraphSensorAudio::stopPlayers() {
    for (WavePlayer* player : {&m_graph.WavePlayer1, &m_graph.WavePlayer2}) {
        player->stop();
        player->setFileName({});  // releases the loaded file
    }
}

int GraphSensorAudio::volume() const {
    return m_graph.Fader.volume();
}
void GraphSensorAudio::setVolume(int volume) {
    m_graph.WaveOut1.setVolume(volume);
}

}  // namespace dvx
