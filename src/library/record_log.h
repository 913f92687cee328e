#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "common/clock.h"
#include "common/paths.h"

namespace dvx {

class DiskSync;
class ErrorReporter;

// The line text of a recording or import that was stored: `Name` at its full 25 characters,
// two blanks, the number right-aligned in three, one blank and eight blanks.
std::string recordLogStoredText(std::string_view Name, int number);
// The line text of a deletion: the same up to the number, one blank, then " Deleted".
std::string recordLogDeletedText(std::string_view Name, int number);

// The record log, Logs\record.log: one line for every recording, import and deletion. A line
// is the text, a blank, the date "MM/DD/YY", a blank and the time "hh:mm:ss", appended with CR
// LF (the file opened, the line written and the file closed again); it is on disk when the call
// returns, or with a DiskSync as soon as that has synced it.
//
// A stored recording or import does not log at once: its line is pending (the `record-log
// state` with the `pending log text`), so that the name the user gives it in the boxes is the
// one logged. The windows call the triggers:
//   - entrySelected():   a list entry is selected: a line in state 2 is written, state 1 -> 2;
//   - writeIfReady():    arming a recording, opening the import window, reserving a number in
//                        the record-a-specific-file window: a line in state 2 is written;
//   - fieldEdited():     a box of the selected entry was written back: in state 2 the pending
//                        text is rebuilt from the record;
//   - windowClosing():   the spot files window closes: a pending line (1 or 2) is written.
// A pending line is never lost: setPending() writes the one before it, and the log writes what
// is pending when it goes away at the end of the run (the main window removes the other windows
// without their closing handling). A line that cannot be written is reported in the error window
// and stays pending for the next trigger (unless a newer line takes its place).
//
// Main thread only. `paths`, `clock`, `errors` and `sync` must outlive the log.
class RecordLog {
  public:
    static constexpr int kNothingPending = 0;
    static constexpr int kPending = 1;
    static constexpr int kWriteAtNextTrigger = 2;

    RecordLog(const Paths& paths, const Clock& clock, ErrorReporter& errors,
              DiskSync* sync = nullptr);
    ~RecordLog();
    RecordLog(const RecordLog&) = delete;
    RecordLog& operator=(const RecordLog&) = delete;

    std::filesystem::path file() const;

    // A deletion: the line is written at once.
    void write(std::string_view text);
    // A stored recording or import: the line waits (state 1).
    void setPending(std::string text);

    void entrySelected();
    void writeIfReady();
    void fieldEdited(std::string_view Name, int number);
    void windowClosing();

    int state() const { return m_state; }
    const std::string& pendingText() const { return m_pendingText; }

  private:
    bool append(std::string_view text);  // false when the line could not be written
    void writePending();

    const Paths& m_paths;
    const Clock& m_clock;
    ErrorReporter& m_errors;
    DiskSync* m_sync;
    int m_state = kNothingPending;  // `record-log state`
    std::string m_pendingText;      // `pending log text`
};

}  // namespace dvx
