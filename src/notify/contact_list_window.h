#pragma once

#include <array>

#include "notify/contact_book.h"
#include "notify/contact_form.h"
#include "notify/contact_test.h"
#include "ui/settings_dialog.h"
#include "viewers/error_reporter.h"

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace dvx {

// How the call-list and the address-book windows differ.
struct ContactWindowStyle {
    const char* objectName;
    const char* caption;
    const char* contactLabel;  // caption of `Label2`
    ContactFormat format;
    // Clicking an option sets the schedule at once and enables the day rows for "Sometimes"
    // only.
    bool optionsEnableDays;
    // "New" also unchecks the days and empties the times.
    bool newClearsDays;
    // A double-click on a start or stop box empties it.
    bool doubleClickEmptiesTimes;
};

inline constexpr ContactWindowStyle kCallListWindowStyle{
    "frmCallList", "My Call List", "Number", kCallListFormat, false, false, false};
inline constexpr ContactWindowStyle kAddressBookWindowStyle{
    "frmAddressBook", "My Address Book", "Address", kAddressBookFormat, true, true, true};

// The window of the call list (`frmCallList`, Setup, My Call List, on the open CallList.dat,
// with kCallListWindowStyle) or the address book (`frmAddressBook`, Setup, My Address Book, on
// AddressBook.dat, with kAddressBookWindowStyle): the
// sorted list of entries in use (`list1`, item data the record number), the boxes of the entry
// shown, and New, Apply, Delete and Close. Control arrays carry their index after an
// underscore: `opt1_0`..`opt1_2`, `Check1_1`..`Check1_7`, `txtStart_1`.., `txtStop_1`...
// Each time the window is opened it lists the file afresh. Edits of the entry shown stay in the
// window until Apply (or Save on closing, SettingsDialog); choosing another entry asks about them
// first. Delete asks before it deletes, then shows the first entry left, or empty boxes. A box
// that Apply refused is marked (markRefused) and keeps its text until it is edited. With a tester,
// "Send test" (`cmdSendTest`) sends a test to the selected entry and shows the outcome in `lblTest`
// (and a failure in the error window); the button stays disabled until the outcome is known.
// The logic lives in ContactForm and the tester; this class draws it and forwards the controls.
// Main thread only.
class ContactListWindow : public SettingsDialog {
    Q_OBJECT

  public:
    ContactListWindow(RecordFile& file, const ContactWindowStyle& style, ErrorReporter& errors,
                      ContactTester tester = {}, QWidget* parent = nullptr);

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool applyEdits() override;

  private:
    void buildControls();
    void loadList();  // `LoadCallList` / `LoadAddressBook`
    void showRow(int row);
    void rowChosen(int row);
    void newEntry();
    void deleteEntry();
    void emptyEditBoxes();
    void optionClicked(int option);
    void sendTest();
    void testDone(const ContactTestResult& result);
    void markRefusedBox(const RefusedBox& refusal);
    void showEditBoxes(bool shown);
    ContactFormValues boxValues() const;
    void setBoxValues(const ContactFormValues& values);

    ContactWindowStyle m_style;
    ContactBook m_book;
    ContactForm m_form;
    ErrorReporter& m_errors;
    ContactTester m_tester;

    QListWidget* m_list = nullptr;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_contact = nullptr;
    QLabel* m_nameLabel = nullptr;
    QLabel* m_contactLabel = nullptr;
    QLabel* m_recordLabel = nullptr;
    QButtonGroup* m_options = nullptr;
    std::array<QCheckBox*, 8> m_days{};
    std::array<QLineEdit*, 8> m_starts{};
    std::array<QLineEdit*, 8> m_stops{};
    QPushButton* m_apply = nullptr;
    QPushButton* m_sendTest = nullptr;
    QLabel* m_testResult = nullptr;
    int m_shownRow = -1;  // the line whose entry the boxes show
};

}  // namespace dvx
