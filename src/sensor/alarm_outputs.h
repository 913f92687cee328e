#pragma once

#include <cstdint>
#include <string>

namespace dvx {

// Where the alarm sequence hands over to notification: alarm e-mail to the address book and
// pages to the call list. Main thread only; neither call waits for the mail or the modem.
class AlarmNotifier {
  public:
    virtual ~AlarmNotifier() = default;
    virtual void SendEmail(const std::string& MailSubject, const std::string& MailText) = 0;
    virtual void SendPPage(std::int16_t PageCode) = 0;
};

// Where the alarm sequence hands over to the fill players. Main thread only.
class FillSteps {
  public:
    virtual ~FillSteps() = default;
    virtual void StartFill() = 0;         // first item of a new fill
    virtual void FillTick() = 0;          // time left of the item playing
    virtual void NextFillItem() = 0;      // next item on the other source
    virtual void ServeStopRequest() = 0;  // stop every fill output
};

// Whether an event sends its e-mail: the mail flag is on and the event does not dial, or
// "Dial Connect" is off (a mail connection that dials out itself shares the modem's line).
bool mailGoesOut(std::int32_t emailFlag, std::int32_t pageFlag, std::int16_t DialConnect);

// The subject of alarm mail: the facility name, trimmed, and " Alarm".
std::string alarmMailSubject(const std::string& Facility);

// The date and time texts of notification mail: "MM-DD-YYYY HH:MM:SS" followed by `what`
// (" Silence", " End Fill", " Dorvex Weekly Test").
std::string notificationText(int year, int month, int day, double secondsOfDay,
                             const std::string& what);

}  // namespace dvx
