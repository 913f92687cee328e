#include "settings/preferences_form.h"

#include <gtest/gtest.h>

#include "settings/parameter_orders.h"
#include "settings/settings_test_support.h"
#include "support/temp_folder.h"

namespace dvx {
namespace {

using Outcome = PreferencesCloseResult::Outcome;

// Lends the form a spy it cannot destroy, so the test still sees what the form did after the
// form has closed its file.
class LentRecords : public ParameterRecords {
  public:
    explicit LentRecords(test::SpyRecords& spy, bool& open) : m_spy(spy), m_open(open) {
        m_open = true;
    }
    ~LentRecords() override { m_open = false; }
    std::int32_t read(int record) override { return m_spy.read(record); }
    void write(int record, std::int32_t value) override { m_spy.write(record, value); }

  private:
    test::SpyRecords& m_spy;
    bool& m_open;
};

class PreferencesFormTest : public test::SettingsTest {
  protected:
    PreferencesFormTest() : form(paths, memory, account, [this] { ++remoteControlChanges; }) {}

    PreferencesControls open() {
        spy.reads.clear();
        return form.open(std::make_unique<LentRecords>(spy, fileOpen), {"Out A", "Out B", "Out C"},
                         {"In A", "In B"}, {"smtps://mail.example.com:465", "ops@example.com"});
    }
    // Every device list chosen, so closing gets past the device check.
    static void chooseDevices(PreferencesControls& c) {
        c.lstWaveIn = 1;
        c.lstWaveOutNet = 0;
        c.lstWaveOut = 1;
        c.lstWaveOut2 = 2;
        c.lstAudOut = 2;
        c.lstAudIn = 0;
    }
    bool exists(const char* programFile) const {
        return std::filesystem::exists(paths.programFile(programFile));
    }

