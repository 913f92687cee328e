#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/paths.h"
#include "common/record_file.h"
#include "settings/parameter_records.h"
#include "support/temp_folder.h"

namespace dvx::test {

// A data root of its own with the data folder and the program folder in place.
class SettingsTest : public ::testing::Test {
  protected:
    SettingsTest() : paths(folder.path()) {
        std::filesystem::create_directories(paths.dataFolder());
        std::filesystem::create_directories(paths.programFolder());
    }

    TempFolder folder;
    Paths paths;
};

// Serves stored values from a map and notes every record read and written, in order.
class SpyRecords : public ParameterRecords {
  public:
    std::int32_t read(int record) override {
        reads.push_back(record);
        return values[record];
    }
    void write(int record, std::int32_t value) override {
        writes.push_back(record);
        values[record] = value;
    }

    std::map<int, std::int32_t> values;
    std::vector<int> reads;
    std::vector<int> writes;
};

// The permission bits of a file (0 when it cannot be reached).
inline unsigned fileMode(const std::filesystem::path& path) {
    std::error_code error;
    const auto perms = std::filesystem::status(path, error).permissions();
    return error ? 0u : static_cast<unsigned>(perms) & 0777u;
}

// The bytes of a parameters file `records` records long holding `values` (others 0), packed
// by hand: record n at 4 x (n - 1), little-endian.
inline Bytes parameterFileBytes(int records, const std::map<int, std::int32_t>& values) {
    Bytes bytes(static_cast<std::size_t>(records) * 4, 0);
    for (const auto& [record, value] : values) {
        if (record < 1 || record > records) {
            throw std::out_of_range("record " + std::to_string(record) + " is past the file");
        }
        const auto bits = static_cast<std::uint32_t>(value);
        for (std::size_t i = 0; i < 4; ++i) {
            bytes[static_cast<std::size_t>(record - 1) * 4 + i] =
                static_cast<std::uint8_t>(bits >> (8 * i));
        }
    }
    return bytes;
}

}  // namespace dvx::test
