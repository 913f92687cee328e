#include "settings/email_account.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "common/paths.h"
#include "settings/settings_test_support.h"
#include "support/temp_folder.h"

namespace dvx {
namespace {

class EmailAccountTest : public test::SettingsTest {
  protected:
    std::filesystem::path file() const { return paths.programFile("User.dat"); }
};

TEST_F(EmailAccountTest, ValuesComeBackAsTyped) {
    writeEmailAccount(paths, {"ops@example.com", "plain"});
    EXPECT_EQ(test::fileText(file()), "ops@example.com\r\nplain\r\n");
    EXPECT_EQ(test::fileMode(file()), 0600u);

    for (const char* password : {"se,cret", "pa\"ss\"", " padded\t", "", "x\"y"}) {
        writeEmailAccount(paths, {"user, name", password});
        const auto account = readEmailAccount(paths);
        ASSERT_TRUE(account);
        EXPECT_EQ(account->UserName, "user, name");
        EXPECT_EQ(account->Password, password);
    }
    writeEmailAccount(paths, {"u", "se,cret"});
    EXPECT_EQ(test::fileText(file()), "u\r\n\"se,cret\"\r\n");
}

TEST_F(EmailAccountTest, HandWrittenFileReadsWithTheListInputRule) {
    test::writeFile(file(), "user,name\r\npass\r\n");
    const auto account = readEmailAccount(paths);
    ASSERT_TRUE(account);
    EXPECT_EQ(account->UserName, "user");
    EXPECT_EQ(account->Password, "name");

    test::writeFile(file(), "  \"ops\" \r\n");
    EXPECT_EQ(readEmailAccount(paths)->UserName, "ops");
    EXPECT_EQ(readEmailAccount(paths)->Password, "");
}

TEST_F(EmailAccountTest, ValuesThatCannotComeBackAreRefusedAndNothingIsWritten) {
    writeEmailAccount(paths, {"ops", "old"});
    for (const char* password : {"\"quoted\"", "a,\"b", " \"x", "two\r\nlines"}) {
        EXPECT_THROW(writeEmailAccount(paths, {"ops", password}), std::invalid_argument)
            << password;
        EXPECT_THROW(writeEmailAccount(paths, {password, "new"}), std::invalid_argument)
            << password;
    }
    EXPECT_EQ(test::fileText(file()), "ops\r\nold\r\n");
}

}  // namespace
}  // namespace dvx
