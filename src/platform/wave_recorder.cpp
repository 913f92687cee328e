#include "platform/wave_recorder.h"

#include "common/io_error.h"

namespace dvx {
namespace {

// About six seconds of buffers: far more than the pump ever leaves waiting.
constexpr std::size_t kQueuedPeaks = 256;
static_assert(RecordingAudio::kNoSoundStart == FileSink::kNoStart);

}  // namespace

WaveRecorder::WaveRecorder(AudioBackend& backend, SoundFiles& files, AudioEventPump& pump,
                           WaveInput& mainCapture)
    : m_pump(pump),
      m_mainCapture(mainCapture),
      m_sink(backend, files),
      m_peaks(2 * kQueuedPeaks),
      m_ownCapture(backend, pump) {
    m_sink.setGain(&m_gain);
    m_ownCapture.addSink(m_sink);
    m_ownCapture.addObserver(*this);
    m_pump.add(*this);
}

WaveRecorder::~WaveRecorder() {
    m_pump.remove(*this);
    try {
        close();
    } catch (const IoError&) {
        // Nobody is left to tell; what reached the file stays there.
    }
}

void WaveRecorder::open(const RecordingTarget& target) {
    close();
    m_channels = target.channels == 1 ? 1 : 2;
    m_sink.open(target.file, m_channels);
    m_peaks.reset();
    const bool share = target.device == m_mainCapture.device();
    WaveInput& input = share ? m_mainCapture : m_ownCapture;
    m_user = share ? CaptureUser::Recorder : CaptureUser::Monitor;
    try {
        if (share) {
            m_mainCapture.addSink(m_sink);
            m_mainCapture.addObserver(*this);
        } else {
            m_ownCapture.setDevice(target.device);
            m_ownCapture.setChannels(m_channels);
        }
        m_input = &input;
        m_pump.quicken();  // the recording's peaks move its meter
        m_failuresAtOpen = input.health().failures;
        input.start(m_user);
    } catch (...) {
        detach();
        try {
            m_sink.close();
        } catch (const IoError&) {
            // Nothing was written: the failure to report is the one of the input.
        }
        throw;
    }
}

void WaveRecorder::detach() {
    if (m_input == nullptr) {
        return;
    }
    if (m_input == &m_mainCapture) {
        m_mainCapture.removeSink(m_sink);
        m_mainCapture.removeObserver(*this);
    }
    m_input->close(m_user);
    m_input = nullptr;
}

void WaveRecorder::close() {
    detach();
    m_sink.close();
}

bool WaveRecorder::hasFailed() const {
    return m_sink.hasFailed() ||
           (m_input != nullptr && m_input->health().failures != m_failuresAtOpen);
}

void WaveRecorder::onBuffer(const CapturedBuffer& buffer) noexcept {
    const Peaks peaks = buffer.channels == 2 && m_channels == 1
                            ? WaveHelper::monoPeaks(buffer.samples, buffer.frames)
                            : buffer.peaks;
    const std::int16_t pair[2] = {peaks.left, peaks.right};
    m_peaks.write(pair, 2);
}

void WaveRecorder::dispatchEvents() {
    std::int16_t pair[2];
    while (m_input != nullptr && m_peaks.read(pair, 2) == 2) {
        if (m_handler) {
            m_handler({pair[0], pair[1]});
        }
    }
}

}  // namespace dvx
