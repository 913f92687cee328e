#include "common/text_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "common/io_error.h"
#include "support/temp_folder.h"

namespace dvx {
namespace {

std::vector<std::string> readAll(std::string text) {
    ListInputReader reader(std::move(text));
    std::vector<std::string> values;
    while (auto value = reader.next()) {
        values.push_back(*value);
    }
    return values;
}

TEST(TextFile, LinesEndInCrLfAndReplaceTheFileWhole) {
    test::TempFolder folder;
    const auto path = folder.path() / "c.dat";
    writeTextLines(path, {" 3 ", "19200", " 1 "});
    EXPECT_EQ(test::fileText(path), " 3 \r\n19200\r\n 1 \r\n");
    writeTextLines(path, {"x"}, 0600);
    EXPECT_EQ(test::fileText(path), "x\r\n");
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "c.dat.new"));
}

TEST(TextFile, FailedRewriteLeavesTheOldFile) {
    test::TempFolder folder;
    EXPECT_THROW(writeTextLines(folder.path() / "no" / "such" / "file", {"a"}), IoError);
    EXPECT_FALSE(readWholeFile(folder.path() / "absent").has_value());
}

TEST(ListInput, ValuesEndAtCommasAndLineEndsAndLoseTheirQuotes) {
    EXPECT_EQ(readAll(" 3 \r\n19200\r\n 1 \r\n"), (std::vector<std::string>{"3", "19200", "1"}));
    EXPECT_EQ(readAll("user,name\r\npass\r\n"), (std::vector<std::string>{"user", "name", "pass"}));
    EXPECT_EQ(readAll("\"a, b\"\r\n  \"q\"x \r\n"), (std::vector<std::string>{"a, b", "q"}));
    EXPECT_EQ(readAll("\r\nlast"), (std::vector<std::string>{"", "last"}));
    EXPECT_EQ(readAll("\"unclosed, value"), (std::vector<std::string>{"unclosed, value"}));
    EXPECT_EQ(readAll("lf\nonly\n"), (std::vector<std::string>{"lf", "only"}));
    EXPECT_TRUE(readAll("").empty());
}

TEST(ListInput, IntegersOfSixteenBits) {
    EXPECT_EQ(parseListInteger16(" 3 "), 3);
    EXPECT_EQ(parseListInteger16("-12"), -12);
    EXPECT_EQ(parseListInteger16("32767"), 32767);
    EXPECT_FALSE(parseListInteger16("32768").has_value());
    EXPECT_FALSE(parseListInteger16("").has_value());
    EXPECT_FALSE(parseListInteger16("abc").has_value());
}

}  // namespace
}  // namespace dvx
