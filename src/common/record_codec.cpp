#include "common/record_codec.h"

#include <stdexcept>

namespace dvx {

RecordWriter& RecordWriter::text(std::string_view value, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i) {
        m_bytes.push_back(i < value.size() ? static_cast<std::uint8_t>(value[i]) : ' ');
    }
    return *this;
}

RecordWriter& RecordWriter::int16(std::int16_t value) {
    const auto bits = static_cast<std::uint16_t>(value);
    m_bytes.push_back(static_cast<std::uint8_t>(bits & 0xFF));
    m_bytes.push_back(static_cast<std::uint8_t>(bits >> 8));
    return *this;
}

RecordWriter& RecordWriter::int32(std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) {
        m_bytes.push_back(static_cast<std::uint8_t>((bits >> shift) & 0xFF));
    }
    return *this;
}

std::span<const std::uint8_t> RecordReader::take(std::size_t count) {
    if (m_offset + count > m_record.size()) {
        throw std::out_of_range("Field runs past the end of its record");
    }
    auto field = m_record.subspan(m_offset, count);
    m_offset += count;
    return field;
}

std::string RecordReader::text(std::size_t width) {
    auto field = take(width);
    return std::string(field.begin(), field.end());
}

std::int16_t RecordReader::int16() {
    auto field = take(2);
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(field[0] | (field[1] << 8)));
}

std::int32_t RecordReader::int32() {
    auto field = take(4);
    std::uint32_t bits = 0;
    for (int i = 3; i >= 0; --i) {
        bits = (bits << 8) | field[static_cast<std::size_t>(i)];
    }
    return static_cast<std::int32_t>(bits);
}

namespace {
// Zero bytes count as blanks: they are what a never-written record holds.
constexpr std::string_view kBlanks{" \0", 2};
}  // namespace

std::string trimBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(kBlanks);
    return std::string(text.substr(first, last - first + 1));
}

std::string trimTrailingBlanks(std::string_view text) {
    const std::size_t last = text.find_last_not_of(kBlanks);
    return last == std::string_view::npos ? std::string{} : std::string(text.substr(0, last + 1));
}

}  // namespace dvx
