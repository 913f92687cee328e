#pragma once

#include <string>
#include <vector>

#include "common/simulated_clock.h"
#include "fill/fill_players.h"
#include "fill/fill_selection.h"
#include "fill/fill_view.h"
#include "fill_test_data.h"
#include "platform/audio_event_pump.h"
#include "platform/main_audio_graph.h"
#include "platform/sndfile_sound_files.h"
#include "platform/virtual_audio_backend.h"
#include "sensor/alarm_rig.h"

namespace dvx::test {

class RecordingFillView : public FillView {
  public:
    void showItem(const std::string& text) override { item = text; }
    void showTimeLeft(const std::string& text) override { timeLeft = text; }
    void setTimeLeftVisible(bool visible) override { timeLeftVisible = visible; }
    void setFillMetersVisible(bool visible) override { metersVisible = visible; }

    std::string item;
    std::string timeLeft;
    bool timeLeftVisible = false;
    bool metersVisible = false;
};

// The monitoring tick with the real alarm sequence and the fill players on the main audio
// graph, over virtual devices, on a simulated clock that starts on Monday 7 December 2026 at
// 11:59:49.9. Armed there and left silent, the alarm begins 10 s later at 11:59:59.9 and the
// fill on the next tick, at 12:00:00. Player 1 plays on "Virtual Out 1", player 2 and the mixer
// output on "Virtual Out 2".
struct FillRig {
    static constexpr double kStart = 11 * 3600 + 59 * 60 + 49.9;

    explicit FillRig(double startSecondsOfDay = kStart) : clock{2026, 12, 7, startSecondsOfDay} {
        parameters.DeadAirSeconds = 10;
        parameters.Threshold = 100;
        graph.setDevices(0, 0, 1, 2);
        engine.setTickSteps([this] { sequence.checkProgramInForce(); },
                            [this] { sequence.afterSilenceClock(); });
    }

    // A music file of category A, `seconds` long on disk and by its catalogue entry.
    void addItem(int number, const std::string& title, const std::string& artist, int seconds) {
        addItem(number, title, artist, seconds, seconds);
    }
    // A music file `fileSeconds` long on disk whose end mark is at `eomSeconds`.
    void addItem(int number, const std::string& title, const std::string& artist, int fileSeconds,
                 int eomSeconds, const std::string& category = "A") {
        data.addMusic(number, title, artist, category, eomSeconds);
        auto writer = soundFiles.createWriter(data.music.wavePath(number), 1);
        const std::vector<std::int16_t> second(44100, 3000);
        for (int i = 0; i < fileSeconds; ++i) {
            writer->write(second.data(), 44100);
        }
    }

    void runTo(int hours, int minutes, double seconds) {
        clock.advanceTo(hours * 3600 + minutes * 60 + seconds);
    }
    // The feed is loud for `seconds`, as capture would report it.
    void sound(double seconds) {
        for (double t = 0; t < seconds; t += 0.023) {
            levels.onBuffer(4000, 4000);
            clock.advanceSeconds(0.023);
        }
    }

    std::vector<std::string> alarmLog(int day = 7) const {
        return fileLines(log.dailyFile(2026, 12, day));
    }
    std::vector<std::string> playlist() const {
        return fileLines(data.paths.logsFolder() / "Playlist.txt");
    }

    FillData data;
    SimulatedClock clock;
    Parameters parameters;
    ConnectionSettings connection;
    std::string Facility = "WDVX  ";
    RecordingErrorReporter errors;
    AlarmLog log{data.paths, clock, errors};
    ScriptedSensorAudio live;
    LevelDetector levels{clock};
    RecordingSensorView sensorView;
    SensorEngine engine{clock, parameters, live, levels, sensorView, errors, log};
    SndfileSoundFiles soundFiles;
    VirtualAudioBackend backend{clock, soundFiles, VirtualAudioConfig{}};
    AudioEventPump pump{clock};
    MainAudioGraph graph{backend, soundFiles, pump};
    FillSelection selection{clock, engine.state(), parameters, data.fillFiles(), data.paths};
    RecordingFillView view;
    RecordingNotifier notifier;
    int relayOffs = 0;       // by the fill's end
    int alarmRelayOffs = 0;  // by the alarm's end
    FillPlayers players{FillPlayers::Context{clock, engine, live, graph, parameters, connection,
                                             Facility, selection, log, notifier, view, errors,
                                             [this] { ++relayOffs; }}};
    AlarmSequence sequence{clock,
                           engine,
                           parameters,
                           connection,
                           Facility,
                           log,
                           sensorView,
                           AlarmSequence::Outputs{notifier, players, {}, {}, [this] { ++alarmRelayOffs; }}};
};

}  // namespace dvx::test
