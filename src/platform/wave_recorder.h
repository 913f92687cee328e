#pragma once

#include <cstdint>
#include <functional>

#include "library/recording_audio.h"
#include "platform/audio_event_pump.h"
#include "platform/file_sink.h"
#include "platform/sample_ring.h"
#include "platform/volume_stage.h"
#include "platform/wave_input.h"

namespace dvx {

// The recorder of the library windows: records an input device, mono or stereo, to a 16-bit
// 44100 Hz WAV file through the gain stage `Gain`, and hands the peaks of every buffer to the
// main thread.
//
// A capture device takes one stream at a time on most Linux sound stacks, so when the target
// device is the one of the main graph's capture (`NetInDevice`), the recorder does not open a
// second capture: it joins that one, whether or not the sensor runs it. Its file sink and its
// peak observer take slots of that capture (a stereo capture is mixed down for a mono file),
// and the capture runs while either the sensor or the recording wants it: the sensor may arm
// or disarm during a recording without cutting it, and what the sensor hears, tests and passes
// through is untouched (the gain scales the recorder's own copy). For any other device the
// recorder opens a capture of its own in the file's channels.
//
// Threads: main thread only. The capture, the sink and the peak observer run on the capture's
// callback thread (no allocation, no locks); the disk is written by the backend's background
// work; the peaks reach the handler from the event pump.
class WaveRecorder : public RecordingAudio, private AudioEventSource, private CaptureObserver {
  public:
    // `mainCapture` is the main graph's `WaveIn`; it must outlive the recorder.
    WaveRecorder(AudioBackend& backend, SoundFiles& files, AudioEventPump& pump,
                 WaveInput& mainCapture);
    ~WaveRecorder() override;
    WaveRecorder(const WaveRecorder&) = delete;
    WaveRecorder& operator=(const WaveRecorder&) = delete;

    void setBufferHandler(std::function<void(Peaks)> handler) override {
        m_handler = std::move(handler);
    }
    void open(const RecordingTarget& target) override;
    void startWriting() override { m_sink.setEnabled(true); }
    void setSoundStart(int threshold) override { m_sink.setStartAbove(threshold); }
    void close() override;
    bool hasFailed() const override;
    std::int64_t framesWritten() const override { return m_sink.framesWritten(); }
    void setGain(int volume) override { m_gain.setVolume(volume); }
    int gain() const override { return m_gain.volume(); }

    bool isOpen() const { return m_input != nullptr; }
    bool isWriting() const { return m_sink.isOpen() && m_sink.isEnabled(); }
    // Whether the open recording runs on the main graph's capture.
    bool sharesMainCapture() const { return m_input == &m_mainCapture; }
    std::uint64_t droppedFrames() const { return m_sink.droppedFrames(); }

  private:
    void onBuffer(const CapturedBuffer& buffer) noexcept override;  // callback thread
    void dispatchEvents() override;                                 // main thread, from the pump
    bool wantsQuickEvents() const override { return m_input != nullptr; }  // peaks for the meter
    void detach();

    AudioEventPump& m_pump;
    WaveInput& m_mainCapture;
    VolumeStage m_gain;
    FileSink m_sink;
    SampleRing m_peaks;  // two samples a buffer: left and right peak
    WaveInput m_ownCapture;
    WaveInput* m_input = nullptr;  // the capture of the open recording
    CaptureUser m_user = CaptureUser::Monitor;
    int m_channels = 2;
    std::uint64_t m_failuresAtOpen = 0;
    std::function<void(Peaks)> m_handler;
};

}  // namespace dvx
