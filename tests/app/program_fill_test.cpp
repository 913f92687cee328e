// The real program on virtual devices fills a silent feed from a small library: the fill
// output's recording holds the music while the feed is silent.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "fill/fill_test_data.h"
#include "platform/sndfile_sound_files.h"

namespace dvx {
namespace {

// Peak magnitude of a stretch of a stereo recording.
int peakOf(SoundFiles& files, const std::filesystem::path& wav, double fromSeconds,
           double toSeconds) {
    auto reader = files.openReader(wav, 2);
    std::vector<std::int16_t> buffer(2 * 4410);
    int peak = 0;
    std::int64_t frame = 0;
    for (int got; (got = reader->read(buffer.data(), 4410)) > 0; frame += got) {
        for (int i = 0; i < 2 * got; ++i) {
            const double at = static_cast<double>(frame + i / 2) / 44100.0;
            if (at >= fromSeconds && at < toSeconds) {
                peak = std::max(peak, std::abs(static_cast<int>(buffer[i])));
            }
        }
    }
    return peak;
}

TEST(ProgramFill, ASilentFeedIsFilledWithTheLibrarysMusic) {
    test::FillData data;
    SndfileSoundFiles soundFiles;
    // One 60 s tune at a level well above silence, in category A of the regular program.
    data.addMusic(1, "Morning Tune", "House Band", "A", 60);
    data.program("A");
    {
        std::vector<std::int16_t> second(44100);
        for (std::size_t i = 0; i < second.size(); ++i) {
            second[i] = static_cast<std::int16_t>(8000 * std::sin(2 * M_PI * 440 * i / 44100.0));
        }
        auto writer = soundFiles.createWriter(data.music.wavePath(1), 1);
        for (int i = 0; i < 60; ++i) {
            writer->write(second.data(), 44100);
        }
    }
    // Dead air after 2 s, armed at start-up; the fill plays on "Virtual Out 1".
    std::vector<std::int32_t> records(72, 0);
    records[0] = 2;    // dead-air seconds
    records[4] = 1;    // Out1Device
    records[5] = 2;    // Out2Device
    records[6] = 100;  // threshold
    records[71] = 1;   // AutoRun
    test::writeFile(data.paths.dataFile("DXParams.dat"),
                    std::string(reinterpret_cast<const char*>(records.data()), 4 * 72));
    test::writeFile(data.paths.programFile("User.dat"), "operator\r\nsecret\r\n");

    const auto out = data.root.path() / "out";
    const std::string command =
        std::string("timeout --preserve-status -s TERM 10 ") + DORVEXIA_PROGRAM +
        " -platform offscreen --data-root '" + data.root.path().string() +
        "' --audio virtual --virtual-output-dir '" + out.string() + "' >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status)) << status;
    ASSERT_EQ(WEXITSTATUS(status), 0) << "the program did not end cleanly on SIGTERM";

    // The live output carries the silent feed; the fill output carries the tune once the
    // silence has lasted the delay.
    ASSERT_TRUE(std::filesystem::exists(out / "out1.wav"));
    EXPECT_GT(peakOf(soundFiles, out / "out1.wav", 1.0, 5.0), 7000);
    EXPECT_LT(peakOf(soundFiles, out / "out0.wav", 0.0, 60.0), 10);
    const std::string playlist = test::fileText(data.paths.logsFolder() / "Playlist.txt");
    EXPECT_NE(playlist.find("Morning Tune"), std::string::npos) << playlist;
}

}  // namespace
}  // namespace dvx
