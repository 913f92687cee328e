// The real program on virtual devices, in real time, fills a silent feed from a small library:
// what the outputs recorded shows what went on air, and the logs what the program made of it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "fill/fill_test_data.h"
#include "platform/sndfile_sound_files.h"

namespace dvx {
namespace {

// A stretch of a recording louder than the floor, and its peak magnitude.
struct Stretch {
    double from = 0;
    double to = 0;
    int peak = 0;
    double seconds() const { return to - from; }
};

// The loud stretches of a stereo recording, found in blocks of 10 ms.
std::vector<Stretch> loudStretches(const std::filesystem::path& wav, int floor = 300) {
    SndfileSoundFiles files;
    auto reader = files.openReader(wav, 2);
    constexpr int kBlock = 441;
    std::vector<std::int16_t> buffer(2 * kBlock);
    std::vector<Stretch> stretches;
    bool inside = false;
    std::int64_t frame = 0;
    for (int got; (got = reader->read(buffer.data(), kBlock)) > 0; frame += got) {
        int peak = 0;
        for (int i = 0; i < 2 * got; ++i) {
            peak = std::max(peak, std::abs(static_cast<int>(buffer[i])));
        }
        const double at = static_cast<double>(frame) / 44100.0;
        if (peak > floor) {
            if (!inside) {
                stretches.push_back({at, at, 0});
                inside = true;
            }
            stretches.back().to = at + static_cast<double>(got) / 44100.0;
            stretches.back().peak = std::max(stretches.back().peak, peak);
        } else {
            inside = false;
        }
    }
    return stretches;
}

double decibels(int peak, int reference) {
    return 20 * std::log10(static_cast<double>(peak) / reference);
}

// A sine of `seconds` at 16 bits, 44.1 kHz: mono, or stereo after `silentSeconds` of silence.
void writeTone(const std::filesystem::path& file, int channels, double silentSeconds,
               double seconds, double hertz = 440, double amplitude = 8000) {
    SndfileSoundFiles files;
    auto writer = files.createWriter(file, channels);
    const auto silent = static_cast<std::size_t>(silentSeconds * 44100);
    const auto total = silent + static_cast<std::size_t>(seconds * 44100);
    std::vector<std::int16_t> samples(total * channels, 0);
    for (std::size_t i = silent; i < total; ++i) {
        const auto value =
            static_cast<std::int16_t>(amplitude * std::sin(2 * M_PI * hertz * i / 44100.0));
        for (int c = 0; c < channels; ++c) {
            samples[i * channels + c] = value;
        }
    }
    writer->write(samples.data(), static_cast<int>(total));
}

// Tunes 1 to 3 in category A of the regular program, each a tone of `fileSeconds` with its end
// mark at `eomSeconds`.
void addTunes(test::FillData& data, int fileSeconds, int eomSeconds) {
    for (int number = 1; number <= 3; ++number) {
        data.addMusic(number, "Tune " + std::to_string(number), "Band " + std::to_string(number),
                      "A", eomSeconds);
        writeTone(data.music.wavePath(number), 1, 0, fileSeconds);
    }
    data.program("A");
}

// A station armed at start-up with the given dead-air delay: the live pass-through on
// "Virtual Out 0", fill player 1 on "Virtual Out 1", player 2 on "Virtual Out 2".
void setUpStation(test::FillData& data, int deadAirSeconds) {
    std::vector<std::int32_t> records(72, 0);
    records[0] = deadAirSeconds;
    records[4] = 1;    // Out1Device
    records[5] = 2;    // Out2Device
    records[6] = 100;  // threshold
    records[71] = 1;   // AutoRun
    test::writeFile(data.paths.dataFile("DXParams.dat"),
                    std::string(reinterpret_cast<const char*>(records.data()), 4 * 72));
    test::writeFile(data.paths.programFile("User.dat"), "operator\r\nsecret\r\n");
}

// Runs the program on the station for `seconds`, then ends it with SIGTERM. `feed` is the
// virtual input's file (none: silence); `prefix` goes in front of the command (faketime).
void runProgram(test::FillData& data, int seconds, const std::filesystem::path& feed = {},
                const std::string& prefix = {}) {
    std::string command = "timeout --preserve-status -s TERM " + std::to_string(seconds) + " " +
                          prefix + " " + DORVEXIA_PROGRAM + " -platform offscreen --data-root '" +
                          data.root.path().string() + "' --audio virtual --virtual-output-dir '" +
                          (data.root.path() / "out").string() + "'";
    if (!feed.empty()) {
        command += " --virtual-input '" + feed.string() + "'";
    }
    const int status = std::system((command + " >/dev/null 2>&1").c_str());
    ASSERT_TRUE(WIFEXITED(status)) << status;
    ASSERT_EQ(WEXITSTATUS(status), 0) << "the program did not end cleanly on SIGTERM";
}

std::filesystem::path output(test::FillData& data, int device) {
    return data.root.path() / "out" / ("out" + std::to_string(device) + ".wav");
}

// The alarm log of one day ("261207"), or every day's in date order when `date` is empty.
std::string alarmLog(test::FillData& data, const std::string& date = {}) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(data.paths.logsFolder())) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("AL" + date, 0) == 0) {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    std::string text;
    for (const auto& file : files) {
        text += test::fileText(file);
    }
    return text;
}

std::size_t occurrences(const std::string& text, const std::string& what) {
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++count;
    }
    return count;
}

