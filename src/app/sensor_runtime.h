#pragma once

#include <memory>

#include "app/graph_sensor_audio.h"
#include "app/station.h"
#include "common/clock.h"
#include "fill/fill_players.h"
#include "fill/fill_selection.h"
#include "platform/audio_event_pump.h"
#include "platform/main_audio_graph.h"
#include "sensor/alarm_log.h"
#include "sensor/alarm_outputs.h"
#include "sensor/alarm_sequence.h"
#include "sensor/audio_health.h"
#include "sensor/clock_schedule.h"
#include "sensor/level_detector.h"
#include "sensor/relays.h"
#include "sensor/remote_inputs.h"
#include "sensor/restart_countdown.h"
#include "sensor/sensor_engine.h"

namespace dvx {

class AudioBackend;
class ErrorReporter;
class FillView;
class PortAccess;
class SensorView;
class SoundFiles;
class SystemRestart;

// What the sensor runs on, from outside: the clock, the sound devices and files, the
// remote-control port, the restart request, the error window and the main window's view.
struct SensorDevices {
    Clock& clock;
    AudioBackend& audio;
    SoundFiles& soundFiles;
    PortAccess& ports;
    SystemRestart& restart;
    ErrorReporter& errors;
    SensorView& view;
    FillView& fillView;
};

// The running sensor: the main window's audio graph with the watch on its devices, the level
// test, the monitoring and clock ticks with the alarm sequence, the relays and remote inputs,
// the restart countdown, the fill, and the hand-over to notification. Built once start-up has
// loaded the station; owned by the main window. Main thread only.
class SensorRuntime {
  public:
    SensorRuntime(Station& station, SensorDevices devices, AlarmLog& log, AlarmNotifier& notifier);
    ~SensorRuntime();

    // Last start-up step: arms the sensor when the parameters ask for it.
    void armIfAutoRun();
    // Runs the capture for the input meters from now to the end of the run, armed or not. The
    // level test hears it too, but arming starts the silence clock afresh, so what it heard
    // before changes nothing. A failure is reported; the health watch tries the device again.
    void startMetering();

    SensorEngine& engine() { return m_engine; }
    const FillPlayers& fill() const { return m_fill; }
    const AlarmSequence& sequence() const { return m_sequence; }
    MainAudioGraph& graph() { return m_graph; }
    // The pump of the graph's events, for the library windows' players and recorders.
    AudioEventPump& pump() { return m_pump; }
    Relays& relays() { return m_relays; }
    ClockSchedule& schedule() { return m_schedule; }
    LevelDetector& levels() { return m_levels; }
    AudioHealthWatch& health() { return m_health; }

  private:
    void startRestartCountdown();

    Station& m_station;
    SensorDevices m_devices;
    AlarmLog& m_log;
    AudioEventPump m_pump;
    MainAudioGraph m_graph;
    AudioHealthWatch m_health;
    LevelDetector m_levels;
    GraphSensorAudio m_sensorAudio;
    SensorEngine m_engine;
    Relays m_relays;
    RemoteInputs m_inputs;
    RestartCountdown m_restart;
    FillSelection m_selection;
    FillPlayers m_fill;
    AlarmSequence m_sequence;
    ClockSchedule m_schedule;
};

}  // namespace dvx
