#include "app/command_line.h"

#include <gtest/gtest.h>

namespace dvx {
namespace {

TEST(CommandLine, OptionsWithSeparateOrJoinedValues) {
    const auto parsed =
        parseCommandLine({"dorvexia", "--data-root", "/d", "--audio=virtual", "--virtual-input",
                          "tone.wav", "--virtual-output-dir=/out"});
    ASSERT_TRUE(parsed.options) << parsed.error;
    EXPECT_EQ(parsed.options->dataRoot, "/d");
    EXPECT_EQ(parsed.options->audio, "virtual");
    EXPECT_EQ(parsed.options->virtualInput, "tone.wav");
    EXPECT_EQ(parsed.options->virtualOutputDir, "/out");
    EXPECT_TRUE(parseCommandLine({"dorvexia"}).options);
}

TEST(CommandLine, HelpAndVersionAreAnsweredWhicheverComesFirst) {
    EXPECT_EQ(answerWithoutDisplay({"dorvexia", "-platform", "offscreen", "--version", "--help"}),
              "dorvexia " + std::to_string(DORVEXIA_VERSION_MAJOR) + "." +
                  std::to_string(DORVEXIA_VERSION_MINOR) + "." +
                  std::to_string(DORVEXIA_VERSION_PATCH) + "\n");
    EXPECT_EQ(answerWithoutDisplay({"dorvexia", "-h", "--version"}), commandLineHelp());
    EXPECT_EQ(answerWithoutDisplay({"dorvexia", "--data-root", "/d"}), std::nullopt);
    EXPECT_EQ(answerWithoutDisplay({"--version"}), std::nullopt);  // the program's own name
}

TEST(CommandLine, WrongArgumentsSayWhy) {
    EXPECT_EQ(parseCommandLine({"dorvexia", "--audio", "alsa"}).error,
              "--audio takes auto, portaudio, pulse or virtual");
    EXPECT_EQ(parseCommandLine({"dorvexia", "--data-root"}).error, "--data-root needs a folder");
    EXPECT_EQ(parseCommandLine({"dorvexia", "--frobnicate"}).error, "Unknown option: --frobnicate");
    EXPECT_EQ(parseCommandLine({"dorvexia", "--demo", "--virtual-input", "f.wav"}).error,
              "--demo makes its own feed: leave out --virtual-input");
}

}  // namespace
}  // namespace dvx
