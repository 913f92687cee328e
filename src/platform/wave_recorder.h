#pragma once

#include <filesystem>

#include "platform/file_sink.h"
#include "platform/wave_input.h"

namespace dvx {

// The recorder of the library windows: records an input device, mono or stereo, to a 16-bit
// 44100 Hz WAV file, replacing a file of that name. Arming opens the file and starts the input
// (meters and level tests run from then on, through input()); start() writes from that moment,
// pause() stops writing while the input keeps running, stop() closes both.
//
// Threads: main thread only. The capture, its observer and tap run on the input's callback
// thread as WaveInput describes; the disk is written by the backend's background work.
class WaveRecorder {
  public:
    WaveRecorder(AudioBackend& backend, SoundFiles& files, AudioEventPump& pump);
    ~WaveRecorder();

    WaveInput& input() { return m_input; }  // tap, observer, device-failed callback
    VolumeStage& gain() { return m_gain; }  // `Gain`: 16384 records as captured

    void setDevice(int inputDevice) { m_input.setDevice(inputDevice); }
    void setChannels(int channels) { m_input.setChannels(channels); }
    void setFileName(const std::filesystem::path& path) { m_path = path; }

    void arm();    // throws IoError or AudioError, leaving everything closed
    void start();  // arms first when needed
    void pause();
    void stop();  // throws IoError when a write failed; everything is closed all the same

    bool isArmed() const { return m_sink.isOpen(); }
    bool isRecording() const { return m_sink.isOpen() && m_sink.isEnabled(); }
    std::uint64_t droppedFrames() const { return m_sink.droppedFrames(); }

  private:
    VolumeStage m_gain;
    FileSink m_sink;
    WaveInput m_input;
    std::filesystem::path m_path;
};

}  // namespace dvx
