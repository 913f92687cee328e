#include "platform/virtual_devices.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "common/io_error.h"

namespace dvx {
namespace {

constexpr std::size_t kStereoSamples = static_cast<std::size_t>(kFramesPerBuffer) * 2;
constexpr double kBufferSeconds = static_cast<double>(kFramesPerBuffer) / kSampleRate;

}  // namespace

VirtualStream::VirtualStream(VirtualDevice& device, int channels, CaptureSink* sink,
                             RenderSource* source)
    : m_device(device),
      m_channels(channels == 1 ? 1 : 2),
      m_sink(sink),
      m_source(source),
      m_buffer(static_cast<std::size_t>(kFramesPerBuffer) * m_channels),
      m_stereo(kStereoSamples) {}

VirtualStream::~VirtualStream() {
    stop();
}

void VirtualStream::start() {
    if (m_failed) {
        throw AudioError(m_device.name() + " is no longer available");
    }
    if (!m_running) {
        m_device.join(*this);
        m_running = true;
    }
}

void VirtualStream::stop() {
    if (m_running) {
        m_running = false;
        m_device.leave(*this);
    }
}

void VirtualStream::fail() {
    m_running = false;
    m_failed = true;
}

void VirtualStream::capture(const std::int16_t* stereo, int frames) {
    const VirtualDevice::BufferFlags flags = m_device.currentFlags();
    m_counters.note(flags.overrun, flags.underrun);
    if (m_channels == 2) {
        m_sink->onCaptured(stereo, frames, 2);
        return;
    }
    for (int i = 0; i < frames; ++i) {
        m_buffer[static_cast<std::size_t>(i)] =
            static_cast<std::int16_t>((stereo[2 * i] + stereo[2 * i + 1]) / 2);
    }
    m_sink->onCaptured(m_buffer.data(), frames, 1);
}

const std::int16_t* VirtualStream::render(int frames) {
    const VirtualDevice::BufferFlags flags = m_device.currentFlags();
    m_counters.note(flags.overrun, flags.underrun);
    m_source->render(m_buffer.data(), frames, m_channels);
    if (m_channels == 2) {
        return m_buffer.data();
    }
    for (int i = 0; i < frames; ++i) {
        m_stereo[2 * static_cast<std::size_t>(i)] = m_buffer[static_cast<std::size_t>(i)];
        m_stereo[2 * static_cast<std::size_t>(i) + 1] = m_buffer[static_cast<std::size_t>(i)];
    }
    return m_stereo.data();
}

double VirtualDevice::nextDue() const {
    return m_busySince + static_cast<double>(m_buffers + 1) * kBufferSeconds;
}

void VirtualDevice::setLost(bool lost) {
    m_lost = lost;
    if (lost && !m_streams.empty()) {
        for (VirtualStream* stream : m_streams) {
            stream->fail();
        }
        m_streams.clear();
        becomeIdle();
    }
}

void VirtualDevice::setStalled(bool stalled) {
    if (m_stalled && !stalled) {
        // Goes on from now, one buffer later, without the buffers it missed.
        m_busySince = m_clock.steadySeconds();
        m_buffers = 0;
    }
    m_stalled = stalled;
}

void VirtualDevice::join(VirtualStream& stream) {
    if (m_lost) {
        throw AudioError(m_name + " is not available");
    }
    if (m_exclusive && !m_streams.empty()) {
        throw AudioError(m_name + " is in use by another stream");
    }
    if (m_streams.empty()) {
        becomeBusy(m_clock.steadySeconds());
        m_busySince = m_clock.steadySeconds();
        m_buffers = 0;
    }
    m_streams.push_back(&stream);
}

void VirtualDevice::leave(VirtualStream& stream) {
    std::erase(m_streams, &stream);
    if (m_streams.empty()) {
        becomeIdle();
    }
}

void VirtualDevice::deliverBuffer() {
    ++m_buffers;
    m_flags = std::exchange(m_nextFlags, BufferFlags{});
    moveBuffer(m_streams);
    m_flags = {};
}

VirtualInputDevice::VirtualInputDevice(std::string name, const Clock& clock,
                                       std::unique_ptr<SoundReader> feed, bool loop)
    : VirtualDevice(std::move(name), clock),
      m_feed(std::move(feed)),
      m_loop(loop && m_feed != nullptr && m_feed->frames() > 0),
      m_buffer(kStereoSamples) {}

void VirtualInputDevice::becomeBusy(double now) {
    if (!m_started) {
        m_started = true;
        m_feedStart = now;
    }
    if (m_feed != nullptr) {
        const std::int64_t frame = std::llround((now - m_feedStart) * kSampleRate);
        m_feed->seek(m_loop ? frame % m_feed->frames() : frame);
    }
}

void VirtualInputDevice::moveBuffer(const std::vector<VirtualStream*>& streams) {
    int got = m_feed != nullptr ? m_feed->read(m_buffer.data(), kFramesPerBuffer) : 0;
    while (m_loop && got < kFramesPerBuffer) {
        m_feed->seek(0);
        const int more = m_feed->read(m_buffer.data() + got * 2, kFramesPerBuffer - got);
        if (more <= 0) {
            break;  // a read error: silence for the rest of the buffer
        }
        got += more;
    }
    std::fill(m_buffer.begin() + static_cast<std::ptrdiff_t>(got) * 2, m_buffer.end(),
              std::int16_t{0});
    for (std::size_t i = 0; i < streams.size(); ++i) {
        streams[i]->capture(m_buffer.data(), kFramesPerBuffer);
    }
}

VirtualOutputDevice::VirtualOutputDevice(std::string name, const Clock& clock, SoundFiles& files,
                                         std::filesystem::path file)
    : VirtualDevice(std::move(name), clock),
      m_files(files),
      m_path(std::move(file)),
      m_mix(kStereoSamples) {}

void VirtualOutputDevice::becomeBusy(double /*now*/) {
    if (m_writer == nullptr && !m_path.empty()) {
        try {
            m_writer = m_files.createWriter(m_path, 2);
        } catch (const IoError& error) {
            throw AudioError(error.what());
        }
    }
}

void VirtualOutputDevice::becomeIdle() {
    if (m_writer == nullptr) {
        return;
    }
    try {
        m_writer->flush();
    } catch (const IoError&) {
        // The data is in the file already; a failed sync loses nothing the test could read.
    }
}

void VirtualOutputDevice::moveBuffer(const std::vector<VirtualStream*>& streams) {
    std::fill(m_mix.begin(), m_mix.end(), std::int16_t{0});
    for (std::size_t i = 0; i < streams.size(); ++i) {
        const std::int16_t* rendered = streams[i]->render(kFramesPerBuffer);
        for (std::size_t s = 0; s < kStereoSamples; ++s) {
            m_mix[s] = static_cast<std::int16_t>(std::clamp(m_mix[s] + rendered[s], -32768, 32767));
        }
    }
    if (m_writer == nullptr) {
        return;
    }
    try {
        m_writer->write(m_mix.data(), kFramesPerBuffer);
    } catch (const IoError&) {
        m_writer.reset();
        setLost(true);
    }
}

}  // namespace dvx
