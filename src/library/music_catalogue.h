#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "common/clock.h"
#include "common/paths.h"
#include "common/record_file.h"

namespace dvx {

// One record of the music catalogue (Music.dat, 128 bytes, record n = music file n), fields as
// stored: texts at full width, blanks (or the zero bytes of a never-written record) included.
struct MusicRecord {
    char Status = 0;         // '1' active, '2' resting, '3' archive, '0' deleted, else free
    std::string Number;      // 4, catalogue number typed by the user
    std::string Cut;         // 2
    std::string Title;       // 30
    std::string Artist;      // 25
    std::string Album;       // 25
    std::string Length;      // 5, whole seconds as decimal text
    std::string Intro;       // 3
    std::string License;     // 6
    char Comp = ' ';         // 'Y': the fill may play it
    char Drive = 'C';        // drive letter of the folder holding the wave file
    std::string StyleTempo;  // 10
    std::string Category;    // 2, up to two category letters
    std::string EOM;         // 5, where the fill considers the tune finished, in seconds
    std::string Recorded;    // 6, "yymmdd"
    char Class = ' ';        // 'A'..'Z' or blank
};

inline constexpr int kMusicRecordLength = 128;
inline constexpr char kMusicActive = '1';
inline constexpr char kMusicResting = '2';
inline constexpr char kMusicArchive = '3';
inline constexpr char kMusicDeleted = '0';
inline constexpr char kFillAllowed = 'Y';
// `NewFileDrive`: new recordings and imports are written to drive c.
inline constexpr char kNewFileDrive = 'C';

// The fields packed from byte 0; byte 127 is written as 0.
Bytes encodeMusicRecord(const MusicRecord& record);
MusicRecord decodeMusicRecord(std::span<const std::uint8_t> bytes);

// A number stays taken while its entry is active, resting or archived.
bool isMusicTaken(const MusicRecord& record);

// The title a new entry gets: "(New Entry 42)".
std::string newMusicTitle(int number);

// The `Recorded` stamp of a day, "yymmdd" (5 December 2026: "261205"), and the way the window
// shows it, "mm/dd/yy" ("12/05/26"); a stamp that is not six characters shows as it is.
std::string recordedStamp(const LocalDateTime& day);
std::string recordedDateText(std::string_view Recorded);

// The music catalogue on the file start-up keeps open. Every call reads or writes one whole
// record. Main thread only.
class MusicCatalogue {
  public:
    MusicCatalogue(RecordFile& file, const Paths& paths) : m_file(file), m_paths(paths) {}

    // Throws IoError; a record past the end reads as all zero bytes.
    MusicRecord read(int number) const;
    void write(int number, const MusicRecord& record);
    // Writes the `Status` byte alone: every other byte of the record stays as it is on disk,
    // whatever was written there since the record was read.
    void writeStatus(int number, char Status);
    std::int64_t recordCount() const { return m_file.recordCount(); }
    // The catalogue's lock, taken around choosing a number and writing its entry (a number
    // chosen earlier is checked again under it, since nothing reserves a music number).
    RecordFileLock lock() const { return m_file.lock(); }
    const std::filesystem::path& file() const { return m_file.path(); }

    // <drive>:\Dorvex\Music\MF0042.wav for entry 42, the number with at least four digits. A
    // drive field that is not a letter (a record written elsewhere) means the data drive.
    std::filesystem::path wavePath(int number, char Drive) const;
    std::filesystem::path wavePath(int number) const {
        return wavePath(number, read(number).Drive);
    }

    // The number a new entry takes: the first record that is not taken, or the first past the
    // end of the file. Nothing is written.
    int nextFreeNumber() const;

  private:
    RecordFile& m_file;
    const Paths& m_paths;
};

}  // namespace dvx
