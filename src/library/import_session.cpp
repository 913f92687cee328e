#include "library/import_session.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "common/time_text.h"
#include "library/catalogue_text.h"
#include "platform/audio_backend.h"

namespace dvx {

std::optional<std::string> autoStopProblem(std::optional<int> autoStopSeconds, int fadeSeconds) {
    if (autoStopSeconds && *autoStopSeconds <= fadeSeconds) {
        return "AutoStop (" + formatMinutes(*autoStopSeconds) + ") must be longer than the fade (" +
               std::to_string(fadeSeconds) + " seconds).";
    }
    return std::nullopt;
}

std::vector<std::string> fadeDurationEntries() {
    std::vector<std::string> entries{"Fader Off"};
    for (int seconds = 1; seconds <= kMaxFadeSeconds; ++seconds) {
        entries.push_back(std::to_string(seconds) + " Seconds");
    }
    return entries;
}

int fadeSecondsOf(std::string_view entry) {
    return std::clamp(static_cast<int>(numericValue(entry)), 0, kMaxFadeSeconds);
}

int adjustedLevel(int Slider, int highestPeak) {
    if (highestPeak <= 0) {
        return Slider;
    }
    const double level = std::round(static_cast<double>(Slider) * kAdjustedPeak / highestPeak);
    return static_cast<int>(std::clamp(level, 0.0, static_cast<double>(kLevelMaximum)));
}

std::int64_t ImportSource::lengthMs() const {
    return framesToMs(frames);
}

std::optional<std::string> ImportSession::chooseSource(const std::filesystem::path& path) {
    m_source.reset();
    m_start.reset();
    m_end.reset();
    m_highestPeak = 0;
    m_level = kLevelUnity;
    m_levelAdjusted = false;
    try {
        const std::unique_ptr<SoundReader> reader = m_files.openReader(path, 2);
        if (reader->frames() <= 0) {
            return "The sound file " + path.string() + " holds no sound.";
        }
        m_source = ImportSource{path, reader->frames(), reader->sourceChannels() == 1 ? 1 : 2,
                                reader->tags()};
    } catch (const std::exception& error) {
        return error.what();
    }
    return std::nullopt;
}

void ImportSession::setFadeSeconds(int seconds) {
    m_fadeSeconds = std::clamp(seconds, 0, kMaxFadeSeconds);
}

void ImportSession::setLevel(int Slider) {
    m_level = std::clamp(Slider, 0, kLevelMaximum);
}

void ImportSession::startPreview() {
    m_end.reset();
    m_highestPeak = 0;
    m_level = kLevelUnity;
    m_levelAdjusted = false;
}

void ImportSession::takeBuffer(std::int64_t begin, std::int64_t end, Peaks peaks) {
    if (WaveHelper::louderThan(peaks, m_threshold)) {
        if (!m_start) {
            m_start = begin;
        }
        m_end = end;
    }
    m_highestPeak = std::max({m_highestPeak, std::abs(static_cast<int>(peaks.left)),
                              std::abs(static_cast<int>(peaks.right))});
}

bool ImportSession::previewBuffer(std::int64_t positionMs, Peaks peaks) {
    const std::int64_t position = msToFrames(positionMs);
    takeBuffer(position, position, peaks);
    return WaveHelper::louderThan(peaks, m_threshold);
}

void ImportSession::previewWhole() {
    if (!m_source) {
        return;
    }
    startPreview();
    const std::unique_ptr<SoundReader> reader = m_files.openReader(m_source->path, 2);
    std::int64_t position = m_start.value_or(0);
    reader->seek(position);
    std::vector<std::int16_t> buffer(2 * kImportBufferFrames);
    for (;;) {
        const int got = reader->read(buffer.data(), kImportBufferFrames);
        if (got > 0) {
            takeBuffer(position, position + got, WaveHelper::peaks(buffer.data(), got, 2));
            position += got;
        }
        if (got < kImportBufferFrames) {
            return;
        }
    }
}

std::optional<std::int64_t> ImportSession::startMarkMs() const {
    if (!m_start) {
        return std::nullopt;
    }
    return framesToMs(*m_start);
}

std::optional<std::int64_t> ImportSession::endMarkMs() const {
    if (!m_end) {
        return std::nullopt;
    }
    return framesToMs(*m_end);
}

PlannedTransfer ImportSession::planTransfer() {
    if (!m_source) {
        return {std::nullopt, "Choose a sound file to import."};
    }
    if (auto problem = autoStopProblem(m_autoStopSeconds, m_fadeSeconds)) {
        return {std::nullopt, *problem};
    }
    if (m_adjustLevel && !m_levelAdjusted && m_highestPeak > 0) {
        m_level = adjustedLevel(m_level, m_highestPeak);
        m_levelAdjusted = true;
    }
    TransferPlan plan;
    plan.source = m_source->path;
    plan.channels = m_source->channels;
    plan.threshold = m_threshold;
    plan.start = m_start.value_or(0);
    plan.fadeFrames = msToFrames(m_fadeSeconds * 1000LL);
    plan.level = m_level;
    if (m_autoStopSeconds) {
        plan.end = ImportEnd::AfterStart;
        plan.endFrames = msToFrames((*m_autoStopSeconds - m_fadeSeconds) * 1000LL);
    } else if (m_end) {
        plan.end = ImportEnd::AtFrame;
        plan.endFrames = *m_end;
    }
    return {plan, {}};
}

TransferPlan thresholdPlan(const ImportSource& source, int threshold, int fadeSeconds,
                           std::optional<int> autoStopSeconds, int level) {
    TransferPlan plan;
    plan.source = source.path;
    plan.channels = source.channels;
    plan.threshold = threshold;
    plan.fadeFrames = msToFrames(fadeSeconds * 1000LL);
    plan.level = level;
    plan.end = autoStopSeconds ? ImportEnd::AfterStart : ImportEnd::ByThreshold;
    plan.endFrames = autoStopSeconds ? msToFrames((*autoStopSeconds - fadeSeconds) * 1000LL) : 0;
    return plan;
}

}  // namespace dvx
