#include "library/audio_hash.h"

#include <cstdio>
#include <sstream>
#include <vector>

#include "common/text_file.h"

namespace dvx {
namespace {

constexpr std::uint64_t kPrime1 = 0x9E3779B185EBCA87ull;
constexpr std::uint64_t kPrime2 = 0xC2B2AE3D27D4EB4Full;
constexpr std::uint64_t kPrime3 = 0x165667B19E3779F9ull;

std::uint64_t rotl(std::uint64_t value, int bits) {
    return (value << bits) | (value >> (64 - bits));
}

std::uint64_t avalanche(std::uint64_t value) {
    value ^= value >> 33;
    value *= kPrime2;
    value ^= value >> 29;
    value *= kPrime3;
    value ^= value >> 32;
    return value;
}

struct IndexLine {
    std::string hash;
    int number = 0;
    std::uintmax_t size = 0;
};

std::vector<IndexLine> readLines(const std::filesystem::path& file) {
    std::vector<IndexLine> lines;
    const std::optional<std::string> text = readWholeFile(file);
    if (!text) {
        return lines;
    }
    std::istringstream in(*text);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        IndexLine entry;
        if (fields >> entry.hash >> entry.number >> entry.size && entry.number > 0) {
            lines.push_back(entry);
        }
    }
    return lines;
}

}  // namespace

void AudioHash::addWord(std::uint64_t word) {
    std::uint64_t& lane = m_lanes[m_words++ & 1];
    lane = rotl(lane + word * kPrime2, 31) * kPrime1;
}

void AudioHash::add(const std::int16_t* samples, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        m_pending |= static_cast<std::uint64_t>(static_cast<std::uint16_t>(samples[i]))
                     << (16 * m_pendingCount);
        if (++m_pendingCount == 4) {
            addWord(m_pending);
            m_pending = 0;
            m_pendingCount = 0;
        }
    }
}

std::string AudioHash::hex() const {
    const std::uint64_t samples = m_words * 4 + static_cast<std::uint64_t>(m_pendingCount);
    std::uint64_t first = m_lanes[0] ^ rotl(m_pending * kPrime1, 17) ^ samples;
    std::uint64_t second = m_lanes[1] ^ rotl(samples * kPrime3, 29) ^ m_pending;
    first = avalanche(first + rotl(second, 7));
    second = avalanche(second + rotl(first, 11));
    char text[40];
    std::snprintf(text, sizeof text, "%016llx%016llx", static_cast<unsigned long long>(first),
                  static_cast<unsigned long long>(second));
    return text;
}

AudioHashIndex::AudioHashIndex(const std::filesystem::path& catalogue)
    : m_file(std::filesystem::path(catalogue).replace_extension(".hash")) {}

std::optional<int> AudioHashIndex::holder(const std::string& hash, const Holds& holds) const {
    for (const IndexLine& line : readLines(m_file)) {
        if (line.hash == hash && holds(line.number, line.size)) {
            return line.number;
        }
    }
    return std::nullopt;
}

void AudioHashIndex::record(const std::string& hash, int number, std::uintmax_t size) {
    std::vector<std::string> text;
    for (const IndexLine& line : readLines(m_file)) {
        if (line.number != number) {
            text.push_back(line.hash + " " + std::to_string(line.number) + " " +
                           std::to_string(line.size));
        }
    }
    text.push_back(hash + " " + std::to_string(number) + " " + std::to_string(size));
    writeTextLines(m_file, text);
}

}  // namespace dvx
