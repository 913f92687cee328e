#include "common/paths.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace dvx {
namespace {

TEST(Paths, DriveLettersBecomeFoldersAndKnownNamesHaveOneSpelling) {
    Paths paths("/srv/root");
    EXPECT_EQ(paths.resolve("c:\\Dorvex\\Logs\\AL261205.log"),
              "/srv/root/c/Dorvex/Logs/AL261205.log");
    EXPECT_EQ(paths.resolve("C:\\dorvex\\logs\\Playlist.txt"),
              "/srv/root/c/Dorvex/Logs/Playlist.txt");
    EXPECT_EQ(paths.resolve("c:\\program files\\Dorvex\\user.dat"),
              "/srv/root/c/Program Files/Dorvex/User.dat");
    EXPECT_EQ(paths.resolve("d:\\DORVEX\\SPOTFILE\\rfnames.dat"),
              "/srv/root/d/Dorvex/Spotfile/RFNames.dat");
    EXPECT_EQ(paths.resolve("c:\\Dorvex\\Music\\MF0042.wav"),
              "/srv/root/c/Dorvex/Music/MF0042.wav");
    EXPECT_EQ(paths.logsFolder(), paths.resolve("c:\\Dorvex\\Logs\\"));
    EXPECT_EQ(paths.dataFile("calllist.dat"), "/srv/root/c/Dorvex/CallList.dat");
    EXPECT_EQ(paths.programFile("Smtp.dat"), "/srv/root/c/Program Files/Dorvex/Smtp.dat");
}

TEST(Paths, RefusesTextThatWouldLeaveTheDataRoot) {
    Paths paths("/srv/root");
    EXPECT_THROW(paths.resolve("c:\\Dorvex\\..\\..\\etc"), std::invalid_argument);
    EXPECT_THROW(paths.resolve("c:\\Dorvex\\a/../../b"), std::invalid_argument);
    EXPECT_THROW(paths.resolve("Dorvex\\Logs"), std::invalid_argument);
}

TEST(Paths, DataRootComesFromCommandLineThenEnvironmentThenXdg) {
    ::setenv("DORVEXIA_ROOT", "/from/env", 1);
    ::setenv("XDG_DATA_HOME", "/xdg", 1);
    EXPECT_EQ(chooseDataRoot("/from/cli"), "/from/cli");
    EXPECT_EQ(chooseDataRoot(""), "/from/env");
    ::unsetenv("DORVEXIA_ROOT");
    EXPECT_EQ(chooseDataRoot(""), "/xdg/dorvexia");
    ::unsetenv("XDG_DATA_HOME");
    ::setenv("HOME", "/home/op", 1);
    EXPECT_EQ(chooseDataRoot(""), "/home/op/.local/share/dorvexia");
}

}  // namespace
}  // namespace dvx
