#pragma once

namespace dvx {

// The live chain the sensor drives: capture (`WaveIn`) through the volume stage (`Fader`) to
// the pass-through output (`WaveOut1`), and the fill outputs it stops when disarming. The
// main window's audio graph implements it. Main thread only; failures throw AudioError.
class SensorAudio {
  public:
    virtual ~SensorAudio() = default;
    virtual void startCapture() = 0;      // open and start `WaveIn`
    virtual void stopCapture() = 0;       // stop and close `WaveIn`
    virtual void startPassThrough() = 0;  // `WaveOut1`
    virtual void stopPassThrough() = 0;
    virtual void stopFillOutput() = 0;  // `WaveOut2`
    virtual void stopPlayers() = 0;     // stop both players and release their files
    virtual int volume() const = 0;     // `Fader`, 0 .. 16384
    virtual void setVolume(int volume) = 0;
};

}  // namespace dvx
