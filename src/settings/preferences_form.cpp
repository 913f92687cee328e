#include "settings/preferences_form.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <exception>
#include <limits>
#include <utility>

#include "common/paths.h"
#include "common/record_codec.h"
#include "common/time_text.h"
#include "settings/extra_settings.h"
#include "settings/metrics_address.h"

namespace dvx {
namespace {

constexpr int kDeadAirChoices = 99;
constexpr std::int64_t kLargest16 = std::numeric_limits<std::int16_t>::max();
constexpr const char* kDayNames[8] = {"",          "Sunday",   "Monday", "Tuesday",
                                      "Wednesday", "Thursday", "Friday", "Saturday"};

// The row that shows a stored value, or nothing when the list has no such row.
std::optional<int> rowFor(std::int64_t value, std::size_t rows) {
    if (value < 0 || value >= static_cast<std::int64_t>(rows)) {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

std::int32_t flag(bool checked) {
    return checked ? 1 : 0;
}

// The threshold as stored: a blank box is 0; otherwise a whole number of the 16-bit peak range.
std::optional<std::int32_t> storedThreshold(std::string_view text) {
    const std::string digits = trimBlanks(text);
    if (digits.empty()) {
        return 0;
    }
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc{} || end != digits.data() + digits.size() || value < 0 ||
        value > kLargest16) {
        return std::nullopt;
    }
    return value;
}

// The stop delay as stored: seconds, rounded to the nearest whole second (halves to even); a
// blank box is 0.
std::optional<std::int32_t> storedStopDelay(std::string_view text) {
    const std::string number = trimBlanks(text);
    if (number.empty()) {
        return 0;
    }
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error != std::errc{} || end != number.data() + number.size() || !std::isfinite(value) ||
        std::fabs(value) > 1e9) {
        return std::nullopt;
    }
    const std::int32_t seconds = roundHalfEven(value);
    if (seconds < 0 || seconds > kLargest16) {
        return std::nullopt;
    }
    return seconds;
}

std::string timeProblem(std::string_view what, int day, const std::string& text) {
    return "The timed " + std::string(what) + " for " + kDayNames[day] + " (\"" + text +
           "\") is not a time of day. Type hours, minutes and seconds, for example 06:30:00.";
}

}  // namespace

std::vector<std::string> alarmRelayItems(std::int32_t remoteControl) {
    std::vector<std::string> items = {"Off"};
    const int relays = remoteControl == 1 ? 8 : remoteControl == 2 ? 12 : 0;
    for (int relay = 0; relay < relays; ++relay) {
        items.push_back("Relay " + std::to_string(relay));
    }
    return items;
}

std::vector<std::string> deadAirItems() {
    std::vector<std::string> items;
    for (int seconds = 1; seconds <= kDeadAirChoices; ++seconds) {
        items.push_back(std::to_string(seconds) + (seconds == 1 ? " second" : " seconds"));
    }
    return items;
}

std::int16_t liveThreshold(std::string_view text) {
    const std::size_t start = text.find_first_not_of(" \t");
    if (start == std::string_view::npos) {
        return 0;
    }
    text.remove_prefix(start);
    const bool negative = text.front() == '-';
    if (negative || text.front() == '+') {
        text.remove_prefix(1);
    }
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc::invalid_argument || negative) {
        return 0;  // no number, or a negative one, which would make every buffer count as sound
    }
    if (error == std::errc::result_out_of_range || value > kLargest16) {
        return static_cast<std::int16_t>(kLargest16);
    }
    return static_cast<std::int16_t>(value);
}

PreferencesForm::PreferencesForm(const Paths& paths, Parameters& memory, EmailAccount& account,
                                 std::function<void()> remoteControlChanged)
    : m_paths(paths),
      m_memory(memory),
      m_account(account),
      m_remoteControlChanged(std::move(remoteControlChanged)) {}

