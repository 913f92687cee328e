#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/record_file.h"
#include "notify/contact_check.h"

namespace dvx {

// The two files of people to notify share one record layout that differs only in the width of
// the second text field: the call list (CallList.dat, 105-byte records, a 24-character
// telephone `Number`) and the address book (AddressBook.dat, 120-byte records, a 39-character
// e-mail `Address`).
struct ContactFormat {
    int recordLength;
    std::size_t contactWidth;  // width of Number / Address in the record
    const char* contactName;   // "number" / "address", for messages
    // The check of a typed contact field before it is stored (numberProblem / addressProblem).
    std::string (*contactProblem)(std::string_view);
};

inline constexpr ContactFormat kCallListFormat{105, 24, "number", &numberProblem};
inline constexpr ContactFormat kAddressBookFormat{120, 39, "address", &addressProblem};

inline constexpr std::size_t kContactNameWidth = 16;

// One entry of either file, fields as stored (texts at full width, blanks included). Day
// arrays are indexed by weekday 1 = Sunday ... 7 = Saturday; index 0 is unused.
struct ContactEntry {
    char InUse = 0;     // '1' in use, '0' deleted, anything else free
    char Schedule = 0;  // '0' Never, '1' Always, '2' Sometimes
    std::string Name;
    std::string Contact;  // `Number` of the call list, `Address` of the address book
    std::array<char, 8> DayOn{};
    std::array<std::int32_t, 8> StartTime{};
    std::array<std::int32_t, 8> StopTime{};
};

inline constexpr char kInUse = '1';
inline constexpr char kDeleted = '0';
inline constexpr char kScheduleNever = '0';
inline constexpr char kScheduleAlways = '1';
inline constexpr char kScheduleSometimes = '2';

// Packs the entry into its record bytes: InUse, Schedule, Name (16), the contact field, seven
// day flags, seven start times and seven stop times (little-endian 32-bit), blank-padded texts.
Bytes encodeContact(const ContactEntry& entry, const ContactFormat& format);
ContactEntry decodeContact(std::span<const std::uint8_t> record, const ContactFormat& format);

// Whether the entry is to be called or mailed at this moment: in use, and "Always", or
// "Sometimes" with today's day flag set and the time of day strictly between today's start and
// stop. `secondsOfDay` keeps its fraction.
bool isDue(const ContactEntry& entry, int weekday, double secondsOfDay);

// "Never", "Always" or "Sometimes". A schedule byte that is none of the three (a record written
// elsewhere) reads "Never", which is what it means to the dialer and the mailer.
std::string_view scheduleWord(char schedule);

// The list-box line: Name (16) + " " + contact (full width) + " " + the schedule word.
std::string contactListLine(const ContactEntry& entry, const ContactFormat& format);

}  // namespace dvx
