#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "common/record_file.h"
#include "fill/list_lines.h"

namespace dvx {

// One record of the category file (MusicCat.dat, 16 bytes, records 1..52 = "A".."Z", "a".."z").
struct MusicCategory {
    std::int16_t InUse = 0;    // 1 = defined; any other value is not
    std::int16_t Visible = 0;  // the "Visible" box, 0 or 1
    std::string Name;          // 12, blank-padded
};

inline constexpr int kCategoryRecordLength = 16;
inline constexpr int kCategoryCount = 52;
inline constexpr std::size_t kCategoryNameWidth = 12;

Bytes encodeMusicCategory(const MusicCategory& category);
MusicCategory decodeMusicCategory(std::span<const std::uint8_t> bytes);

// Record 1..26 is "A".."Z", 27..52 is "a".."z"; any other record names no letter (empty text).
std::string CategoryLetter(int record);
// The record of a letter, nothing for any character outside the 52 letters.
std::optional<int> CategoryRecord(char letter);

// How a category list shows its lines: "Names" (name, blank, letter) or "Letter" (letter,
// blank, name); the name at its full 12 characters.
enum class CategoryView { Names, Letter };

// The category file on the file start-up keeps open. Main thread only.
class MusicCategories {
  public:
    explicit MusicCategories(RecordFile& file) : m_file(file) {}

    // Throws IoError; a record past the end reads as not defined.
    MusicCategory read(int record) const;
    void write(int record, const MusicCategory& category);
    bool isDefined(int record) const { return read(record).InUse == 1; }

    // `LoadMusicCategories`: one line per defined category, sorted as the list box sorts, item
    // data the record number.
    std::vector<ListLine> LoadMusicCategories(CategoryView view) const;

  private:
    RecordFile& m_file;
};

}  // namespace dvx
