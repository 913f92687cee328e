#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/clock.h"
#include "platform/audio_backend.h"
#include "platform/sound_files.h"

namespace dvx {

class VirtualDevice;

// A stream on a virtual device. Main thread only (its callbacks run there too).
class VirtualStream : public AudioStream {
  public:
    VirtualStream(VirtualDevice& device, int channels, CaptureSink* sink, RenderSource* source);
    ~VirtualStream() override;

    void start() override;
    void stop() override;
    bool isRunning() const override { return m_running; }
    bool hasFailed() const override { return m_failed; }
    StreamStats stats() const override { return m_counters.read(); }

    int channels() const { return m_channels; }
    void capture(const std::int16_t* stereo, int frames);  // one buffer from the device
    const std::int16_t* render(int frames);                // one buffer for the device, stereo
    void fail();                                           // the device went away

  private:
    VirtualDevice& m_device;
    const int m_channels;
    CaptureSink* m_sink;
    RenderSource* m_source;
    std::vector<std::int16_t> m_buffer;  // in the stream's channels
    std::vector<std::int16_t> m_stereo;  // a mono render widened to stereo
    StreamCounters m_counters;
    bool m_running = false;
    bool m_failed = false;
};

// A virtual device: while streams run on it, it moves one buffer of 1024 frames every
// 1024/44100 s of clock time, the first one buffer after it fell busy. Main thread only.
//
// Besides "lost" (its streams fail) a device can be "stalled": its streams keep running without
// an error, but it moves no buffer until it is released, and then goes on from that moment as
// a real device does after a hang, without a burst of the buffers it missed. It can also flag
// its next buffer as overflowed and underflowed, as a device does after an overrun or underrun.
class VirtualDevice {
  public:
    struct BufferFlags {
        bool overrun = false;
        bool underrun = false;
    };

    VirtualDevice(std::string name, const Clock& clock) : m_name(std::move(name)), m_clock(clock) {}
    virtual ~VirtualDevice() = default;

    const std::string& name() const { return m_name; }
    bool isBusy() const { return !m_streams.empty(); }
    bool isDelivering() const { return isBusy() && !m_stalled; }
    double nextDue() const;  // steady clock seconds
    bool isLost() const { return m_lost; }
    void setLost(bool lost);
    void setStalled(bool stalled);
    void setExclusive(bool exclusive) { m_exclusive = exclusive; }  // one stream at a time
    void flagNextBuffer(BufferFlags flags) { m_nextFlags = flags; }
    BufferFlags currentFlags() const { return m_flags; }  // of the buffer being moved

    void join(VirtualStream& stream);  // throws AudioError
    void leave(VirtualStream& stream);
    void deliverBuffer();

  protected:
    virtual void becomeBusy(double now) = 0;  // throws AudioError
    virtual void becomeIdle() {}
    virtual void moveBuffer(const std::vector<VirtualStream*>& streams) = 0;

  private:
    std::string m_name;
    const Clock& m_clock;
    std::vector<VirtualStream*> m_streams;
    double m_busySince = 0;
    std::int64_t m_buffers = 0;  // buffers moved since it fell busy
    bool m_lost = false;
    bool m_stalled = false;
    bool m_exclusive = false;
    BufferFlags m_nextFlags;
    BufferFlags m_flags;
};

// "Virtual Feed": plays a sound file as a live line. The feed starts when the device is first
// used and runs on in clock time from then; a stream started later hears the feed where it is
// then. Digital silence after the end of the file (or, with `loop`, the file again from its
// start, for as long as the device runs), and without a file.
class VirtualInputDevice : public VirtualDevice {
  public:
    VirtualInputDevice(std::string name, const Clock& clock, std::unique_ptr<SoundReader> feed,
                       bool loop = false);

  protected:
    void becomeBusy(double now) override;
    void moveBuffer(const std::vector<VirtualStream*>& streams) override;

  private:
    std::unique_ptr<SoundReader> m_feed;  // stereo; null without a file
    bool m_loop = false;
    bool m_started = false;
    double m_feedStart = 0;
    std::vector<std::int16_t> m_buffer;
};

// "Virtual Out n": adds what its streams render and, with an output folder, writes it to
// out<n>.wav. The file is created when the device is first used in a run and every later
// stream appends to it, so it holds everything rendered while streams ran, without the gaps.
// Each buffer reaches the file as it is rendered, the header updated with it; the file is
// synced to disk whenever the device falls idle. A file that cannot be written makes the device
// lost.
class VirtualOutputDevice : public VirtualDevice {
  public:
    VirtualOutputDevice(std::string name, const Clock& clock, SoundFiles& files,
                        std::filesystem::path file);

  protected:
    void becomeBusy(double now) override;
    void becomeIdle() override;
    void moveBuffer(const std::vector<VirtualStream*>& streams) override;

  private:
    SoundFiles& m_files;
    std::filesystem::path m_path;  // empty: what is rendered is thrown away
    std::unique_ptr<SoundWriter> m_writer;
    std::vector<std::int16_t> m_mix;
};

}  // namespace dvx
