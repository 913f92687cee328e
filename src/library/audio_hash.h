#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace dvx {

// A hash of decoded sound: the 16-bit samples in order, fed in pieces of any size, and their
// count. Two files that decode to the same samples (a copy, another container, other tags) have
// the same hash. 128 bits from two lanes of the xxHash64 round; not for guarding against
// anyone who makes collisions on purpose. One thread at a time.
class AudioHash {
  public:
    void add(const std::int16_t* samples, std::size_t count);
    // 32 hexadecimal digits.
    std::string hex() const;

  private:
    void addWord(std::uint64_t word);

    std::uint64_t m_lanes[2] = {0x9E3779B185EBCA87ull, 0xC2B2AE3D27D4EB4Full};
    std::uint64_t m_words = 0;
    std::uint64_t m_pending = 0;  // samples not yet making a whole word
    int m_pendingCount = 0;
};

// The hashes of a catalogue's sound files, kept in a text file of its own beside the catalogue
// (Music.dat: Music.hash), so the catalogue's fixed records stay as they are. One line per
// imported entry, "<hash> <number> <size of the wave file in bytes>", ended by CR LF.
//
// A line outlives its entry when the entry is deleted or its slot recorded over elsewhere; so
// a line counts only while the caller finds the entry active with a wave file of that size.
// Main thread; record() under the catalogue's lock.
class AudioHashIndex {
  public:
    explicit AudioHashIndex(const std::filesystem::path& catalogue);
    const std::filesystem::path& file() const { return m_file; }

    // Whether entry `number` still holds the wave file of `size` bytes that its line names.
    using Holds = std::function<bool(int number, std::uintmax_t size)>;
    // The first entry that holds sound of this hash. Throws IoError when the file exists but
    // cannot be read.
    std::optional<int> holder(const std::string& hash, const Holds& holds) const;
    // The entry's line, replacing the one it had. Throws IoError.
    void record(const std::string& hash, int number, std::uintmax_t size);

  private:
    std::filesystem::path m_file;
};

}  // namespace dvx
