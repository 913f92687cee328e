#include "settings/parameter_records.h"

#include <system_error>

#include "common/io_error.h"
#include "common/paths.h"
#include "common/record_codec.h"

namespace dvx {

ParameterFile::ParameterFile(const Paths& paths, DiskSync* sync)
    : ParameterFile(paths.dataFile("DXParams.dat"), sync) {}

ParameterFile::ParameterFile(std::filesystem::path path, DiskSync* sync)
    : m_file(std::move(path), kParameterRecordLength, sync) {}

std::int32_t ParameterFile::read(int record) {
    const Bytes bytes = m_file.read(record);
    return RecordReader(bytes).int32();
}

void ParameterFile::write(int record, std::int32_t value) {
    m_file.write(record, RecordWriter().int32(value).bytes());
}

std::uintmax_t ParameterFile::size() const {
    std::error_code error;
    const auto size = std::filesystem::file_size(m_file.path(), error);
    if (error) {
        throw IoError("Cannot read the size of", m_file.path(), error.value());
    }
    return size;
}

bool ParameterFile::isEmpty() const {
    return size() == 0;
}

std::optional<std::string> ParameterFile::lengthWarning() const {
    const auto size = this->size();
    if (size % kParameterRecordLength == 0) {
        return std::nullopt;
    }
    return "The parameters file " + m_file.path().string() + " is " + std::to_string(size) +
           " bytes long, not a whole number of " + std::to_string(kParameterRecordLength) +
           "-byte records: it may be damaged. Its last record was read as far as it goes, the "
           "missing bytes as 0; the file was not changed. Check the settings under Setup, "
           "My Preferences.";
}

}  // namespace dvx
