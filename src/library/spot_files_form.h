#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/clock.h"
#include "common/print_line.h"
#include "library/box_key.h"
#include "library/button_colours.h"
#include "library/catalogue_watch.h"
#include "library/library_playback.h"
#include "library/spot_catalogue.h"
#include "library/spot_dates.h"
#include "library/spot_fields.h"

namespace dvx {

class ErrorReporter;
struct Parameters;

// What the spot files window shows, beyond its play and record controls. The window implements
// it; tests record it. Every text is set by the program and never counts as a user's edit.
// Main thread only.
class SpotFilesView {
  public:
    virtual ~SpotFilesView() = default;
    virtual void setCaption(const std::string& caption) = 0;
    // `lstSoundFile`: the lines in order, item data the spot number, nothing selected.
    virtual void showList(const std::vector<SpotListLine>& lines) = 0;
    // Marks the line of `number` as selected and scrolls it to the top; no selection handling.
    virtual void selectLine(int number) = 0;
    virtual void showBox(SpotBox box, const std::string& text) = 0;
    virtual void showNumberBox(const std::string& text) = 0;    // `txtNumber`
    virtual void showNumberLabel(const std::string& text) = 0;  // `lblNumber`
    virtual void focusBox(SpotBox box) = 0;
    virtual void showTimeRemaining(const std::string& text) = 0;  // `Label1`
    virtual void showLevel(const std::string& text) = 0;          // `Label3`, recording
    virtual void showCalendar(bool visible) = 0;                  // `MonthView1`
    // `mnuDelete` visible and the popup "Delete" enabled, or neither.
    virtual void setDeleteAvailable(bool available) = 0;
    virtual void setOverwriteChecked(bool checked) = 0;  // `Check2`
};

// Where the recording and its record log take part in the spot files window. The form calls
// these at those points; each default does what the window does without a recording, so the
// window works before one is attached. Main thread only.
class SpotFilesRecording {
  public:
    virtual ~SpotFilesRecording() = default;
    // Recording
    // Armed or recording (recording state not 0): the edit boxes do not write back.
    virtual bool recordingUnderWay() const { return false; }
    virtual void recordClicked() {}  // `cmdRecord`
    // `cmdEOM`: true when a recording took the mark (state 2 or more); false leaves the mark to
    // the player.
    virtual bool markEom() { return false; }
    // The stop routine when no spot plays: after `cmdRecord` shows "Record" in dark red, and
    // before `mnuDelete` is shown again and "Overwrite Existing File" unchecked.
    virtual void stopRecording() {}
    virtual void tick() {}                      // `Timer1`, every 50 ms while the window is open
    virtual void gainChanged(int /*value*/) {}  // `Slider`, 0..16384
    // The user ticked or cleared "Auto Start" (`Check1`) or "Overwrite Existing File" (`Check2`).
    virtual void autoStartChanged(bool /*checked*/) {}
    virtual void overwriteChanged(bool /*checked*/) {}
    // Record log
    // An entry was selected: a pending line in state 2 is written, state 1 becomes 2.
    virtual void entrySelected() {}
    // A field of spot `number` was written: in state 2 the pending text is rebuilt.
    virtual void fieldWritten(int /*number*/) {}
    // Both
    // The window closes, its player already closed: an unfinished recording gives its number
    // back (`Status` "0") and a pending line in state 2 is written.
    virtual void windowClosing() {}
};

// What the spot files window (`frmSpotFiles`) does, without drawing: the list of active spots
// in its views, the selected spot's fields and their write-back, the dates, playback with its
// end-of-message mark, the file index, the printout and the time left for recording. The
// window forwards its controls here and shows what comes back through SpotFilesView.
// Main thread only.
class SpotFilesForm {
  public:
    static constexpr std::string_view kStopBeforeStartMessage = "Stop date is before start date";
    static constexpr std::string_view kStartAfterStopMessage = "Start date is after stop date";
    static constexpr std::string_view kSendToMessage = "No file was selected";
    static constexpr std::string_view kSelectProgramMessage = "Please select a progam.";
    static constexpr std::string_view kFileIndexMessage =
        "The following SpotFiles do not exist but are not available for use:  ";
    static constexpr std::string_view kTwoDigitYearMessage =
        "Dates are stored with two-digit years: the year must be 1930 to 2029.";

    // Reads the free bytes of the spot folder; nothing when the query fails.
    using FreeSpace = std::function<std::optional<std::uintmax_t>()>;

    SpotFilesForm(RecordFile& Spotfile, const Paths& paths, const Parameters& parameters,
                  LibraryDevices devices, ErrorReporter& errors, SpotFilesView& view,
                  SoundView& sound);
    ~SpotFilesForm();
    SpotFilesForm(const SpotFilesForm&) = delete;
    SpotFilesForm& operator=(const SpotFilesForm&) = delete;

    // The recording and record log (must outlive the form); nullptr for none.
    void setRecording(SpotFilesRecording* recording);
    void setFreeSpace(FreeSpace freeSpace) { m_freeSpace = std::move(freeSpace); }

    // `Form_Load`: a fresh window state, the caption by `RecMode`, "Auto Start" by
    // `RecAutoStart`, the player on `AudOutDevice`, `Timer1` running, the list by name.
    void open();
    // The window's closing: `Timer1` stops, the player is stopped and closed, the recording
    // and the record log are told, the play state is cleared.
    void close();
    bool isOpen() const { return m_open; }

