#include "platform/sndfile_reader.h"

#include <algorithm>
#include <cmath>

#include "common/io_error.h"
#include "platform/audio_backend.h"

namespace dvx {
namespace {

constexpr int kChunkFrames = 4096;

// Copies `frames` frames from `inChannels` to `outChannels` (1 or 2): mono is duplicated,
// the first two channels averaged to mono, channels beyond the second dropped.
void mapChannels(const float* in, int inChannels, float* out, int outChannels, long frames) {
    for (long frame = 0; frame < frames; ++frame) {
        const float* from = in + frame * inChannels;
        float* to = out + frame * outChannels;
        if (outChannels == 1) {
            to[0] = inChannels == 1 ? from[0] : (from[0] + from[1]) / 2;
        } else {
            to[0] = from[0];
            to[1] = inChannels == 1 ? from[0] : from[1];
        }
    }
}

// Full scale is 32768, as libsndfile normalises 16-bit samples, so those come back exactly. A
// float file may hold NaN, which has no level: it is silence.
std::int16_t toInt16(float sample) {
    if (std::isnan(sample)) {
        return 0;
    }
    const float scaled = std::nearbyint(sample * 32768.0f);
    return static_cast<std::int16_t>(std::clamp(scaled, -32768.0f, 32767.0f));
}

}  // namespace

// The read position in a file held in memory, for libsndfile's virtual I/O.
struct SndfileReader::MemoryFile {
    std::span<const std::uint8_t> bytes;
    sf_count_t position = 0;