PreferencesControls PreferencesForm::open(std::unique_ptr<ParameterRecords> file,
                                          std::vector<std::string> outputDevices,
                                          std::vector<std::string> inputDevices,
                                          const SmtpSettings& smtp, bool firstStart) {
    m_file.reset();
    const PreferencesRecords v = readPreferencesRecords(*file);
    const ExtraSettings extra = ExtraSettings::read(m_paths.dataRoot());
    m_file = std::move(file);
    m_opened = v;

    PreferencesControls c;
    c.txtMetricsAddress = extra.value(ExtraSettings::kMetricsAddress);
    c.outputDevices = std::move(outputDevices);
    c.inputDevices = std::move(inputDevices);
    c.lstWaveIn = rowFor(v.NetInDevice, c.inputDevices.size());
    c.lstWaveOutNet = rowFor(v.NetOutDevice, c.outputDevices.size());
    c.lstWaveOut = rowFor(v.Out1Device, c.outputDevices.size());
    c.lstWaveOut2 = rowFor(v.Out2Device, c.outputDevices.size());
    c.lstAudOut = rowFor(v.AudOutDevice, c.outputDevices.size());
    c.lstAudIn = rowFor(v.AudInDevice, c.inputDevices.size());

    if (firstStart) {
        c.lstTime = kProposedDeadAirSeconds - 1;
        c.txtThreshold = std::to_string(kProposedThreshold);
    } else {
        c.lstTime = rowFor(std::int64_t{v.DeadAirSeconds} - 1, kDeadAirChoices);
        c.txtThreshold = std::to_string(v.Threshold);
        thresholdEdited(c.txtThreshold);
    }
    c.Check2 = v.AlarmOnly == 1;
    c.chkPage = v.PageOnAlarm == 1;
    c.chkEmail = v.EmailOnAlarm == 1;

    // Showing the interface's button counts as choosing it: the relay list is rebuilt with "Off"
    // chosen, and then the stored relay is chosen where the list has it.
    c.option2 = rowFor(v.RemoteControl, 3);
    c.alarmRelayItems =
        c.option2 ? remoteControlChosen(*c.option2) : alarmRelayItems(v.RemoteControl);
    c.alarmRelayEnabled = v.RemoteControl != 0;
    c.lstAlarmRelay = rowFor(v.AlarmRelay, c.alarmRelayItems.size());
    if (c.lstAlarmRelay) {
        alarmRelayClicked(*c.lstAlarmRelay);
    }

    c.txtRecStopDelay = std::to_string(v.RecStopDelay);
    c.chkAutoStart = v.RecAutoStart == 1;
    c.optMode = rowFor(v.RecMode, 2);
    if (c.optMode) {
        recModeChosen(*c.optMode);
    }
    c.chkMixer = v.UseMixer == 1;
    c.chkEmailEnd = v.EmailOnEnd == 1;
    c.chkPageEnd = v.PageOnEnd == 1;
    c.chkWeekTest = v.WeeklyTest == 1;
    for (std::size_t day = 1; day <= 7; ++day) {
        c.Check1[day] = v.TimedDayEnabled[day] == 1;
        c.txtStart[day] = formatTimeOfDay(v.TimedStart[day]);
        c.txtStop[day] = formatTimeOfDay(v.TimedStop[day]);
    }
    c.txtUserName = m_account.UserName;
    c.txtPassword = m_account.Password;
    c.txtMailServer = smtp.ServerUrl.empty() ? std::string(kDefaultSmtpServerUrl) : smtp.ServerUrl;
    c.txtSender = smtp.Sender;
    c.chkReboot = v.RebootOnAlarm == 1;
    c.chkAutoRun = v.AutoRun == 1;
    return c;
}

std::vector<std::string> PreferencesForm::remoteControlChosen(int index) {
    setRemoteControl(index);
    alarmRelayClicked(0);
    return alarmRelayItems(index);
}

void PreferencesForm::alarmRelayClicked(int row) {
    m_memory.AlarmRelay = row;
}

void PreferencesForm::recModeChosen(int index) {
    m_memory.RecMode = static_cast<std::int16_t>(index);
}

void PreferencesForm::thresholdEdited(std::string_view text) {
    m_memory.Threshold = liveThreshold(text);
}

void PreferencesForm::setRemoteControl(std::int32_t value) {
    if (m_memory.RemoteControl == value) {
        return;
    }
    m_memory.RemoteControl = value;
    if (m_remoteControlChanged) {
        m_remoteControlChanged();
    }
}

std::optional<std::string> PreferencesForm::problemWith(const PreferencesControls& c,
                                                        PreferencesRecords& v,
                                                        std::string& control) const {
    const auto threshold = storedThreshold(c.txtThreshold);
    if (!threshold) {
        control = "txtThreshold";
        return "The threshold \"" + c.txtThreshold +
               "\" is not a whole number from 0 to 32767. Leave it blank for 0.";
    }
    v.Threshold = *threshold;
    const auto stopDelay = storedStopDelay(c.txtRecStopDelay);
    if (!stopDelay) {
        control = "txtRecStopDelay";
        return "The stop delay \"" + c.txtRecStopDelay +
               "\" is not a number of seconds from 0 to 32767. Leave it blank for 0.";
    }
    v.RecStopDelay = *stopDelay;
    for (std::size_t day = 1; day <= 7; ++day) {
        const auto start = parseTimeOfDay(c.txtStart[day]);
        if (!start) {
            control = "txtStart_" + std::to_string(day);
            return timeProblem("start", static_cast<int>(day), c.txtStart[day]);
        }
        const auto stop = parseTimeOfDay(c.txtStop[day]);
        if (!stop) {
            control = "txtStop_" + std::to_string(day);
            return timeProblem("stop", static_cast<int>(day), c.txtStop[day]);
        }
        v.TimedStart[day] = *start;
        v.TimedStop[day] = *stop;
    }
    if (std::string problem = parseMetricsAddress(c.txtMetricsAddress).error; !problem.empty()) {
        control = "txtMetricsAddress";
        return problem;
    }
    if (auto problem = emailAccountProblem({c.txtUserName, c.txtPassword})) {
        control = "txtUserName";
        return problem;
    }
    control = "txtMailServer";
    return smtpSettingsProblem({c.txtMailServer, c.txtSender});
}

