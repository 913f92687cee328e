#pragma once

#include <string>
#include <string_view>

#include "common/record_file.h"

namespace dvx {

// MessageFile.dat: five 64-character texts, record 1 the facility name that heads every alarm
// mail subject, records 2 to 5 the messages of the four remote inputs. Each change is written
// at once; readers read the open file, so an edit takes effect for the next mail. Main thread
// only.
class MessageFile {
  public:
    static constexpr int kRecordLength = 64;
    static constexpr int kFacilityRecord = 1;
    static constexpr int kFirstMessageRecord = 2;
    static constexpr int kLastMessageRecord = 5;

    // `Facility` is the running facility name the whole program shares.
    MessageFile(RecordFile& file, std::string& Facility);

    // The record's text as stored, 64 characters with their trailing blanks. Throws IoError.
    std::string text(int recordNumber) const;

    // Writes the text cut or padded to 64 characters; record 1 also sets `Facility` to the text
    // without surrounding blanks. Throws IoError (`Facility` is set all the same, so the running
    // program uses what the user sees).
    void setText(int recordNumber, std::string_view text);

  private:
    RecordFile& m_file;
    std::string& m_facility;
};

}  // namespace dvx
