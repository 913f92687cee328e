#include "settings/connection_window.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>

#include "common/paths.h"
#include "support/questions.h"
#include "support/temp_folder.h"

namespace dvx {
namespace {

struct ConnectionRig {
    test::TempFolder folder;
    Paths paths{folder.path()};
    ConnectionSettings connection;
    test::RecordingErrorReporter errors;
    std::unique_ptr<ConnectionWindow> window;

    ConnectionRig() { std::filesystem::create_directories(paths.dataFolder()); }
    void open() {
        window = std::make_unique<ConnectionWindow>(connection, paths, errors);
        window->show();
    }
    QListWidget* ports() { return window->findChild<QListWidget*>("lstComPort"); }
    QListWidget* rates() { return window->findChild<QListWidget*>("lstBaudRate"); }
    QCheckBox* dialConnect() { return window->findChild<QCheckBox*>("Check1"); }
    void apply() { window->findChild<QPushButton*>("cmdApply")->click(); }
    std::string file() { return test::fileText(paths.dataFile("Connection.dat")); }
};

TEST(ConnectionWindow, ApplyNeedsAPortAndARateAndWritesTheThreeLines) {
    ConnectionRig rig;
    rig.open();
    ASSERT_EQ(rig.ports()->count(), 8);
    ASSERT_EQ(rig.rates()->count(), 7);
    EXPECT_TRUE(rig.ports()->selectedItems().isEmpty());
    EXPECT_TRUE(rig.rates()->selectedItems().isEmpty());
    EXPECT_FALSE(rig.dialConnect()->isChecked());

    rig.apply();
    rig.ports()->setCurrentRow(2);
    rig.apply();
    EXPECT_EQ(rig.errors.messages,
              (std::vector<std::string>{
                  "Please select a serial port.  Click the number to make sure the background "
                  "is blue.",
                  "Please select a baud rate.  Click the number to make sure the background is "
                  "blue."}));
    EXPECT_FALSE(std::filesystem::exists(rig.paths.dataFile("Connection.dat")));
    EXPECT_TRUE(rig.rates()->property("refused").toBool());
    EXPECT_EQ(rig.connection.ComPort, 0);  // the choice waits for Apply

    rig.rates()->setCurrentRow(4);
    EXPECT_FALSE(rig.rates()->property("refused").toBool());
    EXPECT_EQ(rig.rates()->item(4)->text(), "19,200");
    rig.dialConnect()->setChecked(true);
    rig.apply();
    EXPECT_EQ(rig.file(), " 3 \r\n19200\r\n 1 \r\n");
    EXPECT_EQ(rig.connection.ComPort, 3);
    EXPECT_EQ(rig.connection.BaudRate, "19200");
    EXPECT_EQ(rig.connection.DialConnect, 1);

    rig.connection = {};
    rig.connection = loadConnectionSettings(rig.paths).settings;
    rig.open();
    EXPECT_EQ(rig.ports()->currentRow(), 2);
    EXPECT_EQ(rig.rates()->currentRow(), 4);
    EXPECT_TRUE(rig.dialConnect()->isChecked());

    // A choice discarded on closing reaches neither the next dial nor the file.
    rig.rates()->setCurrentRow(0);
    {
        test::AnswerQuestions discard(QMessageBox::Discard);
        rig.window->close();
    }
    EXPECT_FALSE(rig.window->isVisible());
    EXPECT_EQ(rig.connection.BaudRate, "19200");
    EXPECT_EQ(rig.file(), " 3 \r\n19200\r\n 1 \r\n");
}

TEST(ConnectionWindow, AStoredValueItCannotShowEndsTheLoadingQuietly) {
    ConnectionRig rig;
    rig.connection = {9, "9600", 1};
    rig.open();
    EXPECT_EQ(rig.ports()->currentRow(), -1);
    EXPECT_EQ(rig.rates()->currentRow(), -1);
    EXPECT_FALSE(rig.dialConnect()->isChecked());

    rig.connection = {2, "", 1};  // a rate that is not a number stops before the box
    rig.open();
    EXPECT_EQ(rig.ports()->currentRow(), 1);
    EXPECT_EQ(rig.rates()->currentRow(), -1);
    EXPECT_FALSE(rig.dialConnect()->isChecked());
    EXPECT_EQ(rig.connection.DialConnect, 1);  // loading changes nothing
    EXPECT_TRUE(rig.errors.messages.empty());

    // A save that fails is reported.
    rig.rates()->setCurrentRow(3);
    std::filesystem::remove_all(rig.paths.dataFolder());
    rig.apply();
    ASSERT_EQ(rig.errors.messages.size(), 1u);
    EXPECT_EQ(rig.errors.messages[0].rfind("The connection settings could not be saved.", 0), 0u);
}

}  // namespace
}  // namespace dvx
