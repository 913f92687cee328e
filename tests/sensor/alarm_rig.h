#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "common/disk_sync.h"
#include "common/simulated_clock.h"
#include "common/time_text.h"
#include "sensor/alarm_log.h"
#include "sensor/alarm_outputs.h"
#include "sensor/alarm_sequence.h"
#include "sensor/level_detector.h"
#include "sensor/sensor_engine.h"
#include "sensor/sensor_fakes.h"
#include "settings/connection_settings.h"
#include "support/temp_folder.h"

namespace dvx::test {

// Every e-mail and page the alarm sequence asks for.
class RecordingNotifier : public AlarmNotifier {
  public:
    void SendEmail(const std::string& subject, const std::string& text) override {
        emails.push_back(subject + " | " + text);
    }
    void SendPPage(std::int16_t code) override { pages.push_back(code); }
    std::vector<std::string> emails;
    std::vector<int> pages;
};

// Fill steps that only keep the state the alarm sequence looks at: a fill of items of
// `itemSeconds` each, alternating between two sources.
class RecordingFill : public FillSteps {
  public:
    RecordingFill(const Clock& clock, SensorState& state) : m_clock(clock), m_state(state) {}
    void StartFill() override {
        m_state.FillEnded = false;
        m_state.ActivePlayer = 1;
        startItem("StartFill");
    }
    void FillTick() override { ++ticks; }
    void NextFillItem() override {
        m_state.ActivePlayer = m_state.ActivePlayer == 1 ? 2 : 1;
        startItem("NextFillItem");
    }
    void ServeStopRequest() override {
        m_state.StopFillOutputs = false;
        calls.push_back("ServeStopRequest");
    }
    std::vector<std::string> calls;  // "StartFill@12:00:11"
    int ticks = 0;
    int itemSeconds = 30;

  private:
    void startItem(const char* what) {
        const double now = m_clock.now().secondsOfDay;
        startItemTime(m_state, m_clock, itemSeconds);
        calls.push_back(std::string(what) + "@" +
                        formatTimeOfDay(static_cast<std::int32_t>(std::floor(now))));
    }
    const Clock& m_clock;
    SensorState& m_state;
};

// Leaves what the logs write in the files without making it durable: a test needs no sync,
// and thousands of them would stall it on the disk.
class NoDiskSync : public DiskSync {
  public:
    void syncLater(int, const std::filesystem::path&) override {}
};

// The monitoring tick with its alarm sequence on a simulated clock; sound is fed straight to
// the level test as capture would deliver it.
struct AlarmRig {
    explicit AlarmRig(int year = 2026, int month = 12, int day = 7,
                      double secondsOfDay = 12 * 3600.0)
        : clock(year, month, day, secondsOfDay) {
        setUp();
    }
    // On the clock of a time zone ("Europe/Berlin").
    AlarmRig(const std::string& timeZone, int year, int month, int day, double secondsOfDay)
        : clock(timeZone, year, month, day, secondsOfDay) {
        setUp();
    }
    void setUp() {
        parameters.DeadAirSeconds = 10;
        parameters.Threshold = 100;
        Facility = "WDVX  ";
        std::filesystem::create_directories(paths.logsFolder());
        engine.setTickSteps([this] { sequence.checkProgramInForce(); },
                            [this] { sequence.afterSilenceClock(); });
    }

    void sound(double seconds) {
        for (double t = 0; t < seconds; t += 0.023) {
            levels.onBuffer(4000, 4000);
            clock.advanceSeconds(0.023);
        }
    }
    void silence(double seconds) { clock.advanceSeconds(seconds); }

    // Today's alarm log, one entry per line without the line end.
    std::vector<std::string> logLines() const {
        const LocalDateTime now = clock.now();
        return fileLines(log.dailyFile(now.year, now.month, now.day));
    }

    TempFolder root;
    Paths paths{root.path()};
    SimulatedClock clock;
    Parameters parameters;
    ConnectionSettings connection;
    std::string Facility;
    RecordingErrorReporter errors;
    NoDiskSync noSync;
    AlarmLog log{paths, clock, errors, &noSync};
    ScriptedSensorAudio audio;
    LevelDetector levels{clock};
    RecordingSensorView view;
    SensorEngine engine{clock, parameters, audio, levels, view, errors, log};
    RecordingNotifier notifier;
    RecordingFill fill{clock, engine.state()};
    int restartRequests = 0;
    int relayOn = 0;
    int relayOff = 0;
    // The clock's elapsed nanoseconds at each alarm begin and end (the relay follows the alarm).
    std::vector<std::int64_t> alarmBegins;
    std::vector<std::int64_t> alarmEnds;
    AlarmSequence sequence{
        clock,
        engine,
        parameters,
        connection,
        Facility,
        log,
        view,
        AlarmSequence::Outputs{notifier, fill, [this] { ++restartRequests; },
                               [this] {
                                   ++relayOn;
                                   alarmBegins.push_back(clock.elapsedNanoseconds());
                               },
                               [this] {
                                   ++relayOff;
                                   alarmEnds.push_back(clock.elapsedNanoseconds());
                               }}};
};

}  // namespace dvx::test
