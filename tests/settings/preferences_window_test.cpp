#include "settings/preferences_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "common/paths.h"
#include "platform/audio_backend.h"
#include "settings/parameters_file.h"
#include "settings/settings_test_support.h"
#include "support/questions.h"
#include "support/temp_folder.h"
#include "support/user_input.h"

namespace dvx {
namespace {

// Sound devices by name only: the window lists them and opens none.
class NamedDevices : public AudioBackend {
  public:
    std::string name() const override { return "named"; }
    std::vector<std::string> inputDeviceNames() const override { return inputs; }
    std::vector<std::string> outputDeviceNames() const override { return outputs; }
    std::unique_ptr<AudioStream> openInput(int, int, CaptureSink&) override {
        throw AudioError("no streams here");
    }
    std::unique_ptr<AudioStream> openOutput(int, int, RenderSource&) override {
        throw AudioError("no streams here");
    }
    std::unique_ptr<BackgroundWork> startBackgroundWork(std::function<bool()>) override {
        throw AudioError("no streams here");
    }

    std::vector<std::string> inputs = {"Line In", "Mic"};
    std::vector<std::string> outputs = {"Speakers", "Headphones", "Studio Feed"};
};

class PreferencesWindowTest : public test::SettingsTest {
  protected:
    void open(QWidget* parent = nullptr) {
        window = std::make_unique<PreferencesWindow>(
            paths, memory, account, devices, errors, [this] { ++remoteControlChanges; }, nullptr,
            parent);
        window->show();
    }
    template <typename T>
    T* find(const QString& name) {
        return test::findNamed<T>(window.get(), name);
    }
    QListWidget* list(const char* name) { return find<QListWidget>(name); }
    QLineEdit* box(const QString& name) { return find<QLineEdit>(name); }
    void chooseAllDevices() {
        for (const char* name :
             {"lstWaveIn", "lstWaveOutNet", "lstWaveOut", "lstWaveOut2", "lstAudOut", "lstAudIn"}) {
            list(name)->setCurrentRow(1);
        }
    }
    std::filesystem::path parameterFile() const { return paths.dataFile("DXParams.dat"); }
    void store(const std::map<int, std::int32_t>& values) {
        const Bytes bytes = test::parameterFileBytes(72, values);
        test::writeFile(parameterFile(), std::string(bytes.begin(), bytes.end()));
    }

