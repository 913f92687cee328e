#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "notify/contact_book.h"

namespace dvx {

// What the boxes of the call-list or address-book window hold, as 8-bit text. Day arrays are
// indexed by weekday 1..7 (Sunday first); index 0 is unused.
struct ContactFormValues {
    std::string name;
    std::string contact;
    int option = -1;  // selected `opt1`: 0 Never, 1 Always, 2 Sometimes; -1 none
    std::array<bool, 8> dayOn{};
    std::array<std::string, 8> start;
    std::array<std::string, 8> stop;
};

// A box whose text Apply refused; what() is the message for the error window.
class RefusedBox : public std::invalid_argument {
  public:
    enum class Box { Name, Contact, Start, Stop };
    RefusedBox(Box box, int day, const std::string& message)
        : std::invalid_argument(message), box(box), day(day) {}
    Box box;
    int day;  // the weekday of a start or stop box, 0 for the others
};

// The logic of the call-list and address-book windows without the drawing: which entry is
// being edited (`EditRecNo`), its record buffer, what showing an entry puts into the boxes and
// what Apply, New and Delete write. Main thread only.
class ContactForm {
  public:
    explicit ContactForm(ContactBook& book);

    std::int32_t EditRecNo() const { return m_editRecNo; }
    const ContactEntry& buffer() const { return m_buffer; }

    // `LoadCallList` / `LoadAddressBook`: the lines of the entries in use, sorted.
    std::vector<ContactListLine> loadList() const;

    // Showing an entry: reads the record and returns what the boxes show, `current` giving the
    // option that stays when the stored schedule is none of the three. A record whose day flags
    // are not "0" or "1" (written by another program) is refused with std::runtime_error and a
    // message for the error window; the form then keeps the entry it had. Throws IoError.
    ContactFormValues show(std::int32_t recordNumber, const ContactFormValues& current);

    // "New": the first record not in use becomes the one edited. The buffer keeps its fields, so
    // a schedule left unselected in the window is taken over.
    void newEntry();

    // Clicking an option button of the address book sets the buffer's schedule at once.
    void setSchedule(int option);

    // "Apply": writes the boxes as record EditRecNo and returns them as stored, empty time boxes
    // reading "00:00:00". Refused with RefusedBox, before anything is written: a name or contact
    // longer than its field (it is never cut), a number or address that fails the format's
    // check, a start or stop text that is not a time of day. With no entry being edited,
    // std::invalid_argument. Throws IoError.
    ContactFormValues apply(const ContactFormValues& values);

    // "Delete": marks the record of the selected line as deleted. When it is the entry being
    // edited, no entry is edited any more. Throws IoError.
    void deleteEntry(std::int32_t recordNumber);

  private:
    ContactBook& m_book;
    ContactEntry m_buffer;
    std::int32_t m_editRecNo = 0;
};

}  // namespace dvx
