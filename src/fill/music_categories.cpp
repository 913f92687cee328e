#include "fill/music_categories.h"

#include "common/record_codec.h"
#include "library/catalogue_text.h"

namespace dvx {

Bytes encodeMusicCategory(const MusicCategory& category) {
    RecordWriter writer;
    writer.int16(category.InUse).int16(category.Visible).text(category.Name, kCategoryNameWidth);
    return writer.bytes();
}

MusicCategory decodeMusicCategory(std::span<const std::uint8_t> bytes) {
    RecordReader reader(bytes);
    MusicCategory category;
    category.InUse = reader.int16();
    category.Visible = reader.int16();
    category.Name = reader.text(kCategoryNameWidth);
    return category;
}

std::string CategoryLetter(int record) {
    if (record >= 1 && record <= 26) {
        return std::string(1, static_cast<char>(record + 64));
    }
    if (record >= 27 && record <= kCategoryCount) {
        return std::string(1, static_cast<char>(record + 70));
    }
    return {};
}

std::optional<int> CategoryRecord(char letter) {
    if (letter >= 'A' && letter <= 'Z') {
        return letter - 64;
    }
    if (letter >= 'a' && letter <= 'z') {
        return letter - 70;
    }
    return std::nullopt;
}

MusicCategory MusicCategories::read(int record) const {
    return decodeMusicCategory(m_file.read(record));
}

void MusicCategories::write(int record, const MusicCategory& category) {
    m_file.write(record, encodeMusicCategory(category));
}

std::vector<ListLine> MusicCategories::LoadMusicCategories(CategoryView view) const {
    std::vector<ListLine> lines;
    const std::int64_t count = m_file.recordCount();
    for (int record = 1; record <= count; ++record) {
        const MusicCategory category = read(record);
        if (category.InUse != 1) {
            continue;
        }
        std::string name = shownText(category.Name);
        name.resize(kCategoryNameWidth, ' ');
        const std::string letter = CategoryLetter(record);
        lines.push_back(
            {view == CategoryView::Names ? name + " " + letter : letter + " " + name, record});
    }
    sortListLines(lines);
    return lines;
}

}  // namespace dvx
