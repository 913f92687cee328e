#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

#include "platform/file_source.h"

namespace dvx {

// The mixer (`Mixer`): adds two stereo file sources, inputs 0 and 1 (`WaveFile1`,
// `WaveFile2`), with saturation. No looping.
//
// Each input has a flag. While it is set the input is held: it adds nothing and its file does
// not advance. The way to put a new file on an input is: set the flag, set the input's file
// name, clear the flag; the new file then plays on that input from its start, whatever the
// other input is doing. A held input counts as busy, not as run dry.
//
// Threads: setInputHeld() and inputHeld() on the main thread; mix() on the callback thread of
// the output that plays the mixer (no allocation, no locks).
class WaveMixer {
  public:
    static constexpr int kInputs = 2;

    struct Mixed {
        bool anyBusy = false;  // some input has more to play, or is held or being reloaded
    };

    WaveMixer(FileSource& input0, FileSource& input1);

    void setInputHeld(int index, bool held);
    bool inputHeld(int index) const;

    // Fills `frames` stereo frames.
    Mixed mix(std::int16_t* out, int frames) noexcept;

  private:
    std::array<FileSource*, kInputs> m_inputs;
    std::array<std::atomic<bool>, kInputs> m_held{};
    std::vector<std::int16_t> m_scratch;  // one buffer of one input
};

}  // namespace dvx
