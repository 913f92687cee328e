// Writes the sources of the import benchmark (bench/import_vs_ffmpeg.sh): `count` MP3 files of
// `seconds` seconds of stereo sound at 44.1 kHz, each different (a chord whose notes move,
// over a little noise), sound from the first sample to the last, half at a constant and half at
// a variable bit rate.
//
//   make_test_mp3s FOLDER [count] [seconds] [first]

#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <numbers>
#include <random>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_test_mp3s FOLDER [count] [seconds] [first]\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    const int count = argc > 2 ? std::atoi(argv[2]) : 100;
    const int seconds = argc > 3 ? std::atoi(argv[3]) : 180;
    const int first = argc > 4 ? std::atoi(argv[4]) : 1;
    std::filesystem::create_directories(folder);
    constexpr int kRate = 44100;
    for (int n = first; n < first + count; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "song%03d.mp3", n);
        const auto path = folder / name;
        SF_INFO info{};
        info.samplerate = kRate;
        info.channels = 2;
        info.format = SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
        SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
        if (file == nullptr) {
            std::fprintf(stderr, "%s: %s\n", path.c_str(), sf_strerror(nullptr));
            return 1;
        }
        int mode = n % 2 == 0 ? SF_BITRATE_MODE_VARIABLE : SF_BITRATE_MODE_CONSTANT;
        sf_command(file, SFC_SET_BITRATE_MODE, &mode, sizeof mode);
        std::mt19937 noise(static_cast<unsigned>(n));
        std::uniform_real_distribution<double> hiss(-0.02, 0.02);
        std::vector<double> block(2 * kRate);
        const double root = 110.0 * std::pow(2.0, (n % 24) / 12.0);
        for (int second = 0; second < seconds; ++second) {
            const double step = std::pow(2.0, (second / 4 % 5) / 12.0);
            for (int i = 0; i < kRate; ++i) {
                const double t = second + static_cast<double>(i) / kRate;
                double value = 0;
                for (const double ratio : {1.0, 1.25, 1.5, 2.0}) {
                    value += 0.12 * std::sin(2 * std::numbers::pi * root * step * ratio * t);
                }
                block[2 * i] = value + hiss(noise);
                block[2 * i + 1] = 0.8 * value + hiss(noise);
            }
            sf_writef_double(file, block.data(), kRate);
        }
        sf_close(file);
    }
    return 0;
}
