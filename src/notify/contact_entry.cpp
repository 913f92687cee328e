#include "notify/contact_entry.h"

#include "common/record_codec.h"

namespace dvx {

Bytes encodeContact(const ContactEntry& entry, const ContactFormat& format) {
    RecordWriter writer;
    writer.text(std::string_view(&entry.InUse, 1), 1)
        .text(std::string_view(&entry.Schedule, 1), 1)
        .text(entry.Name, kContactNameWidth)
        .text(entry.Contact, format.contactWidth);
    for (int day = 1; day <= 7; ++day) {
        writer.text(std::string_view(&entry.DayOn[day], 1), 1);
    }
    for (int day = 1; day <= 7; ++day) {
        writer.int32(entry.StartTime[day]);
    }
    for (int day = 1; day <= 7; ++day) {
        writer.int32(entry.StopTime[day]);
    }
    return writer.bytes();
}

ContactEntry decodeContact(std::span<const std::uint8_t> record, const ContactFormat& format) {
    RecordReader reader(record);
    ContactEntry entry;
    entry.InUse = reader.text(1)[0];
    entry.Schedule = reader.text(1)[0];
    entry.Name = reader.text(kContactNameWidth);
    entry.Contact = reader.text(format.contactWidth);
    for (int day = 1; day <= 7; ++day) {
        entry.DayOn[day] = reader.text(1)[0];
    }
    for (int day = 1; day <= 7; ++day) {
        entry.StartTime[day] = reader.int32();
    }
    for (int day = 1; day <= 7; ++day) {
        entry.StopTime[day] = reader.int32();
    }
    return entry;
}

bool isDue(const ContactEntry& entry, int weekday, double secondsOfDay) {
    if (entry.InUse != kInUse) {
        return false;
    }
    if (entry.Schedule == kScheduleAlways) {
        return true;
    }
    if (entry.Schedule != kScheduleSometimes || weekday < 1 || weekday > 7) {
        return false;
    }
    return entry.DayOn[weekday] == '1' && entry.StartTime[weekday] < secondsOfDay &&
           secondsOfDay < entry.StopTime[weekday];
}

std::string_view scheduleWord(char schedule) {
    switch (schedule) {
        case kScheduleAlways:
            return "Always";
        case kScheduleSometimes:
            return "Sometimes";
        default:
            return "Never";
    }
}

std::string contactListLine(const ContactEntry& entry, const ContactFormat& format) {
    RecordWriter fields;
    fields.text(entry.Name, kContactNameWidth)
        .text(" ", 1)
        .text(entry.Contact, format.contactWidth);
    const Bytes& bytes = fields.bytes();
    return std::string(bytes.begin(), bytes.end()) + " " +
           std::string(scheduleWord(entry.Schedule));
}

}  // namespace dvx
