#include "library/normalize.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "common/io_error.h"
#include "common/time_text.h"

namespace dvx {
namespace {

constexpr int kChunkFrames = 16384;

// Reads the whole file through `take`, a chunk at a time.
template <typename Take>
void readAll(SoundReader& reader, Take&& take) {
    std::vector<std::int16_t> chunk(static_cast<std::size_t>(kChunkFrames) * reader.channels());
    for (;;) {
        const int got = reader.read(chunk.data(), kChunkFrames);
        take(chunk.data(), got);
        if (got < kChunkFrames) {
            return;
        }
    }
}

}  // namespace

int normalizePercent(int Slider) {
    return roundHalfEven(static_cast<double>(Slider) / kNormalizeFullScale * 100.0);
}

std::string normalizeLevelText(int Slider) {
    if (Slider <= 0) {
        return "Off";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.2f dB",
                  20.0 * std::log10(static_cast<double>(Slider) / kNormalizeFullScale));
    return text;
}

NormalizeOutcome NormalizeFile(SoundFiles& files, const std::filesystem::path& path, int percent) {
    NormalizeOutcome outcome;
    if (percent < 1 || percent > 100) {
        outcome.message = percent < 1 ? "Normalising to 0 % would silence the spot; choose a "
                                        "level from 1 to 100 % of full scale."
                                      : "Choose a level from 1 to 100 % of full scale.";
        return outcome;
    }
    std::filesystem::path partial;
    try {
        std::unique_ptr<SoundReader> reader = files.openReader(path, 2);
        const int channels = reader->sourceChannels() == 1 ? 1 : 2;
        reader = files.openReader(path, channels);
        const std::int64_t frames = reader->frames();
        readAll(*reader, [&](const std::int16_t* samples, int got) {
            for (std::size_t i = 0; i < static_cast<std::size_t>(got) * channels; ++i) {
                outcome.peakBefore = std::max(outcome.peakBefore, std::abs(int{samples[i]}));
            }
        });
        if (outcome.peakBefore == 0) {
            outcome.message = "The sound file " + path.string() +
                              " is silent: there is nothing to normalise. It was left as it was.";
            return outcome;
        }
        const double target = std::round(percent / 100.0 * 32767.0);
        const double gain = target / outcome.peakBefore;

        std::string name = path.string() + ".XXXXXX.partial";
        const int fd = ::mkstemps(name.data(), 8);
        if (fd < 0) {
            throw IoError("Cannot create a file beside", path, errno);
        }
        ::close(fd);
        partial = name;
        std::error_code ignored;
        std::filesystem::permissions(partial, std::filesystem::status(path).permissions(), ignored);
        {
            std::unique_ptr<SoundWriter> writer = files.createWriter(partial, channels);
            reader->seek(0);
            std::vector<std::int16_t> scaled;
            std::int64_t written = 0;
            readAll(*reader, [&](const std::int16_t* samples, int got) {
                scaled.resize(static_cast<std::size_t>(got) * channels);
                for (std::size_t i = 0; i < scaled.size(); ++i) {
                    const double value =
                        std::clamp(std::round(samples[i] * gain), -32768.0, 32767.0);
                    scaled[i] = static_cast<std::int16_t>(value);
                    outcome.peakAfter = std::max(outcome.peakAfter, std::abs(int{scaled[i]}));
                }
                writer->write(scaled.data(), got);
                written += got;
            });
            if (written != frames) {
                throw IoError("The sound file " + path.string() + " could not be read to its end");
            }
            writer->flush();
        }
        std::filesystem::rename(partial, path);
    } catch (const std::exception& error) {
        if (!partial.empty()) {
            std::error_code ignored;
            std::filesystem::remove(partial, ignored);
        }
        outcome.message = std::string(error.what()) + "  " + path.string() + " was left as it was.";
        outcome.peakAfter = 0;
        return outcome;
    }
    outcome.done = true;
    return outcome;
}

}  // namespace dvx