    static MemoryFile& of(void* self) { return *static_cast<MemoryFile*>(self); }
    static sf_count_t length(void* self) { return static_cast<sf_count_t>(of(self).bytes.size()); }
    static sf_count_t seek(sf_count_t offset, int whence, void* self) {
        MemoryFile& file = of(self);
        const sf_count_t base = whence == SEEK_CUR   ? file.position
                                : whence == SEEK_END ? length(self)
                                                     : 0;
        const sf_count_t target = base + offset;
        if (target < 0 || target > length(self)) {
            return -1;
        }
        return file.position = target;
    }
    static sf_count_t read(void* out, sf_count_t count, void* self) {
        MemoryFile& file = of(self);
        const sf_count_t taken = std::clamp<sf_count_t>(length(self) - file.position, 0, count);
        std::copy_n(file.bytes.data() + file.position, taken, static_cast<std::uint8_t*>(out));
        file.position += taken;
        return taken;
    }
    static sf_count_t write(const void*, sf_count_t, void*) { return 0; }
    static sf_count_t tell(void* self) { return of(self).position; }
};

SndfileReader::SndfileReader(const std::filesystem::path& path, int channels)
    : m_channels(channels == 1 ? 1 : 2) {
    m_file = sf_open(path.c_str(), SFM_READ, &m_info);
    start(path.string());
}

SndfileReader::SndfileReader(std::span<const std::uint8_t> bytes, const std::string& name,
                             int channels)
    : m_memory(std::make_unique<MemoryFile>(MemoryFile{bytes})), m_channels(channels == 1 ? 1 : 2) {
    static SF_VIRTUAL_IO io{&MemoryFile::length, &MemoryFile::seek, &MemoryFile::read,
                            &MemoryFile::write, &MemoryFile::tell};
    m_file = sf_open_virtual(&io, SFM_READ, &m_info, m_memory.get());
    start(name);
}

void SndfileReader::start(const std::string& name) {
    if (m_file == nullptr) {
        throw IoError("The sound file " + name + " cannot be read: " + sf_strerror(nullptr));
    }
    if (m_info.channels < 1 || m_info.samplerate < 1) {
        sf_close(m_file);
        throw IoError("The sound file " + name + " has no usable sound");
    }
    // Normalised floats from every encoding (libsndfile's default, made explicit): the level
    // of the file is kept, never scaled to the file's own peak.
    sf_command(m_file, SFC_SET_NORM_FLOAT, nullptr, SF_TRUE);
    m_frames = m_info.frames;
    if (m_info.samplerate != kSampleRate) {
        int error = 0;
        m_resampler = src_new(SRC_SINC_MEDIUM_QUALITY, m_channels, &error);
        if (m_resampler == nullptr) {
            sf_close(m_file);
            throw IoError("The sound file " + name +
                          " cannot be converted: " + src_strerror(error));
        }
        m_ratio = static_cast<double>(kSampleRate) / m_info.samplerate;
        m_frames = std::llround(static_cast<double>(m_info.frames) * m_ratio);
    }
    m_fileFloats.resize(static_cast<std::size_t>(kChunkFrames) * m_info.channels);
    m_input.resize(static_cast<std::size_t>(kChunkFrames) * m_channels);
    m_output.resize(static_cast<std::size_t>(kChunkFrames) * m_channels);
}

SndfileReader::~SndfileReader() {
    if (m_resampler != nullptr) {
        src_delete(m_resampler);
    }
    sf_close(m_file);
}

int SndfileReader::read(std::int16_t* out, int frames) {
    int done = 0;
    while (done < frames) {
        const long made = convert(std::min(frames - done, kChunkFrames));
        if (made == 0) {
            break;
        }
        const float* from = m_output.data();
        std::int16_t* to = out + static_cast<std::ptrdiff_t>(done) * m_channels;
        for (long i = 0; i < made * m_channels; ++i) {
            to[i] = toInt16(from[i]);
        }
        done += static_cast<int>(made);
    }
    return done;
}

void SndfileReader::fillInput() {
    const sf_count_t got = sf_readf_float(m_file, m_fileFloats.data(), kChunkFrames);
    m_inputFrames = static_cast<long>(std::max<sf_count_t>(got, 0));
    m_inputOffset = 0;
    mapChannels(m_fileFloats.data(), m_info.channels, m_input.data(), m_channels, m_inputFrames);
    if (got < kChunkFrames) {
        m_fileEnded = true;
    }
}

long SndfileReader::convert(int wanted) {
    for (;;) {
        if (m_inputFrames == 0 && !m_fileEnded) {
            fillInput();
        }
        const float* input = m_input.data() + m_inputOffset * m_channels;
        if (m_resampler == nullptr) {
            const long taken = std::min<long>(wanted, m_inputFrames);
            std::copy(input, input + taken * m_channels, m_output.data());
            m_inputOffset += taken;
            m_inputFrames -= taken;
            return taken;
        }
        SRC_DATA data{};
        data.data_in = input;
        data.input_frames = m_inputFrames;
        data.data_out = m_output.data();
        data.output_frames = wanted;
        data.end_of_input = m_fileEnded ? 1 : 0;
        data.src_ratio = m_ratio;
        if (src_process(m_resampler, &data) != 0) {
            return 0;  // a converter that cannot go on ends the file here
        }
        m_inputOffset += data.input_frames_used;
        m_inputFrames -= data.input_frames_used;
        // The converter may take input without giving output yet (its filter filling up); it
        // is asked again until it gives some, runs dry at the end, or makes no progress.
        const bool stuck = data.input_frames_used == 0 && m_inputFrames > 0;
        if (data.output_frames_gen > 0 || (m_fileEnded && m_inputFrames == 0) || stuck) {
            return data.output_frames_gen;
        }
    }
}

SoundTags SndfileReader::tags() const {
    auto tag = [this](int which) {
        const char* text = sf_get_string(m_file, which);
        return std::string(text != nullptr ? text : "");
    };
    return {tag(SF_STR_TITLE), tag(SF_STR_ARTIST), tag(SF_STR_ALBUM)};
}

void SndfileReader::seek(std::int64_t frame) {
    frame = std::clamp<std::int64_t>(frame, 0, m_frames);
    const auto fileFrame =
        std::min<sf_count_t>(std::llround(static_cast<double>(frame) / m_ratio), m_info.frames);
    sf_seek(m_file, fileFrame, SEEK_SET);
    if (m_resampler != nullptr) {
        src_reset(m_resampler);
    }
    m_inputFrames = 0;
    m_inputOffset = 0;
    m_fileEnded = false;
}

}  // namespace dvx
