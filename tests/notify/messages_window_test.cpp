#include "notify/messages_window.h"

#include <gtest/gtest.h>

#include <QLineEdit>

#include "support/temp_folder.h"

namespace dvx {
namespace {

TEST(MessagesWindow, EveryChangeIsWrittenAtOnceAndTheFacilityFollowsItLive) {
    test::TempFolder folder;
    const auto path = folder.path() / "MessageFile.dat";
    RecordFile file(path, MessageFile::kRecordLength);
    std::string Facility;
    test::RecordingErrorReporter errors;
    {
        MessagesWindow window(file, Facility, errors);
        window.show();
        auto* facility = window.findChild<QLineEdit*>("txtFacility");
        auto* message2 = window.findChild<QLineEdit*>("txtMessage_3");
        ASSERT_NE(facility, nullptr);
        ASSERT_NE(message2, nullptr);
        EXPECT_EQ(facility->text(), "");
        EXPECT_TRUE(std::filesystem::is_empty(path));  // opening writes nothing

        facility->setText("WDVX Tower");
        EXPECT_EQ(Facility, "WDVX Tower");
        message2->setText(QString(40, 'x'));  // the box stops at 30
        EXPECT_EQ(test::fileText(path).substr(128), std::string(30, 'x') + std::string(34, ' '));
        EXPECT_EQ(test::fileText(path).substr(0, 64), "WDVX Tower" + std::string(54, ' '));
    }
    MessagesWindow again(file, Facility, errors);
    again.show();
    EXPECT_EQ(again.findChild<QLineEdit*>("txtMessage_3")->text(), QString(30, 'x'));
    EXPECT_EQ(again.findChild<QLineEdit*>("txtFacility")->text(), "WDVX Tower");
    EXPECT_TRUE(errors.messages.empty());
}

}  // namespace
}  // namespace dvx
