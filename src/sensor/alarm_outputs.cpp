#include "sensor/alarm_outputs.h"

#include "common/record_codec.h"
#include "common/time_text.h"

namespace dvx {

bool mailGoesOut(std::int32_t emailFlag, std::int32_t pageFlag, std::int16_t DialConnect) {
    return emailFlag == 1 && (DialConnect == 0 || (DialConnect == 1 && pageFlag == 0));
}

std::string alarmMailSubject(const std::string& Facility) {
    return trimBlanks(Facility) + " Alarm";
}

std::string notificationText(int year, int month, int day, double secondsOfDay,
                             const std::string& what) {
    return notificationDate(year, month, day) + " " + notificationTime(secondsOfDay) + what;
}

}  // namespace dvx
