#include "notify/contact_form.h"

#include "common/record_codec.h"
#include "common/time_text.h"
#include "notify/text_encoding.h"

namespace dvx {
namespace {

constexpr const char* kDayNames[8] = {"", "Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kEmptyTime = "00:00:00";

constexpr const char* kNothingSaved = " Nothing was saved.";

// The seconds of a start or stop box; an empty box means midnight.
std::int32_t boxSeconds(const std::string& text, int day, RefusedBox::Box box) {
    if (trimBlanks(text).empty()) {
        return 0;
    }
    if (const auto seconds = parseTimeOfDay(text)) {
        return *seconds;
    }
    throw RefusedBox(box, day,
                     std::string("The ") + (box == RefusedBox::Box::Start ? "start" : "stop") +
                         " time of " + kDayNames[day] + ", \"" + text +
                         "\", is not a time of day. Type it as hours:minutes:seconds, for "
                         "example 08:30:00." +
                         kNothingSaved);
}

void checkWidth(const std::string& text, std::size_t width, const char* what, RefusedBox::Box box) {
    if (text.size() > width) {
        throw RefusedBox(box, 0,
                         std::string("The ") + what + " \"" + printableText(text) + "\" has " +
                             std::to_string(text.size()) + " characters; the entry holds " +
                             std::to_string(width) + "." + kNothingSaved);
    }
}

// What the boxes would store, refused before anything is written when a box does not fit.
void checkBoxes(const ContactFormValues& values, const ContactFormat& format) {
    checkWidth(values.name, kContactNameWidth, "name", RefusedBox::Box::Name);
    checkWidth(values.contact, format.contactWidth, format.contactName, RefusedBox::Box::Contact);
    if (const std::string problem = format.contactProblem(trimBlanks(values.contact));
        !problem.empty()) {
        throw RefusedBox(RefusedBox::Box::Contact, 0, problem + kNothingSaved);
    }
}

}  // namespace

ContactForm::ContactForm(ContactBook& book) : m_book(book) {}

std::vector<ContactListLine> ContactForm::loadList() const {
    return m_book.listLines();
}

ContactFormValues ContactForm::show(std::int32_t recordNumber, const ContactFormValues& current) {
    const ContactEntry entry = m_book.read(recordNumber);
    ContactFormValues values;
    values.name = trimBlanks(entry.Name);
    values.contact = trimBlanks(entry.Contact);
    values.option = current.option;
    if (entry.Schedule >= kScheduleNever && entry.Schedule <= kScheduleSometimes) {
        values.option = entry.Schedule - kScheduleNever;
    }
    for (int day = 1; day <= 7; ++day) {
        if (entry.DayOn[day] != '0' && entry.DayOn[day] != '1') {
            throw std::runtime_error("Entry " + std::to_string(recordNumber) +
                                     " cannot be shown: its day flags are not 0 or 1, so the "
                                     "record was not written by this program. Delete the entry "
                                     "and enter it again.");
        }
        values.dayOn[day] = entry.DayOn[day] == '1';
        values.start[day] = formatTimeOfDay(entry.StartTime[day]);
        values.stop[day] = formatTimeOfDay(entry.StopTime[day]);
    }
    m_editRecNo = recordNumber;
    m_buffer = entry;
    return values;
}

void ContactForm::newEntry() {
    m_editRecNo = m_book.firstFreeRecord();
}

void ContactForm::setSchedule(int option) {
    m_buffer.Schedule = static_cast<char>(kScheduleNever + option);
}

ContactFormValues ContactForm::apply(const ContactFormValues& values) {
    if (m_editRecNo < 1) {
        throw std::invalid_argument("Choose an entry in the list or press New first.");
    }
    checkBoxes(values, m_book.format());
    ContactEntry entry = m_buffer;
    for (int day = 1; day <= 7; ++day) {
        entry.StartTime[day] = boxSeconds(values.start[day], day, RefusedBox::Box::Start);
        entry.StopTime[day] = boxSeconds(values.stop[day], day, RefusedBox::Box::Stop);
        entry.DayOn[day] = values.dayOn[day] ? '1' : '0';
    }
    entry.InUse = kInUse;
    if (values.option >= 0 && values.option <= 2) {
        entry.Schedule = static_cast<char>(kScheduleNever + values.option);
    }
    entry.Name = values.name;
    entry.Contact = values.contact;
    m_book.write(m_editRecNo, entry);
    m_buffer = entry;

    ContactFormValues stored = values;
    for (int day = 1; day <= 7; ++day) {
        if (trimBlanks(stored.start[day]).empty()) {
            stored.start[day] = kEmptyTime;
        }
        if (trimBlanks(stored.stop[day]).empty()) {
            stored.stop[day] = kEmptyTime;
        }
    }
    return stored;
}

void ContactForm::deleteEntry(std::int32_t recordNumber) {
    m_book.markDeleted(recordNumber);
    if (m_editRecNo == recordNumber) {
        m_editRecNo = 0;  // Apply cannot write the deleted entry back
    }
}

}  // namespace dvx
