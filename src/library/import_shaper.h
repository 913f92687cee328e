#pragma once

#include <cstdint>
#include <filesystem>
#include <limits>
#include <optional>
#include <vector>

#include "library/audio_hash.h"
#include "platform/sound_files.h"

namespace dvx {

inline constexpr int kImportBufferFrames = 1024;  // one preview buffer: 4096 bytes of stereo
inline constexpr int kLevelUnity = 16384;         // MMSliderX1 at unity gain
inline constexpr int kLevelMaximum = 32000;       // MMSliderX1's maximum

// Where the transferred part of a source ends.
enum class ImportEnd {
    SourceEnd,    // at the end of the source (no end mark)
    AtFrame,      // at `TransferPlan::endFrames` (an end mark)
    AfterStart,   // `endFrames` after the start (AutoStop: its time less the fade)
    ByThreshold,  // after the last buffer louder than the threshold (as a whole preview marks it)
};

// What a transfer takes from its source, in frames at 44100 Hz. The fade, when there is one,
// begins at the end and lasts `fadeFrames` (less where the source ends first).
struct TransferPlan {
    std::filesystem::path source;
    int channels = 2;  // of the file written: 1 for a mono source, else 2
    int threshold = 0;
    std::optional<std::int64_t> start;  // nothing: the first buffer louder than the threshold
    ImportEnd end = ImportEnd::SourceEnd;
    std::int64_t endFrames = 0;
    std::int64_t fadeFrames = 0;
    int level = kLevelUnity;  // the gain, 16384 = unity
};

// The sample work of a transfer between the source and the file written: buffers of the whole
// source go in, in order and from its first frame (so the hash covers all of it); the planned
// part comes out at the planned level with its fade. An end found by the threshold is known only
// once the source has ended: everything from the start is written as it comes, and finish()
// cuts the file after the last loud buffer and writes the fade again from a copy it kept. One
// thread at a time.
class ImportShaper {
  public:
    ImportShaper(const TransferPlan& plan, SoundWriter& writer);

    // One buffer of the source, at most kImportBufferFrames frames, the next in order.
    void take(const std::int16_t* samples, int frames);
    // The source has ended. Throws IoError (from the writer).
    void finish();

    std::int64_t framesWritten() const { return m_written; }
    // Frames of the fade that were written (short of the plan where the source ended first).
    std::int64_t fadeWritten() const { return m_fadeWritten; }
    bool anyLoud() const { return m_anyLoud; }
    int highestPeak() const { return m_highestPeak; }
    std::string hash() const { return m_hash.hex(); }

  private:
    void write(const std::int16_t* samples, std::int64_t from, std::int64_t frames, int level);
    double gainAt(std::int64_t frame) const;  // the fade's share at a frame of the source

    const TransferPlan m_plan;
    SoundWriter& m_writer;
    AudioHash m_hash;
    std::int64_t m_position = 0;              // frames of the source taken
    std::optional<std::int64_t> m_start;      // where writing began
    std::optional<std::int64_t> m_fadeStart;  // where the fade begins, once known
    std::int64_t m_stop = std::numeric_limits<std::int64_t>::max();  // where writing ends
    std::int64_t m_lastLoudEnd = 0;      // after the last loud buffer (ByThreshold)
    std::vector<std::int16_t> m_tail;    // written since then, up to a fade's length
    std::vector<std::int16_t> m_scaled;  // one buffer at the planned level
    std::int64_t m_written = 0;
    std::int64_t m_fadeWritten = 0;
    bool m_anyLoud = false;
    int m_highestPeak = 0;
};

}  // namespace dvx
