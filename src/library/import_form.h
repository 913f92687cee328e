#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/clock.h"
#include "common/record_file.h"
#include "library/button_colours.h"
#include "library/import_session.h"
#include "library/import_target.h"
#include "library/import_transfer.h"
#include "library/music_catalogue.h"
#include "library/spot_catalogue.h"
#include "platform/level_tap.h"
#include "platform/wave_player.h"

namespace dvx {

class AudioBackend;
class AudioEventPump;
class ErrorReporter;
class RecordLog;
class SoundFiles;
struct Parameters;

// File1's pattern, "*.MPG;*.mp2;*.mp3;*.wav;*.snd", matched without regard to case.
bool isImportableName(std::string_view name);
// The files of `folder` that File1 lists (regular files, or links to them, whose names match),
// sorted without regard to case; none when the folder cannot be read.
std::vector<std::string> importableFiles(const std::filesystem::path& folder);

inline constexpr Rgb kTrimSet{255, 0, 0};  // cmdFTrim: red when set, pink when cleared
inline constexpr Rgb kTrimCleared{255, 128, 128};

inline constexpr std::string_view kThresholdMessage =
    "The threshold is a whole number from 0 to 32767.";
inline constexpr std::string_view kAutoStopTimeMessage =
    "AutoStop needs its time in minutes and seconds, for example 0:30.";

// The controls the import form shows, hides or labels.
enum class ImportControl { Play, Stop, FTrim, MarkFade, Import, TrackBar, Gauge, Level, Label1 };

// What the import window shows. The window implements it; tests record it. Texts set here are
// never user edits. Main thread only.
class ImportView {
  public:
    virtual ~ImportView() = default;
    virtual void showControl(ImportControl control, bool visible) = 0;
    virtual void setCaption(ImportControl control, const std::string& caption) = 0;
    virtual void setColour(ImportControl control, Rgb colour) = 0;
    virtual void showFolder(const std::filesystem::path& folder) = 0;  // Dir1
    // File1: the names, `selected` marked (none when empty or not listed).
    virtual void showFiles(const std::vector<std::string>& names, const std::string& selected) = 0;
    virtual void showFileName(const std::string& text) = 0;  // txtFileName
    virtual void showThreshold(int threshold) = 0;           // txtThreshold
    virtual void showFadeEntries(const std::vector<std::string>& entries, int selected) = 0;
    virtual void showLevel(int position) = 0;  // MMSliderX1
    virtual void setTrackBarRange(std::int64_t maximumMs) = 0;
    virtual void setTrackBarPosition(std::int64_t positionMs) = 0;
    virtual void showTime(const std::string& text) = 0;   // lblTime
    virtual void showLamp(bool lit) = 0;                  // Shape1
    virtual void showMarks(const std::string& text) = 0;  // lblMarks: where the import starts, ends
    virtual void showGauge(int percent) = 0;              // Gauge
    virtual void showNumber(const std::string& text) = 0;  // label1: a music import's number
    virtual void showSpecificFileEntry(bool visible) = 0;  // mnuSpecificFile
};

// What an import window works with. All must outlive the form.
struct ImportParts {
    Clock& clock;
    const Parameters& parameters;  // Threshold, AudOutDevice
    const Paths& paths;
    RecordFile& Spotfile;
    RecordFile& Music;
    RecordLog& log;  // record.log: a stored spot's line
    AudioBackend& audio;
    SoundFiles& soundFiles;
    AudioEventPump& pump;
    ErrorReporter& errors;
    std::filesystem::path& lastFolder;  // the folder last browsed, kept for the run
};

// What the import window (`frmImportFile`) does, without drawing: the folder and its sound files,
// the preview on `AudOutDevice` whose played buffers mark where the sound begins and ends, the
// fade, level and AutoStop settings, and the transfer in slices of the main thread (one step of
// ImportTransfer per tick of a 10 ms timer) with its gauge and Cancel. At the end the engine
// writes the entry and the target is told.
//
// A transfer that does not reach its end (the window closes, or the form goes with the end of
// the run) is dropped: no reserved number and no partial file stay behind. Cancel is an end:
// a spot keeps what was written so far, music nothing (ImportTransfer).
//
// The preview's marks come from the peaks of what the player plays (its level tap), read on
// each `Timer` tick with the player's position: a loud reading starts the import where the
// frames it covers begin and ends it where they end, one buffer either way.
//
// Main thread only.
class ImportForm {
  public:
    static constexpr int kTimerMs = 50;  // `Timer`: the preview's display and marks
    static constexpr int kSliceMs = 10;  // a transfer's steps

