#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/clock.h"
#include "platform/audio_backend.h"

namespace dvx {

class AlarmLog;
class ErrorReporter;
class StreamComponent;
struct MainAudioGraph;

// Sound lost on the way, counted since the program started.
struct AudioDropouts {
    std::uint64_t overruns = 0;          // device buffers flagged as overflowed, every stream
    std::uint64_t underruns = 0;         // device buffers flagged as underflowed, every stream
    std::uint64_t captureDropped = 0;    // frames the capture ring refused: the pass-through lagged
    std::uint64_t passThroughShort = 0;  // frames of silence the pass-through played for want
                                         // of captured sound while the feed was arriving
    bool operator==(const AudioDropouts&) const = default;
};

// A sound device the graph uses, as the health watch sees it now.
struct DeviceHealth {
    std::string name;  // as the backend lists it
    bool input = false;
    bool ok = true;
};

// "2 overruns, 0 underruns, 1024 frames dropped by the capture, 0 by the pass-through".
std::string describeDropouts(const AudioDropouts& dropouts);

// Watches the devices of the main window's audio graph so that losing one is never silent.
//
// A device counts as lost when a stream on it fails (unplugged card, sound-server restart,
// stream error), refuses to open or start, or runs without a callback for more than 2 s
// (a stalled stream is closed as if its device had gone; a stream just started has 4 s). The loss
// goes to the day's alarm log and the error window as "Audio device lost: <name>", the name as the
// backend lists the device. Every 5 s the watch starts again whatever the program wants running on
// it (the capture, the pass-through at the volume its fader holds, the mixer's fill output); a
// device nothing wants is opened and closed again as a probe. Once the restarted streams deliver
// callbacks (or the probe opens), "Audio device back: <name>" follows the same way. A pass-through
// the sound system carries by itself has no callback of the program's: it is lost only when it
// fails, and back once it runs again.
//
// A lost capture delivers no buffer, so the level test hears silence: the alarm and the fill
// follow as for a silent feed. A lost fill player ends its item as a stopped player does; the
// fill goes on by the clock.
//
// It also adds up the dropouts (AudioDropouts) and writes one line to the alarm log when they
// have grown, at most once a minute.
//
// Main thread only: it runs from a clock timer of its own, between other handlers.
class AudioHealthWatch {
  public:
    static constexpr int kIntervalMs = 200;
    static constexpr double kStallSeconds = 2.0;
    // A stream just started may take longer to get going (a sound server waking an idle
    // device), so it is judged only once it has run this long.
    static constexpr double kStartSeconds = 4.0;
    static constexpr double kRetrySeconds = 5.0;
    static constexpr double kDropoutLogSeconds = 60.0;

    AudioHealthWatch(Clock& clock, AudioBackend& backend, MainAudioGraph& graph, AlarmLog& log,
                     ErrorReporter& errors);
    ~AudioHealthWatch();
    AudioHealthWatch(const AudioHealthWatch&) = delete;
    AudioHealthWatch& operator=(const AudioHealthWatch&) = delete;

    // One round now (the timer does the same).
    void check();

    AudioDropouts dropouts() const;
    // Names of the devices lost now, inputs first.
    std::vector<std::string> lostDevices() const;
    // Every device a stream of the graph has used, in the order of lostDevices().
    std::vector<DeviceHealth> devices() const;

  private:
    struct DeviceKey {
        bool input;
        int index;
        auto operator<=>(const DeviceKey&) const = default;
    };
    struct Device {
        bool lost = false;
        bool confirming = false;  // restarted: waiting for its callbacks
        double nextRetry = 0;
        double confirmUntil = 0;
    };
    struct Track {  // what the last round saw of one component
        std::uint64_t callbacks = 0;
        std::uint64_t failures = 0;
        std::uint64_t baseline = 0;  // callbacks when its device was restarted
        double progressAt = 0;       // when its callbacks last moved, or it began to run
        double runningSince = 0;
        bool wasRunning = false;
    };
    class Probe;
    static constexpr std::size_t kComponents = 5;

    bool watchComponent(std::size_t i, double now);  // true: trouble on its device
    void watchLostDevice(const DeviceKey& key, Device& device, bool trouble, double now);
    void reopen(const DeviceKey& key, Device& device, double now);
    void confirm(const DeviceKey& key, Device& device, double now);
    void report(const DeviceKey& key, const char* what);
    void logDropouts(double now);
    std::string deviceName(const DeviceKey& key) const;
    DeviceKey keyOf(const StreamComponent& component) const;

    Clock& m_clock;
    AudioBackend& m_backend;
    MainAudioGraph& m_graph;
    AlarmLog& m_log;
    ErrorReporter& m_errors;
    std::array<StreamComponent*, kComponents> m_components;
    std::array<Track, kComponents> m_tracks{};
    std::map<DeviceKey, Device> m_devices;
    std::unique_ptr<Probe> m_probe;
    AudioDropouts m_loggedDropouts;
    double m_nextDropoutLog = 0;
    double m_lastRound = 0;  // steady seconds
    std::unique_ptr<Timer> m_timer;
};

}  // namespace dvx
