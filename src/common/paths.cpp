#include "common/paths.h"

#include <array>
#include <cctype>
#include <cstdlib>
#include <stdexcept>

namespace dvx {
namespace {

// The one on-disk spelling of every fixed name the program uses.
constexpr std::array kCanonicalNames = {
    std::string_view{"Dorvex"},          std::string_view{"Logs"},
    std::string_view{"Music"},           std::string_view{"Spotfile"},
    std::string_view{"Program Files"},   std::string_view{"DXParams.dat"},
    std::string_view{"User.dat"},        std::string_view{"Smtp.dat"},
    std::string_view{"Connection.dat"},  std::string_view{"CallList.dat"},
    std::string_view{"AddressBook.dat"}, std::string_view{"MessageFile.dat"},
    std::string_view{"Spotfile.dat"},    std::string_view{"Music.dat"},
    std::string_view{"MusicCat.dat"},    std::string_view{"MusRotFileOne"},
    std::string_view{"MusRotFileTwo"},   std::string_view{"MusHist"},
    std::string_view{"RFNames.dat"},     std::string_view{"Playlist.txt"},
    std::string_view{"record.log"},      std::string_view{"Help.html"},
};

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

std::string canonicalName(std::string_view name) {
    for (std::string_view known : kCanonicalNames) {
        if (equalsIgnoringCase(known, name)) {
            return std::string(known);
        }
    }
    return std::string(name);
}

}  // namespace

Paths::Paths(std::filesystem::path dataRoot) : m_dataRoot(std::move(dataRoot)) {}

std::filesystem::path Paths::resolve(std::string_view windowsPath) const {
    if (windowsPath.size() < 2 || windowsPath[1] != ':' ||
        !std::isalpha(static_cast<unsigned char>(windowsPath[0]))) {
        throw std::invalid_argument("Not a drive path: " + std::string(windowsPath));
    }
    const char drive = static_cast<char>(std::tolower(static_cast<unsigned char>(windowsPath[0])));
    std::filesystem::path result = m_dataRoot / std::string(1, drive);
    std::string_view rest = windowsPath.substr(2);
    while (!rest.empty()) {
        const std::size_t cut = rest.find('\\');
        const std::string_view part = rest.substr(0, cut);
        if (part == "..") {
            throw std::invalid_argument("Path leaves its drive: " + std::string(windowsPath));
        }
        if (!part.empty() && part != ".") {
            if (part.find('/') != std::string_view::npos) {
                throw std::invalid_argument("Name holds a slash: " + std::string(windowsPath));
            }
            result /= canonicalName(part);
        }
        rest = cut == std::string_view::npos ? std::string_view{} : rest.substr(cut + 1);
    }
    return result;
}

std::filesystem::path Paths::programFolder() const {
    return resolve("c:\\Program Files\\Dorvex");
}
std::filesystem::path Paths::dataFolder() const {
    return resolve("c:\\Dorvex");
}
std::filesystem::path Paths::logsFolder() const {
    return resolve("c:\\Dorvex\\Logs");
}
std::filesystem::path Paths::musicFolder() const {
    return resolve("c:\\Dorvex\\Music");
}
std::filesystem::path Paths::spotFolder() const {
    return resolve("c:\\Dorvex\\Spotfile");
}

std::filesystem::path Paths::dataFile(std::string_view name) const {
    return resolve("c:\\Dorvex\\" + std::string(name));
}

std::filesystem::path Paths::programFile(std::string_view name) const {
    return resolve("c:\\Program Files\\Dorvex\\" + std::string(name));
}

std::filesystem::path Paths::deviceOverride(std::string_view name) const {
    return m_dataRoot / "dev" / std::string(name);
}

std::filesystem::path chooseDataRoot(const std::string& commandLineRoot) {
    if (!commandLineRoot.empty()) {
        return commandLineRoot;
    }
    if (const char* env = std::getenv("DORVEXIA_ROOT"); env != nullptr && *env != '\0') {
        return env;
    }
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && *xdg != '\0') {
        return std::filesystem::path(xdg) / "dorvexia";
    }
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home != nullptr ? home : ".") / ".local" / "share" / "dorvexia";
}

}  // namespace dvx