PreferencesCloseResult PreferencesForm::close(PreferencesControls& c) {
    using Outcome = PreferencesCloseResult::Outcome;
    const DeviceListSelection selection{c.lstWaveIn.has_value(),  c.lstWaveOutNet.has_value(),
                                        c.lstWaveOut.has_value(), c.lstWaveOut2.has_value(),
                                        c.lstAudOut.has_value(),  c.lstAudIn.has_value()};
    if (auto missing = firstUnselectedDeviceList(selection)) {
        const std::pair<const char*, bool> lists[] = {
            {"lstWaveIn", selection.lstWaveIn},   {"lstWaveOutNet", selection.lstWaveOutNet},
            {"lstWaveOut", selection.lstWaveOut}, {"lstWaveOut2", selection.lstWaveOut2},
            {"lstAudOut", selection.lstAudOut},   {"lstAudIn", selection.lstAudIn}};
        const auto unselected = std::find_if(std::begin(lists), std::end(lists),
                                             [](const auto& list) { return !list.second; });
        return {Outcome::DeviceMissing, *missing, unselected->first};
    }

    // Where a list or a group of buttons shows no choice, the value read at opening stays.
    PreferencesRecords v = m_opened;
    std::string refused;
    if (auto problem = problemWith(c, v, refused)) {
        return {Outcome::Refused, *problem, refused};
    }
    v.NetInDevice = *c.lstWaveIn;
    v.NetOutDevice = *c.lstWaveOutNet;
    v.Out1Device = *c.lstWaveOut;
    v.Out2Device = *c.lstWaveOut2;
    v.AudOutDevice = *c.lstAudOut;
    v.AudInDevice = *c.lstAudIn;
    if (c.lstTime) {
        v.DeadAirSeconds = *c.lstTime + 1;
    }
    v.AlarmOnly = flag(c.Check2);
    v.PageOnAlarm = flag(c.chkPage);
    v.EmailOnAlarm = flag(c.chkEmail);
    v.RemoteControl = c.option2.value_or(m_opened.RemoteControl);
    // The last relay chosen: the load's choice of an interface button chose "Off" before it chose
    // the stored relay, so a relay the list lacks leaves "Off".
    v.AlarmRelay = c.lstAlarmRelay.value_or(m_memory.AlarmRelay);
    v.RecAutoStart = flag(c.chkAutoStart);
    v.RecMode = c.optMode.value_or(m_opened.RecMode);
    v.UseMixer = flag(c.chkMixer);
    v.EmailOnEnd = flag(c.chkEmailEnd);
    v.PageOnEnd = flag(c.chkPageEnd);
    v.WeeklyTest = flag(c.chkWeekTest);
    for (std::size_t day = 1; day <= 7; ++day) {
        v.TimedDayEnabled[day] = flag(c.Check1[day]);
    }
    v.RebootOnAlarm = flag(c.chkReboot);
    v.AutoRun = flag(c.chkAutoRun);

    const std::int32_t remoteControlBefore = m_memory.RemoteControl;
    try {
        writePreferencesRecords(*m_file, v, m_memory);
    } catch (const std::exception& error) {
        m_file.reset();
        return {Outcome::Failed,
                std::string("The preferences could not be saved: ") + error.what() +
                    " Settings before the failing one may have been stored; "
                    "open My Preferences again to check them.",
                {}};
    }
    m_file.reset();
    if (m_memory.RemoteControl != remoteControlBefore && m_remoteControlChanged) {
        m_remoteControlChanged();
    }

    m_account = {c.txtUserName, c.txtPassword};
    try {
        writeEmailAccount(m_paths, m_account);
        saveSmtpSettings(m_paths, {c.txtMailServer, c.txtSender});
    } catch (const std::exception& error) {
        return {Outcome::Failed,
                std::string("The e-mail account could not be saved: ") + error.what(),
                {}};
    }
    try {
        ExtraSettings extra = ExtraSettings::read(m_paths.dataRoot());
        const std::string address = trimBlanks(c.txtMetricsAddress);
        if (extra.value(ExtraSettings::kMetricsAddress) != address) {
            extra.setValue(ExtraSettings::kMetricsAddress, address);
            extra.write();
        }
    } catch (const std::exception& error) {
        return {Outcome::Failed,
                std::string("The metrics address could not be saved: ") + error.what(),
                {}};
    }

    c.txtThreshold = std::to_string(v.Threshold);
    c.txtRecStopDelay = std::to_string(v.RecStopDelay);
    for (std::size_t day = 1; day <= 7; ++day) {
        c.txtStart[day] = formatTimeOfDay(v.TimedStart[day]);
        c.txtStop[day] = formatTimeOfDay(v.TimedStop[day]);
    }
    return {Outcome::Saved, {}, {}};
}

}  // namespace dvx
