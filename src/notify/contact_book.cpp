#include "notify/contact_book.h"

#include <algorithm>
#include <cctype>

namespace dvx {
namespace {

bool lessIgnoringCase(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(
        a.begin(), a.end(), b.begin(), b.end(),
        [](unsigned char x, unsigned char y) { return std::tolower(x) < std::tolower(y); });
}

}  // namespace

ContactBook::ContactBook(RecordFile& file, const ContactFormat& format)
    : m_file(file), m_format(format) {}

ContactEntry ContactBook::read(std::int32_t recordNumber) const {
    return decodeContact(m_file.read(recordNumber), m_format);
}

void ContactBook::write(std::int32_t recordNumber, const ContactEntry& entry) {
    m_file.write(recordNumber, encodeContact(entry, m_format));
}

std::int32_t ContactBook::lastRecord() const {
    return static_cast<std::int32_t>(m_file.recordCount());
}

std::int32_t ContactBook::firstFreeRecord() const {
    const std::int32_t last = lastRecord();
    for (std::int32_t record = 1; record <= last; ++record) {
        if (read(record).InUse != kInUse) {
            return record;
        }
    }
    return last + 1;
}

void ContactBook::markDeleted(std::int32_t recordNumber) {
    ContactEntry entry = read(recordNumber);
    entry.InUse = kDeleted;
    write(recordNumber, entry);
}

std::vector<ContactListLine> ContactBook::listLines() const {
    std::vector<ContactListLine> lines;
    const std::int32_t last = lastRecord();
    for (std::int32_t record = 1; record <= last; ++record) {
        const ContactEntry entry = read(record);
        if (entry.InUse == kInUse) {
            lines.push_back({contactListLine(entry, m_format), record});
        }
    }
    std::stable_sort(lines.begin(), lines.end(),
                     [](const ContactListLine& a, const ContactListLine& b) {
                         return lessIgnoringCase(a.text, b.text);
                     });
    return lines;
}

}  // namespace dvx
