#include "platform/volume_stage.h"

#include <algorithm>
#include <cstring>

namespace dvx {

void VolumeStage::apply(std::int16_t* samples, std::size_t count) const noexcept {
    applyTo(samples, samples, count);
}

void VolumeStage::applyTo(const std::int16_t* in, std::int16_t* out,
                          std::size_t count) const noexcept {
    const int gain = std::clamp(volume(), 0, kUnity);
    if (gain == kUnity) {
        if (in != out) {
            std::memmove(out, in, count * sizeof(std::int16_t));
        }
        return;
    }
    for (std::size_t i = 0; i < count; ++i) {
        out[i] = static_cast<std::int16_t>(in[i] * gain / kUnity);
    }
}

}  // namespace dvx
