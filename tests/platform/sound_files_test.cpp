#include <gtest/gtest.h>
#include <sndfile.h>

#include <cstdlib>

#include "audio_test_support.h"
#include "common/io_error.h"
#include "platform/sndfile_sound_files.h"

namespace dvx {
namespace {

using test::Sound;

std::vector<std::int16_t> readAll(SoundReader& reader) {
    std::vector<std::int16_t> samples;
    std::vector<std::int16_t> chunk(1000 * static_cast<std::size_t>(reader.channels()));
    for (;;) {
        const int got = reader.read(chunk.data(), 1000);
        samples.insert(samples.end(), chunk.begin(), chunk.begin() + got * reader.channels());
        if (got < 1000) {
            return samples;
        }
    }
}

// Rises from below -1000 to above +1000 on the first channel: one per cycle of a sine,
// whatever noise a lossy codec adds around zero.
int risingCrossings(const std::vector<std::int16_t>& samples, int channels) {
    int crossings = 0;
    bool low = false;
    for (std::size_t i = 0; i < samples.size(); i += static_cast<std::size_t>(channels)) {
        if (samples[i] < -1000) {
            low = true;
        } else if (low && samples[i] > 1000) {
            low = false;
            ++crossings;
        }
    }
    return crossings;
}

TEST(SoundFiles, WavWrittenByTheProgramReadsBackSampleForSample) {
    test::TempFolder folder;
    SndfileSoundFiles files;
    const Sound sound = test::sine(1000, 5000, 20000);
    const auto path = folder.path() / "tone.wav";
    test::writeWithProgramWriter(files, path, sound);

    const Sound onDisk = test::readSound(path);
    EXPECT_EQ(onDisk.sampleRate, 44100);
    EXPECT_EQ(onDisk.channels, 2);
    EXPECT_EQ(onDisk.samples, sound.samples);

    auto reader = files.openReader(path, 2);
    EXPECT_EQ(reader->frames(), 5000);
    EXPECT_EQ(readAll(*reader), sound.samples);
    reader->seek(4000);
    std::vector<std::int16_t> tail(4000);
    EXPECT_EQ(reader->read(tail.data(), 2000), 1000);
    EXPECT_EQ(tail[0], sound.samples[8000]);

    // The same file asked for in mono: the two equal channels averaged.
    auto mono = files.openReader(path, 1);
    const std::vector<std::int16_t> monoSamples = readAll(*mono);
    ASSERT_EQ(monoSamples.size(), 5000u);
    EXPECT_EQ(monoSamples[123], sound.samples[246]);
}

TEST(SoundFiles, WavBeingWrittenIsReadableAtEveryMoment) {
    test::TempFolder folder;
    SndfileSoundFiles files;
    const auto path = folder.path() / "growing.wav";
    auto writer = files.createWriter(path, 2);
    const Sound block = test::constant(77, 1024);
    for (int i = 1; i <= 3; ++i) {
        writer->write(block.samples.data(), 1024);
        const Sound sofar = test::readSound(path);  // header and data agree, writer still open
        EXPECT_EQ(sofar.frames(), 1024u * i);
        EXPECT_EQ(sofar.samples.back(), 77);
    }
}

TEST(SoundFiles, OtherRatesAreResampledAndMonoIsDuplicated) {
    test::TempFolder folder;
    SndfileSoundFiles files;
    const auto path = folder.path() / "low.wav";
    test::writeSound(path, test::sine(440, 22050, 10000, 1, 22050));  // 1 s, mono, 22050 Hz

    auto reader = files.openReader(path, 2);
    EXPECT_EQ(reader->channels(), 2);
    EXPECT_EQ(reader->frames(), 44100);
    const std::vector<std::int16_t> samples = readAll(*reader);
    EXPECT_NEAR(static_cast<double>(samples.size()) / 2, 44100, 64);
    bool channelsEqual = true;
    for (std::size_t i = 0; i + 1 < samples.size(); i += 2) {
        channelsEqual = channelsEqual && samples[i] == samples[i + 1];
    }
    EXPECT_TRUE(channelsEqual);
    EXPECT_NEAR(risingCrossings(samples, 2), 440, 2);  // the pitch is kept

    reader->seek(22050);  // half way, in output frames
    std::vector<std::int16_t> rest(2 * 44100);
    EXPECT_NEAR(reader->read(rest.data(), 44100), 22050, 64);
}

TEST(SoundFiles, MpegLayerThreeIsReadWhereLibsndfileHasIt) {
    SF_INFO probe{};
    probe.samplerate = 44100;
    probe.channels = 2;
    probe.format = SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
    if (!sf_format_check(&probe)) {
        GTEST_SKIP() << "this libsndfile has no MPEG support";
    }
    test::TempFolder folder;
    const auto path = folder.path() / "tone.mp3";
    const Sound tone = test::sine(1000, 44100, 12000);
    std::vector<float> floats(tone.samples.begin(), tone.samples.end());
    for (float& sample : floats) {
        sample /= 32768;  // libsndfile 1.2.0 encodes MPEG correctly from floats only
    }
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &probe);
    ASSERT_NE(file, nullptr);
    sf_writef_float(file, floats.data(), 44100);
    sf_close(file);

    SndfileSoundFiles files;
    auto reader = files.openReader(path, 2);
    const std::vector<std::int16_t> samples = readAll(*reader);
    EXPECT_NEAR(static_cast<double>(samples.size()) / 2, 44100, 3000);  // encoder padding
    EXPECT_NEAR(risingCrossings(samples, 2), 1000, 20);
}

TEST(SoundFiles, FailuresNameTheFile) {
    test::TempFolder folder;
    SndfileSoundFiles files;
    const auto missing = folder.path() / "missing.wav";
    try {
        files.openReader(missing, 2);
        FAIL() << "no error";
    } catch (const IoError& error) {
        EXPECT_NE(std::string(error.what()).find("missing.wav"), std::string::npos);
    }
    test::writeFile(folder.path() / "text.wav", "not a sound file at all");
    EXPECT_THROW(files.openReader(folder.path() / "text.wav", 2), IoError);
    EXPECT_THROW(files.createWriter(folder.path() / "no folder" / "x.wav", 2), IoError);
}

}  // namespace
}  // namespace dvx
