#include "notify/contact_book.h"

#include <gtest/gtest.h>

#include "notify_rig.h"
#include "support/temp_folder.h"

namespace dvx {
namespace {

// An entry due on Mondays from 08:00 to 17:00 when its schedule is "Sometimes".
ContactEntry sampleEntry(std::string name, std::string contact, char schedule) {
    ContactEntry entry = test::contact(std::move(name), std::move(contact), schedule);
    entry.DayOn[2] = '1';
    entry.StartTime[2] = 8 * 3600;
    entry.StopTime[2] = 17 * 3600;
    return entry;
}

void putInt32(Bytes& bytes, std::size_t offset, std::int32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[offset + static_cast<std::size_t>(i)] =
            static_cast<std::uint8_t>((static_cast<std::uint32_t>(value) >> (8 * i)) & 0xFF);
    }
}

// The layout tables: InUse at 0, Schedule at 1, Name (16) at 2, the contact field at 18, the
// day flags after it, then seven starts and seven stops.
Bytes expectedRecord(const ContactFormat& format, std::size_t dayFlags, std::size_t starts,
                     std::size_t stops, const std::string& contact) {
    Bytes bytes(static_cast<std::size_t>(starts + 56), ' ');
    bytes[0] = '1';
    bytes[1] = '2';
    const std::string name = "Ann";
    std::copy(name.begin(), name.end(), bytes.begin() + 2);
    std::copy(contact.begin(), contact.end(), bytes.begin() + 18);
    for (std::size_t day = 0; day < 7; ++day) {
        bytes[dayFlags + day] = day == 1 ? '1' : '0';
        putInt32(bytes, starts + 4 * day, day == 1 ? 28800 : 0);
        putInt32(bytes, stops + 4 * day, day == 1 ? 61200 : 0);
    }
    EXPECT_EQ(bytes.size(), static_cast<std::size_t>(format.recordLength));
    return bytes;
}

TEST(ContactRecord, CallListAndAddressBookRecordsFollowTheirLayoutsByteForByte) {
    const ContactEntry call = sampleEntry("Ann", "5551234", kScheduleSometimes);
    EXPECT_EQ(encodeContact(call, kCallListFormat),
              expectedRecord(kCallListFormat, 42, 49, 77, "5551234"));
    ContactEntry mail = sampleEntry("Ann", "ann@example.org", kScheduleSometimes);
    EXPECT_EQ(encodeContact(mail, kAddressBookFormat),
              expectedRecord(kAddressBookFormat, 57, 64, 92, "ann@example.org"));

    // Read back, the texts come at full width; too long a name is cut to 16.
    mail.Name = "Annabelle-Marie Longname";
    const ContactEntry back =
        decodeContact(encodeContact(mail, kAddressBookFormat), kAddressBookFormat);
    EXPECT_EQ(back.Name, "Annabelle-Marie ");
    EXPECT_EQ(back.Contact, "ann@example.org" + std::string(24, ' '));
    EXPECT_EQ(back.StopTime[2], 61200);
    EXPECT_EQ(back.DayOn[2], '1');
}

TEST(ContactRecord, DueOnlyWhenInUseAndAlwaysOrInsideTodaysWindow) {
    const ContactEntry sometimes = sampleEntry("Ann", "1", kScheduleSometimes);  // Monday 8-17
    EXPECT_TRUE(isDue(sometimes, 2, 12 * 3600.0));
    EXPECT_TRUE(isDue(sometimes, 2, 8 * 3600 + 0.25));
    EXPECT_FALSE(isDue(sometimes, 2, 8 * 3600.0));  // both ends excluded
    EXPECT_FALSE(isDue(sometimes, 2, 17 * 3600.0));
    EXPECT_FALSE(isDue(sometimes, 3, 12 * 3600.0));  // Tuesday is not checked

    ContactEntry always = sampleEntry("Bob", "2", kScheduleAlways);
    EXPECT_TRUE(isDue(always, 5, 3.0));
    always.InUse = kDeleted;
    EXPECT_FALSE(isDue(always, 5, 3.0));
    EXPECT_FALSE(isDue(sampleEntry("Cy", "3", kScheduleNever), 2, 12 * 3600.0));
    EXPECT_FALSE(isDue(sampleEntry("Di", "4", '7'), 2, 12 * 3600.0));
    EXPECT_EQ(scheduleWord('7'), "Never");
}

TEST(ContactBook, ListsEntriesInUseByNameIgnoringCaseAndReusesTheFirstFreeRecord) {
    test::TempFolder folder;
    RecordFile file(folder.path() / "CallList.dat", kCallListFormat.recordLength);
    ContactBook book(file, kCallListFormat);
    EXPECT_EQ(book.firstFreeRecord(), 1);
    EXPECT_TRUE(book.listLines().empty());

    book.write(1, sampleEntry("zed", "5551234", kScheduleAlways));
    book.write(2, sampleEntry("Gone", "1", kScheduleAlways));
    book.write(3, sampleEntry("Amy", "5559876", kScheduleNever));
    book.write(4, sampleEntry("bob", "5550000", kScheduleSometimes));
    book.markDeleted(2);

    EXPECT_EQ(book.read(2).InUse, kDeleted);
    EXPECT_EQ(book.read(2).Name.substr(0, 4), "Gone");  // deleting keeps the fields
    EXPECT_EQ(book.firstFreeRecord(), 2);

    const std::vector<ContactListLine> lines = book.listLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].recordNumber, 3);
    EXPECT_EQ(lines[1].recordNumber, 4);
    EXPECT_EQ(lines[2].recordNumber, 1);
    EXPECT_EQ(lines[2].text,
              "zed" + std::string(13, ' ') + " 5551234" + std::string(17, ' ') + " Always");
    EXPECT_EQ(lines[2].text.size(), 42u + 6u);

    book.write(2, sampleEntry("Back", "1", kScheduleAlways));
    EXPECT_EQ(book.firstFreeRecord(), 5);
}

}  // namespace
}  // namespace dvx
