#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "common/clock.h"
#include "common/paths.h"
#include "viewers/error_reporter.h"

namespace dvx {

class DiskSync;

// The daily alarm log ("ALyymmdd.log" in the logs folder, one file per day) and the running
// playlist log ("Playlist.txt"). Each line is "HH:MM:SS", a blank and the text exactly as
// given (trailing blanks kept), ended by CR LF; each call opens the file, appends the line and
// closes it, so the line is in the file when the call returns and other programs may read the
// logs between lines. The line is on disk then too, or, with a DiskSync (the program's), as soon
// as that has synced it. A line that cannot be written is reported and lost; the caller goes
// on. Main thread only.
class AlarmLog {
  public:
    AlarmLog(const Paths& paths, const Clock& clock, ErrorReporter& errors,
             DiskSync* sync = nullptr);
    virtual ~AlarmLog() = default;

    virtual void WriteAlarmLog(std::string_view LogText);
    virtual void WritePlaylistLog(std::string_view LogText);

    // The two-letter prefix of the daily files the log viewer lists ("AL").
    const std::string& logKind() const { return m_logKind; }
    void setLogKind(std::string kind) { m_logKind = std::move(kind); }

    // The daily file for a date: "AL" + YYMMDD + ".log" in the logs folder.
    std::filesystem::path dailyFile(int year, int month, int day) const;

  private:
    void append(const std::filesystem::path& file, double secondsOfDay, std::string_view text);

    const Paths& m_paths;
    const Clock& m_clock;
    ErrorReporter& m_errors;
    DiskSync* m_sync;
    std::string m_logKind = "AL";
};

}  // namespace dvx
