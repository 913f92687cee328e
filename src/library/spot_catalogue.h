#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "common/paths.h"
#include "common/record_file.h"

namespace dvx {

// One record of the spot catalogue (Spotfile.dat, 94 bytes, record n = spot n), fields as
// stored: texts at full width, blanks (or the zero bytes of a never-written record) included.
struct SpotRecord {
    char Status = 0;          // '1' active, '2' reserved, anything else free
    std::string Name;         // 25
    std::string Talent;       // 3
    std::string Outcue;       // 25
    std::string Length;       // 5, whole seconds as decimal text
    std::string EOM;          // 5, end-of-message point in seconds (may hold a fraction)
    std::string StartDate;    // 8, "MM/DD/YY", "MM-DD-YY" or "TFN"
    std::string StopDate;     // 8
    std::string RecordDate;   // 8, "MM/DD/YY"
    std::string RotationRef;  // 4, "None" or the rotation number it was last added to
    char SpotCat = ' ';       // one letter, blank for none
};

inline constexpr int kSpotRecordLength = 94;
inline constexpr int kMaxSpotNumber = 900;
inline constexpr char kSpotActive = '1';
inline constexpr char kSpotReserved = '2';
inline constexpr char kSpotFree = '0';

inline constexpr std::string_view kMaxSoundFilesMessage = "Maximum Number of Sound Files is 900.";
inline constexpr std::string_view kNotActiveMessage = "Not an active sound file.";
inline constexpr std::string_view kMissingSoundFileMessage =
    "Sound File Does Not Exist.  Delete Entry.";

// The 11 fields packed from byte 0; byte 93 is written blank.
Bytes encodeSpotRecord(const SpotRecord& record);
SpotRecord decodeSpotRecord(std::span<const std::uint8_t> bytes);

// A number is taken while its entry is active or reserved; every other status byte is free.
bool isSpotTaken(const SpotRecord& record);

// The name a new entry gets: "(No Name 005 ****)".
std::string newSpotName(int number);

// The list line of an active entry; the number right-aligned in three characters, the name at
// its full 25 characters: by name "Name" + 2 blanks + number, by number number + 2 blanks +
// "Name".
enum class SpotListView { ByName, ByNumber };
std::string spotListText(int number, const SpotRecord& record, SpotListView view);

struct SpotListLine {
    std::string text;
    int number = 0;  // the item data
};

// The spot catalogue on the file start-up keeps open. Every call reads or writes one whole
// record. Main thread only.
class SpotCatalogue {
  public:
    SpotCatalogue(RecordFile& file, const Paths& paths) : m_file(file), m_paths(paths) {}

    // Throws IoError; a record past the end reads as all zero bytes.
    SpotRecord read(int number) const;
    void write(int number, const SpotRecord& record);
    // Writes the `Status` byte alone: every other byte of the record stays as it is on disk,
    // whatever was written there since the record was read.
    void writeStatus(int number, char Status);
    std::int64_t recordCount() const { return m_file.recordCount(); }
    // The catalogue's lock, taken around choosing a number and writing its entry.
    RecordFileLock lock() const { return m_file.lock(); }
    const std::filesystem::path& file() const { return m_file.path(); }

    // c:\Dorvex\Spotfile\SF0007.wav for spot 7.
    std::filesystem::path wavePath(int number) const;

    // The lowest number whose entry is neither active nor reserved (the first past the file
    // when every record is taken); nothing when that number is above 900.
    std::optional<int> nextFreeNumber() const;

    // Whether a number typed by the user may be taken: 1..900 and free.
    bool isFreeNumber(int number) const;

    // The active entries in record order, as list lines.
    std::vector<SpotListLine> activeList(SpotListView view) const;

    // Before playing: the message for an entry that is not active or whose wave file is
    // missing, nothing when it may be played.
    std::optional<std::string> playProblem(int number) const;

  private:
    RecordFile& m_file;
    const Paths& m_paths;
};

}  // namespace dvx
