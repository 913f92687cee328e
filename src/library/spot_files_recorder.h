#pragma once

#include "common/clock.h"
#include "library/record_log.h"
#include "library/spot_catalogue.h"
#include "library/spot_files_form.h"
#include "library/spot_recording.h"
#include "library/spot_recording_view.h"
#include "platform/wave_recorder.h"

namespace dvx {

class AudioBackend;
class AudioEventPump;
class ErrorReporter;
class SoundFiles;
class WaveInput;
struct Parameters;

// The recording of the spot files window, put together: the recording chain on the sound card
// (which shares the sensor's capture when both use one input device), the recording state
// machine, and the joins between them and the window's form: the form's recording points call
// the recording and the record log, and what the recording shows reaches the form and its view.
// Main thread only; destroyed before the form it joins.
class SpotFilesRecorder : public SpotFilesRecording, private SpotRecordingView {
  public:
    struct Parts {
        Clock& clock;
        const Parameters& parameters;
        RecordFile& Spotfile;
        const Paths& paths;
        RecordLog& log;
        AudioBackend& audio;
        SoundFiles& soundFiles;
        AudioEventPump& pump;
        WaveInput& mainCapture;  // the sensor's `WaveIn`
        ErrorReporter& errors;
    };

    SpotFilesRecorder(SpotFilesForm& form, Parts parts);
    ~SpotFilesRecorder() override;
    SpotFilesRecorder(const SpotFilesRecorder&) = delete;
    SpotFilesRecorder& operator=(const SpotFilesRecorder&) = delete;

    SpotRecording& recording() { return m_recording; }

    // SpotFilesRecording
    bool recordingUnderWay() const override { return m_recording.isActive(); }
    void recordClicked() override;
    bool markEom() override { return m_recording.cmdEOM(); }
    void stopRecording() override { m_recording.cmdStop(); }
    void gainChanged(int value) override { m_recording.setGain(value); }
    void autoStartChanged(bool checked) override { m_recording.setAutoStart(checked); }
    void overwriteChanged(bool checked) override { m_recording.setOverwrite(checked); }
    void entrySelected() override { m_log.entrySelected(); }
    void fieldWritten(int number) override;
    void windowClosing() override { m_recording.windowClosing(); }

  private:
    // SpotRecordingView
    void showRecordButton(const std::string& caption, Rgb colour) override;
    void showEomButton(Rgb colour) override;
    void showArmed(bool armed) override;
    void showNumberBox(int number) override;
    void showNumber(int number) override;
    void clearBoxes() override { m_form.clearBoxes(); }
    void showElapsed(const std::string& lblTime) override;
    void showInputPeak(int Label3) override;
    void recordingBegan() override;
    void setOverwriteChecked(bool Check2) override { m_form.setOverwrite(Check2); }
    void recordingStored(int number) override { m_form.reloadAndSelect(number); }

    SpotFilesForm& m_form;
    RecordLog& m_log;
    SpotCatalogue m_catalogue;
    WaveRecorder m_recorder;
    SpotRecording m_recording;  // after the recorder it records through
};

}  // namespace dvx
