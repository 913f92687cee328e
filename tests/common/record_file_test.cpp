#include "common/record_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "common/io_error.h"
#include "common/record_codec.h"
#include "support/file_size_limit.h"
#include "support/temp_folder.h"

namespace dvx {
namespace {

TEST(RecordFile, RecordsLieAtTheirSlotsAndUnwrittenOnesReadAsZero) {
    test::TempFolder folder;
    const auto path = folder.path() / "f.dat";
    RecordFile file(path, 6);
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(file.recordCount(), 0);
    EXPECT_EQ(file.read(5), Bytes(6, 0));

    file.write(3, RecordWriter().text("AB", 2).int32(-2).bytes());
    EXPECT_EQ(test::fileBytes(path),
              (Bytes{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 'A', 'B', 0xFE, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(file.recordCount(), 3);
    EXPECT_EQ(file.read(1), Bytes(6, 0));
    EXPECT_EQ(file.read(4), Bytes(6, 0));

    // A shorter record leaves the rest of its slot alone.
    file.write(3, Bytes{'x'});
    EXPECT_EQ(file.read(3), (Bytes{'x', 'B', 0xFE, 0xFF, 0xFF, 0xFF}));
    EXPECT_THROW(file.write(1, Bytes(7, 1)), IoError);
    EXPECT_THROW((void)file.read(0), IoError);
}

// The disk fills part-way through a new record at the end: the write fails, and the file is as
// it was, without half a record that would read as one.
TEST(RecordFile, ARecordTheDiskCannotHoldLeavesTheFileAsItWas) {
    test::TempFolder folder;
    RecordFile file(folder.path() / "f.dat", 8);
    file.write(1, Bytes(8, 'a'));
    {
        test::FileSizeLimit diskFull(12);
        EXPECT_THROW(file.write(2, Bytes(8, 'b')), IoError);
    }
    EXPECT_EQ(file.recordCount(), 1);
    EXPECT_EQ(test::fileBytes(file.path()), Bytes(8, 'a'));
}

TEST(RecordCodec, TextIsBlankPaddedAndCutIntegersAreLittleEndian) {
    const Bytes bytes = RecordWriter()
                            .text("Hello", 8)
                            .text("Truncated", 3)
                            .int16(-32768)
                            .int16(258)
                            .int32(-1)
                            .bytes();
    EXPECT_EQ(bytes, (Bytes{'H', 'e', 'l', 'l', 'o', ' ', ' ', ' ', 'T', 'r', 'u', 0x00, 0x80, 0x02,
                            0x01, 0xFF, 0xFF, 0xFF, 0xFF}));
    RecordReader reader(bytes);
    EXPECT_EQ(reader.text(8), "Hello   ");
    EXPECT_EQ(reader.text(3), "Tru");
    EXPECT_EQ(reader.int16(), -32768);
    EXPECT_EQ(reader.int16(), 258);
    EXPECT_EQ(reader.int32(), -1);
    EXPECT_THROW(reader.int16(), std::out_of_range);

    // 8-bit text passes through unchanged (code page 1252 "é" is 0xE9).
    EXPECT_EQ(RecordWriter().text("\xE9", 2).bytes(), (Bytes{0xE9, ' '}));
    EXPECT_EQ(trimBlanks("  a b  "), "a b");
    EXPECT_EQ(trimBlanks("    "), "");
    EXPECT_EQ(trimTrailingBlanks("  a  "), "  a");
    EXPECT_EQ(trimBlanks(std::string(4, '\0')), "");  // a never-written record
}

}  // namespace
}  // namespace dvx
