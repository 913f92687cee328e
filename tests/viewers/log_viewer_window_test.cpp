#include "viewers/log_viewer_window.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "support/temp_folder.h"
#include "support/user_input.h"

namespace dvx {
namespace {

using test::itemTexts;

QString step(const QWidget& window) {
    return window.findChild<QLabel*>("lblStep")->text();
}

struct Controls {
    explicit Controls(const QWidget& window)
        : days(window.findChild<QListWidget*>("lstDate")),
          lines(window.findChild<QListWidget*>("lstActivityLog")),
          byTime(window.findChild<QRadioButton*>("Option1")),
          byEvent(window.findChild<QRadioButton*>("Option2")),
          ok(window.findChild<QPushButton*>("cmdOk")),
          close(window.findChild<QPushButton*>("cmdClose")) {}
    QListWidget* days;
    QListWidget* lines;
    QRadioButton* byTime;
    QRadioButton* byEvent;
    QPushButton* ok;
    QPushButton* close;
};

TEST(LogViewerWindow, OkShowsTheDayAndOkAgainGoesBackToTheDays) {
    test::TempFolder folder;
    test::writeFile(folder.path() / "AL051205.log",
                    "09:00:00 Alarm\r\n09:00:03 Email--> ops\r\n09:30:00 Alarm\r\n");
    test::writeFile(folder.path() / "AL051206.log", "08:00:00 Audio\r\n");
    test::RecordingErrorReporter errors;
    LogViewerWindow window(folder.path(), "AL", errors);
    window.show();
    Controls c(window);
    ASSERT_TRUE(c.days && c.lines && c.byTime && c.byEvent && c.ok && c.close);
    EXPECT_EQ(itemTexts(c.days), (QStringList{"12/06/05", "12/05/05"}));
    EXPECT_FALSE(c.lines->isVisible());

    c.days->setCurrentRow(1);
    c.ok->click();
    EXPECT_EQ(itemTexts(c.lines),
              (QStringList{"09:00:00 Alarm", "09:00:03 Email--> ops", "09:30:00 Alarm"}));
    EXPECT_TRUE(c.lines->isVisible());
    EXPECT_FALSE(c.days->isVisible());

    c.ok->click();
    EXPECT_FALSE(c.lines->isVisible());
    EXPECT_TRUE(c.days->isVisible());

    c.byEvent->setChecked(true);
    emit c.days->itemDoubleClicked(c.days->item(1));
    EXPECT_EQ(itemTexts(c.lines),
              (QStringList{"Alarm 09:00:00", "Alarm 09:30:00", "Email--> ops 09:00:03"}));

    // Opened again, the window lists the days afresh and starts by time.
    c.close->click();
    EXPECT_FALSE(window.isVisible());
    test::writeFile(folder.path() / "AL051207.log", "07:00:00 Audio\r\n");
    window.show();
    EXPECT_EQ(step(window), "Load Logs");
    EXPECT_EQ(itemTexts(c.days), (QStringList{"12/07/05", "12/06/05", "12/05/05"}));
    EXPECT_TRUE(c.days->isVisible() && c.byTime->isChecked());
    EXPECT_FALSE(c.lines->isVisible());
    EXPECT_TRUE(errors.messages.empty());
}

}  // namespace
}  // namespace dvx
