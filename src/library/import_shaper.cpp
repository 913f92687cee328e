#include "library/import_shaper.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/wave_helper.h"

namespace dvx {

ImportShaper::ImportShaper(const TransferPlan& plan, SoundWriter& writer)
    : m_plan(plan), m_writer(writer) {
    m_scaled.resize(static_cast<std::size_t>(kImportBufferFrames) * m_plan.channels);
}

void ImportShaper::take(const std::int16_t* samples, int frames) {
    const int channels = m_plan.channels;
    const std::int64_t begin = m_position;
    const std::int64_t end = begin + frames;
    m_position = end;
    m_hash.add(samples, static_cast<std::size_t>(frames) * channels);
    const Peaks peaks = WaveHelper::peaks(samples, frames, channels);
    const bool loud = WaveHelper::louderThan(peaks, m_plan.threshold);
    m_anyLoud = m_anyLoud || loud;
    m_highestPeak = std::max({m_highestPeak, std::abs(static_cast<int>(peaks.left)),
                              std::abs(static_cast<int>(peaks.right))});

    if (!m_start) {
        if (m_plan.start) {
            if (end > *m_plan.start) {
                m_start = *m_plan.start;
            }
        } else if (loud) {
            m_start = begin;
        }
        if (m_start && m_plan.end == ImportEnd::AtFrame) {
            m_fadeStart = m_plan.endFrames;
        } else if (m_start && m_plan.end == ImportEnd::AfterStart) {
            m_fadeStart = *m_start + m_plan.endFrames;
        }
        if (m_fadeStart) {
            m_stop = *m_fadeStart + m_plan.fadeFrames;
        }
    }
    if (!m_start) {
        return;
    }
    const std::int64_t from = std::max(begin, *m_start);
    const std::int64_t to = std::min(end, m_stop);
    if (to > from) {
        write(samples + (from - begin) * channels, from, to - from, m_plan.level);
    }
    if (m_plan.end != ImportEnd::ByThreshold) {
        return;
    }
    if (loud) {
        m_lastLoudEnd = end;
        m_tail.clear();
    } else if (to > from) {
        // What may become the fade, should no louder buffer follow; at the planned level.
        const auto room = static_cast<std::size_t>(m_plan.fadeFrames * channels) - m_tail.size();
        const std::size_t count = std::min(room, static_cast<std::size_t>((to - from) * channels));
        const std::int16_t* written =
            m_plan.level == kLevelUnity ? samples + (from - begin) * channels : m_scaled.data();
        m_tail.insert(m_tail.end(), written, written + count);
    }
}

double ImportShaper::gainAt(std::int64_t frame) const {
    if (!m_fadeStart || frame < *m_fadeStart || m_plan.fadeFrames == 0) {
        return 1.0;
    }
    return 1.0 - static_cast<double>(frame - *m_fadeStart) / static_cast<double>(m_plan.fadeFrames);
}

void ImportShaper::write(const std::int16_t* samples, std::int64_t from, std::int64_t frames,
                         int level) {
    const int channels = m_plan.channels;
    const bool fading = m_fadeStart && from + frames > *m_fadeStart;
    if (level == kLevelUnity && !fading) {
        m_writer.write(samples, static_cast<int>(frames));
    } else {
        const double scale = static_cast<double>(level) / kLevelUnity;
        for (std::int64_t i = 0; i < frames; ++i) {
            const double gain = scale * gainAt(from + i);
            for (int c = 0; c < channels; ++c) {
                const double value = std::nearbyint(samples[i * channels + c] * gain);
                m_scaled[i * channels + c] =
                    static_cast<std::int16_t>(std::clamp(value, -32768.0, 32767.0));
            }
        }
        m_writer.write(m_scaled.data(), static_cast<int>(frames));
    }
    m_written += frames;
    if (fading) {
        m_fadeWritten += from + frames - std::max(from, *m_fadeStart);
    }
}

void ImportShaper::finish() {
    if (m_plan.end != ImportEnd::ByThreshold || !m_start) {
        return;
    }
    // The end is the last loud buffer: what followed it goes, but for a fade's length, faded (the
    // copy is at the planned level already).
    const std::int64_t keep = std::max<std::int64_t>(0, m_lastLoudEnd - *m_start);
    if (keep < m_written) {
        m_writer.truncate(keep);
        m_written = keep;
    }
    m_fadeStart = m_lastLoudEnd;
    const int channels = m_plan.channels;
    const auto tailFrames = static_cast<std::int64_t>(m_tail.size()) / channels;
    for (std::int64_t done = 0; done < tailFrames; done += kImportBufferFrames) {
        const std::int64_t frames = std::min<std::int64_t>(kImportBufferFrames, tailFrames - done);
        write(m_tail.data() + done * channels, m_lastLoudEnd + done, frames, kLevelUnity);
    }
    m_tail.clear();
}

}  // namespace dvx