TEST(ProgramFill, ASilentFeedIsFilledWithTheLibrarysMusic) {
    test::FillData data;
    data.addMusic(1, "Morning Tune", "House Band", "A", 60);
    data.program("A");
    writeTone(data.music.wavePath(1), 1, 0, 60);
    setUpStation(data, 2);
    runProgram(data, 10);

    // The live output carries the silent feed; the fill output the tune once the silence has
    // lasted the delay.
    EXPECT_TRUE(loudStretches(output(data, 0)).empty());
    const auto fill = loudStretches(output(data, 1));
    ASSERT_EQ(fill.size(), 1u);
    EXPECT_GT(fill[0].seconds(), 5);
    const std::string playlist = test::fileText(data.paths.logsFolder() / "Playlist.txt");
    EXPECT_NE(playlist.find("Morning Tune"), std::string::npos) << playlist;
}

// Tunes of 4 s in 32-bit float at 44.1 kHz, 24-bit at 48 kHz and mono 16-bit at 22.05 kHz
// play one after the other on the two players: each is heard whole, at its own level.
TEST(ProgramFill, MusicInAnyFileFormatIsHeardWholeAtItsLevel) {
    test::FillData data;
    struct Tune {
        const char* format;  // sox options of the file
        double volume;
    };
    const Tune tunes[] = {{"-e floating-point -b 32 -r 44100 -c 2", 0.5},
                          {"-e signed-integer -b 24 -r 48000 -c 2", 0.25},
                          {"-e signed-integer -b 16 -r 22050 -c 1", 0.35}};
    for (int number = 1; number <= 3; ++number) {
        const Tune& tune = tunes[number - 1];
        data.addMusic(number, "Tune " + std::to_string(number), "Band " + std::to_string(number),
                      "A", 4);
        const std::string make = "sox -D -n " + std::string(tune.format) + " -t wav '" +
                                 data.music.wavePath(number).string() + "' synth 4 sine " +
                                 std::to_string(300 + 100 * number) + " vol " +
                                 std::to_string(tune.volume);
        ASSERT_EQ(std::system(make.c_str()), 0) << make;
    }
    data.program("A");
    setUpStation(data, 2);
    runProgram(data, 18);

    // Player 1 plays tunes 1 and 3, player 2 tune 2 (then tune 1 begins again).
    const auto one = loudStretches(output(data, 1));
    const auto two = loudStretches(output(data, 2));
    ASSERT_GE(one.size(), 2u);
    ASSERT_GE(two.size(), 1u);
    const Stretch heard[] = {one[0], two[0], one[1]};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(tunes[i].format);
        EXPECT_NEAR(heard[i].seconds(), 4.0, 0.05);
        EXPECT_NEAR(decibels(heard[i].peak, static_cast<int>(32768 * tunes[i].volume)), 0, 0.5);
    }
}

// Tunes 10 s long whose end mark is at 5 s: the second starts while the first still sounds.
// Sound returns during the second; when the first one's tail ends, the second must play on to
// its own end before the fill ends and the live feed comes back.
TEST(ProgramFill, AnOlderItemsTailEndingDoesNotCutTheItemPlaying) {
    test::FillData data;
    addTunes(data, 10, 5);
    const auto feed = data.root.path() / "feed.wav";
    writeTone(feed, 2, 9, 25, 1000);
    setUpStation(data, 2);
    runProgram(data, 27, feed);

    const auto second = loudStretches(output(data, 2));
    ASSERT_EQ(second.size(), 1u);
    EXPECT_GT(second[0].seconds(), 9.9);  // the whole tune
    const std::string log = alarmLog(data);
    EXPECT_EQ(occurrences(log, ">>End Fill<<"), 1u) << log;
    const std::string playlist = test::fileText(data.paths.logsFolder() / "Playlist.txt");
    EXPECT_EQ(occurrences(playlist, "\n"), 2u) << playlist;
    // The feed is back on air after the fill.
    const auto live = loudStretches(output(data, 0));
    ASSERT_FALSE(live.empty());
    EXPECT_GT(live.back().seconds(), 3);
}

// The program's clock starts at 23:59:48. The feed is silent for 20 s, then sounds: the fill
// starts before midnight, its items run over midnight, and after midnight the fill ends and
// the live feed returns, logged in the new day's file.
TEST(ProgramFill, ASilenceAcrossMidnightIsFilledAndTheLiveFeedComesBack) {
    test::FillData data;
    addTunes(data, 7, 7);
    const auto feed = data.root.path() / "feed.wav";
    writeTone(feed, 2, 20, 15, 1000);
    setUpStation(data, 2);
    // libfaketime, preloaded into the program itself so that SIGTERM reaches it.
    runProgram(data, 32, feed,
               "env LD_PRELOAD=\"$(ls /usr/lib/*/faketime/libfaketime.so.1 | head -1)\" "
               "FAKETIME='@2026-12-07 23:59:48'");

    const std::string before = alarmLog(data, "261207");
    const std::string after = alarmLog(data, "261208");
    EXPECT_NE(before.find("Alarm "), std::string::npos) << before;
    EXPECT_NE(before.find("Tune 1"), std::string::npos) << before;
    EXPECT_NE(after.find("Alarm End"), std::string::npos) << after;
    EXPECT_NE(after.find(">>End Fill<<"), std::string::npos) << after;
    EXPECT_NE(after.find(" Audio\r\n"), std::string::npos) << after;
    const auto live = loudStretches(output(data, 0));
    ASSERT_FALSE(live.empty());
    EXPECT_GT(live.back().seconds(), 2);
}

}  // namespace
}  // namespace dvx
