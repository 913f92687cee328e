#pragma once

#include <array>
#include <functional>
#include <utility>
#include <vector>

#include "settings/preferences_form.h"
#include "settings/session_autostart.h"
#include "ui/settings_dialog.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;

namespace dvx {

class AudioBackend;
class DiskSync;
class ErrorReporter;
class Paths;

// `frmMyPreferences` ("My Preferences"): sound cards, dead-air delay and threshold, alarm
// actions, relay interface and alarm relay, recording parameters, the timed start and stop of
// each weekday, the mail account and server, and start-up behaviour. Showing the window reads
// DXParams.dat and keeps it open. Edits stay in the window, and reach the running sensor and the
// files only by Apply, or by Save when the window asks on closing (SettingsDialog): then
// DXParams.dat is checked and written, then User.dat and Smtp.dat.
// Opened on an empty DXParams.dat (a first start), it proposes a delay and a threshold, shown
// as edits not yet saved, under a welcome that says what to do.
//
// The threshold box takes digits only; a refused key says so in the error window. Beside it,
// its level in dBFS follows what is typed.
//
// A device list without a selection, or a bad value (a threshold, stop delay or time that is
// not one, an account or mail server that cannot be stored), writes nothing: the control is
// marked, the error window says why and the window stays open to be corrected.
//
// Control arrays carry their index after an underscore: `option2_0`..`option2_2`,
// `optMode_0`, `optMode_1`, `Check1_1`..`Check1_7`, `txtStart_1`.., `txtStop_1`...
// The logic lives in PreferencesForm; this class draws it and forwards the controls.
// Main thread only.
class PreferencesWindow : public SettingsDialog {
    Q_OBJECT

  public:
    // `remoteControlChanged` runs when the running RemoteControl changes, so the program can
    // reopen the relay port. Writes to DXParams.dat are made durable through `diskSync` where
    // given.
    PreferencesWindow(const Paths& paths, Parameters& memory, EmailAccount& account,
                      AudioBackend& audio, ErrorReporter& errors,
                      std::function<void()> remoteControlChanged, DiskSync* diskSync = nullptr,
                      QWidget* parent = nullptr);

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool applyEdits() override;

  private:
    void buildControls();
    QWidget* buildDevices();
    QWidget* buildAlarm();
    QWidget* buildRelays();
    QWidget* buildRecording();
    QWidget* buildTimedDays();
    QWidget* buildMail();
    QWidget* buildWatching();
    QWidget* buildStartup();
    void connectRelayInterface();
    void setReadingOrder();
    void connectThresholdLevel();
    bool applySessionStart();

    void load();
    // Each control beside the member of PreferencesControls it shows, for the plain kinds
    // (the weekday arrays and the option buttons are handled on their own).
    template <typename Control, typename Value>
    using Bindings = std::vector<std::pair<Control*, Value PreferencesControls::*>>;
    Bindings<QListWidget, std::optional<int>> selectionBindings() const;
    Bindings<QCheckBox, bool> checkBindings() const;
    Bindings<QLineEdit, std::string> textBindings() const;

    void showControls(const PreferencesControls& controls);
    void showTexts(const PreferencesControls& controls);
    PreferencesControls gather() const;
    void setRelayList(const std::vector<std::string>& items, bool enabled);

    const Paths& m_paths;
    EmailAccount& m_account;
    AudioBackend& m_audio;
    ErrorReporter& m_errors;
    DiskSync* m_diskSync;
    PreferencesForm m_form;
    SessionAutostart m_autostart;  // "Start with the desktop session": on while its entry exists
    bool m_loading = false;        // controls set by the window itself count as no click

    QListWidget* m_lstWaveIn = nullptr;
    QListWidget* m_lstWaveOutNet = nullptr;
    QListWidget* m_lstWaveOut = nullptr;
    QListWidget* m_lstWaveOut2 = nullptr;
    QListWidget* m_lstAudOut = nullptr;
    QListWidget* m_lstAudIn = nullptr;
    QListWidget* m_lstTime = nullptr;
    QListWidget* m_lstAlarmRelay = nullptr;
    QLineEdit* m_txtThreshold = nullptr;
    QLabel* m_lblThresholdDbfs = nullptr;  // the threshold's level, as it is typed
    QLabel* m_lblFirstStart = nullptr;     // a welcome, shown while nothing is saved yet
    QLineEdit* m_txtRecStopDelay = nullptr;
    QCheckBox* m_Check2 = nullptr;
    QCheckBox* m_chkPage = nullptr;
    QCheckBox* m_chkEmail = nullptr;
    QCheckBox* m_chkPageEnd = nullptr;
    QCheckBox* m_chkEmailEnd = nullptr;
    QCheckBox* m_chkWeekTest = nullptr;
    QCheckBox* m_chkReboot = nullptr;
    QCheckBox* m_chkAutoRun = nullptr;
    QCheckBox* m_chkSessionStart = nullptr;
    QCheckBox* m_chkMixer = nullptr;
    QCheckBox* m_chkAutoStart = nullptr;
    std::array<QRadioButton*, 3> m_option2{};
    std::array<QRadioButton*, 2> m_optMode{};
    std::array<QCheckBox*, 8> m_Check1{};
    std::array<QLineEdit*, 8> m_txtStart{};
    std::array<QLineEdit*, 8> m_txtStop{};
    QLineEdit* m_txtUserName = nullptr;
    QLineEdit* m_txtPassword = nullptr;
    QLineEdit* m_txtMailServer = nullptr;
    QLineEdit* m_txtSender = nullptr;
    QLineEdit* m_txtMetricsAddress = nullptr;
};

}  // namespace dvx
