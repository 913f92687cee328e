#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "common/io_error.h"
#include "common/simulated_clock.h"
#include "platform/audio_event_pump.h"
#include "platform/sndfile_sound_files.h"
#include "platform/virtual_audio_backend.h"
#include "support/temp_folder.h"

namespace dvx::test {

// Interleaved 16-bit samples with their layout.
struct Sound {
    int channels = 2;
    int sampleRate = 44100;
    std::vector<std::int16_t> samples;
    std::size_t frames() const { return samples.size() / static_cast<std::size_t>(channels); }
};

// `frames` frames of a sine of `hertz`, the same on every channel.
Sound sine(double hertz, int frames, int amplitude, int channels = 2, int sampleRate = 44100);
// `frames` frames of the same value on every channel.
Sound constant(std::int16_t value, int frames, int channels = 2);
// `a` followed by `b` (same layout).
Sound joined(const Sound& a, const Sound& b);

// Writes with libsndfile directly, at any rate (the program's writer only writes 44100 Hz).
void writeSound(const std::filesystem::path& path, const Sound& sound);
// Reads a whole file as it is, without conversion.
Sound readSound(const std::filesystem::path& path);
// Writes `sound` in a libsndfile format (0: MPEG layer II through twolame), an MP3 at a variable
// bit rate when asked, with a title and an artist where given.
void writeEncoded(const std::filesystem::path& path, const Sound& sound, int format,
                  bool variableRate = false, const std::string& title = "",
                  const std::string& artist = "");

// Devices whose callbacks a test calls itself, on its own thread, while background work runs
// on worker threads as it does with real devices. Remembers the last sink and source opened.
class HandDrivenBackend : public AudioBackend {
  public:
    std::string name() const override { return "by hand"; }
    std::vector<std::string> inputDeviceNames() const override { return {"in"}; }
    std::vector<std::string> outputDeviceNames() const override { return {"a", "b", "c"}; }
    std::unique_ptr<AudioStream> openInput(int device, int channels, CaptureSink& sink) override;
    std::unique_ptr<AudioStream> openOutput(int device, int channels,
                                            RenderSource& source) override;
    std::unique_ptr<BackgroundWork> startBackgroundWork(std::function<bool()> work) override;

    CaptureSink* lastSink = nullptr;
    RenderSource* lastSource = nullptr;
};

// Writes a 44100 Hz sound with the program's own WAV writer.
void writeWithProgramWriter(SoundFiles& files, const std::filesystem::path& path,
                            const Sound& sound);

// Sound files whose writers fail as on a full disk once `room` frames are written (-1: never).
class FullDiskFiles : public SndfileSoundFiles {
  public:
    std::unique_ptr<SoundWriter> createWriter(const std::filesystem::path& path,
                                              int channels) override {
        class Writer : public SoundWriter {
          public:
            Writer(std::unique_ptr<SoundWriter> writer, std::int64_t room)
                : m_writer(std::move(writer)), m_room(room) {}
            int channels() const override { return m_writer->channels(); }
            void write(const std::int16_t* samples, int frames) override {
                if (m_room >= 0 && (m_room -= frames) < 0) {
                    throw IoError("The sound file cannot be written: No space left on device");
                }
                m_writer->write(samples, frames);
            }
            void flush() override { m_writer->flush(); }
            void truncate(std::int64_t frames) override { m_writer->truncate(frames); }

          private:
            std::unique_ptr<SoundWriter> m_writer;
            std::int64_t m_room;
        };
        return std::make_unique<Writer>(SndfileSoundFiles::createWriter(path, channels), room);
    }
    std::int64_t room = 44100;
};

// Virtual devices under a simulated clock with an event pump: the set-up of the signal-path
// tests. The output folder is the temporary folder; a feed is written there as feed.wav.
struct VirtualRig {
    VirtualRig();
    explicit VirtualRig(const Sound& feed, bool loopFeed = false);

    TempFolder folder;
    SimulatedClock clock{2026, 3, 2, 12 * 3600.0};
    SndfileSoundFiles files;
    std::unique_ptr<VirtualAudioBackend> backend;
    std::unique_ptr<AudioEventPump> pump;

    Sound output(int index) const { return readSound(backend->outputFile(index)); }
    void advance(double seconds) { clock.advanceSeconds(seconds); }
};

}  // namespace dvx::test
