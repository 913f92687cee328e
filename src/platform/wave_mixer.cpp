#include "platform/wave_mixer.h"

#include <algorithm>
#include <stdexcept>

#include "platform/audio_backend.h"

namespace dvx {
namespace {

void addSaturated(std::int16_t* out, const std::int16_t* in, std::size_t count) noexcept {
    for (std::size_t i = 0; i < count; ++i) {
        out[i] = static_cast<std::int16_t>(std::clamp(out[i] + in[i], -32768, 32767));
    }
}

void checkIndex(int index) {
    if (index < 0 || index >= WaveMixer::kInputs) {
        throw std::out_of_range("The mixer has inputs 0 and 1 only");
    }
}

}  // namespace

WaveMixer::WaveMixer(FileSource& input0, FileSource& input1)
    : m_inputs{&input0, &input1}, m_scratch(static_cast<std::size_t>(kFramesPerBuffer) * 2) {
    if (input0.channels() != 2 || input1.channels() != 2) {
        throw std::invalid_argument("The mixer takes stereo sources only");
    }
}

void WaveMixer::setInputHeld(int index, bool held) {
    checkIndex(index);
    m_held[static_cast<std::size_t>(index)].store(held);
}

bool WaveMixer::inputHeld(int index) const {
    checkIndex(index);
    return m_held[static_cast<std::size_t>(index)].load();
}

WaveMixer::Mixed WaveMixer::mix(std::int16_t* out, int frames) noexcept {
    std::fill(out, out + static_cast<std::size_t>(std::max(frames, 0)) * 2, std::int16_t{0});
    Mixed mixed;
    for (int input = 0; input < kInputs; ++input) {
        if (m_held[static_cast<std::size_t>(input)].load()) {
            mixed.anyBusy = true;
            continue;
        }
        FileSource& source = *m_inputs[static_cast<std::size_t>(input)];
        for (int done = 0; done < frames;) {
            const int chunk = std::min(frames - done, kFramesPerBuffer);
            const FileSource::Pulled pulled = source.pull(m_scratch.data(), chunk);
            addSaturated(out + static_cast<std::size_t>(done) * 2, m_scratch.data(),
                         static_cast<std::size_t>(pulled.frames) * 2);
            done += chunk;
            if (pulled.state == FileSource::State::Busy ||
                pulled.state == FileSource::State::Playing) {
                mixed.anyBusy = true;
            }
            if (pulled.frames < chunk) {
                break;  // ran dry, or not readable at this moment
            }
        }
    }
    return mixed;
}

}  // namespace dvx
