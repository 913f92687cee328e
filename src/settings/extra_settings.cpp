#include "settings/extra_settings.h"

#include <sstream>

#include "common/record_codec.h"
#include "common/text_file.h"

namespace dvx {
namespace {

// The key of a `key=value` line; empty for any other line.
std::string keyOf(std::string_view line) {
    const auto equals = line.find('=');
    if (equals == std::string_view::npos || trimBlanks(line).starts_with('#')) {
        return {};
    }
    return trimBlanks(line.substr(0, equals));
}

}  // namespace

ExtraSettings ExtraSettings::read(const std::filesystem::path& dataRoot) {
    ExtraSettings settings;
    settings.m_path = dataRoot / kFileName;
    if (const std::optional<std::string> text = readWholeFile(settings.m_path)) {
        std::istringstream lines(*text);
        for (std::string line; std::getline(lines, line);) {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            settings.m_lines.push_back(line);
        }
    }
    return settings;
}

std::string ExtraSettings::value(std::string_view key) const {
    for (const std::string& line : m_lines) {
        if (keyOf(line) == key) {
            return std::string(trimBlanks(std::string_view(line).substr(line.find('=') + 1)));
        }
    }
    return {};
}

void ExtraSettings::setValue(std::string_view key, std::string_view value) {
    const std::string line = std::string(key) + "=" + std::string(value);
    for (std::string& existing : m_lines) {
        if (keyOf(existing) == key) {
            existing = line;
            return;
        }
    }
    m_lines.push_back(line);
}

void ExtraSettings::write() const {
    writeTextLines(m_path, m_lines);
}

}  // namespace dvx
