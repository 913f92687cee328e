#pragma once

#include <filesystem>
#include <memory>
#include <vector>

#include "common/clock.h"
#include "platform/audio_backend.h"
#include "platform/sound_files.h"

namespace dvx {

class VirtualDevice;
class VirtualInputDevice;
class VirtualOutputDevice;

struct VirtualAudioConfig {
    std::filesystem::path inputFile;     // the feed of "Virtual Feed"; empty: silence
    std::filesystem::path outputFolder;  // where out<n>.wav go; empty: nothing is written
    bool loopInput = false;  // the feed starts over at its end instead of falling silent
};

// Sound devices without a sound card, for tests, demonstrations and machines without one:
// input "Virtual Feed" (index 0) and outputs "Virtual Out 0", "Virtual Out 1", "Virtual Out 2".
// Paced by the program's clock: a clock timer delivers every buffer that has fallen due, in
// order of due time (at equal times the input first, then the outputs by index), so the program
// runs in real time with the system clock and in simulated time under a test clock.
//
// Threads: main thread only. Stream callbacks and background work run on the main thread, from
// the clock timer: the work before every buffer (see AudioBackend::startBackgroundWork). The
// backend must outlive every stream and work it hands out.
class VirtualAudioBackend : public AudioBackend {
  public:
    static constexpr int kOutputDevices = 3;
    static constexpr int kTickMs = 50;  // two beats of the program's clock, about two buffers

    // Creates the output folder when it is missing. Throws IoError when the input file cannot
    // be read or the output folder cannot be made.
    VirtualAudioBackend(Clock& clock, SoundFiles& files, VirtualAudioConfig config);
    ~VirtualAudioBackend() override;

    std::string name() const override { return "virtual"; }
    std::vector<std::string> inputDeviceNames() const override;
    std::vector<std::string> outputDeviceNames() const override;
    std::unique_ptr<AudioStream> openInput(int device, int channels, CaptureSink& sink) override;
    std::unique_ptr<AudioStream> openOutput(int device, int channels,
                                            RenderSource& source) override;
    std::unique_ptr<BackgroundWork> startBackgroundWork(std::function<bool()> work) override;

    // Where output `index` writes; empty without an output folder.
    std::filesystem::path outputFile(int index) const;

    // Test hook, "device lost": a lost device fails the streams running on it (they report
    // hasFailed()) and refuses to open or start streams until it is restored.
    void setInputLost(bool lost);
    void setOutputLost(int index, bool lost);
    // Test hook, "stalled": the device's streams run on without an error, but no callback comes
    // until it is released.
    void setInputStalled(bool stalled);
    void setOutputStalled(int index, bool stalled);
    // Test hook: the input takes one stream at a time, as a hardware capture device does on most
    // Linux sound stacks; starting a second stream on it fails.
    void setInputExclusive(bool exclusive);
    // Test hook: the next buffer is flagged as an overrun (input) or underrun (output).
    void flagInputOverrun();
    void flagOutputUnderrun(int index);

  private:
    class InlineWork;

    void tick();
    VirtualDevice& outputDevice(int index) const;

    Clock& m_clock;
    VirtualAudioConfig m_config;
    std::unique_ptr<VirtualInputDevice> m_input;
    std::vector<std::unique_ptr<VirtualOutputDevice>> m_outputs;
    std::vector<InlineWork*> m_works;
    std::unique_ptr<Timer> m_timer;
};

}  // namespace dvx
