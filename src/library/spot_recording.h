#pragma once

// Recording a spot from the sound card into its numbered wave file, with the catalogue record
// and the record-log line it leaves.
//
// How the spot files window (frmSpotFiles) drives it:
//
//   WaveRecorder recorder(backend, soundFiles, runtime.pump(), runtime.graph().WaveIn);
//   SpotRecording recording({clock, parameters, catalogue, recordLog, recorder, *this, errors});
//       // declared after the recorder, so it goes first; *this implements SpotRecordingView
//
//   Form_Load          Check1 = recording.autoStart(); Slider = recording.gain() (16384)
//   Check1 changed     recording.setAutoStart(Check1 checked)
//   Check2 changed     recording.setOverwrite(Check2 checked)
//   Slider changed     recording.setGain(Slider value)
//   cmdRecord          recording.cmdRecord(txtNumber text)
//   cmdStop, "Stop"    end playback when a spot plays; otherwise recording.cmdStop()
//   cmdEOM             if (!recording.cmdEOM()) the playback mark
//   box changed        write back only while !recording.isActive()
//   closing            recording.windowClosing()
//   frmSpecificFile    Enter in txtFileNumber: recording.reserveSpecificFile(text,
//                      import window open), then show the answer's labels or empty the box
//
// Everything else reaches the window through SpotRecordingView: captions and colours, the
// number, the elapsed time (lblTime), the input peak (Label3), and the stored recording to
// select in the list.
//
// Times are taken on the clock's steady seconds, so a recording across midnight keeps its
// marks; `Length` is what the file holds. The take is recorded into a file of its own beside
// the spot's wave file and takes the spot's name only once it is stored: a take that is
// cancelled, fails (the input or the disk) or is dropped with the window leaves the spot's old
// file and entry as they were, and no file of its own behind.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "common/clock.h"
#include "library/record_log.h"
#include "library/recording_audio.h"
#include "library/spot_catalogue.h"
#include "library/spot_recording_view.h"
#include "settings/parameters.h"

namespace dvx {

class ErrorReporter;

inline constexpr std::string_view kOverwriteNeedsSpotMessage =
    "To overwrite a file, type the number of an existing spot (1 to 900) in the number box.";
inline constexpr std::string_view kRecordedElsewhereMessage =
    "This file is being recorded by another computer";
inline constexpr std::string_view kDeleteFirstMessage = "You Must First Delete Before Recording";

// What the record-a-specific-file window shows after Enter.
struct SpecificFileAnswer {
    enum class Outcome {
        EmptyTheBox,  // not a number 1..900
        Taken,        // Label1 and Label2 become visible with these texts
        Reserved,     // the number is reserved; the window closes
    };
    Outcome outcome = Outcome::EmptyTheBox;
    std::string Label1;
    std::string Label2;
};

// The recording state machine of the spot files window. Main thread only.
class SpotRecording {
  public:
    struct Context {
        Clock& clock;
        const Parameters& parameters;  // Threshold, RecStopDelay, RecAutoStart, AudInDevice,
                                       // RecMode
        SpotCatalogue& catalogue;
        RecordLog& log;
        RecordingAudio& audio;
        SpotRecordingView& view;
        ErrorReporter& errors;
    };

    static constexpr int kIdle = 0;
    static constexpr int kReady = 1;
    static constexpr int kRecording = 2;
    static constexpr int kUnsupervised = 3;  // clicked again while recording
    static constexpr int kTickMs = 50;

    explicit SpotRecording(Context context);
    // An unfinished recording is dropped as when the window closes (the number freed, an
    // overwritten spot left as it was); the record log keeps its pending line.
    ~SpotRecording();
    SpotRecording(const SpotRecording&) = delete;
    SpotRecording& operator=(const SpotRecording&) = delete;

    // Check1 "Auto Start" (initially `RecAutoStart`), Check2 "Overwrite Existing File",
    // Slider (the gain, 0..16384, initially 16384).
    void setAutoStart(bool checked);
    bool autoStart() const { return m_autoStart; }
    void setOverwrite(bool checked) { m_overwrite = checked; }
    bool overwrite() const { return m_overwrite; }
    void setGain(int Slider);
    int gain() const;

    // cmdRecord: idle -> Ready (a number reserved, the input running), Ready -> recording,
    // recording -> recording without supervision. `txtNumber` is read only for an overwrite.
    void cmdRecord(std::string_view txtNumber);
    // The recording part of the stop routine: a recording is stored, a Ready one released.
    void cmdStop();
    // While recording: the end-of-message mark is now. False when not recording (the mark is
    // then the window's playback mark).
    bool cmdEOM();
    // The spot files window closes: an unfinished recording is dropped and its number freed;
    // a pending record-log line is written.
    void windowClosing();

    // Enter in frmSpecificFile's txtFileNumber: reserves a free number for the next import, or,
    // when the import window is not open, arms this window to record into it.
    SpecificFileAnswer reserveSpecificFile(std::string_view txtFileNumber, bool importWindowOpen);
    // The number reserved for the next import (0: none); taking it clears it.
    int takeSpecificFileNumber();

    int recordingState() const { return m_state; }
    bool isActive() const { return m_state != kIdle; }  // the edit boxes do not write back
    int currentSpotNumber() const { return m_currentSpotNumber; }
    int specificFileNumber() const { return m_specificFileNumber; }
    int eomMark() const { return m_eomMark; }

    // The file a take is recorded into before it replaces the spot's wave file.
    std::filesystem::path takePath(int number) const;

  private:
    template <typename Step>
    void guarded(Step&& step);
    void arm(std::string_view txtNumber);
    bool startInput(int number);
    void record();
    void store();
    void release();
    void refuse(std::string_view message);  // nothing was reserved
    void abandon(const std::string& message);
    void finish();
    void onBuffer(Peaks peaks);
    void onTick();
    double now() const { return m_clock.steadySeconds(); }

    Clock& m_clock;
    const Parameters& m_parameters;
    SpotCatalogue& m_catalogue;
    RecordLog& m_log;
    RecordingAudio& m_audio;
    SpotRecordingView& m_view;
    ErrorReporter& m_errors;
    std::unique_ptr<Timer> m_timer;  // the 50 ms supervision while armed or recording

    int m_state = kIdle;  // recording state
    int m_currentSpotNumber = 0;
    int m_specificFileNumber = 0;
    bool m_autoStart = false;
    bool m_overwrite = false;
    double m_startTime = 0;                // steady seconds when recording began
    double m_lastSoundTime = 0;            // steady seconds of the last loud buffer
    int m_eomMark = 0;                     // seconds from the start; 0: none
    Peaks m_peaks;                         // of the last buffer
    std::optional<SpotRecord> m_replaced;  // the entry an overwrite replaces, until stored
};

}  // namespace dvx
