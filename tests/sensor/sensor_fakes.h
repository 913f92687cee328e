#pragma once

#include <string>
#include <vector>

#include "platform/audio_backend.h"
#include "sensor/sensor_audio.h"
#include "sensor/sensor_view.h"

namespace dvx::test {

// Records what the sensor shows.
class RecordingSensorView : public SensorView {
  public:
    void showSilence(const std::string& text) override { silence.push_back(text); }
    void showAlarm(bool visible) override { alarmShown = visible; }
    void showArmed(bool isArmed) override { armed = isArmed; }
    void showProgram(const std::string& text) override { program = text; }
    void showClock(const std::string& text) override { clock = text; }

    std::vector<std::string> silence;
    bool alarmShown = false;
    bool armed = false;
    std::string program;
    std::string clock;
};

// A live chain whose capture can be told to fail to start.
class ScriptedSensorAudio : public SensorAudio {
  public:
    void startCapture() override {
        ++captureStarts;
        if (failStarts > 0) {
            --failStarts;
            throw AudioError("Device unavailable");
        }
        capturing = true;
    }
    void stopCapture() override { capturing = false; }
    void startPassThrough() override { passThrough = true; }
    void stopPassThrough() override { passThrough = false; }
    void stopFillOutput() override { ++fillStops; }
    void stopPlayers() override { ++playerStops; }
    int volume() const override { return fader; }
    void setVolume(int value) override { fader = value; }

    int failStarts = 0;
    int captureStarts = 0;
    bool capturing = false;
    bool passThrough = false;
    int fillStops = 0;
    int playerStops = 0;
    int fader = 16384;
};

}  // namespace dvx::test
