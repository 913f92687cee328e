#include "settings/connection_settings.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "common/paths.h"
#include "settings/settings_test_support.h"
#include "support/temp_folder.h"

namespace dvx {
namespace {

class ConnectionSettingsTest : public test::SettingsTest {
  protected:
    std::filesystem::path file() const { return paths.dataFile("Connection.dat"); }
};

TEST_F(ConnectionSettingsTest, SavedLinesReadBack) {
    saveConnectionSettings(paths, {3, "19200", 1});
    EXPECT_EQ(test::fileText(file()), " 3 \r\n19200\r\n 1 \r\n");
    const ConnectionLoad load = loadConnectionSettings(paths);
    EXPECT_FALSE(load.warning);
    EXPECT_EQ(load.settings.ComPort, 3);
    EXPECT_EQ(load.settings.BaudRate, "19200");
    EXPECT_EQ(load.settings.DialConnect, 1);

    saveConnectionSettings(paths, {-2, "", 0});
    EXPECT_EQ(test::fileText(file()), "-2 \r\n\r\n 0 \r\n");
    EXPECT_EQ(loadConnectionSettings(paths).settings.ComPort, -2);

    EXPECT_THROW(saveConnectionSettings(paths, {3, "19,200", 1}), std::invalid_argument);
    EXPECT_EQ(test::fileText(file()), "-2 \r\n\r\n 0 \r\n");
}

TEST_F(ConnectionSettingsTest, UnreadableFileKeepsTheEmptyValuesAndSaysSo) {
    for (const char* content : {"COM3\r\n9600\r\n 1 \r\n", " 3 \r\n9600\r\nyes\r\n",
                                "70000\r\n9600\r\n 0 \r\n", " 3 \r\n9600\r\n"}) {
        test::writeFile(file(), content);
        const ConnectionLoad load = loadConnectionSettings(paths);
        EXPECT_TRUE(load.warning) << content;
        EXPECT_EQ(load.settings.ComPort, 0) << content;
        EXPECT_EQ(load.settings.BaudRate, "") << content;
        EXPECT_EQ(load.settings.DialConnect, 0) << content;
    }
}

}  // namespace
}  // namespace dvx
