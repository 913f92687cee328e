#include "platform/file_sink.h"

#include <algorithm>

#include "common/io_error.h"

namespace dvx {

FileSink::FileSink(AudioBackend& backend, SoundFiles& files)
    : m_files(files),
      m_ring(static_cast<std::size_t>(kQueueSeconds) * kSampleRate * 2),
      m_scaled(static_cast<std::size_t>(kFramesPerBuffer) * 2),
      m_pending(static_cast<std::size_t>(kFramesPerBuffer) * 2),
      m_work(backend.startBackgroundWork([this] { drain(); })) {
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
    });
    m_enabled.store(false);
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
    if (!m_enabled.load() || !m_gate.enter()) {
        return;
    }
    if (channels == m_channels) {
        const VolumeStage* gain = m_gain.load(std::memory_order_acquire);
        for (int done = 0; done < frames;) {
            const int chunk = std::min(frames - done, kFramesPerBuffer);
            const std::size_t count = static_cast<std::size_t>(chunk) * channels;
            const std::int16_t* from = samples + static_cast<std::size_t>(done) * channels;
            if (gain != nullptr) {
                gain->applyTo(from, m_scaled.data(), count);
                from = m_scaled.data();
            }
            m_ring.write(from, count);
            done += chunk;
        }
    }
    m_gate.leave();
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
        try {
            m_writer->write(m_pending.data(), static_cast<int>(count / m_channels));
        } catch (const std::exception& writeError) {
            if (m_writeError.empty()) {
                m_writeError = writeError.what();
            }
        }
    }
}

}  // namespace dvx
