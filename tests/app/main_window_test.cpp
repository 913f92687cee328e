#include "app/main_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <set>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>

#include "app/level_meter.h"
#include "app/main_window_rig.h"
#include "app/sensor_runtime.h"
#include "app/station.h"
#include "platform/virtual_audio_backend.h"
#include "settings/email_account.h"
#include "support/questions.h"
#include "support/temp_folder.h"
#include "viewers/error_window.h"

namespace dvx {
namespace {

using test::MainWindowRig;

TEST(MainWindow, FirstLaunchAsksForTheMailAccountAndProposesSettingsDisarmed) {
    MainWindowRig rig;
    std::string failure;
    ASSERT_TRUE(rig.window.startUp(failure)) << failure;
    rig.window.show();

    EXPECT_EQ(rig.window.errorWindow().newestMessage(), kEmailAccountMissingMessage);

    // Nothing saved yet: My Preferences opens to propose the first settings.
    rig.window.proposeFirstSettings();
    auto* preferences = rig.window.findChild<QWidget*>("frmMyPreferences");
    ASSERT_NE(preferences, nullptr);
    EXPECT_TRUE(preferences->isVisible());

    // The clock runs whether or not the sensor is armed; the sensor stays disarmed.
    rig.clock.advanceSeconds(0.2);
    EXPECT_EQ(rig.text("lblClock"), "Monday  12/07/2026  09:00:00");
    EXPECT_FALSE(rig.window.runtime()->engine().state().SensorRunning);

    if (const char* folder = std::getenv("DORVEXIA_SCREENSHOT_DIR")) {
        rig.window.grab().save(QString(folder) + "/main_window.png");
    }
}

TEST(MainWindow, EveryMenuEntryOpensOneWindowTitledAsTheEntry) {
    MainWindowRig rig;
    std::string failure;
    ASSERT_TRUE(rig.window.startUp(failure)) << failure;
    rig.window.show();
    std::vector<QAction*> entries;
    for (QAction* top : rig.window.menuBar()->actions()) {
        const QList<QAction*> inMenu = top->menu() ? top->menu()->actions() : QList<QAction*>{top};
        entries.insert(entries.end(), inMenu.begin(), inMenu.end());
    }
    const auto shownWindows = [] {
        std::set<QWidget*> shown;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->isVisible() && window->objectName() != "frmError") {
                shown.insert(window);
            }
        }
        return shown;
    };
    int opened = 0;
    for (QAction* entry : entries) {
        if (entry->isSeparator() || entry->objectName() == "mnuExit") {
            continue;
        }
        const std::set<QWidget*> before = shownWindows();
        entry->trigger();
        std::vector<QWidget*> added;
        std::ranges::set_difference(shownWindows(), before, std::back_inserter(added));
        ASSERT_EQ(added.size(), 1u) << entry->text().toStdString();
        entry->trigger();  // a second time: the same window, not another
        EXPECT_EQ(shownWindows().size(), before.size() + 1) << entry->text().toStdString();
        // The title is the entry's caption, or the caption and what the window is at.
        const QString caption = entry->text().remove('&');
        const QString title = added.front()->windowTitle();
        EXPECT_TRUE(title == caption || title.startsWith(caption + " "))
            << caption.toStdString() << " opens " << title.toStdString();
        ++opened;
    }
    EXPECT_EQ(opened, 13);
}

TEST(MainWindow, AutoRunArmsAtStartAndTheTwoRotationManagerEntriesShareOneWindow) {
    MainWindowRig rig;
    rig.startUpToAutoRun();
    rig.window.proposeFirstSettings();  // settings saved before: nothing to propose
    EXPECT_EQ(rig.window.findChild<QWidget*>("frmMyPreferences"), nullptr);
    rig.window.armIfAutoRun();
    EXPECT_TRUE(rig.window.runtime()->engine().state().SensorRunning);

    // Silence on the virtual feed: the alarm shows after the delay.
    rig.clock.advanceSeconds(6);
    EXPECT_EQ(rig.text("Label1"), "00:06");
    EXPECT_TRUE(rig.window.findChild<QLabel*>("Shape1")->isVisibleTo(&rig.window));

    // One rotation manager, from the Setup menu and from the spot files window alike.
    rig.action("mnuSpotFiles")->trigger();
    rig.window.menuBar()->findChild<QAction*>("mnuRotationFileManager")->trigger();
    rig.window.findChild<QWidget*>("frmSpotFiles")
        ->findChild<QAction*>("mnuRotationFileManager")
        ->trigger();
    EXPECT_EQ(rig.window.findChildren<QWidget*>("frmRotationFileManager").size(), 1);
}