    Parameters memory;
    EmailAccount account{"ops@example.com", "secret"};
    NamedDevices devices;
    test::RecordingErrorReporter errors;
    int remoteControlChanges = 0;
    std::unique_ptr<PreferencesWindow> window;
};

TEST_F(PreferencesWindowTest, ShowsTheStoredValuesAndSavesTheEditedOnesWhenClosing) {
    // Every control holds a value that is not its default, so closing writes each one back.
    std::map<int, std::int32_t> stored = {
        {1, 45},  {2, 1},      {3, 6},   {4, 1},         {35, 2},
        {5, 0},   {6, 1},      {7, 900}, {36, 1},        {37, 1},
        {38, 1},  {39, 8},     {40, 1},  {41, 2},        {42, 0},
        {43, 1},  {44, 1},     {45, 1},  {46, 1},        {47, 1},
        {48, -7}, {49, 12345}, {51, 1},  {58, 7 * 3600}, {65, 19 * 3600 + 15 * 60},
        {71, 1}};
    store(stored);
    open();

    // A few of the values, one of each kind of control; the form's test has them all.
    EXPECT_EQ(list("lstWaveIn")->currentItem()->text(), "Mic");
    EXPECT_EQ(list("lstTime")->currentItem()->text(), "45 seconds");
    EXPECT_EQ(box("txtThreshold")->text(), "900");
    EXPECT_TRUE(find<QRadioButton>("option2_1")->isChecked());
    EXPECT_TRUE(find<QCheckBox>("Check1_2")->isChecked());
    EXPECT_EQ(box("txtStart_2")->text(), "07:00:00");
    EXPECT_EQ(box("txtPassword")->text(), "secret");
    // No sender stored: the box stays empty and shows the one mail takes from the user name.
    EXPECT_EQ(box("txtSender")->text(), "");
    EXPECT_EQ(box("txtSender")->placeholderText(), "ops@example.com");

    list("lstTime")->setCurrentRow(9);
    list("lstWaveOut")->setCurrentRow(2);
    box("txtThreshold")->setText("1500");
    find<QCheckBox>("chkAutoRun")->setChecked(true);
    find<QCheckBox>("Check2")->setChecked(false);
    box("txtStop_7")->setText("10:45 pm");
    box("txtMailServer")->setText("smtp://mail.example.com:587");
    box("txtUserName")->setText("night@example.com");
    EXPECT_EQ(box("txtSender")->placeholderText(), "night@example.com");
    EXPECT_EQ(memory.Threshold, 900);  // edits wait in the window
    {
        test::AnswerQuestions save(QMessageBox::Save);
        find<QPushButton>("cmdClose")->click();
        EXPECT_EQ(save.asked, QStringList{"Save changes to My Preferences?"});
    }

    EXPECT_TRUE(errors.messages.empty()) << errors.messages.front();
    EXPECT_FALSE(window->isVisible());
    stored[1] = 10;
    stored[5] = 2;
    stored[7] = 1500;
    stored[2] = 0;
    stored[72] = 1;
    stored[70] = 22 * 3600 + 45 * 60;
    EXPECT_EQ(test::fileBytes(parameterFile()), test::parameterFileBytes(72, stored));
    EXPECT_EQ(memory.AutoRun, 1);
    EXPECT_EQ(memory.DeadAirSeconds, 0);  // until the next start-up
    EXPECT_EQ(test::fileText(paths.programFile("Smtp.dat")), "smtp://mail.example.com:587\r\n\r\n");
    EXPECT_EQ(test::fileText(paths.programFile("User.dat")), "night@example.com\r\nsecret\r\n");
    // The sender still follows the user name, however often it changes.
    EXPECT_EQ(loadSmtpSettings(paths, "day@example.com").settings.Sender, "day@example.com");
}

TEST_F(PreferencesWindowTest, SwitchingTheRelayInterfaceRebuildsTheRelayListAndApplyUsesIt) {
    store({{38, 1}, {3, 4}});
    memory.RemoteControl = 1;
    open();
    QListWidget* relays = list("lstAlarmRelay");
    EXPECT_EQ(remoteControlChanges, 0);
    EXPECT_EQ(memory.AlarmRelay, 4);

    find<QRadioButton>("option2_0")->click();
    EXPECT_EQ(relays->count(), 1);
    EXPECT_EQ(relays->currentItem()->text(), "Off");
    EXPECT_FALSE(relays->isEnabled());
    find<QRadioButton>("option2_2")->click();
    ASSERT_EQ(relays->count(), 13);
    EXPECT_EQ(relays->item(12)->text(), "Relay 11");
    EXPECT_EQ(relays->currentRow(), 0);
    EXPECT_TRUE(relays->isEnabled());
    relays->setCurrentRow(12);
    find<QRadioButton>("optMode_1")->click();
    // The running sensor keeps its values until Apply.
    EXPECT_EQ(memory.RemoteControl, 1);
    EXPECT_EQ(memory.AlarmRelay, 4);
    EXPECT_EQ(remoteControlChanges, 0);

    find<QPushButton>("cmdApply")->click();
    EXPECT_EQ(memory.RemoteControl, 2);
    EXPECT_EQ(memory.AlarmRelay, 12);
    EXPECT_EQ(memory.RecMode, 1);
    EXPECT_EQ(remoteControlChanges, 1);
    EXPECT_TRUE(window->isVisible());
    // Applied, the window closes without a question.
    test::AnswerQuestions cancel(QMessageBox::Cancel);
    window->close();
    EXPECT_TRUE(cancel.asked.isEmpty());
    EXPECT_FALSE(window->isVisible());
}

TEST_F(PreferencesWindowTest, AFirstStartProposesADelayAndThresholdThatOnlySavingStores) {
    open();  // no parameters file: it is made empty
    EXPECT_TRUE(find<QLabel>("lblFirstStart")->isVisible());
    EXPECT_TRUE(find<QLabel>("lblFirstStart")->text().startsWith("Welcome to Dorvexia."));
    EXPECT_EQ(list("lstTime")->currentItem()->text(), "10 seconds");
    EXPECT_EQ(box("txtThreshold")->text(), "330");
    EXPECT_EQ(find<QLabel>("lblThresholdDbfs")->text(), "\u221240 dBFS");
    EXPECT_EQ(memory.Threshold, 0);  // a proposal, not yet the running value
    EXPECT_EQ(std::filesystem::file_size(parameterFile()), 0u);

    // The level follows what is typed.
    box("txtThreshold")->setText("3277");
    EXPECT_EQ(find<QLabel>("lblThresholdDbfs")->text(), "\u221220 dBFS");
    box("txtThreshold")->setText("");
    EXPECT_EQ(find<QLabel>("lblThresholdDbfs")->text(), "\u2212\u221e dBFS");
    box("txtThreshold")->setText("330");

    // Untouched, the proposal is still unsaved: closing asks.
    chooseAllDevices();
    {
        test::AnswerQuestions save(QMessageBox::Save);
        window->close();
        EXPECT_EQ(save.asked, QStringList{"Save changes to My Preferences?"});
    }
    EXPECT_TRUE(errors.messages.empty());
    Parameters stored;
    reloadParameters(paths, stored);
    EXPECT_EQ(stored.DeadAirSeconds, 10);
    EXPECT_EQ(stored.Threshold, 330);
    EXPECT_EQ(memory.Threshold, 330);

    // Opened again on the saved file, it shows what is stored, not the proposal.
    store({{1, 3}, {7, 250}});
    window->show();
    EXPECT_EQ(list("lstTime")->currentItem()->text(), "3 seconds");
    EXPECT_EQ(box("txtThreshold")->text(), "250");
    EXPECT_FALSE(find<QLabel>("lblFirstStart")->isVisible());
}

TEST_F(PreferencesWindowTest, LettersInTheThresholdBoxAreRefusedWithAMessageAndChangeNothing) {
    store({{7, 300}});
    open();
    const Bytes before = test::fileBytes(parameterFile());
    QLineEdit* threshold = box("txtThreshold");
    threshold->setFocus();
    threshold->end(false);
    for (const auto& [key, text] :
         std::vector<std::pair<int, QString>>{{Qt::Key_A, "a"}, {Qt::Key_Minus, "-"}}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(threshold, &press);
    }
    EXPECT_EQ(threshold->text(), "300");
    EXPECT_EQ(memory.Threshold, 300);
    ASSERT_EQ(errors.messages.size(), 2u);
    EXPECT_NE(errors.messages[0].find("digits only"), std::string::npos) << errors.messages[0];
    EXPECT_EQ(test::fileBytes(parameterFile()), before);
}

TEST_F(PreferencesWindowTest, ABlankThresholdSavesZeroAndABadTimeKeepsTheWindowOpen) {
    open();  // no parameters file yet: it is made empty
    chooseAllDevices();
    box("txtThreshold")->setText("");
    box("txtStart_4")->setText("9:75");
    test::AnswerQuestions save(QMessageBox::Save);
    window->close();

    // Refused: the window stays open with what was typed, the box marked, nothing written.
    ASSERT_EQ(errors.messages.size(), 1u);
    EXPECT_NE(errors.messages[0].find("Wednesday (\"9:75\") is not a time of day"),
              std::string::npos);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(box("txtStart_4")->text(), "9:75");
    EXPECT_TRUE(box("txtStart_4")->property("refused").toBool());
    EXPECT_EQ(box("txtStart_4")->accessibleDescription().toStdString(), errors.messages[0]);
    EXPECT_EQ(std::filesystem::file_size(parameterFile()), 0u);
    EXPECT_FALSE(std::filesystem::exists(paths.programFile("User.dat")));

    box("txtStart_4")->setText("9:15");
    EXPECT_FALSE(box("txtStart_4")->property("refused").toBool());
    window->close();
    EXPECT_EQ(save.asked.size(), 2);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(errors.messages.size(), 1u);
    EXPECT_EQ(box("txtThreshold")->text(), "0");
    EXPECT_EQ(box("txtStart_4")->text(), "09:15:00");
    const Bytes bytes = test::fileBytes(parameterFile());
    ASSERT_EQ(bytes.size(), 288u);
    EXPECT_EQ(bytes[(60 - 1) * 4], (9 * 3600 + 15 * 60) & 0xFF);
}

}  // namespace
}  // namespace dvx