    ImportForm(ImportParts parts, ImportTarget& target, ImportView& view);
    // Drops an unfinished transfer and tells the target that the window is gone.
    ~ImportForm();
    ImportForm(const ImportForm&) = delete;
    ImportForm& operator=(const ImportForm&) = delete;

    // `Form_Load`: no marks, the sensor's threshold, the last folder (or the home folder), the
    // fade list at "Fader Off", the level at 16384, the target told.
    void open();
    // `Form_Unload`: a transfer is dropped, the preview stops, the target is told.
    void close();
    bool isOpen() const { return m_open; }

    // Browsing
    void folderChosen(const std::filesystem::path& folder);  // Dir1
    void refreshFiles();
    void fileChosen(const std::string& name);  // File1: a name in the folder
    // txtFileName, Enter: a folder is browsed to; a file (full path or a name in the folder)
    // is browsed to and chosen.
    void fileNameEntered(const std::string& text);
    // frmDialog11's DELETE: the file goes from the disk and File1 is listed again.
    void deleteFile(const std::filesystem::path& path);
    const std::filesystem::path& folder() const { return m_folder; }
    const std::vector<std::string>& files() const { return m_files; }
    // The chosen source, when there is one.
    std::optional<std::filesystem::path> sourcePath() const;

    // Settings, as the user changes them
    void thresholdEdited(const std::string& text);  // txtThreshold
    void fadeChosen(int index);                     // lstFadeDuration, 0 "Fader Off"
    void adjustLevelToggled(bool checked);          // Check2 "Adjust Level"
    void autoStopToggled(bool checked);             // Check1 "AutoStop"
    void timeEdited(const std::string& text);       // txtTime
    void levelMoved(int position);                  // MMSliderX1
    void trackBarMoved(std::int64_t positionMs);    // TrackBar: the preview's position

    // Preview
    void play();      // cmdPlay
    void stop();      // cmdStop
    void FTrim();     // cmdFTrim
    void markFade();  // cmdMarkFade ("Mark Fade" or "Trim")
    bool isPreviewing() const { return m_previewing; }
    bool trimSet() const { return m_trim; }

    // cmdImport: "&Import" starts a transfer, "Cancel" ends it.
    void importClicked();
    bool isImporting() const { return m_transfer != nullptr; }

    const ImportSession& session() const { return *m_session; }

  private:
    template <typename Action>
    void guarded(Action&& action);
    void showSourceButtons(bool shown);
    void showMarks();
    void previewTick();
    void takePreviewPeaks();
    void playerDone();
    void startTransfer();
    void sliceTick();
    void endTransfer();
    void forgetSource();

    ImportParts m_parts;
    ImportTarget& m_target;
    ImportView& m_view;
    SpotCatalogue m_spots;
    MusicCatalogue m_music;
    std::unique_ptr<ImportSession> m_session;
    LevelTap m_tap;                              // the peaks of what the preview plays
    WavePlayer m_player;                         // `AudioPlayer`, after the tap it feeds
    std::unique_ptr<Timer> m_timer;              // `Timer`
    std::unique_ptr<Timer> m_slices;             // the transfer's steps
    std::unique_ptr<ImportTransfer> m_transfer;  // after the catalogues it writes

    bool m_open = false;
    std::filesystem::path m_folder;
    std::vector<std::string> m_files;
    std::string m_sourceName;  // in File1
    bool m_previewing = false;
    std::int64_t m_lastPositionMs = 0;  // the player's position at the last reading
    bool m_trim = false;
    std::vector<std::string> m_fadeEntries;
    bool m_autoStop = false;
    std::string m_timeText;
};

}  // namespace dvx
