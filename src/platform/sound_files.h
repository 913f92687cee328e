#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

namespace dvx {

// What a sound file says about itself where its format carries it (ID3 tags of an MP3, the
// INFO chunk of a WAV), as the file spells it; empty where it says nothing.
struct SoundTags {
    std::string title;
    std::string artist;
    std::string album;
};

// A sound file read as frames of the working format: 16-bit, 44100 Hz, interleaved, with the
// channel count asked for (a mono file is duplicated to stereo, a stereo one averaged to
// mono). Not for the audio callback: reading may allocate and wait for the disk. One thread
// at a time.
class SoundReader {
  public:
    virtual ~SoundReader() = default;
    virtual int channels() const = 0;
    // Length in frames at 44100 Hz (for a resampled file, the source length scaled).
    virtual std::int64_t frames() const = 0;
    // Reads up to `frames` frames into `out`; fewer only at the end of the file or after a
    // read error, 0 from then on.
    virtual int read(std::int16_t* out, int frames) = 0;
    // Goes to a frame; past the end means at the end.
    virtual void seek(std::int64_t frame) = 0;
    // The file's own channel count, before the mapping to channels().
    virtual int sourceChannels() const { return channels(); }
    virtual SoundTags tags() const { return {}; }
};

// A WAV file being written: 16-bit PCM, 44100 Hz. Its header is kept valid after every write,
// so the file can be read while it grows. Same thread rules as SoundReader.
class SoundWriter {
  public:
    virtual ~SoundWriter() = default;
    virtual int channels() const = 0;
    virtual void write(const std::int16_t* samples, int frames) = 0;  // throws IoError
    virtual void flush() = 0;                                         // to the disk; throws IoError
    // Cuts the file to its first `frames` frames; later writes follow them. Throws IoError.
    virtual void truncate(std::int64_t frames) = 0;
};

// Opens sound files. Every failure throws IoError with a message naming the file.
class SoundFiles {
  public:
    virtual ~SoundFiles() = default;
    virtual std::unique_ptr<SoundReader> openReader(const std::filesystem::path& path,
                                                    int channels) = 0;
    // Creates the file, replacing any file of that name.
    virtual std::unique_ptr<SoundWriter> createWriter(const std::filesystem::path& path,
                                                      int channels) = 0;
};

}  // namespace dvx
