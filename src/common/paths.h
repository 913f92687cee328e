#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace dvx {

// Turns the program's drive-letter paths ("c:\Dorvex\Logs\AL261205.log") into paths below the
// data root (<root>/c/Dorvex/Logs/AL261205.log). Every path of the program is built here, so
// each folder and file name has exactly one spelling on disk whatever case the caller used.
class Paths {
  public:
    explicit Paths(std::filesystem::path dataRoot);

    const std::filesystem::path& dataRoot() const { return m_dataRoot; }

    // `windowsPath` is a drive letter, ":" and backslash-separated names. Known folder and file
    // names are matched without regard to case and given their one spelling; other names (the
    // numbered sound files, a log of a given day) are taken as the caller spelled them.
    std::filesystem::path resolve(std::string_view windowsPath) const;

    // The folders every run needs, in the order start-up creates them.
    std::filesystem::path programFolder() const;  // c:\Program Files\Dorvex
    std::filesystem::path dataFolder() const;     // c:\Dorvex
    std::filesystem::path logsFolder() const;     // c:\Dorvex\Logs
    std::filesystem::path musicFolder() const;    // c:\Dorvex\Music
    std::filesystem::path spotFolder() const;     // c:\Dorvex\Spotfile

    // A file in the data folder or the program folder, by its bare name ("CallList.dat").
    std::filesystem::path dataFile(std::string_view name) const;
    std::filesystem::path programFile(std::string_view name) const;

    // The device overrides of <root>/dev (COM1, parport, port).
    std::filesystem::path deviceOverride(std::string_view name) const;

    // The data drive letter kept in memory; paths built at run time start with it.
    static constexpr std::string_view kDriveLetter = "c";

  private:
    std::filesystem::path m_dataRoot;
};

// The data root chosen from the command line, the environment and the XDG data folder, in that
// order of precedence. `commandLineRoot` is empty when no --data-root was given.
std::filesystem::path chooseDataRoot(const std::string& commandLineRoot);

}  // namespace dvx
