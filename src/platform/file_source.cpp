#include "platform/file_source.h"

#include <algorithm>

namespace dvx {

FileSource::FileSource(AudioBackend& backend, SoundFiles& files, int channels)
    : m_files(files),
      m_channels(channels == 1 ? 1 : 2),
      m_ring(static_cast<std::size_t>(kQueueBuffers) * kBufferBytes / sizeof(std::int16_t)),
      m_scratch(static_cast<std::size_t>(kFramesPerBuffer) * m_channels),
      m_work(backend.startBackgroundWork([this] { return topUp(); })) {}

FileSource::~FileSource() {
    m_work.reset();
}

void FileSource::change(const std::function<void()>& action) {
    GateClosed closed(m_gate);
    m_work->runExclusive(action);
}

void FileSource::unloadNow() {
    m_loaded.store(false, std::memory_order_release);
    m_reader.reset();
    m_ring.reset();
    m_readerDone.store(false, std::memory_order_relaxed);
    m_position.store(0, std::memory_order_relaxed);
    m_lengthFrames = 0;
    m_fileName.clear();
}

void FileSource::setFileName(const std::filesystem::path& path) {
    change([&] {
        unloadNow();
        if (path.empty()) {
            return;
        }
        m_reader = m_files.openReader(path, m_channels);
        m_lengthFrames = m_reader->frames();
        m_fileName = path;
        topUp();
        m_loaded.store(true, std::memory_order_release);
    });
}

std::int64_t FileSource::positionMs() const {
    return framesToMs(m_position.load(std::memory_order_relaxed));
}

void FileSource::setPositionMs(std::int64_t ms) {
    if (!isLoaded()) {
        return;
    }
    change([&] {
        const std::int64_t frame = std::clamp<std::int64_t>(msToFrames(ms), 0, m_lengthFrames);
        m_reader->seek(frame);
        m_ring.reset();
        m_readerDone.store(false, std::memory_order_relaxed);
        m_position.store(frame, std::memory_order_relaxed);
        topUp();
    });
}

bool FileSource::hasEnded() const {
    return isLoaded() && m_readerDone.load(std::memory_order_acquire) && m_ring.available() == 0;
}

FileSource::Pulled FileSource::pull(std::int16_t* out, int frames) noexcept {
    if (!m_gate.enter()) {
        return {0, State::Busy};
    }
    Pulled result;
    if (m_loaded.load(std::memory_order_acquire)) {
        // The reader's end is read before the queue, so the last frames are never missed.
        const bool readerDone = m_readerDone.load(std::memory_order_acquire);
        const std::size_t wanted = static_cast<std::size_t>(std::max(frames, 0)) * m_channels;
        result.frames = static_cast<int>(m_ring.read(out, wanted) / m_channels);
        m_position.store(m_position.load(std::memory_order_relaxed) + result.frames,
                         std::memory_order_relaxed);
        result.state = readerDone && m_ring.available() == 0 ? State::Ended : State::Playing;
    }
    m_gate.leave();
    return result;
}

bool FileSource::topUp() noexcept {
    if (m_reader == nullptr || m_readerDone.load(std::memory_order_relaxed)) {
        return false;
    }
    while (m_ring.freeSpace() >= m_scratch.size()) {
        int frames = 0;
        try {
            frames = m_reader->read(m_scratch.data(), kFramesPerBuffer);
        } catch (...) {
            frames = 0;  // an unreadable rest of a file ends it
        }
        if (frames > 0) {
            m_ring.write(m_scratch.data(), static_cast<std::size_t>(frames) * m_channels);
        }
        if (frames < kFramesPerBuffer) {
            m_readerDone.store(true, std::memory_order_release);
            return false;
        }
    }
    return true;  // the queue is full: the rest of the file follows as it plays
}

}  // namespace dvx
