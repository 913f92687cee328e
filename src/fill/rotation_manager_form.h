#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/clock.h"
#include "common/paths.h"
#include "fill/list_lines.h"
#include "fill/rotation_files.h"
#include "fill/rotation_lines.h"
#include "library/spot_catalogue.h"

namespace dvx {

class ErrorReporter;

// What the rotation file manager window (`frmRotationFileManager`) does, without drawing: the
// rotation names, the spots and the current rotation's entries as lines, New, Apply and Delete
// of rotations, and the edits of the entries. Every change is written at once. The window shows
// what this holds after each call and passes in what the user picked. A failed file operation
// is shown in the error window and ends that command only. Main thread only.
class RotationManagerForm {
  public:
    static constexpr std::string_view kNoneSelectedMessage = "No Rotation File was selected";
    static constexpr std::string_view kAllInUseMessage =
        "All 200 rotation files (9001 to 9200) are in use. Delete one before making a new one.";
    static constexpr std::string_view kLengthMessage =
        "The length must be a time such as 0:30 or 1:02:05.";

    struct Files {
        RecordFile& RFNames;
        RecordFile& Spotfile;
        const Paths& paths;
    };
    // `Form_Load`: both lists by name.
    RotationManagerForm(Files files, Clock& clock, ErrorReporter& errors);
    ~RotationManagerForm();

    const std::vector<ListLine>& nameLines() const { return m_nameLines; }
    const std::vector<ListLine>& spotLines() const { return m_spotLines; }
    const std::vector<ListLine>& entryLines() const { return m_entryLines; }
    // `Label1`: the current rotation's name and number, or the number New offers.
    const std::string& label() const { return m_label; }
    // Whether the current rotation plays anything today; empty without one.
    const std::string& todayNote() const { return m_todayNote; }
    // The name record of the current rotation, whose entries are listed.
    std::optional<int> current() const { return m_current; }
    // The chosen entry's record, and its weekday ticks (Sunday first).
    std::optional<int> entry() const { return m_entry; }
    const std::array<bool, 7>& entryDays() const { return m_entryDays; }
    int clipboardSpot() const { return m_clipboard; }

    void setNameOrder(ListOrder order);
    void setSpotOrder(ListOrder order);
    // Lists everything again from the files (spots and plays change elsewhere).
    void refresh();

    // `lstName_Click`: the rotation of name record `record` becomes current and its boxes'
    // contents are returned.
    struct Shown {
        std::string name;
        std::string length;
        bool checkDates = false;
        bool checkDays = false;
    };
    std::optional<Shown> nameChosen(int record);

    // `cmdNew_Click`: offers the first free rotation number; no rotation is current until Apply
    // makes it. Refused past 9200. Returns whether the boxes are to be emptied for it.
    bool newRotation();
    // `cmdApply_Click`: writes the new or current rotation's name record and makes it current;
    // a new one starts from an empty entry file. A length that is not a time is refused.
    // Returns whether anything was written.
    bool apply(std::string_view name, std::string_view length, bool checkDates, bool checkDays);
    // `cmdDelete_Click`: removes the current rotation's entry file, then frees its name. When the
    // file cannot be removed, the name stays in use.
    void deleteRotation();

    // `lstRotationFile_Click`: the entry at `record` is chosen.
    void entryChosen(int record);
    // `chkDay_Click`: a weekday of the chosen entry.
    void dayTicked(int day, bool ticked);

    // The spot list's commands, for the spot `spot` picked there (0: none). Spots above 800 are
    // refused: the fill would take them for music.
    void addSpot(int spot);
    void insertSpot(int spot);
    void replaceWithSpot(int spot);
    // `lstSpotFile_DblClick`: the spot remembers the rotation (`RotationRef`) and is added with
    // no weekday ticked.
    void spotDoubleClicked(int spot);

    // The rotation list's commands, on the chosen entry.
    void copyEntry();
    void cutEntry();
    void deleteEntry();
    void insertClipboard();
    void replaceWithClipboard();
    void resetPlays();

  private:
    void open(int record);
    void close();
    void listEntries();
    bool refusedSpot(int spot);
    template <typename Command>
    void run(Command&& command);
    // Runs `edit` on the chosen entry's record in the open file and lists the entries again.
    template <typename Edit>
    void editChosen(Edit&& edit);

    RotationNames m_names;
    SpotCatalogue m_spots;
    const Paths& m_paths;
    Clock& m_clock;
    ErrorReporter& m_errors;
    ListOrder m_nameOrder = ListOrder::ByName;
    ListOrder m_spotOrder = ListOrder::ByName;
    std::vector<ListLine> m_nameLines;
    std::vector<ListLine> m_spotLines;
    std::vector<ListLine> m_entryLines;
    std::string m_label;
    std::string m_todayNote;
    std::optional<int> m_current;
    std::unique_ptr<RotationEntryFile> m_file;  // the current rotation's, open while it is
    std::optional<int> m_newRecord;             // `NewMode`, with the record New offers
    std::optional<int> m_entry;
    std::array<bool, 7> m_entryDays{};
    int m_clipboard = 0;  // `ClipboardSpot`, 0 = empty
};

}  // namespace dvx
