#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "platform/audio_backend.h"
#include "platform/pulse_server.h"

namespace dvx {

// The live pass-through carried by the sound server itself: a `module-loopback` from the feed's
// source to Net Out's sink, loaded while the stream runs and unloaded when it stops. The
// server moves the sound on its own threads, so the program wakes only when the server hands
// on captured sound for the level test (about 100 times a second), where a pass-through of its
// own woke about 500 times. The gain is the loopback's volume on the server.
//
// Neither end is ever moved to another device: when the source or the sink goes, the server
// unloads the loopback and the stream has failed (hasFailed()), as a stream on a pulled card.
// A loopback that an earlier run of the program left behind (it was killed before it could
// unload it) is unloaded before a new one is loaded, so the feed never doubles on Net Out.
//
// Threads: main thread only; the module's removal is noticed on the mainloop thread.
class PulsePassThrough : public CarriedPassThrough {
  public:
    // The server paces its devices, and with them every capture, by the least delay its
    // streams ask for: 30 ms wakes everything half as often as 20 ms, for about 12 ms more.
    static constexpr int kLatencyMs = 30;

    // `source` and `sink` are the server's names of the devices. When the server refuses the
    // loopback although both devices are there (it lets no client load modules), start() sets
    // `refused` and throws CarryRefused: the backend then passes the sound through the program.
    PulsePassThrough(PulseServer& server, std::string source, std::string sink, int channels,
                     bool& refused);
    ~PulsePassThrough() override;
    PulsePassThrough(const PulsePassThrough&) = delete;
    PulsePassThrough& operator=(const PulsePassThrough&) = delete;

    void start() override;  // throws AudioError while a device is away
    void stop() override;
    bool isRunning() const override { return m_module != PA_INVALID_INDEX; }
    bool hasFailed() const override { return m_gone.load(std::memory_order_relaxed); }
    void setGain(int volume) override;

    // The loopback's arguments, by which an earlier one into the same sink is also known.
    std::string moduleArguments() const;

  private:
    void unloadLeftovers();
    void requireDevices();
    std::uint32_t findSinkInput();
    void applyGain();
    void unload();

    PulseServer& m_server;
    const std::string m_source;
    const std::string m_sink;
    const int m_channels;
    bool& m_refused;
    int m_gain = 16384;
    std::uint32_t m_module = PA_INVALID_INDEX;
    std::uint32_t m_sinkInput = PA_INVALID_INDEX;
    std::atomic<bool> m_gone{false};
};

}  // namespace dvx
