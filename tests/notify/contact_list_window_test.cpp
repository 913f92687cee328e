#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "common/record_codec.h"
#include "loopback_smtp_server.h"
#include "notify/contact_list_window.h"
#include "notify/curl_mail_transport.h"
#include "notify/email_notifier.h"
#include "notify_rig.h"
#include "settings/email_account.h"
#include "settings/smtp_settings.h"
#include "support/questions.h"
#include "support/temp_folder.h"
#include "support/user_input.h"

namespace dvx {
namespace {

template <typename T>
T* control(QWidget& window, const QString& name) {
    return test::findNamed<T>(&window, name);
}

struct ListWindowRig {
    test::TempFolder folder;
    RecordFile file;
    test::RecordingErrorReporter errors;
    std::unique_ptr<ContactListWindow> window;

    explicit ListWindowRig(const ContactWindowStyle& style, ContactTester tester = {})
        : file(folder.path() / "list.dat", style.format.recordLength),
          window(std::make_unique<ContactListWindow>(file, style, errors, std::move(tester))) {
        window->show();
    }
    QLineEdit* box(const QString& name) { return control<QLineEdit>(*window, name); }
    QCheckBox* day(int index) {
        return control<QCheckBox>(*window, QString("Check1_%1").arg(index));
    }
    void click(const QString& name) { control<QAbstractButton>(*window, name)->click(); }
    QListWidget* list() { return control<QListWidget>(*window, "list1"); }
    QStringList lines() { return test::itemTexts(list()); }
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
    void type(const QString& name, const QString& text) { test::typeKeys(box(name), text); }
    bool marked(const QString& name) { return box(name)->property("refused").toBool(); }
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

    const ContactEntry ann = rig.record(1, kCallListFormat);
    EXPECT_EQ(trimBlanks(ann.Name), "Ann");
    EXPECT_EQ(trimBlanks(ann.Contact), "5551234");
    EXPECT_EQ(ann.Schedule, kScheduleSometimes);
    EXPECT_EQ(ann.DayOn[2], '1');
    EXPECT_EQ(ann.StartTime[2], 30600);
    EXPECT_EQ(ann.StopTime[2], 86399);
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

    // Delete asks first: No keeps the entry, and the edits shown.
    {
        test::AnswerQuestions no(QMessageBox::No);
        rig.click("cmdDelete");
        EXPECT_EQ(no.asked, QStringList{"Delete the entry \"Ann\"?"});
    }
    EXPECT_EQ(rig.record(1, kCallListFormat).InUse, kInUse);
    EXPECT_EQ(rig.box("txtName")->text(), "Changed");

