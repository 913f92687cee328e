#include "platform/file_sink.h"

#include <algorithm>

#include "common/io_error.h"
#include "platform/wave_helper.h"

namespace dvx {

FileSink::FileSink(AudioBackend& backend, SoundFiles& files)
    : m_files(files),
      m_ring(static_cast<std::size_t>(kQueueSeconds) * kSampleRate * 2),
      m_mixed(static_cast<std::size_t>(kFramesPerBuffer)),
      m_scaled(static_cast<std::size_t>(kFramesPerBuffer) * 2),
      m_pending(static_cast<std::size_t>(kFramesPerBuffer) * 2),
      m_work(backend.startBackgroundWork([this] {
          drain();
          return m_writer != nullptr;  // a recording goes on filling the queue
      })) {
    m_gate.close();
}

FileSink::~FileSink() {
    try {
        close();
    } catch (const IoError&) {
        // Nobody is left to tell; what reached the file stays there.
    }
    m_work.reset();
}

void FileSink::open(const std::filesystem::path& path, int channels) {
    close();
    m_work->runExclusive([&] {
        m_writer = m_files.createWriter(path, channels == 1 ? 1 : 2);
        m_channels = m_writer->channels();
        m_ring.reset();
        m_writeError.clear();
        m_framesWritten.store(0);
        m_failed.store(false);
    });
    m_enabled.store(false);
    m_startAbove.store(kNoStart);
    m_open = true;
    m_gate.open();
}

void FileSink::close() {
    if (!m_open) {
        return;
    }
    m_gate.close();
    m_open = false;
    std::string error;
    m_work->runExclusive([&] {
        drain();
        if (m_writer != nullptr) {
            try {
                m_writer->flush();
            } catch (const IoError& flushError) {
                if (m_writeError.empty()) {
                    m_writeError = flushError.what();
                }
                m_failed.store(true);
            }
        }
        m_writer.reset();
        error = m_writeError;
    });
    if (!error.empty()) {
        throw IoError(error);
    }
}

std::uint64_t FileSink::droppedFrames() const {
    return m_ring.droppedSamples() / static_cast<std::uint64_t>(m_channels);
}

void FileSink::onCaptured(const std::int16_t* samples, int frames, int channels) noexcept {
    const bool mixDown = channels == 2 && m_channels == 1;
    if ((channels != m_channels && !mixDown) || !m_gate.enter()) {
        return;
    }
    const VolumeStage* gain = m_gain.load(std::memory_order_acquire);
    for (int done = 0; done < frames;) {
        const int chunk = std::min(frames - done, kFramesPerBuffer);
        const std::int16_t* from = samples + static_cast<std::size_t>(done) * channels;
        done += chunk;
        if (mixDown) {
            for (int i = 0; i < chunk; ++i) {
                m_mixed[static_cast<std::size_t>(i)] =
                    static_cast<std::int16_t>((from[2 * i] + from[2 * i + 1]) / 2);
            }
            from = m_mixed.data();
        }
        if (!admits(from, chunk)) {
            continue;
        }
        const std::size_t count = static_cast<std::size_t>(chunk) * m_channels;
        if (gain != nullptr) {
            gain->applyTo(from, m_scaled.data(), count);
            from = m_scaled.data();
        }
        m_ring.write(from, count);
    }
    m_gate.leave();
}

bool FileSink::admits(const std::int16_t* samples, int frames) noexcept {
    if (m_enabled.load()) {
        return true;
    }
    const int threshold = m_startAbove.load();
    if (threshold == kNoStart ||
        !WaveHelper::louderThan(WaveHelper::peaks(samples, frames, m_channels), threshold)) {
        return false;
    }
    m_startAbove.store(kNoStart);
    m_enabled.store(true);
    return true;
}

void FileSink::drain() noexcept {
    if (m_writer == nullptr) {
        return;
    }
    for (;;) {
        const std::size_t count = m_ring.read(m_pending.data(), m_pending.size());
        if (count == 0) {
            return;
        }
        const int frames = static_cast<int>(count / m_channels);
        try {
            m_writer->write(m_pending.data(), frames);
            m_framesWritten.fetch_add(frames);
        } catch (const std::exception& writeError) {
            if (m_writeError.empty()) {
                m_writeError = writeError.what();
            }
            m_failed.store(true);
        }
    }
}

}  // namespace dvx
