#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dvx {

// The two orders in which the log viewer shows a day.
enum class LogOrder {
    ByTime,   // the lines as they were written
    ByEvent,  // "event time", sorted, so the lines of one event stand together
};

// The single day line shown when the folder holds no log of the kind.
inline constexpr std::string_view kNoLogs = "No Logs";

// The days for which `folder` holds a log of the kind `prefix` ("AL"), newest first, each as
// "MM/DD/YY" taken from the file name prefix + "YYMMDD" + ".log". Only regular files of exactly
// that form count. {kNoLogs} when there is none, also when the folder is missing. Throws IoError
// when the folder exists but cannot be read.
std::vector<std::string> listLogDays(const std::filesystem::path& folder, std::string_view prefix);

// The log file of a day line ("12/05/05" -> folder/AL051205.log); nothing for kNoLogs or any
// other text that is not "MM/DD/YY".
std::optional<std::filesystem::path> logDayPath(const std::filesystem::path& folder,
                                                std::string_view prefix, std::string_view dayLine);

// The lines of one day's log, without their CR LF, in the order asked for. A missing or empty
// file gives the single line "Log for MM/DD/YY does not exist.". Throws IoError when the file
// exists but cannot be read.
std::vector<std::string> readLogDay(const std::filesystem::path& folder, std::string_view prefix,
                                    std::string_view dayLine, LogOrder order);

// What the log viewer shows: first the list of days, then, after OK, the lines of the chosen
// day, and after OK again the list of days once more. The window draws this state and forwards
// its buttons here. Main thread only.
class LogViewer {
  public:
    LogViewer(std::filesystem::path folder, std::string prefix);

    // Fills the day list afresh and goes to choosing a day with the caption "Load Logs". Throws
    // IoError when the folder cannot be read; the day list then holds kNoLogs.
    void load();

    // OK (or a double click on a day). Does nothing for kNoLogs. While lines are on show it goes
    // back to choosing a day ("Select Log"); otherwise it reads `dayLine` in `order` and shows
    // its lines. Throws IoError when the day's file cannot be read, and then changes nothing.
    void ok(std::string_view dayLine, LogOrder order);

    const std::vector<std::string>& days() const { return m_days; }
    const std::vector<std::string>& lines() const { return m_lines; }
    bool showingLines() const { return m_showingLines; }
    const std::string& caption() const { return m_caption; }

  private:
    std::filesystem::path m_folder;
    std::string m_prefix;
    std::vector<std::string> m_days;
    std::vector<std::string> m_lines;
    bool m_showingLines = false;
    std::string m_caption;
};

}  // namespace dvx
