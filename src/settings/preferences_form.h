#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/email_account.h"
#include "settings/parameter_records.h"
#include "settings/parameters.h"
#include "settings/preferences_records.h"
#include "settings/smtp_settings.h"

namespace dvx {

class Paths;

// What the controls of `frmMyPreferences` hold, named after them: a list or a group of option
// buttons by its selected row (nothing when none is selected), a check box by its state, a text
// box by its text. Weekday arrays are indexed by day 1 = Sunday .. 7 = Saturday (0 unused).
// The form fills one when the window opens; the window hands one back when it closes.
struct PreferencesControls {
    std::vector<std::string> outputDevices;  // lstWaveOutNet, lstWaveOut, lstWaveOut2, lstAudOut
    std::vector<std::string> inputDevices;   // lstWaveIn, lstAudIn
    std::optional<int> lstWaveIn, lstWaveOutNet, lstWaveOut, lstWaveOut2, lstAudOut, lstAudIn;

    std::optional<int> lstTime;  // row 0 = "1 second"
    std::string txtThreshold;
    bool Check2 = false;  // Alarm Only
    bool chkPage = false, chkEmail = false, chkPageEnd = false, chkEmailEnd = false;
    bool chkWeekTest = false, chkReboot = false, chkAutoRun = false, chkMixer = false;

    std::optional<int> option2;                // 0 Off, 1 Parallel, 2 Prairie Digital
    std::vector<std::string> alarmRelayItems;  // "Off", "Relay 0", ...
    bool alarmRelayEnabled = false;
    std::optional<int> lstAlarmRelay;

    std::string txtRecStopDelay;
    bool chkAutoStart = false;
    std::optional<int> optMode;  // 0 Mono, 1 Stereo

    std::array<bool, 8> Check1{};
    std::array<std::string, 8> txtStart, txtStop;

    std::string txtUserName, txtPassword, txtMailServer, txtSender;
    std::string txtMetricsAddress;  // Dorvexia.conf: where the next run serves its metrics
};

// What Preferences proposes when the parameters file is empty (a first start): ten seconds of
// dead air and a threshold of 330 (about -40 dBFS). They reach the file and the running sensor
// only when the operator saves them.
inline constexpr int kProposedDeadAirSeconds = 10;
inline constexpr int kProposedThreshold = 330;

// What closing did, for the window to act on.
struct PreferencesCloseResult {
    enum class Outcome {
        Saved,          // everything written
        DeviceMissing,  // a device list has no selection: nothing written
        Refused,        // a value cannot be stored: nothing written
        Failed,         // a file could not be written
    };
    Outcome outcome = Outcome::Saved;
    std::string message;  // for the error window; empty when saved
    std::string control;  // the control holding the missing or refused value, by object name
};

// The Preferences window's logic: what each control shows, what the live changes do to the
// running settings, and what closing checks and writes. The window draws and forwards; this
// class holds the parameters file open between opening and closing. Main thread only.
class PreferencesForm {
  public:
    // `remoteControlChanged` runs whenever the running RemoteControl takes another value, so
    // the program can reopen the relay port.
    PreferencesForm(const Paths& paths, Parameters& memory, EmailAccount& account,
                    std::function<void()> remoteControlChanged);

    // Opening: keeps `file` open, reads the window's records and returns what the controls
    // show. The load's selections act as clicks: the running RemoteControl, AlarmRelay, RecMode
    // and Threshold follow what is shown. Device lists are given in enumeration order; `smtp`
    // is Smtp.dat as stored (readStoredSmtpSettings): a sender that is not stored shows as an
    // empty box, so that mail keeps taking the default from the user name of the moment.
    // With `firstStart` (the file is empty) the delay and threshold show the proposed values
    // instead, and the running threshold stays as it is until they are saved.
    // Throws IoError (the file stays closed).
    PreferencesControls open(std::unique_ptr<ParameterRecords> file,
                             std::vector<std::string> outputDevices,
                             std::vector<std::string> inputDevices, const SmtpSettings& smtp,
                             bool firstStart = false);
    bool isOpen() const { return m_file != nullptr; }

    // Live changes, each taking effect in the running sensor at once.
    // Choosing a Remote Control button: returns the entries of the relay list rebuilt for it;
    // the window selects "Off" (row 0), which this already counts as a click on it, and
    // disables the list for "Off" (index 0).
    std::vector<std::string> remoteControlChosen(int index);
    void alarmRelayClicked(int row);
    void recModeChosen(int index);
    void thresholdEdited(std::string_view text);

    // Applying or closing: checks the device lists (in the window's order), then every value;
    // writes the parameters file in its order, closes it, and rewrites User.dat and Smtp.dat. On
    // Saved the controls are updated to what was stored (a blank threshold shows "0"). After a
    // missing device or a refusal the file stays open for another try; after any other outcome
    // it is closed.
    PreferencesCloseResult close(PreferencesControls& controls);

    // Closes the file without writing anything (the window goes without saving).
    void discard() { m_file.reset(); }

  private:
    // The first value that cannot be stored, with the name of its control in `control`.
    std::optional<std::string> problemWith(const PreferencesControls& controls,
                                           PreferencesRecords& values, std::string& control) const;
    void setRemoteControl(std::int32_t value);

    const Paths& m_paths;
    Parameters& m_memory;
    EmailAccount& m_account;
    std::function<void()> m_remoteControlChanged;
    std::unique_ptr<ParameterRecords> m_file;
    PreferencesRecords m_opened;  // as read at opening: kept where no control is selected
};

// The relay list for a relay interface: "Off", then "Relay 0" .. "Relay 7" for the parallel
// port (1) or "Relay 0" .. "Relay 11" for the I/O board (2). Row k stores the value k.
std::vector<std::string> alarmRelayItems(std::int32_t remoteControl);

// The dead-air list: "1 second", "2 seconds" .. "99 seconds"; row k stores k + 1.
std::vector<std::string> deadAirItems();

// The value the threshold box gives the running sensor while it is typed: the number the text
// starts with (after blanks), held to 0..32767; 0 when it starts with no number ("12a" -> 12).
std::int16_t liveThreshold(std::string_view text);

}  // namespace dvx