    Parameters memory;
    EmailAccount account{"ops", "secret"};
    int remoteControlChanges = 0;
    test::SpyRecords spy;
    bool fileOpen = false;
    PreferencesForm form;
};

TEST_F(PreferencesFormTest, OpeningShowsTheStoredValuesAndTheRunningSensorFollowsTheShownOnes) {
    spy.values = {{1, 30},  {3, 12}, {5, 7},  {7, 1200},   {38, 2},
                  {41, -1}, {43, 1}, {57, 0}, {64, 86399}, {70, 75000}};
    const PreferencesControls c = open();

    EXPECT_EQ(spy.reads,
              std::vector<int>(kPreferencesReadOrder.begin(), kPreferencesReadOrder.end()));
    EXPECT_TRUE(fileOpen);
    EXPECT_EQ(c.lstWaveIn, 0);
    EXPECT_EQ(c.lstWaveOut, std::nullopt);  // there is no device 7
    EXPECT_EQ(c.lstAudOut, std::nullopt);   // nor -1
    EXPECT_EQ(c.lstTime, 29);
    ASSERT_EQ(c.alarmRelayItems.size(), 13u);
    EXPECT_EQ(c.alarmRelayItems[12], "Relay 11");
    EXPECT_EQ(c.lstAlarmRelay, 12);
    EXPECT_EQ(c.txtStart[1], "00:00:00");
    EXPECT_EQ(c.txtStop[1], "23:59:59");
    EXPECT_EQ(c.txtStop[7], "20:50:00");

    // What the window shows is what the sensor runs with from now on; the delay waits for the
    // next start-up.
    EXPECT_EQ(memory.Threshold, 1200);
    EXPECT_EQ(memory.RemoteControl, 2);
    EXPECT_EQ(memory.AlarmRelay, 12);
    EXPECT_EQ(memory.RecMode, 1);
    EXPECT_EQ(remoteControlChanges, 1);
    EXPECT_EQ(memory.DeadAirSeconds, 0);

    // An empty file: no delay chosen, the relay list only "Off" and disabled.
    spy.values.clear();
    const PreferencesControls empty = open();
    EXPECT_EQ(empty.lstTime, std::nullopt);
    EXPECT_EQ(empty.option2, 0);
    EXPECT_EQ(empty.alarmRelayItems, std::vector<std::string>{"Off"});
    EXPECT_FALSE(empty.alarmRelayEnabled);
    EXPECT_EQ(remoteControlChanges, 2);
}

TEST_F(PreferencesFormTest, ClosingWritesInItsOrderAndStoresWhatTheControlsHold) {
    spy.values = {{1, 30}, {7, 800}};
    PreferencesControls c = open();
    chooseDevices(c);
    c.lstTime = 9;
    c.txtThreshold = "  ";
    c.txtRecStopDelay = "2.5";
    c.chkEmailEnd = true;
    c.Check1[3] = true;
    c.txtStart[3] = "6:30 PM";
    c.txtStop[3] = " 7:05";
    c.txtStart[4] = "23:59:59";
    c.txtUserName = "ops@example.com";
    c.txtPassword = "pa,ss";
    c.txtSender = "";
    c.txtMetricsAddress = " 9464 ";

    const PreferencesCloseResult result = form.close(c);
    ASSERT_EQ(result.outcome, Outcome::Saved) << result.message;
    EXPECT_EQ(spy.writes,
              std::vector<int>(kPreferencesWriteOrder.begin(), kPreferencesWriteOrder.end()));
    EXPECT_FALSE(fileOpen);
    EXPECT_EQ(spy.values[1], 10);
    EXPECT_EQ(spy.values[7], 0);
    EXPECT_EQ(spy.values[39], 2);  // half to even
    EXPECT_EQ(spy.values[45], 1);
    EXPECT_EQ(spy.values[52], 1);
    EXPECT_EQ(spy.values[59], 18 * 3600 + 30 * 60);
    EXPECT_EQ(spy.values[66], 7 * 3600 + 5 * 60);
    EXPECT_EQ(spy.values[60], 23 * 3600 + 59 * 60 + 59);
    EXPECT_EQ(spy.values[67], 0);
    EXPECT_EQ(c.txtThreshold, "0");
    EXPECT_EQ(c.txtStart[3], "18:30:00");

    EXPECT_EQ(memory.Threshold, 0);
    EXPECT_EQ(memory.RecStopDelay, 2);
    EXPECT_EQ(memory.EmailOnEnd, 1);
    EXPECT_EQ(account.UserName, "ops@example.com");
    const auto stored = readEmailAccount(paths);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->Password, "pa,ss");
    EXPECT_EQ(test::fileText(paths.programFile("Smtp.dat")),
              "smtps://mail.example.com:465\r\n\r\n");
    EXPECT_EQ(open().txtMetricsAddress, "9464");  // from Dorvexia.conf

