#include "app/startup.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "common/record_codec.h"
#include "settings/email_account.h"
#include "support/temp_folder.h"

namespace dvx {
namespace {

class StartupTest : public ::testing::Test {
  protected:
    test::TempFolder root;
    Paths paths{root.path()};
};

TEST_F(StartupTest, FirstLaunchMakesFoldersAndEmptyFilesAndAsksForTheAccount) {
    StartupResult result = runStartup(paths);

    for (const char* folder : {"c/Program Files/Dorvex", "c/Dorvex", "c/Dorvex/Logs",
                               "c/Dorvex/Music", "c/Dorvex/Spotfile"}) {
        EXPECT_TRUE(std::filesystem::is_directory(root.path() / folder)) << folder;
    }
    for (const char* file :
         {"CallList.dat", "AddressBook.dat", "MessageFile.dat", "Spotfile/Spotfile.dat",
          "Music/Music.dat", "MusicCat.dat", "MusRotFileOne", "MusRotFileTwo", "MusHist",
          "Spotfile/RFNames.dat", "DXParams.dat"}) {
        const auto path = root.path() / "c/Dorvex" / file;
        ASSERT_TRUE(std::filesystem::exists(path)) << file;
        EXPECT_EQ(std::filesystem::file_size(path), 0u) << file;
    }
    EXPECT_EQ(result.caption, "Dorvexia Alarm/Fill");
    EXPECT_TRUE(result.firstStart);
    EXPECT_EQ(result.messages, std::vector<std::string>{std::string(kEmailAccountMissingMessage)});
    ASSERT_NE(result.station, nullptr);
    EXPECT_EQ(result.station->Facility, "");
    EXPECT_EQ(result.station->parameters.AutoRun, 0);
    EXPECT_EQ(result.station->files.CallList.recordLength(), 105);
    EXPECT_EQ(result.station->files.RFNames.recordLength(), 35);
}

TEST_F(StartupTest, ReadsTheStoredSettingsFacilityAccountAndConnection) {
    ensureFolders(paths);
    test::writeFile(root.path() / "c/Dorvex/MessageFile.dat",
                    std::string("  WXYZ-FM Main Studio") + std::string(43, ' '));
    test::writeFile(root.path() / "c/Dorvex/Connection.dat", " 3 \r\n19200\r\n 1 \r\n");
    test::writeFile(root.path() / "c/Program Files/Dorvex/User.dat",
                    "\"ops, night\"\r\nse\"cret\r\n");
    std::string params(4 * 72, '\0');
    params[4] = 1;        // record 2: AlarmOnly
    params[4 * 71] = 1;   // record 72: AutoRun
    params[4 * 6] = 100;  // record 7: Threshold
    test::writeFile(root.path() / "c/Dorvex/DXParams.dat", params);

    StartupResult result = runStartup(paths);
    EXPECT_EQ(result.caption, "Dorvexia Alarm Only");
    EXPECT_FALSE(result.firstStart);
    EXPECT_TRUE(result.messages.empty());
    const Station& station = *result.station;
    EXPECT_EQ(station.Facility, "WXYZ-FM Main Studio");
    EXPECT_EQ(station.account.UserName, "ops, night");
    EXPECT_EQ(station.account.Password, "se\"cret");
    EXPECT_EQ(station.connection.ComPort, 3);
    EXPECT_EQ(station.connection.BaudRate, "19200");
    EXPECT_EQ(station.connection.DialConnect, 1);
    EXPECT_TRUE(station.parameters.AlarmOnly);
    EXPECT_EQ(station.parameters.AutoRun, 1);
    EXPECT_EQ(station.parameters.Threshold, 100);
}

TEST_F(StartupTest, ATornParametersFileIsReportedAndLeftAsItIs) {
    ensureFolders(paths);
    const std::string torn = std::string("\x05\x00\x00\x00\x01\x00", 6);
    test::writeFile(root.path() / "c/Dorvex/DXParams.dat", torn);
    StartupResult result = runStartup(paths);
    EXPECT_EQ(result.messages.size(), 2u);  // the torn file and the missing account
    EXPECT_EQ(result.station->parameters.DeadAirSeconds, 5);
    EXPECT_EQ(test::fileText(root.path() / "c/Dorvex/DXParams.dat"), torn);
}

TEST_F(StartupTest, AFolderOrFileThatCannotBeUsedStopsStartUpAndOverwritesNothing) {
    // The data folder is a plain file: nothing below it can be made.
    test::writeFile(root.path() / "c/Dorvex", "not a folder");
    try {
        runStartup(paths);
        FAIL() << "start-up went on";
    } catch (const StartupError& error) {
        EXPECT_NE(std::string(error.what()).find("Dorvex"), std::string::npos) << error.what();
    }
    EXPECT_EQ(test::fileText(root.path() / "c/Dorvex"), "not a folder");

    // A data file that cannot be opened: the parameters file written before stays as it was.
    std::filesystem::remove(root.path() / "c/Dorvex");
    ensureFolders(paths);
    std::filesystem::create_directory(root.path() / "c/Dorvex/MusicCat.dat");
    const std::string params(288, '\x01');
    test::writeFile(root.path() / "c/Dorvex/DXParams.dat", params);
    try {
        runStartup(paths);
        FAIL() << "start-up went on";
    } catch (const StartupError& error) {
        EXPECT_NE(std::string(error.what()).find("MusicCat.dat"), std::string::npos)
            << error.what();
    }
    EXPECT_EQ(test::fileText(root.path() / "c/Dorvex/DXParams.dat"), params);
}

TEST_F(StartupTest, AnUnreadableDataFolderStopsStartUp) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "permissions do not stop root";
    }
    ensureFolders(paths);
    std::filesystem::permissions(root.path() / "c/Dorvex", std::filesystem::perms::none);
    EXPECT_THROW(runStartup(paths), StartupError);
    std::filesystem::permissions(root.path() / "c/Dorvex", std::filesystem::perms::owner_all);
}

}  // namespace
}  // namespace dvx
