#pragma once

#include "platform/sound_files.h"

namespace dvx {

// Sound files through libsndfile: reads WAV, AU/SND, MPEG layers I-III and whatever else the
// installed libsndfile reads, at any rate (libsamplerate brings it to 44100 Hz); writes 16-bit
// PCM WAV with its header rewritten after every write. Holds no state: any thread may use it,
// each reader and writer by one thread at a time.
class SndfileSoundFiles : public SoundFiles {
  public:
    std::unique_ptr<SoundReader> openReader(const std::filesystem::path& path,
                                            int channels) override;
    std::unique_ptr<SoundWriter> createWriter(const std::filesystem::path& path,
                                              int channels) override;
};

}  // namespace dvx
