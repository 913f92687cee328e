#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <string>

#include "audio_test_support.h"
#include "common/io_error.h"
#include "platform/sndfile_reader.h"
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

// One kind of sound file: a second of 1 kHz tone, the left channel at half of full scale
// (-6 dBFS), the right at a quarter (-12 dBFS); a mono file has the left channel's level. A file
// of more than two channels carries a louder 3 kHz tone on the others, which must not be heard.
struct FileKind {
    const char* name;
    int format;  // libsndfile's; 0: MPEG layer II, made by twolame from a 16-bit WAV
    int sampleRate;
    int channels;
    const char* extension;
};

void PrintTo(const FileKind& kind, std::ostream* out) {
    *out << kind.name;
}

constexpr double kLeft = 0.5;
constexpr double kRight = 0.25;

void writeKind(const std::filesystem::path& path, const FileKind& kind) {
    Sound sound{kind.channels, kind.sampleRate, {}};
    for (int i = 0; i < kind.sampleRate; ++i) {
        const double phase = 2 * M_PI * 1000.0 * i / kind.sampleRate;
        for (int c = 0; c < kind.channels; ++c) {
            const double amplitude = c == 0 ? kLeft : c == 1 ? kRight : 0.9;
            sound.samples.push_back(
                static_cast<std::int16_t>(32768 * amplitude * std::sin(c < 2 ? phase : 3 * phase)));
        }
    }
    test::writeEncoded(path, sound, kind.format);
}

// The level of a 1 kHz sine on one channel, in dB relative to a full-scale sine.
double sineLevelDb(const std::vector<std::int16_t>& stereo, int channel) {
    const std::size_t frames = stereo.size() / 2;
    double sum = 0;
    for (std::size_t i = frames / 5; i < frames * 4 / 5; ++i) {  // away from the edges
        sum += static_cast<double>(stereo[2 * i + channel]) * stereo[2 * i + channel];
    }
    const double rms = std::sqrt(sum / static_cast<double>(frames * 3 / 5));
    return 20 * std::log10(rms / (32768 / std::sqrt(2.0)));
}

class SoundFileKinds : public ::testing::TestWithParam<FileKind> {};

TEST_P(SoundFileKinds, AreHeardAtTheirLevelAndLength) {
    const FileKind& kind = GetParam();
    test::TempFolder folder;
    const auto path = folder.path() / (std::string("tone.") + kind.extension);
    writeKind(path, kind);

    SndfileSoundFiles files;
    auto reader = files.openReader(path, 2);
    const std::vector<std::int16_t> samples = readAll(*reader);
    const double expectedRight = kind.channels == 1 ? kLeft : kRight;
    EXPECT_NEAR(sineLevelDb(samples, 0), 20 * std::log10(kLeft), 0.5);
    EXPECT_NEAR(sineLevelDb(samples, 1), 20 * std::log10(expectedRight), 0.5);
    EXPECT_NEAR(risingCrossings(samples, 2), 1000, 20);  // the pitch is kept at 44100 Hz
    // One second, give or take an encoder's padding (25 ms).
    EXPECT_NEAR(static_cast<double>(samples.size()) / 2, 44100, 1103);
    EXPECT_NEAR(static_cast<double>(reader->frames()), 44100, 1103);
    if (kind.channels == 1) {
        bool same = true;  // one channel, on both sides
        for (std::size_t i = 0; i + 1 < samples.size(); i += 2) {
            same = same && samples[i] == samples[i + 1];
        }
        EXPECT_TRUE(same);
    }
    // Half way, in frames at 44100 Hz, whatever the file's own rate.
    reader->seek(22050);
    std::vector<std::int16_t> rest(2 * 44100);
    EXPECT_NEAR(reader->read(rest.data(), 44100), 44100 - 22050, 1103);
}

INSTANTIATE_TEST_SUITE_P(
    EveryEncoding, SoundFileKinds,
    ::testing::Values(
        FileKind{"Float", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 44100, 2, "wav"},
        FileKind{"FloatAt96k", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 96000, 2, "wav"},
        FileKind{"Double", SF_FORMAT_WAV | SF_FORMAT_DOUBLE, 44100, 2, "wav"},
        FileKind{"Unsigned8BitMono", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 22050, 1, "wav"},
        FileKind{"Pcm24At48k", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 48000, 2, "wav"},
        FileKind{"Pcm32SixChannels", SF_FORMAT_WAV | SF_FORMAT_PCM_32, 44100, 6, "wav"},
        FileKind{"ALawMono", SF_FORMAT_WAV | SF_FORMAT_ALAW, 8000, 1, "wav"},
        FileKind{"MuLawMono", SF_FORMAT_WAV | SF_FORMAT_ULAW, 8000, 1, "wav"},
        FileKind{"ImaAdpcm", SF_FORMAT_WAV | SF_FORMAT_IMA_ADPCM, 44100, 2, "wav"},
        FileKind{"MsAdpcmAt32k", SF_FORMAT_WAV | SF_FORMAT_MS_ADPCM, 32000, 2, "wav"},
        FileKind{"Au", SF_FORMAT_AU | SF_FORMAT_PCM_16, 44100, 2, "au"},
        FileKind{"SndMuLaw", SF_FORMAT_AU | SF_FORMAT_ULAW, 8000, 1, "snd"},
        FileKind{"Mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 44100, 2, "mp3"},
        FileKind{"Mp2At48k", 0, 48000, 2, "mp2"}),
    [](const ::testing::TestParamInfo<FileKind>& info) { return std::string(info.param.name); });

TEST(SoundFiles, FloatBeyondFullScaleIsClippedNotWrappedAndNaNIsSilence) {
    test::TempFolder folder;
    const auto path = folder.path() / "hot.wav";
    SF_INFO info{};
    info.samplerate = 44100;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    const std::vector<float> samples = {0.5f, 1.5f, -2.0f, 1.0f, -1.0f, NAN, -INFINITY};
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr);
    sf_writef_float(file, samples.data(), 7);
    sf_close(file);
    const std::vector<std::int16_t> expected = {16384, 32767, -32768, 32767, -32768, 0, -32768};

    SndfileSoundFiles files;
    auto reader = files.openReader(path, 1);
    std::vector<std::int16_t> read(7);
    ASSERT_EQ(reader->read(read.data(), 7), 7);
    EXPECT_EQ(read, expected);

    // The same file held in memory reads the same.
    const std::string bytes = test::fileText(path);
    SndfileReader inMemory({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()},
                           "hot.wav", 1);
    ASSERT_EQ(inMemory.read(read.data(), 7), 7);
    EXPECT_EQ(read, expected);
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
