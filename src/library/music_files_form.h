#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/clock.h"
#include "fill/list_lines.h"
#include "fill/music_categories.h"
#include "library/box_key.h"
#include "library/catalogue_watch.h"
#include "library/library_playback.h"
#include "library/music_catalogue.h"
#include "library/music_fields.h"
#include "library/music_recording.h"

namespace dvx {

class ErrorReporter;
struct Parameters;

// What the music files window shows, beyond its play and record controls. The window
// implements it; tests record it. Every text is set by the program and never counts as a
// user's edit. Main thread only.
class MusicFilesView {
  public:
    virtual ~MusicFilesView() = default;
    virtual void setCaption(const std::string& caption) = 0;
    // `lstTune`: the lines in order, item data the record number, nothing selected.
    virtual void showList(const std::vector<ListLine>& lines) = 0;
    // Marks the line of `number` as selected, without the selection's handling.
    virtual void selectLine(int number) = 0;
    virtual void showCategories(const std::vector<ListLine>& lines) = 0;  // `list1`
    virtual void showBox(MusicBox box, const std::string& text) = 0;
    // `txtDate`, and whether its label "Recorded:" (`Label3`) shows.
    virtual void showDate(const std::string& text, bool labelVisible) = 0;
    virtual void showNumberLabel(const std::string& text) = 0;  // `Label1`
    // `Opt1`, `Opt2`, `Opt3` for `Status` "1", "2", "3"; none for any other.
    virtual void showStatus(char Status) = 0;
    // The boxes take no edits while no tune is shown or a recording is under way.
    virtual void setBoxesEditable(bool editable) = 0;
};

// What the music files window (`frmTune`) does, without drawing: the active tunes in three
// sorted layouts, the fields of the tune shown and their write-back, the categories in use,
// playback with its end-of-message mark, recording a new tune, and the number and file that
// the import and deletion windows work on. Main thread only.
//
// The tune shown (whose boxes the window shows, whose line is selected) and the entry a
// recording makes are kept apart: the boxes write back only to the tune shown and never while
// a recording is under way, a recording is stored only in its own entry, and a cancelled one
// leaves the tune shown as it was.
class MusicFilesForm : private MusicRecordingView {
  public:
    struct Files {
        RecordFile& Music;     // Music.dat
        RecordFile& MusicCat;  // MusicCat.dat
        const Paths& paths;
    };
    // The number and wave file of a new entry (import, CD copy), or of the tune to delete.
    struct Entry {
        int number = 0;
        std::filesystem::path file;
    };

    MusicFilesForm(Files files, const Parameters& parameters, LibraryDevices devices,
                   RecordingAudio& recorder, ErrorReporter& errors, MusicFilesView& view,
                   SoundView& sound);
    ~MusicFilesForm() override;
    MusicFilesForm(const MusicFilesForm&) = delete;
    MusicFilesForm& operator=(const MusicFilesForm&) = delete;

    // `Form_Load`: the caption by `RecMode`, "Auto Start" by `RecAutoStart`, the player on
    // `AudOutDevice`, `Timer1` running, the title layout listed, nothing shown.
    void open();
    // Closing: `Timer1` stops, the player is closed, an unfinished recording is dropped.
    void close();
    bool isOpen() const { return m_open; }

    // List
    void LoadTuneList();          // the current layout; the tune shown stays selected
    void setView(TuneView view);  // "View": the layout, listed again
    TuneView tuneView() const { return m_tuneView; }
    const std::vector<ListLine>& lines() const { return m_lines; }
    // Another window wrote entry `number` (an import) or deleted one: listed again and
    // `number` shown; 0, or a number no longer listed, shows nothing.
    void reloadAndSelect(int number);

    // The tune shown
    void select(int number);  // a click on the line of `number`
    int shownNumber() const { return m_shown; }
    // A user's edit of a box (never the program's own setText).
    void boxEdited(MusicBox box, const std::string& text);
    // Up, Down or Enter in a box: what the key does, and the box that takes the focus.
    MusicBox keyInBox(MusicBox box, BoxKey key);
    void titleDoubleClicked();                 // empties the title, as an edit would
    void categoryDoubleClicked(int category);  // its letter replaces the category box's text
    const std::string& boxText(MusicBox box) const { return m_boxes[index(box)]; }

    // Playback
    void play();
    void pause();
    void stop();  // a recording under way is stopped; otherwise the player
    void eomClicked();
    void trackBarMoved(std::int64_t positionMs) { m_playback.seek(positionMs); }
    bool isPlaying() const { return m_playback.isPlaying(); }

    // Recording
    void recordClicked() { m_recording.cmdRecord(); }
    void autoStartToggled(bool checked) { m_recording.setAutoStart(checked); }
    const MusicRecording& recording() const { return m_recording; }

    // Import and CD copy: the number and file of their new entry, shown in `Label1` with
    // "Active"; nothing while a recording is under way. The window that takes it writes the
    // entry and calls reloadAndSelect(), or newEntryDropped() when it writes nothing.
    std::optional<Entry> newEntry();
    void newEntryDropped();
    // Delete: the tune of the selected line and its wave file (by its `Drive`); nothing when
    // no line is selected.
    std::optional<Entry> deletion() const;

    MusicCatalogue& catalogue() { return m_catalogue; }

  private:
    static std::size_t index(MusicBox box) { return static_cast<std::size_t>(box); }
    void guarded(const std::function<void()>& action);
    void setBox(MusicBox box, const std::string& text);
    void clearShown();
    void LoadBoxes(const MusicRecord& record);
    bool isListed(int number) const;
    // Writes `value` into the box's field of the tune shown; false when nothing was written.
    bool storeField(MusicBox box, const std::string& value);
    void refuse(MusicBox box, const std::string& message);  // the box shows its field again
    void tick();                                            // `Timer1`

    // MusicRecordingView
    void showRecordButton(const std::string& caption, Rgb colour) override;
    void showEomButton(Rgb colour) override;
    void showElapsed(const std::string& text) override { m_sound.showTime(text); }
    void showArmed(int number) override;
    void showIdle(int stored) override;

    MusicCatalogue m_catalogue;
    MusicCategories m_categories;
    const Parameters& m_parameters;
    ErrorReporter& m_errors;
    MusicFilesView& m_view;
    SoundView& m_sound;
    LibraryPlayback m_playback;
    std::unique_ptr<Timer> m_timer1;
    CatalogueWatch m_watch;
    static constexpr int kWatchTicks = 20;  // the catalogue is looked at once a second
    int m_ticks = 0;

    bool m_open = false;
    TuneView m_tuneView = TuneView::Title;
    std::vector<ListLine> m_lines;
    int m_shown = 0;  // `CurrentMusic` as the boxes show it
    std::array<std::string, kMusicBoxCount> m_boxes;
    MusicRecording m_recording;  // last: an unfinished take is dropped first
};

}  // namespace dvx
