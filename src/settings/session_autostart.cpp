#include "settings/session_autostart.h"

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <string_view>
#include <system_error>
#include <utility>

#include "common/io_error.h"

namespace dvx {
namespace {

std::filesystem::path configHome() {
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && *xdg == '/') {
        return xdg;  // a relative value is to be ignored
    }
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home != nullptr ? home : ".") / ".config";
}

std::filesystem::path runningBinary() {
    std::error_code error;
    std::string binary = std::filesystem::read_symlink("/proc/self/exe", error).string();
    if (error) {
        return "/usr/bin/dorvexia";
    }
    // A package upgrade replaces the file under the running program: the path still names the
    // binary that the next session should start.
    constexpr std::string_view kReplaced = " (deleted)";
    if (binary.ends_with(kReplaced)) {
        binary.resize(binary.size() - kReplaced.size());
    }
    return binary;
}

std::string entryText(const std::filesystem::path& program) {
    return std::string(
               "[Desktop Entry]\n"
               "Type=Application\n"
               "Name=Dorvexia\n"
               "Comment=Guard the station against dead air\n"
               "Exec=") +
           desktopExec(program) +
           "\n"
           "Icon=" +
           kDesktopId +
           "\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}

}  // namespace

std::string desktopExec(const std::filesystem::path& program) {
    const std::string path = program.string();
    std::string quoted;
    bool needsQuotes = false;
    for (const char c : path) {
        if (c == '%') {
            quoted += "%%";  // a field code otherwise
            continue;
        }
        const bool reserved =
            std::string_view(" \t\n\"'\\><~|&;$*?#()`").find(c) != std::string_view::npos;
        needsQuotes = needsQuotes || reserved;
        // Inside quotes `"`, `` ` ``, `$` and `\` take a backslash; the string value's own
        // escaping then doubles every backslash.
        if (c == '"' || c == '`' || c == '$') {
            quoted += "\\\\";
        } else if (c == '\\') {
            quoted += "\\\\\\\\";
            continue;
        }
        quoted += c;
    }
    return needsQuotes ? "\"" + quoted + "\"" : quoted;
}

SessionAutostart::SessionAutostart(std::filesystem::path entry, std::filesystem::path program)
    : m_entry(std::move(entry)), m_program(std::move(program)) {}

SessionAutostart SessionAutostart::forThisProgram() {
    return SessionAutostart(configHome() / "autostart" / (std::string(kDesktopId) + ".desktop"),
                            runningBinary());
}

bool SessionAutostart::enabled() const {
    std::error_code error;
    return std::filesystem::exists(m_entry, error);
}

void SessionAutostart::enable() const {
    std::error_code error;
    std::filesystem::create_directories(m_entry.parent_path(), error);
    if (error) {
        throw IoError("Cannot create the folder", m_entry.parent_path(), error.value());
    }
    // Written beside the entry and renamed over it, so the session never reads half a file.
    std::filesystem::path partial = m_entry;
    partial += ".partial";
    {
        errno = 0;
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out << entryText(m_program);
        out.close();
        if (!out) {
            const int reason = errno != 0 ? errno : EIO;
            std::filesystem::remove(partial, error);
            throw IoError("Cannot write the autostart entry", partial, reason);
        }
    }
    std::filesystem::rename(partial, m_entry, error);
    if (error) {
        std::error_code ignored;
        std::filesystem::remove(partial, ignored);
        throw IoError("Cannot write the autostart entry", m_entry, error.value());
    }
}

void SessionAutostart::disable() const {
    std::error_code error;
    std::filesystem::remove(m_entry, error);
    if (error) {
        throw IoError("Cannot remove the autostart entry", m_entry, error.value());
    }
}

}  // namespace dvx
