// The call list (CallList.dat) or, when the input's last byte is odd, the address book
// (AddressBook.dat), as their window lists them and the dialer and mailer choose from them.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>

#include "fuzz_files.h"
#include "notify/contact_book.h"
#include "notify/contact_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace dvx;
    FuzzedDataProvider input(data, size);
    const bool addressBook = input.ConsumeBool();
    const ContactFormat& format = addressBook ? kAddressBookFormat : kCallListFormat;
    const auto path =
        fuzz::putFile(addressBook ? "c:\\Dorvex\\AddressBook.dat" : "c:\\Dorvex\\CallList.dat",
                      input.ConsumeRemainingBytesAsString());
    RecordFile file(path, format.recordLength);
    const ContactBook book(file, format);
    book.listLines();
    book.firstFreeRecord();
    for (std::int32_t record = 1; record <= book.lastRecord(); ++record) {
        const ContactEntry entry = book.read(record);
        contactListLine(entry, format);
        format.contactProblem(entry.Contact);
        for (int weekday = 1; weekday <= 7; ++weekday) {
            isDue(entry, weekday, 43200.5);
        }
    }
    return 0;
}
