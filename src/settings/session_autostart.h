#pragma once

#include <filesystem>
#include <string>

namespace dvx {

// The application's identity on the desktop: the name of its desktop entry and icon.
inline constexpr const char* kDesktopId = "org.dorvexia.Dorvexia";

// Starting the program with the operator's desktop session, through an XDG autostart entry
// (`<config>/autostart/org.dorvexia.Dorvexia.desktop`). The entry is the only record of the
// choice: it is on exactly while the file exists, so nothing else is stored.
class SessionAutostart {
  public:
    // `entry` is the autostart file; `program` the binary that the session should start.
    SessionAutostart(std::filesystem::path entry, std::filesystem::path program);

    // The entry under $XDG_CONFIG_HOME/autostart (when absolute), else ~/.config/autostart,
    // starting the binary that runs now (the installed one when it is installed).
    static SessionAutostart forThisProgram();

    bool enabled() const;
    // Writes the entry (whole, replacing one that is there), or removes it. Throws IoError when
    // the folder or the file cannot be written or removed.
    void enable() const;
    void disable() const;

    const std::filesystem::path& entry() const { return m_entry; }

  private:
    std::filesystem::path m_entry;
    std::filesystem::path m_program;
};

// The Exec value that starts `program` with no arguments, quoted and escaped as desktop entries
// require when the path holds blanks or reserved characters.
std::string desktopExec(const std::filesystem::path& program);

}  // namespace dvx
