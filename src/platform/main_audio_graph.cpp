#include "platform/main_audio_graph.h"

namespace dvx {

MainAudioGraph::MainAudioGraph(AudioBackend& backend, SoundFiles& files, AudioEventPump& pump)
    : MMRingBufferX1(static_cast<std::size_t>(kQueueBuffers) * kBufferBytes / sizeof(std::int16_t)),
      WaveIn(backend, pump),
      WaveOut1(backend, pump, MMRingBufferX1, Fader),
      WaveFile1(backend, files, 2),
      WaveFile2(backend, files, 2),
      Mixer(WaveFile1, WaveFile2),
      WaveOut2(backend, pump, Mixer),
      WavePlayer1(backend, files, pump),
      WavePlayer2(backend, files, pump) {
    WaveIn.setTap(&MMConnectorX1);
    WaveIn.setRing(&MMRingBufferX1);
    WaveOut2.setTap(&MMConnectorX4);
    WavePlayer1.setTap(&MMConnectorX2);
    WavePlayer2.setTap(&MMConnectorX3);
}

void MainAudioGraph::setDevices(int netIn, int netOut, int out1, int out2) {
    WaveIn.setDevice(netIn);
    WaveOut1.setInputDevice(netIn);
    WaveOut1.setDevice(netOut);
    WaveOut2.setDevice(out1);
    WavePlayer1.setDevice(out1);
    WavePlayer2.setDevice(out2);
}

}  // namespace dvx
