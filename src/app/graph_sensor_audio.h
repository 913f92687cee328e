#pragma once

#include "platform/main_audio_graph.h"
#include "platform/wave_input.h"
#include "sensor/sensor_audio.h"

namespace dvx {

class LevelDetector;

// The sensor's live chain on the main window's audio graph, with the level test attached to
// the capture. Main thread only, except the observer hook, which runs where buffers arrive.
class GraphSensorAudio : public SensorAudio, private CaptureObserver {
  public:
    GraphSensorAudio(MainAudioGraph& graph, LevelDetector& levels);
    ~GraphSensorAudio() override;

    void startCapture() override;
    void stopCapture() override;
    void startPassThrough() override;
    void stopPassThrough() override;
    void stopFillOutput() override;
    void stopPlayers() override;
    int volume() const override;
    void setVolume(int volume) override;

  private:
    void onBuffer(const CapturedBuffer& buffer) noexcept override;

    MainAudioGraph& m_graph;
    LevelDetector& m_levels;
};

}  // namespace dvx