    // List
    void LoadSpotFiles();                       // the current view, nothing selected
    void setView(SpotListView view);            // "Names", "Number": the view, listed again
    void relist(SpotListView view);             // "Spot&List", "Spot&Number", popup "Refresh"
    void listCategory(char SpotCat);            // "SpotCat": the active entries of one category
    std::vector<char> categoriesInUse() const;  // the categories of the active entries, sorted
    const std::vector<SpotListLine>& lines() const { return m_lines; }
    SpotListView listView() const { return m_listView; }
    // Rebuilds the list by name and selects `number` as a click would.
    void reloadAndSelect(int number);
    // Spot `number` was deleted: the list is rebuilt by name and the entry above the deleted one
    // is selected as a click would select it; with none above, nothing is selected and the
    // boxes are emptied.
    void spotDeleted(int number);

    // Selection and edits
    void select(int number);  // `lstSoundFile_Click` on the line of `number`
    int selectedNumber() const { return m_selected; }
    // A user's edit of a box (never the program's own setText).
    void boxEdited(SpotBox box, const std::string& text);
    // Up, Down or Enter in a box: what the key does, and the box that takes the focus.
    SpotBox keyInBox(SpotBox box, BoxKey key);
    // A double click in `txtName` or `txtOutcue` empties it as an edit would.
    void boxDoubleClicked(SpotBox box);
    void clearBoxes();  // empties the boxes without writing anything
    const std::string& boxText(SpotBox box) const { return m_boxes[index(box)]; }

    // `txtNumber`
    void numberEdited(const std::string& text) { m_numberText = text; }
    void numberEntered();
    void numberDoubleClicked();
    const std::string& numberText() const { return m_numberText; }
    void setNumberText(const std::string& text);  // shows it in `txtNumber`

    // Dates
    void dateBoxClicked(SpotBox box);        // sets the calendar's target
    void dateBoxDoubleClicked(SpotBox box);  // ... and shows the calendar
    void calendarPicked(const CalendarDate& date);
    void startLabelReleased(bool rightButton);  // one day earlier (left) or later (right)
    void stopLabelClicked();                    // "TFN"

    // Playback
    void play();
    void pause();
    void stop();  // `cmdStop`, popup "Stop": the stop routine
    void eomClicked();
    void trackBarMoved(std::int64_t positionMs);
    void tick();  // `Timer1`
    bool isPlaying() const { return m_playback.isPlaying(); }
    bool isPaused() const { return m_playback.isPaused(); }
    int playingNumber() const { return m_playback.number(); }

    // Recording controls, kept for the recording
    void recordClicked();
    void gainChanged(int value);
    void autoStartToggled(bool checked);  // by the user
    void overwriteToggled(bool checked);  // by the user
    void setOverwrite(bool checked);      // checks or unchecks `Check2`
    bool autoStart() const { return m_autoStart; }
    bool overwrite() const { return m_overwrite; }
    bool recordingUnderWay() const;

    // Menus
    void viewFileIndex();    // `ViewFileIndex`
    void deleteFileIndex();  // `DeleteFileIndex`
    void sendTo();           // popup "Send To": remembers the selected number
    int sentNumber() const { return m_sentNumber; }
    // Popup "Normalize": the selected spot's wave file; nothing, with the message in the error
    // window, when no entry is selected.
    std::optional<std::filesystem::path> normalizePath();
    // The import window opens: the player stops and, unless a recording is under way, the track
    // bar and "&Delete" are hidden until the next selection.
    void prepareForImport();

    // `mnuPrint`: a blank line, "SpotFiles " and `date` centred on 80 columns, a blank line,
    // then from column 5 one line per list line in list order: position (3), name (25),
    // outcue (25), length "mm:ss" and number, each after a blank.
    std::vector<PrintLine> printout(const std::string& date) const;

    SpotFilesView& view() { return m_view; }
    SoundView& sound() { return m_sound; }
    SpotCatalogue& catalogue() { return m_catalogue; }

  private:
    static std::size_t index(SpotBox box) { return static_cast<std::size_t>(box); }
    void guarded(const std::function<void()>& action);
    void setBox(SpotBox box, const std::string& text);
    // Writes a box's text into its field of the selected entry, as the box's rules say.
    bool storeField(SpotBox box, const std::string& text);
    void setDate(SpotBox box, const CalendarDate& date);
    void checkDatePair(SpotBox picked);
    void showList(std::vector<SpotListLine> lines);
    // Lists what `listing` gives, and keeps it to list again when the catalogue changes.
    void list(std::function<std::vector<SpotListLine>()> listing);
    void followCatalogue();
    void selectAndShow(int number);  // the line marked when listed, then selected
    void refreshTimeRemaining();

    SpotCatalogue m_catalogue;
    const Parameters& m_parameters;
    ErrorReporter& m_errors;
    SpotFilesView& m_view;
    SoundView& m_sound;
    SpotFilesRecording m_noRecording;
    SpotFilesRecording* m_recording = &m_noRecording;
    FreeSpace m_freeSpace;
    LibraryPlayback m_playback;
    std::unique_ptr<Timer> m_timer1;

    bool m_open = false;
    SpotListView m_listView = SpotListView::ByName;
    std::vector<SpotListLine> m_lines;
    std::function<std::vector<SpotListLine>()> m_listing;  // how the list was made
    CatalogueWatch m_watch;
    // The catalogue is looked at once a second (every 20th tick).
    static constexpr int kWatchTicks = 20;
    int m_ticks = 0;
    int m_selected = 0;  // selected number
    std::array<std::string, kSpotBoxCount> m_boxes;
    std::string m_numberText;
    SpotBox m_dateTarget = SpotBox::StartDate;
    bool m_autoStart = false;
    bool m_overwrite = false;
    int m_sentNumber = 0;
};

}  // namespace dvx
