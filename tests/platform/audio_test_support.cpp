#include "audio_test_support.h"

#include "platform/threaded_background_work.h"

#include <sndfile.h>

#include <cmath>
#include <cstdlib>
#include <numbers>
#include <stdexcept>

namespace dvx::test {

Sound sine(double hertz, int frames, int amplitude, int channels, int sampleRate) {
    Sound sound{channels, sampleRate, {}};
    for (int i = 0; i < frames; ++i) {
        const double phase = 2 * std::numbers::pi * hertz * i / sampleRate;
        const auto value = static_cast<std::int16_t>(std::lround(amplitude * std::sin(phase)));
        for (int c = 0; c < channels; ++c) {
            sound.samples.push_back(value);
        }
    }
    return sound;
}

Sound constant(std::int16_t value, int frames, int channels) {
    return {channels, 44100,
            std::vector<std::int16_t>(static_cast<std::size_t>(frames) * channels, value)};
}

Sound joined(const Sound& a, const Sound& b) {
    Sound sound = a;
    sound.samples.insert(sound.samples.end(), b.samples.begin(), b.samples.end());
    return sound;
}

void writeSound(const std::filesystem::path& path, const Sound& sound) {
    SF_INFO info{};
    info.samplerate = sound.sampleRate;
    info.channels = sound.channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr) {
        throw std::runtime_error("cannot write " + path.string());
    }
    sf_writef_short(file, sound.samples.data(), static_cast<sf_count_t>(sound.frames()));
    sf_close(file);
}

Sound readSound(const std::filesystem::path& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) {
        throw std::runtime_error("cannot read " + path.string() + ": " + sf_strerror(nullptr));
    }
    Sound sound{info.channels, info.samplerate, {}};
    sound.samples.resize(static_cast<std::size_t>(info.frames * info.channels));
    sf_readf_short(file, sound.samples.data(), info.frames);
    sf_close(file);
    return sound;
}

namespace {

class HandDrivenStream : public AudioStream {
  public:
    void start() override { m_running = true; }
    void stop() override { m_running = false; }
    bool isRunning() const override { return m_running; }
    bool hasFailed() const override { return false; }
    StreamStats stats() const override { return {}; }  // the test calls the callbacks itself

  private:
    bool m_running = false;
};

}  // namespace

std::unique_ptr<AudioStream> HandDrivenBackend::openInput(int, int, CaptureSink& sink) {
    lastSink = &sink;
    return std::make_unique<HandDrivenStream>();
}

std::unique_ptr<AudioStream> HandDrivenBackend::openOutput(int, int, RenderSource& source) {
    lastSource = &source;
    return std::make_unique<HandDrivenStream>();
}

std::unique_ptr<BackgroundWork> HandDrivenBackend::startBackgroundWork(std::function<bool()> work) {
    return std::make_unique<ThreadedBackgroundWork>(std::move(work));
}

// Writes `sound` in a libsndfile format (0: MPEG layer II through twolame), an MP3 at a variable
// bit rate when asked, with a title and an artist where given.
void writeEncoded(const std::filesystem::path& path, const Sound& sound, int format,
                  bool variableRate, const std::string& title, const std::string& artist) {
    SF_INFO info{};
    info.samplerate = sound.sampleRate;
    info.channels = sound.channels;
    info.format = format != 0 ? format : SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    const std::filesystem::path target =
        format != 0 ? path : std::filesystem::path(path.string() + ".source.wav");
    SNDFILE* file = sf_open(target.c_str(), SFM_WRITE, &info);
    if (file == nullptr) {
        throw std::runtime_error("cannot write " + target.string() + ": " + sf_strerror(nullptr));
    }
    if (variableRate) {
        int mode = SF_BITRATE_MODE_VARIABLE;
        sf_command(file, SFC_SET_BITRATE_MODE, &mode, sizeof mode);
    }
    if (!title.empty()) {
        sf_set_string(file, SF_STR_TITLE, title.c_str());
        sf_set_string(file, SF_STR_ARTIST, artist.c_str());
    }
    // As doubles: libsndfile 1.2's MP3 encoder garbles 16-bit writes.
    std::vector<double> samples(sound.samples.begin(), sound.samples.end());
    for (double& sample : samples) {
        sample /= 32768.0;
    }
    sf_writef_double(file, samples.data(), static_cast<sf_count_t>(sound.frames()));
    sf_close(file);
    if (format == 0) {
        const std::string command = "twolame --quiet -b 192 '" + target.string() + "' '" +
                                    path.string() + "' && rm '" + target.string() + "'";
        if (std::system(command.c_str()) != 0) {
            throw std::runtime_error("twolame failed (scripts/install-deps installs it)");
        }
    }
}

void writeWithProgramWriter(SoundFiles& files, const std::filesystem::path& path,
                            const Sound& sound) {
    auto writer = files.createWriter(path, sound.channels);
    writer->write(sound.samples.data(), static_cast<int>(sound.frames()));
}

VirtualRig::VirtualRig() {
    backend =
        std::make_unique<VirtualAudioBackend>(clock, files, VirtualAudioConfig{{}, folder.path()});
    pump = std::make_unique<AudioEventPump>(clock);
}

VirtualRig::VirtualRig(const Sound& feed, bool loopFeed) {
    const std::filesystem::path feedFile = folder.path() / "feed.wav";
    writeWithProgramWriter(files, feedFile, feed);
    backend = std::make_unique<VirtualAudioBackend>(
        clock, files, VirtualAudioConfig{feedFile, folder.path(), loopFeed});
    pump = std::make_unique<AudioEventPump>(clock);
}

}  // namespace dvx::test
