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
// The take itself (states, automatic start and stop, marks, failures) is a RecordingSession's.
// It is recorded into a file of its own beside the spot's wave file and takes the spot's name
// only once it is stored: a take that is cancelled, fails (the input or the disk) or is dropped
// with the window leaves the spot's old file and entry as they were.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "common/clock.h"
#include "library/record_log.h"
#include "library/recording_audio.h"
#include "library/recording_session.h"
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

// The recording of the spot files window. Main thread only.
class SpotRecording : private TakeKeeper {
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

    static constexpr int kIdle = RecordingSession::kIdle;
    static constexpr int kReady = RecordingSession::kReady;
    static constexpr int kRecording = RecordingSession::kRecording;

    explicit SpotRecording(Context context);
    // An unfinished recording is dropped as when the window closes (the number freed, an
    // overwritten spot left as it was); the record log keeps its pending line.
    ~SpotRecording() override;
    SpotRecording(const SpotRecording&) = delete;
    SpotRecording& operator=(const SpotRecording&) = delete;

    // Check1 "Auto Start" (initially `RecAutoStart`), Check2 "Overwrite Existing File",
    // Slider (the gain, 0..16384, initially 16384).
    void setAutoStart(bool checked) { m_session.setAutoStart(checked); }
    bool autoStart() const { return m_session.autoStart(); }
    void setOverwrite(bool checked) { m_overwrite = checked; }
    bool overwrite() const { return m_overwrite; }
    void setGain(int Slider) { m_session.setGain(Slider); }
    int gain() const { return m_session.gain(); }

    // cmdRecord: idle -> Ready (a number reserved, the input running), Ready -> recording,
    // recording -> recording without supervision. `txtNumber` is read only for an overwrite.
    void cmdRecord(std::string_view txtNumber);
    // The recording part of the stop routine: a recording is stored, a Ready one released.
    void cmdStop() { m_session.cmdStop(); }
    // While recording: the end-of-message mark is now. False when not recording (the mark is
    // then the window's playback mark).
    bool cmdEOM() { return m_session.cmdEOM(); }
    // The spot files window closes: an unfinished recording is dropped and its number freed;
    // a pending record-log line is written.
    void windowClosing();

    // Enter in frmSpecificFile's txtFileNumber: reserves a free number for the next import, or,
    // when the import window is not open, arms this window to record into it.
    SpecificFileAnswer reserveSpecificFile(std::string_view txtFileNumber, bool importWindowOpen);
    // The number reserved for the next import (0: none); taking it clears it.
    int takeSpecificFileNumber();

    int recordingState() const { return m_session.state(); }
    bool isActive() const { return m_session.isActive(); }  // the edit boxes do not write back
    int currentSpotNumber() const { return m_currentSpotNumber; }
    int specificFileNumber() const { return m_specificFileNumber; }
    int eomMark() const { return m_session.eomMark(); }

    // The file a take is recorded into before it replaces the spot's wave file.
    std::filesystem::path takePath(int number) const;

  private:
    void arm(std::string_view txtNumber);
    bool startInput(int number);
    void refuse(std::string_view message);  // nothing was reserved
    // TakeKeeper
    void keep(const std::filesystem::path& take, std::int32_t length, std::int32_t mark) override;
    void drop() override;  // the number freed, or an overwritten spot as it was
    void finished() override;

    Clock& m_clock;
    SpotCatalogue& m_catalogue;
    RecordLog& m_log;
    SpotRecordingView& m_view;
    ErrorReporter& m_errors;

    int m_currentSpotNumber = 0;
    int m_specificFileNumber = 0;
    bool m_overwrite = false;
    std::optional<SpotRecord> m_replaced;  // the entry an overwrite replaces, until stored
    RecordingSession m_session;            // last: it may drop its take as it goes
};

}  // namespace dvx
