#pragma once

// One take recorded from the sound card in a library window, whatever catalogue it goes to:
// Ready, recording and unsupervised states, the automatic start and stop, the end-of-message
// mark, the elapsed time, the gain limit, and what a failure of the input or the disk does.
// The catalogue's side (which number, which fields, which file) is the TakeKeeper's.
//
// Times are taken on the clock's steady seconds, so a recording across midnight keeps its
// marks; the length is what the file holds. The take is recorded into a file of its own; the
// keeper moves it to its place when it keeps it, and a take that is cancelled, fails or is
// dropped with the window leaves no file behind.

#include <cstdint>
#include <exception>
#include <filesystem>
#include <memory>
#include <string>

#include "common/clock.h"
#include "library/button_colours.h"
#include "library/recording_audio.h"

namespace dvx {

class ErrorReporter;
struct Parameters;

// What a recording shows in its window. Every call comes on the main thread from the session.
class RecordingView {
  public:
    virtual ~RecordingView() = default;
    // `cmdRecord`'s caption and colour: "Record", "Ready" or "Recording ".
    virtual void showRecordButton(const std::string& caption, Rgb colour) = 0;
    virtual void showEomButton(Rgb colour) = 0;             // `cmdEOM`
    virtual void showElapsed(const std::string& text) = 0;  // the clock form
    virtual void showInputPeak(int /*leftPeak*/) {}         // of the last buffer
    virtual void recordingBegan() {}                        // writing has begun
};

// What becomes of a take in its catalogue. Main thread only.
class TakeKeeper {
  public:
    virtual ~TakeKeeper() = default;
    // The take in `take` is over and whole: `length` whole seconds are in the file, `mark` is
    // the end-of-message mark (0: none). Moves the file to its place and writes the entry;
    // throws to drop the take.
    virtual void keep(const std::filesystem::path& take, std::int32_t length,
                      std::int32_t mark) = 0;
    // The take is dropped (stopped before it began, failed, or the window closed) and its file
    // is gone: gives back what arming took. Throws IoError.
    virtual void drop() = 0;
    // The session goes back to idle, whatever became of the take (the session still tells
    // whether it was active).
    virtual void finished() {}
};

// The recording state machine of a library window. Main thread only.
class RecordingSession {
  public:
    struct Context {
        Clock& clock;
        const Parameters& parameters;  // Threshold, RecStopDelay, RecAutoStart, AudInDevice,
                                       // RecMode
        RecordingAudio& audio;
        RecordingView& view;
        TakeKeeper& keeper;
        ErrorReporter& errors;
    };

    static constexpr int kIdle = 0;
    static constexpr int kReady = 1;
    static constexpr int kRecording = 2;
    static constexpr int kUnsupervised = 3;  // clicked again while recording
    static constexpr int kTickMs = 50;

    explicit RecordingSession(Context context);
    // An unfinished take is dropped. The keeper must still be whole.
    ~RecordingSession();
    RecordingSession(const RecordingSession&) = delete;
    RecordingSession& operator=(const RecordingSession&) = delete;

    // "Auto Start" (initially `RecAutoStart`) and the gain (0..16384, initially 16384).
    void setAutoStart(bool checked);
    bool autoStart() const { return m_autoStart; }
    void setGain(int volume);
    int gain() const;

    // `cmdRecord`: Ready -> recording, recording -> recording without supervision; when idle,
    // `arm` runs, which chooses the number and calls open().
    template <typename Arm>
    void cmdRecord(Arm&& arm) {
        guarded([&] {
            if (m_state >= kRecording) {
                m_state = kUnsupervised;  // recording goes on; the tick no longer supervises it
            } else if (m_state == kReady) {
                record();
            } else {
                arm();
            }
        });
    }
    // Ready: the input (`AudInDevice`, mono or stereo by `RecMode`) runs into the take's file
    // for `wave`, nothing is written yet. False when the input could not start: that was
    // reported and the take dropped.
    bool open(const std::filesystem::path& wave);
    // The file a take for `wave` is recorded into, beside it, until it is kept.
    static std::filesystem::path takeFile(const std::filesystem::path& wave);
    // The recording part of the stop routine: a take is kept, a Ready one dropped.
    void cmdStop();
    // While recording: the end-of-message mark is now. False when not recording.
    bool cmdEOM();
    // The window closes: an unfinished take is dropped; a failure to give back its number is
    // reported.
    void windowClosing();

    // Runs a step of a handler; a failure is reported and, during a take, drops it.
    template <typename Step>
    void guarded(Step&& step) {
        try {
            step();
        } catch (const std::exception& error) {
            failed(error);
        }
    }

    int state() const { return m_state; }
    bool isActive() const { return m_state != kIdle; }
    int eomMark() const { return m_eomMark; }

  private:
    void record();
    void failed(const std::exception& error);
    void dropTake();  // closes the input, removes the take's file and tells the keeper
    void abandon(const std::string& message);
    void finish();
    void onBuffer(Peaks peaks);
    void onTick();
    double now() const { return m_context.clock.steadySeconds(); }

    const Context m_context;
    std::unique_ptr<Timer> m_timer;  // the 50 ms supervision while armed or recording

    int m_state = kIdle;
    bool m_autoStart = false;
    std::filesystem::path m_take;  // the take's own file
    double m_startTime = 0;        // steady seconds when recording began
    double m_lastSoundTime = 0;    // steady seconds of the last loud buffer
    int m_eomMark = 0;             // seconds from the start; 0: none
    Peaks m_peaks;                 // of the last buffer
};

}  // namespace dvx
