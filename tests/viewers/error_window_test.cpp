#include "viewers/error_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>

namespace dvx {
namespace {

int visibleErrorWindows() {
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        count += widget->objectName() == "frmError" && widget->isVisible() ? 1 : 0;
    }
    return count;
}

TEST(ErrorWindow, ShowsTheLatestMessageUntilOk) {
    QWidget mainWindow;
    mainWindow.show();
    ErrorWindow window(&mainWindow);
    ErrorReporter& errors = window;
    auto* label = window.findChild<QLabel*>("lblMessage");
    auto* ok = window.findChild<QPushButton*>("OKButton");
    ASSERT_TRUE(label && ok);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.windowTitle(), "Error Message");

    errors.showError("WaveIn Device not selected");
    errors.showError("Net Out Device not selected");
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.isModal());
    EXPECT_EQ(visibleErrorWindows(), 1);
    EXPECT_EQ(label->text(), "Net Out Device not selected");

    ok->click();
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(mainWindow.isVisible());
    window.bringToFront();  // the main window activated with nothing on show
    EXPECT_FALSE(window.isVisible());

    // Text from file names and devices is shown as it is, never read as markup.
    errors.showError("Cannot open /data/<b>x</b>.wav: No such file or directory");
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
    EXPECT_EQ(label->text(), "Cannot open /data/<b>x</b>.wav: No such file or directory");
}

}  // namespace
}  // namespace dvx