    // Yes marks the selected entry's record and shows the first entry left; New reuses it.
    {
        test::AnswerQuestions yes(QMessageBox::Yes);
        rig.click("cmdDelete");
    }
    EXPECT_EQ(rig.record(1, kCallListFormat).InUse, kDeleted);
    EXPECT_EQ(rig.lines().size(), 2);
    EXPECT_EQ(rig.box("txtName")->text(), "amy");
    rig.click("cmdNew");
    EXPECT_EQ(control<QLabel>(*rig.window, "Label3")->text(), "1");
}

// After the last entry is deleted the boxes are empty, and Apply cannot bring it back.
TEST(AddressBookWindow, ADeletedEntryCannotBeAppliedBack) {
    ListWindowRig rig(kAddressBookWindowStyle);
    rig.addEntry("Ann", "ann@example.com", "opt1_1");
    rig.box("txtName")->setText("Ann B");
    {
        test::AnswerQuestions yes(QMessageBox::Yes);
        rig.click("cmdDelete");
    }
    EXPECT_TRUE(rig.lines().isEmpty());
    EXPECT_EQ(rig.box("txtName")->text(), "");
    EXPECT_TRUE(rig.box("txtName")->isHidden());
    rig.click("cmdApply");
    EXPECT_EQ(rig.record(1, kAddressBookFormat).InUse, kDeleted);
    EXPECT_TRUE(rig.lines().isEmpty());
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

    test::doubleClick(rig.box("txtStart_3"));
    EXPECT_EQ(rig.box("txtStart_3")->text(), "");

    // New asks about the emptied box first.
    {
        test::AnswerQuestions discard(QMessageBox::Discard);
        rig.click("cmdNew");
        EXPECT_EQ(discard.asked.size(), 1);
    }
    EXPECT_FALSE(rig.day(3)->isChecked());
    EXPECT_EQ(rig.box("txtStop_3")->text(), "");
    rig.box("txtName")->setText("Bob");
    rig.box("txtNumber")->setText("bob@example.org");
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

namespace dvx {
namespace {

// Every refusal leaves the record as it was, names the text in the error window, and marks the
// box, which keeps the text until it is edited.
void expectRefused(ListWindowRig& rig, const std::vector<QString>& texts) {
    const Bytes before = rig.file.read(1);
    for (const QString& text : texts) {
        const std::size_t shown = rig.errors.messages.size();
        rig.box("txtNumber")->setText(text);
        rig.click("cmdApply");
        ASSERT_EQ(rig.errors.messages.size(), shown + 1) << text.toStdString();
        EXPECT_NE(rig.errors.messages.back().find("\"" + text.toStdString() + "\""),
                  std::string::npos)
            << rig.errors.messages.back();
        EXPECT_EQ(rig.file.read(1), before) << text.toStdString();
        EXPECT_EQ(rig.box("txtNumber")->text(), text);
        EXPECT_TRUE(rig.marked("txtNumber")) << text.toStdString();
    }
    rig.type("txtNumber", "x");
    EXPECT_FALSE(rig.marked("txtNumber"));
}

TEST(ContactWindows, RefusedAddressesAndNumbersChangeNothingAndMarkTheirBox) {
    ListWindowRig book(kAddressBookWindowStyle);
    book.addEntry("Ann", "ann@example.org", "opt1_1");
    expectRefused(
        book, {"not-an-email", "call me maybe", "ann@example@org", "@example.org", "ann@example",
               "ann@.example.org", "ann@example.org.", "ann smith@example.org"});

    ListWindowRig calls(kCallListWindowStyle);
    calls.addEntry("Ann", "5551234", "opt1_1");
    expectRefused(calls, {"call me maybe", "555-1234 ext. 5", ",,,"});
    calls.box("txtNumber")->setText("+1 (555) 123-4567 w*9#,P");
    calls.click("cmdApply");
    EXPECT_EQ(calls.record(1, kCallListFormat).Contact, "+1 (555) 123-4567 w*9#,P");
    EXPECT_FALSE(calls.marked("txtNumber"));

    // Typed past the field's width, the box stops; what it shows is what is stored.
    const QString longAddress = "night.engineers.on.call@transmitter.example.org";  // 47
    book.box("txtNumber")->clear();
    book.type("txtNumber", longAddress);
    EXPECT_EQ(book.box("txtNumber")->text(), longAddress.left(39));
    book.click("cmdApply");
    EXPECT_EQ(book.record(1, kAddressBookFormat).Contact, longAddress.left(39).toStdString());
}

TEST(AddressBookWindow, SendTestShowsWhatTheMailServerAnswered) {
    test::NotifyRig notify;
    test::LoopbackSmtpServer server{notify.folder.path() / "server", "alarm", "secret"};
    ASSERT_NE(server.port, 0) << "the loopback SMTP server did not start";
    std::filesystem::create_directories(notify.paths.programFolder());
    saveSmtpSettings(notify.paths, {"smtp://127.0.0.1:" + std::to_string(server.port),
                                    "dorvexia@station.example"});
    EmailAccount account{"alarm", "wrong"};
    CurlMailTransport transport;
    std::unique_ptr<EmailNotifier> notifier;
    ListWindowRig rig(kAddressBookWindowStyle,
                      [&notifier](const ContactEntry& entry, ContactTestDone done) {
                          notifier->sendTest(entry, "WDVX", std::move(done));
                      });
    notifier = std::make_unique<EmailNotifier>(notify.clock, notify.paths, rig.file, account,
                                               notify.log, notify.errors, transport);
    rig.addEntry("Ann", "ann@example.org", "opt1_0");
    auto* sendTest = control<QPushButton>(*rig.window, "cmdSendTest");
    auto* result = control<QLabel>(*rig.window, "lblTest");
    auto settle = [&] {
        notifier->waitForWorker();
        notify.clock.advanceSeconds(0.5);
    };

    sendTest->click();
    EXPECT_FALSE(sendTest->isEnabled());
    EXPECT_EQ(result->text(), "Sending a test to Ann...");
    settle();
    EXPECT_TRUE(sendTest->isEnabled());
    EXPECT_TRUE(result->text().contains("535 5.7.8 Authentication credentials invalid"))
        << result->text().toStdString();
    ASSERT_EQ(rig.errors.messages.size(), 1u);
    EXPECT_EQ(rig.errors.messages[0], result->text().toStdString());

    // A second press while the test runs is refused: one message goes out.
    account.Password = "secret";
    sendTest->click();
    sendTest->click();
    settle();
    EXPECT_EQ(result->text(), "The mail server took the test message to ann@example.org.");
    ASSERT_EQ(server.messages().size(), 1u);
    EXPECT_NE(server.messages()[0].find("\r\nSubject: WDVX Test\r\n"), std::string::npos);
    EXPECT_EQ(notify.todaysLog(), "");
    EXPECT_EQ(rig.errors.messages.size(), 1u);
}

}  // namespace
}  // namespace dvx
