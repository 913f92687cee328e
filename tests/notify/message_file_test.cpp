#include "notify/message_file.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace dvx {
namespace {

TEST(MessageFile, WritesEachTextAsOneBlankPaddedRecordAndKeepsTheFacilityCurrent) {
    test::TempFolder folder;
    const auto path = folder.path() / "MessageFile.dat";
    RecordFile file(path, MessageFile::kRecordLength);
    std::string Facility;
    MessageFile messages(file, Facility);

    EXPECT_EQ(messages.text(1), std::string(64, '\0'));  // a fresh file
    messages.setText(3, "Door open");
    messages.setText(1, "  WDVX Tower ");
    EXPECT_EQ(Facility, "WDVX Tower");

    const std::vector<std::uint8_t> bytes = test::fileBytes(path);
    ASSERT_EQ(bytes.size(), 3u * 64u);
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_EQ(text.substr(0, 64), "  WDVX Tower " + std::string(51, ' '));
    EXPECT_EQ(text.substr(64, 64), std::string(64, '\0'));  // record 2 never written
    EXPECT_EQ(text.substr(128, 64), "Door open" + std::string(55, ' '));
    EXPECT_EQ(messages.text(3), "Door open" + std::string(55, ' '));
}

}  // namespace
}  // namespace dvx
