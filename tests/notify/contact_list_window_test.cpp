#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>

#include "common/record_codec.h"
#include "notify/contact_list_window.h"
#include "support/temp_folder.h"

namespace dvx {
namespace {

template <typename T>
T* control(QWidget& window, const QString& name) {
    T* found = window.findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
}

struct ListWindowRig {
    test::TempFolder folder;
    RecordFile file;
    test::RecordingErrorReporter errors;
    std::unique_ptr<ContactListWindow> window;

    explicit ListWindowRig(const ContactWindowStyle& style)
        : file(folder.path() / "list.dat", style.format.recordLength),
          window(std::make_unique<ContactListWindow>(file, style, errors)) {
        window->show();
    }
    QLineEdit* box(const QString& name) { return control<QLineEdit>(*window, name); }
    QCheckBox* day(int index) {
        return control<QCheckBox>(*window, QString("Check1_%1").arg(index));
    }
    void click(const QString& name) { control<QAbstractButton>(*window, name)->click(); }
    QListWidget* list() { return control<QListWidget>(*window, "list1"); }
    QStringList lines() {
        QStringList texts;
        for (int row = 0; row < list()->count(); ++row) {
            texts << list()->item(row)->text();
        }
        return texts;
    }
    void addEntry(const QString& name, const QString& contact, const QString& option) {
        click("cmdNew");
        box("txtName")->setText(name);
        box("txtNumber")->setText(contact);
        click(option);
        click("cmdApply");
    }
    ContactEntry record(int number, const ContactFormat& format) {
        return decodeContact(file.read(number), format);
    }
};

TEST(CallListWindow, NewApplyAndDeleteKeepTheFileAndTheSortedListInStep) {
    ListWindowRig rig(kCallListWindowStyle);
    EXPECT_EQ(rig.list()->count(), 0);
    EXPECT_TRUE(rig.box("txtName")->isHidden());
    EXPECT_TRUE(control<QPushButton>(*rig.window, "cmdApply")->isHidden());

    rig.click("cmdNew");
    EXPECT_EQ(control<QLabel>(*rig.window, "Label3")->text(), "1");
    EXPECT_FALSE(rig.box("txtName")->isHidden());
    rig.box("txtName")->setText("Ann");
    rig.box("txtNumber")->setText("5551234");
    rig.click("opt1_2");
    rig.day(2)->setChecked(true);
    rig.box("txtStart_2")->setText("08:30:00");
    rig.box("txtStop_2")->setText("23:59:59");
    rig.click("cmdApply");

    Bytes expected = RecordWriter()
                         .text("12Ann", 18)
                         .text("5551234", 24)
                         .text("0100000", 7)
                         .int32(0)
                         .int32(30600)
                         .int32(0)
                         .int32(0)
                         .int32(0)
                         .int32(0)
                         .int32(0)
                         .int32(0)
                         .int32(86399)
                         .int32(0)
                         .int32(0)
                         .int32(0)
                         .int32(0)
                         .int32(0)
                         .bytes();
    EXPECT_EQ(rig.file.read(1), expected);
    EXPECT_EQ(rig.box("txtStart_1")->text(), "00:00:00");  // an empty box is stored as midnight
    EXPECT_EQ(rig.lines(), QStringList{"Ann              5551234                  Sometimes"});

    // New takes over the schedule and days shown; the list stays in order of names.
    rig.addEntry("bob", "5550000", "opt1_1");
    rig.addEntry("amy", "5559999", "opt1_0");
    EXPECT_EQ(rig.record(2, kCallListFormat).DayOn[2], '1');
    EXPECT_EQ(rig.lines().size(), 3);
    EXPECT_TRUE(rig.lines()[0].startsWith("amy "));
    EXPECT_TRUE(rig.lines()[1].startsWith("Ann "));
    EXPECT_TRUE(rig.lines()[2].endsWith(" Always"));

    // A time that is not a time of day is refused and nothing is written.
    const Bytes before = rig.file.read(1);
    rig.list()->setCurrentRow(1);
    rig.box("txtName")->setText("Changed");
    rig.box("txtStop_4")->setText("25:00");
    rig.click("cmdApply");
    ASSERT_EQ(rig.errors.messages.size(), 1u);
    EXPECT_NE(rig.errors.messages[0].find("\"25:00\", is not a time of day"), std::string::npos);
    EXPECT_EQ(rig.file.read(1), before);

    // Delete marks the selected entry's record; New reuses it.
    rig.list()->setCurrentRow(1);
    rig.click("cmdDelete");
    EXPECT_EQ(rig.record(1, kCallListFormat).InUse, kDeleted);
    EXPECT_EQ(rig.lines().size(), 2);
    rig.click("cmdNew");
    EXPECT_EQ(control<QLabel>(*rig.window, "Label3")->text(), "1");
}

TEST(CallListWindow, ApplyKeepsTheSelectedPositionAndABrokenRecordIsReported) {
    ListWindowRig rig(kCallListWindowStyle);
    for (const char* name : {"a", "b", "c", "d", "e"}) {
        rig.addEntry(name, "1", "opt1_1");
    }
    rig.list()->setCurrentRow(2);
    rig.box("txtName")->setText("z");  // moves entry "c" to the end
    rig.click("cmdApply");
    EXPECT_EQ(rig.list()->currentRow(), 2);
    EXPECT_TRUE(rig.list()->currentItem()->text().startsWith("d "));
    EXPECT_EQ(rig.box("txtName")->text(), "d");

    ContactEntry broken = rig.record(1, kCallListFormat);
    broken.DayOn[4] = 'x';
    rig.file.write(1, encodeContact(broken, kCallListFormat));
    rig.list()->setCurrentRow(0);
    ASSERT_EQ(rig.errors.messages.size(), 1u);
    EXPECT_NE(rig.errors.messages[0].find("Entry 1 cannot be shown"), std::string::npos);
    EXPECT_EQ(rig.box("txtName")->text(), "d");  // the form keeps the entry it had
}

TEST(AddressBookWindow, OptionsSwitchTheDayRowsAndNewAndDoubleClickEmptyTheTimes) {
    ListWindowRig rig(kAddressBookWindowStyle);
    rig.click("cmdNew");
    rig.box("txtName")->setText("Ann");
    rig.box("txtNumber")->setText("ann@example.org");
    rig.click("opt1_2");
    EXPECT_TRUE(rig.day(3)->isEnabled());
    rig.day(3)->setChecked(true);
    rig.box("txtStart_3")->setText("08:00:00");
    rig.box("txtStop_3")->setText("17:00:00");
    rig.click("opt1_1");
    EXPECT_FALSE(rig.day(3)->isEnabled());
    EXPECT_FALSE(rig.box("txtStop_3")->isEnabled());
    rig.click("cmdApply");

    ContactEntry stored = rig.record(1, kAddressBookFormat);
    EXPECT_EQ(stored.Schedule, kScheduleAlways);
    EXPECT_EQ(stored.DayOn[3], '1');  // disabled rows are stored all the same
    EXPECT_EQ(stored.StopTime[3], 17 * 3600);
    EXPECT_EQ(rig.lines(),
              QStringList{"Ann              ann@example.org                         Always"});

    // Shown again, the entry's option runs its click: "Always" leaves the rows disabled.
    rig.list()->setCurrentRow(0);
    EXPECT_FALSE(rig.day(3)->isEnabled());

    QMouseEvent doubleClick(QEvent::MouseButtonDblClick, QPointF(4, 4), QPointF(4, 4),
                            Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(rig.box("txtStart_3"), &doubleClick);
    EXPECT_EQ(rig.box("txtStart_3")->text(), "");

    rig.click("cmdNew");
    EXPECT_FALSE(rig.day(3)->isChecked());
    EXPECT_EQ(rig.box("txtStop_3")->text(), "");
    rig.box("txtName")->setText("Bob");
    rig.click("cmdApply");
    stored = rig.record(2, kAddressBookFormat);
    EXPECT_EQ(stored.DayOn[3], '0');
    EXPECT_EQ(stored.StartTime[3], 0);
    EXPECT_EQ(stored.StopTime[3], 0);
    EXPECT_TRUE(rig.errors.messages.empty());
}

TEST(AddressBookWindow, FieldsStoredAtFullWidthShowWholeAndApplyKeepsThem) {
    ListWindowRig rig(kAddressBookWindowStyle);
    ContactEntry entry;
    entry.InUse = kInUse;
    entry.Schedule = kScheduleAlways;
    entry.Name = "Alexandra Whitby";                            // 16, the field's width
    entry.Contact = "night.engineers@transmitter.example.org";  // 39
    entry.DayOn.fill('0');
    rig.file.write(1, encodeContact(entry, kAddressBookFormat));
    rig.window->hide();
    rig.window->show();  // opened again, it lists the file afresh

    EXPECT_EQ(rig.box("txtName")->text().toStdString(), entry.Name);
    EXPECT_EQ(rig.box("txtNumber")->text().toStdString(), entry.Contact);
    rig.box("txtName")->setText("Alexandra Whitby-Jones");  // no more than the field holds
    EXPECT_EQ(rig.box("txtName")->text().toStdString(), entry.Name);
    rig.click("cmdApply");
    EXPECT_EQ(rig.record(1, kAddressBookFormat).Contact, entry.Contact);
    EXPECT_EQ(rig.record(1, kAddressBookFormat).Name, entry.Name);
    EXPECT_TRUE(rig.errors.messages.empty());
}

}  // namespace
}  // namespace dvx
