#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/record_file.h"
#include "notify/contact_entry.h"

namespace dvx {

// A line of the list box: its text and the record number it stands for.
struct ContactListLine {
    std::string text;
    std::int32_t recordNumber = 0;
};

// The call list or the address book on its open record file. Entries are never removed:
// deleting marks the record, and a new entry takes the first record not in use. Every read
// goes to the file, so the dialer, the mailer and the windows always see the latest record.
// Main thread only.
class ContactBook {
  public:
    ContactBook(RecordFile& file, const ContactFormat& format);

    const ContactFormat& format() const { return m_format; }

    // Throws IoError.
    ContactEntry read(std::int32_t recordNumber) const;
    void write(std::int32_t recordNumber, const ContactEntry& entry);

    std::int32_t lastRecord() const;

    // The first record whose InUse is not "1"; the record after the last when all are in use.
    std::int32_t firstFreeRecord() const;

    // Sets InUse to "0" in the record as it stands in the file; the other fields stay.
    void markDeleted(std::int32_t recordNumber);

    // One line per entry in use, in alphabetical order of the line text ignoring case (so by
    // name); equal lines keep record order.
    std::vector<ContactListLine> listLines() const;

  private:
    RecordFile& m_file;
    ContactFormat m_format;
};

}  // namespace dvx
