#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "common/record_file.h"

namespace dvx {

// Packs the fields of one record in order, without gaps: 8-bit text left-aligned, padded with
// blanks and cut to its width; 16-bit and 32-bit signed integers little-endian.
class RecordWriter {
  public:
    RecordWriter& text(std::string_view value, std::size_t width);
    RecordWriter& int16(std::int16_t value);
    RecordWriter& int32(std::int32_t value);
    const Bytes& bytes() const { return m_bytes; }

  private:
    Bytes m_bytes;
};

// Reads the fields of one record in the order they were packed. Text comes back at its full
// width, blanks (or the zero bytes of a never-written record) included; see trimBlanks.
class RecordReader {
  public:
    explicit RecordReader(std::span<const std::uint8_t> record) : m_record(record) {}

    std::string text(std::size_t width);
    std::int16_t int16();
    std::int32_t int32();

  private:
    std::span<const std::uint8_t> take(std::size_t count);

    std::span<const std::uint8_t> m_record;
    std::size_t m_offset = 0;
};

// The text without blanks at either end. Zero bytes count as blanks, so the text of a
// never-written record is empty.
std::string trimBlanks(std::string_view text);
// The text without blanks at its end.
std::string trimTrailingBlanks(std::string_view text);

}  // namespace dvx
