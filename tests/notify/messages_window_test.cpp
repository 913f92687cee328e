#include "notify/messages_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include "common/record_codec.h"
#include "support/questions.h"
#include "support/temp_folder.h"
#include "support/user_input.h"

namespace dvx {
namespace {

using test::typeKeys;

TEST(MessagesWindow, StoredTextsShowWholeAndApplyWritesWhatWasTyped) {
    test::TempFolder folder;
    const auto path = folder.path() / "MessageFile.dat";
    RecordFile file(path, MessageFile::kRecordLength);
    const std::string full = "Generator door open at the transmitter site on Beacon Hill, 7th";
    ASSERT_EQ(full.size(), 63u);
    file.write(1, RecordWriter().text("  WDVX Tower", 64).bytes());
    file.write(3, RecordWriter().text(full + "!", 64).bytes());
    const std::string before = test::fileText(path);
    std::string Facility;
    test::RecordingErrorReporter errors;

    MessagesWindow window(file, Facility, errors);
    window.show();
    auto* facility = window.findChild<QLineEdit*>("txtFacility");
    auto* message2 = window.findChild<QLineEdit*>("txtMessage_3");
    auto* message3 = window.findChild<QLineEdit*>("txtMessage_4");
    ASSERT_NE(facility, nullptr);
    ASSERT_NE(message2, nullptr);
    ASSERT_NE(message3, nullptr);
    EXPECT_EQ(facility->text(), "WDVX Tower");
    EXPECT_EQ(message2->text().toStdString(), full + "!");
    EXPECT_EQ(test::fileText(path), before);  // showing the texts writes nothing
    EXPECT_EQ(Facility, "");

    // One character changed keeps the rest of the 64; nothing is written before Apply.
    message2->setSelection(0, 1);
    typeKeys(message2, "g");
    typeKeys(facility, " FM");
    typeKeys(message3, QString(70, 'x'));  // the box stops at the record's width
    EXPECT_EQ(test::fileText(path), before);
    EXPECT_EQ(Facility, "");
    window.findChild<QPushButton*>("cmdApply")->click();
    EXPECT_EQ(test::fileText(path).substr(128, 64), "g" + full.substr(1) + "!");
    EXPECT_EQ(Facility, "WDVX Tower FM");
    EXPECT_EQ(test::fileText(path).substr(0, 64), "WDVX Tower FM" + std::string(51, ' '));
    EXPECT_EQ(test::fileText(path).substr(192, 64), std::string(64, 'x'));
    EXPECT_TRUE(errors.messages.empty());
}

// Closing with edits not yet applied asks; each answer does what it says. Closing without edits
// asks nothing.
TEST(MessagesWindow, ClosingWithUnsavedEditsAsksToSaveDiscardOrCancel) {
    test::TempFolder folder;
    const auto path = folder.path() / "MessageFile.dat";
    RecordFile file(path, MessageFile::kRecordLength);
    std::string Facility;
    test::RecordingErrorReporter errors;
    MessagesWindow window(file, Facility, errors);
    window.setWindowTitle("My Messages");
    window.show();
    auto* facility = window.findChild<QLineEdit*>("txtFacility");

    {
        test::AnswerQuestions cancel(QMessageBox::Cancel);
        window.close();
        EXPECT_TRUE(cancel.asked.isEmpty());
        EXPECT_FALSE(window.isVisible());

        window.show();
        typeKeys(facility, "KXYZ");
        window.close();
        EXPECT_EQ(cancel.asked, QStringList{"Save changes to My Messages?"});
        EXPECT_TRUE(window.isVisible());
    }
    EXPECT_EQ(facility->text(), "KXYZ");
    EXPECT_EQ(std::filesystem::file_size(path), 0u);

    {
        test::AnswerQuestions discard(QMessageBox::Discard);
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(facility, &escape);  // Escape closes as Close does
    }
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(std::filesystem::file_size(path), 0u);
    window.show();
    EXPECT_EQ(facility->text(), "");

    typeKeys(facility, "KXYZ");
    {
        test::AnswerQuestions save(QMessageBox::Save);
        window.findChild<QAction*>("mnuExit")->trigger();
    }
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(Facility, "KXYZ");
    EXPECT_EQ(test::fileText(path).substr(0, 4), "KXYZ");
    EXPECT_TRUE(errors.messages.empty());
}

}  // namespace
}  // namespace dvx
