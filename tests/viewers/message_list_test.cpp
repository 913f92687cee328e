#include "viewers/message_list.h"

#include <gtest/gtest.h>

namespace dvx {
namespace {

std::vector<std::string> lines(const MessageList& list) {
    std::vector<std::string> shown;
    for (const MessageEntry& entry : list.entries()) {
        shown.push_back(entry.line());
    }
    return shown;
}

TEST(MessageList, NewestFirstWithRepeatsCountedAndMovedUpWithTheirNewTime) {
    MessageList list;
    list.add("Error Message", "WaveIn Device not selected", "09:00:00");
    list.add("Error Message", "Net Out Device not selected", "09:00:01");
    list.add("Reboot Computer", "Preparing to Reboot", "09:00:02");
    list.add("Error Message", "WaveIn Device not selected", "09:00:03");
    list.add("Error Message", "WaveIn Device not selected", "09:00:04");
    // The same text under another caption is another message.
    list.add("Other", "Preparing to Reboot", "09:00:05");
    EXPECT_EQ(lines(list), (std::vector<std::string>{
                               "09:00:05  Preparing to Reboot (Other)",
                               "09:00:04  WaveIn Device not selected  \u00d73",
                               "09:00:02  Preparing to Reboot (Reboot Computer)",
                               "09:00:01  Net Out Device not selected",
                           }));
}

TEST(MessageList, KeepsTheLatest500AndARepeatOfTheOldestSurvivesAsNewest) {
    MessageList list;
    for (int i = 0; i < 501; ++i) {
        list.add("Error Message", "message " + std::to_string(i), "10:00:00");
    }
    ASSERT_EQ(list.entries().size(), MessageList::kLimit);
    EXPECT_EQ(list.entries().front().text, "message 500");
    EXPECT_EQ(list.entries().back().text, "message 1");  // message 0 has gone

    list.add("Error Message", "message 1", "10:00:01");
    EXPECT_EQ(list.entries().size(), MessageList::kLimit);
    EXPECT_EQ(list.entries().front().text, "message 1");
    EXPECT_EQ(list.entries().front().count, 2);
    EXPECT_EQ(list.entries().back().text, "message 2");
}

}  // namespace
}  // namespace dvx