    c.txtRecStopDelay = "3.5";
    open();
    EXPECT_EQ(form.close(c).outcome, Outcome::Saved);
    EXPECT_EQ(spy.values[39], 4);
}

TEST_F(PreferencesFormTest, AListWithoutADeviceStopsTheSaveInTheWindowsOrder) {
    struct Case {
        std::optional<int> PreferencesControls::*list;
        const char* control;
        const char* message;
    };
    const Case cases[] = {
        {&PreferencesControls::lstWaveIn, "lstWaveIn", "WaveIn Device not selected"},
        {&PreferencesControls::lstWaveOutNet, "lstWaveOutNet", "Net Out Device not selected"},
        {&PreferencesControls::lstWaveOut, "lstWaveOut", "WaveOut Device not selected"},
        {&PreferencesControls::lstWaveOut2, "lstWaveOut2", "WaveOut Device 2 not selected"},
        {&PreferencesControls::lstAudOut, "lstAudOut", "Aud Out Device not selected"},
        {&PreferencesControls::lstAudIn, "lstAudIn", "Aud In Device not selected"},
    };
    for (const Case& missing : cases) {
        PreferencesControls c = open();
        chooseDevices(c);
        c.*missing.list = std::nullopt;
        c.txtThreshold = "not a number either";  // the device check comes first
        const PreferencesCloseResult result = form.close(c);
        EXPECT_EQ(result.outcome, Outcome::DeviceMissing);
        EXPECT_EQ(result.message, missing.message);
        EXPECT_EQ(result.control, missing.control);
        EXPECT_TRUE(form.isOpen());  // kept for another try
    }
    EXPECT_TRUE(spy.writes.empty());
    EXPECT_FALSE(exists("User.dat"));
    EXPECT_FALSE(exists("Smtp.dat"));
}

TEST_F(PreferencesFormTest, ABadValueIsRefusedWithNothingWrittenAndTheFileKeptOpen) {
    PreferencesControls c = open();
    chooseDevices(c);
    const std::vector<std::pair<std::function<void(PreferencesControls&)>, std::string>> cases = {
        {[](auto& c) { c.txtThreshold = "12a"; }, "The threshold \"12a\""},
        {[](auto& c) { c.txtThreshold = "-1"; }, "from 0 to 32767"},
        {[](auto& c) { c.txtThreshold = "40000"; }, "from 0 to 32767"},
        {[](auto& c) { c.txtRecStopDelay = "soon"; }, "The stop delay \"soon\""},
        {[](auto& c) { c.txtRecStopDelay = "-3"; }, "The stop delay"},
        {[](auto& c) { c.txtStart[2] = "25:00"; }, "timed start for Monday (\"25:00\")"},
        {[](auto& c) { c.txtStop[7] = ""; }, "timed stop for Saturday"},
        {[](auto& c) { c.txtPassword = "two\nlines"; }, "password"},
        {[](auto& c) { c.txtMailServer = "http://mail.example.com"; }, "smtp:// or smtps://"},
        {[](auto& c) { c.txtSender = "a\r\nb"; }, "line break"},
        {[](auto& c) { c.txtMetricsAddress = "localhost:http"; },
         "\"localhost:http\" needs a port"},
    };
    for (const auto& [spoil, expected] : cases) {
        PreferencesControls bad = c;
        spoil(bad);
        const PreferencesCloseResult result = form.close(bad);
        EXPECT_EQ(result.outcome, Outcome::Refused) << expected;
        EXPECT_NE(result.message.find(expected), std::string::npos) << result.message;
        EXPECT_TRUE(form.isOpen());
    }
    EXPECT_TRUE(spy.writes.empty());
    EXPECT_FALSE(exists("User.dat"));
    EXPECT_EQ(account.Password, "secret");

    EXPECT_EQ(form.close(c).outcome, Outcome::Saved);  // corrected, the same opening saves
    EXPECT_EQ(spy.writes.size(), kPreferencesWriteOrder.size());
}

TEST_F(PreferencesFormTest, TheThresholdFollowsTheNumberTypedAndUnshownChoicesKeepTheirValues) {
    for (const auto& [typed, live] :
         std::vector<std::pair<std::string, int>>{{"12a", 12},
                                                  {"  250", 250},
                                                  {"abc", 0},
                                                  {"", 0},
                                                  {"-40", 0},
                                                  {"99999999999", 32767}}) {
        form.thresholdEdited(typed);
        EXPECT_EQ(memory.Threshold, live) << typed;
    }

    // An interface the window has no button for is kept, with only "Off" to pick; so is a
    // recording mode it has no button for.
    spy.values = {{38, 5}, {3, 20}, {43, 9}};
    PreferencesControls c = open();
    EXPECT_EQ(c.option2, std::nullopt);
    EXPECT_EQ(c.alarmRelayItems, std::vector<std::string>{"Off"});
    EXPECT_EQ(c.lstAlarmRelay, std::nullopt);
    EXPECT_EQ(c.optMode, std::nullopt);
    chooseDevices(c);
    ASSERT_EQ(form.close(c).outcome, Outcome::Saved);
    EXPECT_EQ(spy.values[38], 5);
    EXPECT_EQ(spy.values[43], 9);
    EXPECT_EQ(memory.RemoteControl, 5);
    EXPECT_EQ(remoteControlChanges, 1);
}

}  // namespace
}  // namespace dvx
