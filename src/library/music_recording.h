#pragma once

// Recording a tune from the sound card into a new entry of the music catalogue.
//
// The new entry's number is the first free one when "Record" arms; nothing is written to the
// catalogue until the take is kept, and then the entry is written whole: `Status` "1",
// `Title` "(New Entry n)", `Length` the seconds in the file, `EOM` the mark (or the length),
// `Drive` "C", `Comp` "Y", `Recorded` today; the other fields keep what the slot held. The
// take is recorded into a file of its own beside MFnnnn.wav and takes that name only then, so
// a take that is cancelled, fails or goes with the window leaves nothing behind. Should
// another writer (an import) have taken the number meanwhile, the take goes to the next free
// one.

#include <cstdint>
#include <filesystem>

#include "library/music_catalogue.h"
#include "library/recording_session.h"

namespace dvx {

class ErrorReporter;
struct Parameters;

// What a music recording shows beyond what every recording shows. Main thread only.
class MusicRecordingView : public RecordingView {
  public:
    // Armed to record entry `number`: `Label1` shows it and "Active" is selected.
    virtual void showArmed(int number) = 0;
    // Idle again; `stored` is the entry just written, 0 when nothing was kept.
    virtual void showIdle(int stored) = 0;
};

// The recording of the music files window (`frmTune`). Main thread only.
class MusicRecording : private TakeKeeper {
  public:
    struct Context {
        Clock& clock;
        const Parameters& parameters;  // Threshold, RecStopDelay, RecAutoStart, AudInDevice,
                                       // RecMode
        MusicCatalogue& catalogue;
        RecordingAudio& audio;
        MusicRecordingView& view;
        ErrorReporter& errors;
    };

    explicit MusicRecording(Context context);
    ~MusicRecording() override;
    MusicRecording(const MusicRecording&) = delete;
    MusicRecording& operator=(const MusicRecording&) = delete;

    void setAutoStart(bool checked) { m_session.setAutoStart(checked); }  // `Check1`
    bool autoStart() const { return m_session.autoStart(); }

    // `cmdRecord`: idle -> Ready (a number chosen, the input running), Ready -> recording,
    // recording -> recording without supervision.
    void cmdRecord();
    void cmdStop() { m_session.cmdStop(); }       // `StopRecord`
    bool cmdEOM() { return m_session.cmdEOM(); }  // false when not recording
    void windowClosing() { m_session.windowClosing(); }

    int recordingState() const { return m_session.state(); }  // `RecState`
    bool isActive() const { return m_session.isActive(); }
    int number() const { return m_number; }  // the entry being recorded, 0 when none

    // The file a take of entry `number` is recorded into before it becomes MFnnnn.wav.
    std::filesystem::path takePath(int number) const;

  private:
    void arm();
    // TakeKeeper
    void keep(const std::filesystem::path& take, std::int32_t length, std::int32_t mark) override;
    void drop() override { m_number = 0; }  // nothing was written
    void finished() override;

    const Context m_context;
    int m_number = 0;
    int m_stored = 0;
    RecordingSession m_session;  // last: it may drop its take as it goes
};

}  // namespace dvx
