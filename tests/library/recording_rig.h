#pragma once

#include <memory>
#include <string>
#include <vector>

#include "common/record_file.h"
#include "common/simulated_clock.h"
#include "library/record_log.h"
#include "library/spot_catalogue.h"
#include "library/spot_recording.h"
#include "platform/audio_event_pump.h"
#include "platform/audio_test_support.h"
#include "platform/main_audio_graph.h"
#include "platform/sndfile_sound_files.h"
#include "platform/virtual_audio_backend.h"
#include "platform/wave_recorder.h"
#include "settings/parameters.h"
#include "support/temp_folder.h"

namespace dvx::test {

// What the spot files window would show; a stored recording is selected in the list, as the
// window does, which is a record-log trigger.
class RecordingWindowView : public SpotRecordingView {
  public:
    explicit RecordingWindowView(RecordLog& log) : m_log(log) {}
    void showRecordButton(const std::string& text, Rgb colour) override {
        caption = text;
        recordColour = colour;
    }
    void showEomButton(Rgb colour) override { eomColour = colour; }
    void showArmed(bool isArmed) override { armed = isArmed; }
    void showNumberBox(int) override {}
    void showNumber(int shown) override { number = shown; }
    void clearBoxes() override {}
    void showElapsed(const std::string& text) override { elapsed = text; }
    void showInputPeak(int Label3) override { peak = Label3; }
    void setOverwriteChecked(bool checked) override { overwriteChecked = checked; }
    void recordingStored(int stored) override {
        selected.push_back(stored);
        m_log.entrySelected();
    }

    std::string caption;
    Rgb recordColour;
    Rgb eomColour;
    bool armed = false;
    int number = 0;
    std::string elapsed;
    int peak = 0;
    bool overwriteChecked = true;
    std::vector<int> selected;

  private:
    RecordLog& m_log;
};

// A recorder on the virtual input, which plays `feed` from the moment a stream first starts on
// it, under a simulated clock that starts on Monday 7 December 2026 at `secondsOfDay`. The main
// graph listens to the same device; what the virtual outputs play goes to the rig's folder.
// The recorder writes through `recorderFiles` where given.
struct RecorderRig {
    static constexpr double kNoon = 12 * 3600.0;

    explicit RecorderRig(const Sound& feed, double secondsOfDay = kNoon,
                         SoundFiles* recorderFiles = nullptr)
        : clock(2026, 12, 7, secondsOfDay) {
        writeWithProgramWriter(files, folder.path() / "feed.wav", feed);
        backend = std::make_unique<VirtualAudioBackend>(
            clock, files, VirtualAudioConfig{folder.path() / "feed.wav", folder.path()});
        graph = std::make_unique<MainAudioGraph>(*backend, files, pump);
        graph->setDevices(0, 0, 1, 2);
        parameters.Threshold = 500;
        parameters.RecStopDelay = 2;
        parameters.RecMode = 1;
        recorder = std::make_unique<WaveRecorder>(
            *backend, recorderFiles != nullptr ? *recorderFiles : files, pump, graph->WaveIn);
    }

    TempFolder folder;
    Paths paths{folder.path()};
    SimulatedClock clock;
    SndfileSoundFiles files;
    Parameters parameters;
    RecordingErrorReporter errors;
    AudioEventPump pump{clock};
    std::unique_ptr<VirtualAudioBackend> backend;
    std::unique_ptr<MainAudioGraph> graph;
    std::unique_ptr<WaveRecorder> recorder;
};

// The spot recording of the spot files window on a RecorderRig. The catalogue file lies outside
// the spot folder. The recording goes before its recorder, the graph and the log.
struct RecordingRig : RecorderRig {
    explicit RecordingRig(const Sound& feed, double secondsOfDay = kNoon,
                          SoundFiles* recorderFiles = nullptr)
        : RecorderRig(feed, secondsOfDay, recorderFiles) {
        std::filesystem::create_directories(paths.spotFolder());
        std::filesystem::create_directories(paths.logsFolder());
        recording = std::make_unique<SpotRecording>(
            SpotRecording::Context{clock, parameters, catalogue, log, *recorder, view, errors});
    }
    void addSpot(int number, const std::string& name, char status = kSpotActive) {
        SpotRecord record;
        record.Status = status;
        record.Name = name;
        record.Talent = "JD";
        record.Outcue = "THANK YOU";
        record.Length = record.EOM = "30";
        record.StartDate = record.StopDate = record.RecordDate = "11/02/26";
        record.RotationRef = "9003";
        record.SpotCat = 'A';
        catalogue.write(number, record);
    }
    SpotRecord spot(int number) const { return catalogue.read(number); }
    bool anyFileOf(int number) const {
        return std::filesystem::exists(catalogue.wavePath(number)) ||
               std::filesystem::exists(recording->takePath(number));
    }
    std::string recordLogText() const {
        return std::filesystem::exists(log.file()) ? fileText(log.file()) : "";
    }

    RecordFile spotFile{folder.path() / "Spotfile.dat", kSpotRecordLength};
    SpotCatalogue catalogue{spotFile, paths};
    RecordLog log{paths, clock, errors};
    RecordingWindowView view{log};
    std::unique_ptr<SpotRecording> recording;
};

}  // namespace dvx::test
