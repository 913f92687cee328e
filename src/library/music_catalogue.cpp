#include "library/music_catalogue.h"

#include <cctype>
#include <cmath>

#include "common/record_codec.h"
#include "library/catalogue_text.h"

namespace dvx {

Bytes encodeMusicRecord(const MusicRecord& record) {
    RecordWriter writer;
    writer.text(std::string(1, record.Status), 1)
        .text(record.Number, 4)
        .text(record.Cut, 2)
        .text(record.Title, 30)
        .text(record.Artist, 25)
        .text(record.Album, 25)
        .text(record.Length, 5)
        .text(record.Intro, 3)
        .text(record.License, 6)
        .text(std::string(1, record.Comp), 1)
        .text(std::string(1, record.Drive), 1)
        .text(record.StyleTempo, 10)
        .text(record.Category, 2)
        .text(record.EOM, 5)
        .text(record.Recorded, 6)
        .text(std::string(1, record.Class), 1)
        .text(std::string(1, '\0'), 1);
    return writer.bytes();
}

MusicRecord decodeMusicRecord(std::span<const std::uint8_t> bytes) {
    RecordReader reader(bytes);
    MusicRecord record;
    record.Status = reader.text(1)[0];
    record.Number = reader.text(4);
    record.Cut = reader.text(2);
    record.Title = reader.text(30);
    record.Artist = reader.text(25);
    record.Album = reader.text(25);
    record.Length = reader.text(5);
    record.Intro = reader.text(3);
    record.License = reader.text(6);
    record.Comp = reader.text(1)[0];
    record.Drive = reader.text(1)[0];
    record.StyleTempo = reader.text(10);
    record.Category = reader.text(2);
    record.EOM = reader.text(5);
    record.Recorded = reader.text(6);
    record.Class = reader.text(1)[0];
    return record;
}

bool isMusicTaken(const MusicRecord& record) {
    return record.Status == kMusicActive || record.Status == kMusicResting ||
           record.Status == kMusicArchive;
}

std::string newMusicTitle(int number) {
    return "(New Entry " + std::to_string(number) + ")";
}

std::string recordedStamp(const LocalDateTime& day) {
    return zeroPadded(day.year % 100, 2) + zeroPadded(day.month, 2) + zeroPadded(day.day, 2);
}

std::string recordedDateText(std::string_view Recorded) {
    if (Recorded.size() != 6) {
        return std::string(Recorded);
    }
    return std::string(Recorded.substr(2, 2)) + "/" + std::string(Recorded.substr(4, 2)) + "/" +
           std::string(Recorded.substr(0, 2));
}

MusicRecord MusicCatalogue::read(int number) const {
    return decodeMusicRecord(m_file.read(number));
}

void MusicCatalogue::write(int number, const MusicRecord& record) {
    m_file.write(number, encodeMusicRecord(record));
}

void MusicCatalogue::writeStatus(int number, char Status) {
    const std::uint8_t byte = static_cast<std::uint8_t>(Status);
    m_file.write(number, std::span<const std::uint8_t>(&byte, 1));
}

std::filesystem::path MusicCatalogue::wavePath(int number, char Drive) const {
    const bool isLetter = std::isalpha(static_cast<unsigned char>(Drive)) != 0;
    const std::string drive = isLetter ? std::string(1, Drive) : std::string(Paths::kDriveLetter);
    return m_paths.resolve(drive + ":\\Dorvex\\Music\\MF" + zeroPadded(number, 4) + ".wav");
}

int MusicCatalogue::nextFreeNumber() const {
    const std::int64_t count = m_file.recordCount();
    int number = 1;
    while (number <= count && isMusicTaken(read(number))) {
        ++number;
    }
    return number;
}

}  // namespace dvx
