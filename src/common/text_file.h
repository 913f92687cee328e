#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dvx {

class DiskSync;

// Writes the lines, each ended by CR LF, replacing the file whole. The new content goes to a
// temporary file that is flushed and then renamed over the old one, so a failure part-way
// leaves the old file as it was. `mode` is the permission of a newly made file. Throws IoError.
void writeTextLines(const std::filesystem::path& path, const std::vector<std::string>& lines,
                    unsigned mode = 0644);

// Appends one line ended by CR LF, opening and closing the file around it; the line is in the
// file when the call returns, and on disk then too unless `sync` takes over making it durable.
// Throws IoError.
void appendTextLine(const std::filesystem::path& path, std::string_view line,
                    DiskSync* sync = nullptr);

// The whole file, or nothing when it does not exist. Throws IoError when it exists but cannot
// be read.
std::optional<std::string> readWholeFile(const std::filesystem::path& path);

// Reads values one after another with the list-input rule: blanks and tabs before a value are
// skipped; a value ends at a comma or at the end of its line; a value in double quotes loses
// its quotes and may hold commas; blanks after an unquoted value are dropped. Values run on
// across lines, so a comma inside a line splits it into two values.
class ListInputReader {
  public:
    explicit ListInputReader(std::string text) : m_text(std::move(text)) {}

    // The next value, or nothing at the end of the text.
    std::optional<std::string> next();
    bool atEnd() const;

  private:
    std::string m_text;
    std::size_t m_pos = 0;
};

// The text read as a 16-bit integer the way the list-input rule reads a number: leading blanks
// skipped, optional sign, digits up to the first other character. Nothing when there is no
// number or it does not fit in 16 bits.
std::optional<short> parseListInteger16(std::string_view value);

}  // namespace dvx
