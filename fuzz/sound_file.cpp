// A sound file (WAV, AU and whatever else libsndfile takes) as the fill, the players and the
// import read it: its header, every frame in the working format, a seek and its tags.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/io_error.h"
#include "platform/sndfile_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace dvx;
    // A header may claim any length: reading stops after this many frames of output.
    constexpr int kMostFrames = 1 << 13;
    constexpr int kChunk = 1024;
    std::vector<std::int16_t> frames(kChunk * 2);
    for (const int channels : {1, 2}) {
        try {
            SndfileReader reader({data, size}, "input", channels);
            reader.tags();
            int read = 0;
            while (read < kMostFrames) {
                const int got = reader.read(frames.data(), kChunk);
                if (got == 0) {
                    break;
                }
                read += got;
            }
            reader.seek(reader.frames() / 2);
            reader.read(frames.data(), kChunk);
        } catch (const IoError&) {
        }
    }
    return 0;
}
