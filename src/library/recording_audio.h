#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <limits>

#include "platform/wave_helper.h"

namespace dvx {

// What a recording records: a 16-bit 44100 Hz WAV file of `channels` channels (1 or 2) from
// the input device `device` (a position in the list of input devices).
struct RecordingTarget {
    std::filesystem::path file;
    int device = 0;
    int channels = 2;
};

// The recording chain a library window records through (`WaveIn` -> `Gain` -> `WaveFile`, with
// the buffer utility's peaks): the input, the file it writes and the gain. The platform's
// WaveRecorder implements it; tests may script it.
//
// Threads: main thread only; the buffer handler runs there too, once per captured buffer, in
// the order the buffers were captured.
class RecordingAudio {
  public:
    static constexpr int kNoSoundStart = std::numeric_limits<int>::min();
    static constexpr int kUnityGain = 16384;

    virtual ~RecordingAudio() = default;

    // Called with the peaks of every buffer while the input runs, as the file hears them (a
    // stereo capture mixed down for a mono file), before the gain.
    virtual void setBufferHandler(std::function<void(Peaks)> handler) = 0;

    // Creates the file (replacing one of that name) and starts the input; nothing is written
    // yet, but the buffers reach the handler from now on. Throws (IoError, AudioError) with a
    // message for the error window, leaving everything closed.
    virtual void open(const RecordingTarget& target) = 0;
    // Writing begins now.
    virtual void startWriting() = 0;
    // While not writing: writing begins by itself with the first buffer whose peaks are louder
    // than `threshold` (WaveHelper::louderThan), that buffer included, so the sound that starts
    // the recording is kept. kNoSoundStart: no buffer starts it.
    virtual void setSoundStart(int threshold) = 0;
    // Stops the input and closes the file. Throws IoError when a write failed; everything is
    // closed all the same.
    virtual void close() = 0;
    // Since open(): a write failed (a full disk) or the input device was lost or stalled.
    virtual bool hasFailed() const = 0;
    // Frames in the file, final once it is closed.
    virtual std::int64_t framesWritten() const = 0;

    // `Gain`: 0 silent .. 16384 unity; reads back as set.
    virtual void setGain(int volume) = 0;
    virtual int gain() const = 0;
};

}  // namespace dvx
