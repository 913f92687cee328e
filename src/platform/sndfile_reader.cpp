#include "platform/sndfile_reader.h"

#include <algorithm>
#include <cmath>

#include "common/io_error.h"
#include "platform/audio_backend.h"

namespace dvx {
namespace {

constexpr int kChunkFrames = 4096;

// Copies `frames` frames from `inChannels` to `outChannels` (1 or 2): mono is duplicated,
// stereo averaged to mono, channels beyond the second dropped.
template <typename Sample>
void mapChannels(const Sample* in, int inChannels, Sample* out, int outChannels, long frames) {
    for (long frame = 0; frame < frames; ++frame) {
        const Sample* from = in + frame * inChannels;
        Sample* to = out + frame * outChannels;
        if (outChannels == 1) {
            to[0] = inChannels == 1 ? from[0] : static_cast<Sample>((from[0] + from[1]) / 2);
        } else {
            to[0] = from[0];
            to[1] = inChannels == 1 ? from[0] : from[1];
        }
    }
}

}  // namespace

SndfileReader::SndfileReader(const std::filesystem::path& path, int channels)
    : m_channels(channels == 1 ? 1 : 2) {
    m_file = sf_open(path.c_str(), SFM_READ, &m_info);
    if (m_file == nullptr) {
        throw IoError("The sound file " + path.string() +
                      " cannot be read: " + sf_strerror(nullptr));
    }
    if (m_info.channels < 1 || m_info.samplerate < 1) {
        sf_close(m_file);
        throw IoError("The sound file " + path.string() + " has no usable sound");
    }
    sf_command(m_file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    m_fileShorts.resize(static_cast<std::size_t>(kChunkFrames) * m_info.channels);
    m_frames = m_info.frames;
    if (m_info.samplerate != kSampleRate) {
        int error = 0;
        m_resampler = src_new(SRC_SINC_MEDIUM_QUALITY, m_channels, &error);
        if (m_resampler == nullptr) {
            sf_close(m_file);
            throw IoError("The sound file " + path.string() +
                          " cannot be converted: " + src_strerror(error));
        }
        m_ratio = static_cast<double>(kSampleRate) / m_info.samplerate;
        m_frames = std::llround(static_cast<double>(m_info.frames) * m_ratio);
        m_fileFloats.resize(static_cast<std::size_t>(kChunkFrames) * m_info.channels);
        m_input.resize(static_cast<std::size_t>(kChunkFrames) * m_channels);
        m_output.resize(static_cast<std::size_t>(kChunkFrames) * m_channels);
    }
}

SndfileReader::~SndfileReader() {
    if (m_resampler != nullptr) {
        src_delete(m_resampler);
    }
    sf_close(m_file);
}

int SndfileReader::read(std::int16_t* out, int frames) {
    if (frames <= 0) {
        return 0;
    }
    return m_resampler == nullptr ? readDirect(out, frames) : readResampled(out, frames);
}

int SndfileReader::readDirect(std::int16_t* out, int frames) {
    int done = 0;
    while (done < frames) {
        const int chunk = std::min(frames - done, kChunkFrames);
        const sf_count_t got = sf_readf_short(m_file, m_fileShorts.data(), chunk);
        if (got <= 0) {
            break;
        }
        mapChannels(m_fileShorts.data(), m_info.channels, out + done * m_channels, m_channels,
                    static_cast<long>(got));
        done += static_cast<int>(got);
        if (got < chunk) {
            break;
        }
    }
    return done;
}

void SndfileReader::fillResamplerInput() {
    const sf_count_t got = sf_readf_float(m_file, m_fileFloats.data(), kChunkFrames);
    m_inputFrames = static_cast<long>(std::max<sf_count_t>(got, 0));
    m_inputOffset = 0;
    mapChannels(m_fileFloats.data(), m_info.channels, m_input.data(), m_channels, m_inputFrames);
    if (got < kChunkFrames) {
        m_fileEnded = true;
    }
}

int SndfileReader::readResampled(std::int16_t* out, int frames) {
    int done = 0;
    while (done < frames) {
        if (m_inputFrames == 0 && !m_fileEnded) {
            fillResamplerInput();
        }
        SRC_DATA data{};
        data.data_in = m_input.data() + m_inputOffset * m_channels;
        data.input_frames = m_inputFrames;
        data.data_out = m_output.data();
        data.output_frames = std::min(frames - done, kChunkFrames);
        data.end_of_input = m_fileEnded ? 1 : 0;
        data.src_ratio = m_ratio;
        if (src_process(m_resampler, &data) != 0) {
            break;
        }
        m_inputOffset += data.input_frames_used;
        m_inputFrames -= data.input_frames_used;
        src_float_to_short_array(m_output.data(), out + done * m_channels,
                                 static_cast<int>(data.output_frames_gen * m_channels));
        done += static_cast<int>(data.output_frames_gen);
        // Nothing in and nothing out: the end, or a converter that cannot go on.
        if (data.output_frames_gen == 0 && data.input_frames_used == 0 &&
            (m_fileEnded || m_inputFrames > 0)) {
            break;
        }
    }
    return done;
}

void SndfileReader::seek(std::int64_t frame) {
    frame = std::clamp<std::int64_t>(frame, 0, m_frames);
    if (m_resampler == nullptr) {
        sf_seek(m_file, frame, SEEK_SET);
        return;
    }
    const auto fileFrame = std::min<sf_count_t>(std::llround(frame / m_ratio), m_info.frames);
    sf_seek(m_file, fileFrame, SEEK_SET);
    src_reset(m_resampler);
    m_inputFrames = 0;
    m_inputOffset = 0;
    m_fileEnded = false;
}

}  // namespace dvx