// Answers the question before a stop with the button captioned `answer`.
void answerStopQuestion(MainWindowRig& rig, const QString& answer) {
    auto* question = rig.window.findChild<QMessageBox*>("msgStopGuarding");
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(question->text(), "The sensor is armed: stop guarding the station?");
    for (QAbstractButton* button : question->buttons()) {
        if (QString(button->text()).remove('&') == answer) {
            button->click();
        }
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(rig.window.findChild<QMessageBox*>("msgStopGuarding"), nullptr);
}

// Three seconds of sound at the input, then silence; "Alarm Only" with dead air after 5 s.
TEST(MainWindow, TheStatusLineSaysWhatTheSensorDoesAndStopAsksFirst) {
    MainWindowRig rig(std::vector<MainWindowRig::Stretch>{{3, 5000}});
    rig.writeParameters({{1, 5}, {2, 1}});  // alarm only
    std::string failure;
    ASSERT_TRUE(rig.window.startUp(failure)) << failure;
    rig.window.show();
    auto* meter = rig.window.findChild<LevelMeter*>("MMLevelX1");
    const auto status = [&rig] { return rig.text("lblStatus"); };
    const auto statusStyle = [&rig] {
        return rig.window.findChild<QLabel*>("lblStatus")->styleSheet();
    };
    EXPECT_EQ(rig.window.findChild<QLabel*>("lblStatus")->accessibleName(), "Status");

    // Disarmed, the meters show the feed all the same.
    rig.clock.advanceSeconds(0.3);
    EXPECT_EQ(status(), "Stopped");
    EXPECT_GT(meter->levelDb(), -60.0);
    // The meters mark the threshold, and follow it when the preferences change it.
    rig.window.station()->parameters.Threshold = 330;
    rig.clock.advanceSeconds(0.2);
    EXPECT_NEAR(meter->thresholdDb(), -39.94, 0.01);
    const QString stoppedStyle = statusStyle();

    rig.window.findChild<QPushButton*>("cmdStart")->click();
    EXPECT_EQ(status(), "Monitoring");
    EXPECT_NE(statusStyle(), stoppedStyle);
    rig.clock.advanceSeconds(
        4.7);  // 09:00:05.2, two seconds after the feed fell silent and a refresh
    EXPECT_EQ(status(), "Silence 2 s");
    rig.clock.advanceSeconds(1);
    EXPECT_EQ(status(), "Silence 3 s");
    rig.clock.advanceSeconds(2);
    EXPECT_EQ(status(), "ALARM");
    EXPECT_EQ(rig.window.errorWindow().isVisible(), true);

    // With "Alarm Only" off the fill starts on the next tick, but the library is empty: nothing
    // sounds, so the status goes on saying it is dead air.
    rig.window.station()->parameters.AlarmOnly = false;
    rig.clock.advanceSeconds(0.2);
    EXPECT_FALSE(rig.window.runtime()->engine().state().FillEnded);
    EXPECT_EQ(status(), "ALARM");

    // Cancel changes nothing; Stop stops and says who did.
    rig.window.findChild<QPushButton*>("cmdStop")->click();
    answerStopQuestion(rig, "Cancel");
    rig.clock.advanceSeconds(0.2);
    EXPECT_TRUE(rig.window.runtime()->engine().state().SensorRunning);
    EXPECT_EQ(status(), "ALARM");
    rig.window.findChild<QPushButton*>("cmdStop")->click();
    rig.clock.advanceSeconds(1);  // the monitoring goes on while the question is asked
    EXPECT_EQ(rig.text("Label1"), "00:06");
    answerStopQuestion(rig, "Stop");
    EXPECT_FALSE(rig.window.runtime()->engine().state().SensorRunning);
    EXPECT_EQ(status(), "Stopped");
    EXPECT_EQ(statusStyle(), stoppedStyle);
    rig.clock.advanceSeconds(1);
    EXPECT_EQ(rig.text("Label1"), "");
    EXPECT_NE(rig.window.findChild<QPushButton*>("cmdStart")->styleSheet().indexOf("0, 128, 0"),
              -1);
    const std::string log = test::fileText(rig.root.path() / "c/Dorvex/Logs/AL261207.log");
    EXPECT_NE(log.find("09:00:09 Sensor Stopped During Alarm by the operator\r\n"),
              std::string::npos)
        << log;
}

// The feed sounds throughout; only a lost or stalled input makes it silent.
void loseTheInputAndGetItBack(bool stall) {
    MainWindowRig rig(true);
    // Alarm only: the error window keeps the device's message.
    rig.writeParameters({{1, 5}, {2, 1}, {72, 1}});
    test::writeFile(rig.root.path() / "c/Program Files/Dorvex/User.dat", "ops\r\npw\r\n");
    std::string failure;
    ASSERT_TRUE(rig.window.startUp(failure)) << failure;
    rig.window.armIfAutoRun();
    const SensorState& state = rig.window.runtime()->engine().state();
    rig.clock.advanceSeconds(1);

    auto& devices = dynamic_cast<VirtualAudioBackend&>(*rig.audio);
    (stall ? devices.setInputStalled(true) : devices.setInputLost(true));
    rig.clock.advanceSeconds(7);
    ErrorWindow& error = rig.window.errorWindow();
    EXPECT_EQ(error.newestMessage(), "Audio device lost: Virtual Feed");
    EXPECT_TRUE(rig.text("lblAudioHealth").startsWith("Audio device lost: Virtual Feed."));
    EXPECT_TRUE(state.AlarmActive);
    EXPECT_TRUE(state.SensorRunning);

    // The card comes back: the sensor reopens it by itself, and hears the feed again.
    (stall ? devices.setInputStalled(false) : devices.setInputLost(false));
    rig.clock.advanceSeconds(10);
    EXPECT_EQ(error.newestMessage(), "Audio device back: Virtual Feed");
    EXPECT_TRUE(rig.text("lblAudioHealth").startsWith("Audio dropouts: "));
    EXPECT_FALSE(state.AlarmActive);
    const std::string log = test::fileText(rig.root.path() / "c/Dorvex/Logs/AL261207.log");
    EXPECT_NE(log.find(" Audio device lost: Virtual Feed\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find(" Alarm  "), std::string::npos) << log;
    EXPECT_NE(log.find(" Audio device back: Virtual Feed\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find(" Alarm End  "), std::string::npos) << log;
}

TEST(MainWindow, ALostInputIsLoggedShownAndHeardAsSilence) {
    loseTheInputAndGetItBack(false);
}

TEST(MainWindow, AStalledInputIsLoggedShownAndHeardAsSilence) {
    loseTheInputAndGetItBack(true);
}

// The descriptors of this process open on files below `folder`.
std::vector<std::string> openFilesBelow(const std::filesystem::path& folder) {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        const std::string target = std::filesystem::read_symlink(entry.path(), error).string();
        if (target.starts_with(folder.string() + "/")) {
            files.push_back(target);
        }
    }
    return files;
}

TEST(MainWindow, ClosingEndsTheRunAndClosesEveryFile) {
    MainWindowRig rig;
    rig.startArmed();  // the sensor's streams run
    const auto paramsFile = rig.root.path() / "c/Dorvex/DXParams.dat";
    const std::string params = test::fileText(paramsFile);
    const std::vector<std::string> windows = {"frmMyPreferences", "frmMyProgramming", "frmHelp",
                                              "frmAddressBook", "frmLogs"};
    for (const char* entry :
         {"mnuMyPreferences", "mnuMyProgramming", "mnuHelp", "mnuAddBook", "mnuAlarmLogs"}) {
        rig.action(entry)->trigger();
    }
    rig.action("mnuSpotFiles")->trigger();  // its player and timer go with the run
    // Edits that the Preferences window's own closing would save.
    rig.window.findChild<QLineEdit*>("txtThreshold")->setText("250");
    rig.window.findChild<QLineEdit*>("txtUserName")->setText("night.shift@example.org");
    rig.clock.advanceSeconds(2);
    const auto passThrough = rig.root.path() / "out/out0.wav";
    ASSERT_GT(std::filesystem::file_size(passThrough), 44u);
    ASSERT_FALSE(openFilesBelow(rig.root.path() / "c").empty());  // the check below can see

    // The edited Preferences ask first, then the armed sensor.
    {
        test::AnswerQuestions discard(QMessageBox::Discard);
        rig.window.close();
        EXPECT_EQ(discard.asked, QStringList{"Save changes to My Preferences?"});
    }
    ASSERT_NE(rig.window.station(), nullptr);
    answerStopQuestion(rig, "Close");
    EXPECT_EQ(rig.window.station(), nullptr);
    EXPECT_NE(test::fileText(rig.root.path() / "c/Dorvex/Logs/AL261207.log")
                  .find("09:00:02 Sensor Stopped by the operator closing the program\r\n"),
              std::string::npos);
    EXPECT_EQ(rig.window.runtime(), nullptr);
    // Every file below the data root is closed, the syncing thread's own descriptors too.
    EXPECT_EQ(openFilesBelow(rig.root.path() / "c"), std::vector<std::string>{});
    // No timer of the run is left; only the virtual devices' own, which outlive the window.
    EXPECT_EQ(rig.clock.timerNames(), std::vector<std::string>{"virtualAudio"});
    // The edits discarded, every other window went without its own closing: nothing was saved.
    for (const std::string& name : windows) {
        EXPECT_EQ(rig.window.findChild<QWidget*>(QString::fromStdString(name)), nullptr) << name;
    }
    EXPECT_EQ(rig.window.findChild<QWidget*>("frmSpotFiles"), nullptr);
    EXPECT_EQ(test::fileText(paramsFile), params);
    EXPECT_FALSE(std::filesystem::exists(rig.root.path() / "c/Program Files/Dorvex/User.dat"));

    // The pass-through no longer plays: its recording stays as it was.
    const auto size = std::filesystem::file_size(passThrough);
    rig.clock.advanceSeconds(3);
    EXPECT_EQ(std::filesystem::file_size(passThrough), size);
}

// A key pressed in `widget`'s window, made the active one as a click on it would.
void pressKey(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    widget->activateWindow();
    QApplication::processEvents();
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(widget, &press);
}

// Closing the program asks each open settings window about its unsaved edits; Cancel keeps the
// program running, the sensor armed. Ctrl+Q closes the same way, and F1 opens the help.
TEST(MainWindow, ClosingAsksEverySettingsWindowWithUnsavedEditsFirst) {
    MainWindowRig rig;
    rig.startArmed();
    QWidget* preferences = rig.open("mnuMyPreferences", "frmMyPreferences");
    for (const char* list :
         {"lstWaveIn", "lstWaveOutNet", "lstWaveOut", "lstWaveOut2", "lstAudOut", "lstAudIn"}) {
        rig.find<QListWidget>(list)->setCurrentRow(0);
    }
    rig.type("txtUserName", "night.shift@example.org");
    QWidget* messages = rig.open("mnuMyMessages", "frmMyMessages");
    rig.type("txtFacility", "KXYZ");
    rig.open("mnuMyConnection", "frmMyConnection");  // no edits: nothing to ask

    {
        test::AnswerQuestions cancel(QMessageBox::Cancel);
        rig.window.close();
        EXPECT_EQ(cancel.asked.size(), 1);
    }
    ASSERT_NE(rig.window.station(), nullptr);
    EXPECT_TRUE(rig.window.runtime()->engine().state().SensorRunning);
    EXPECT_TRUE(preferences->isVisible());
    EXPECT_TRUE(messages->isVisible());
    EXPECT_EQ(messages->findChild<QLineEdit*>("txtFacility")->text(), "KXYZ");

    pressKey(&rig.window, Qt::Key_F1);
    auto* help = rig.window.findChild<QWidget*>("frmHelp");
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());

    // Ctrl+Q from a settings window: each window asks in turn, here both are saved.
    const auto facilityFile = rig.root.path() / "c/Dorvex/MessageFile.dat";
    {
        test::AnswerQuestions save(QMessageBox::Save);
        pressKey(messages, Qt::Key_Q, Qt::ControlModifier);
        EXPECT_EQ(save.asked,
                  (QStringList{"Save changes to My Messages?", "Save changes to My Preferences?"}));
    }
    answerStopQuestion(rig, "Close");  // then the armed sensor
    EXPECT_EQ(rig.window.station(), nullptr);
    EXPECT_EQ(test::fileText(rig.root.path() / "c/Program Files/Dorvex/User.dat").substr(0, 23),
              "night.shift@example.org");
    EXPECT_EQ(test::fileText(facilityFile).substr(0, 4), "KXYZ");
}

TEST(MainWindow, AStartUpThatCannotOpenItsFilesSaysWhy) {
    MainWindowRig rig;
    std::filesystem::create_directories(rig.root.path() / "c/Dorvex/CallList.dat");
    std::string failure;
    EXPECT_FALSE(rig.window.startUp(failure));
    EXPECT_NE(failure.find("CallList.dat"), std::string::npos) << failure;
}

}  // namespace
}  // namespace dvx
