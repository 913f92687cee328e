#include "notify/message_file.h"

#include "common/record_codec.h"

namespace dvx {

MessageFile::MessageFile(RecordFile& file, std::string& Facility)
    : m_file(file), m_facility(Facility) {}

std::string MessageFile::text(int recordNumber) const {
    return RecordReader(m_file.read(recordNumber)).text(kRecordLength);
}

void MessageFile::setText(int recordNumber, std::string_view text) {
    if (recordNumber == kFacilityRecord) {
        m_facility = trimBlanks(text);
    }
    m_file.write(recordNumber, RecordWriter().text(text, kRecordLength).bytes());
}

}  // namespace dvx
