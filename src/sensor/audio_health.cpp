#include "sensor/audio_health.h"

#include <algorithm>
#include <stdexcept>

#include "platform/main_audio_graph.h"
#include "sensor/alarm_log.h"
#include "viewers/error_reporter.h"

namespace dvx {

std::string describeDropouts(const AudioDropouts& d) {
    return std::to_string(d.overruns) + " overruns, " + std::to_string(d.underruns) +
           " underruns, " + std::to_string(d.captureDropped) + " frames dropped by the capture, " +
           std::to_string(d.passThroughShort) + " by the pass-through";
}

// The sink and source of a probe stream, which is opened and closed without being started.
class AudioHealthWatch::Probe : public CaptureSink, public RenderSource {
  public:
    void onCaptured(const std::int16_t*, int, int) noexcept override {}
    void render(std::int16_t* samples, int frames, int channels) noexcept override {
        std::fill(samples, samples + static_cast<std::ptrdiff_t>(frames) * channels,
                  std::int16_t{0});
    }
};

AudioHealthWatch::AudioHealthWatch(Clock& clock, AudioBackend& backend, MainAudioGraph& graph,
                                   AlarmLog& log, ErrorReporter& errors)
    : m_clock(clock),
      m_backend(backend),
      m_graph(graph),
      m_log(log),
      m_errors(errors),
      m_components{&graph.WaveIn, &graph.WaveOut1, &graph.WaveOut2, &graph.WavePlayer1,
                   &graph.WavePlayer2},
      m_probe(std::make_unique<Probe>()) {
    m_timer = m_clock.createTimer("audioHealth", kIntervalMs, [this] {
        try {
            check();
        } catch (const std::exception& error) {
            m_errors.showError(error.what());  // ends this round only; the next starts over
        }
    });
    m_timer->setEnabled(true);
}

AudioHealthWatch::~AudioHealthWatch() = default;

AudioHealthWatch::DeviceKey AudioHealthWatch::keyOf(const StreamComponent& component) const {
    return {component.isInput(), component.device()};
}

void AudioHealthWatch::check() {
    const double now = m_clock.steadySeconds();
    if (now - m_lastRound > kStallSeconds / 2) {
        // This thread was held up (a busy machine): the callbacks it did not see proved
        // nothing, and virtual devices, paced from this thread too, were held up alike.
        for (Track& track : m_tracks) {
            track.progressAt = now;
        }
    }
    m_lastRound = now;
    std::map<DeviceKey, bool> trouble;
    for (std::size_t i = 0; i < kComponents; ++i) {
        const bool bad = watchComponent(i, now);
        trouble[keyOf(*m_components[i])] |= bad;
    }
    for (auto& [key, device] : m_devices) {
        if (!device.lost && trouble[key]) {
            device.lost = true;
            device.confirming = false;
            device.nextRetry = now + kRetrySeconds;
            report(key, "Audio device lost: ");
        } else if (device.lost) {
            watchLostDevice(key, device, trouble[key], now);
        }
    }
    logDropouts(now);
}

bool AudioHealthWatch::watchComponent(std::size_t i, double now) {
    StreamComponent& component = *m_components[i];
    Track& track = m_tracks[i];
    const StreamHealth health = component.health();
    m_devices.try_emplace(keyOf(component));
    const bool failed = health.failures != track.failures;
    if (!health.running || !track.wasRunning) {
        track.runningSince = now;
    }
    // A stream the sound system carries has no callback to stall: only its failure counts.
    if (!health.running || !track.wasRunning || health.stats.callbacks != track.callbacks ||
        !health.callsBack) {
        track.progressAt = now;
    }
    track.failures = health.failures;
    track.callbacks = health.stats.callbacks;
    track.wasRunning = health.running;
    const bool stalled = health.running && now - track.progressAt > kStallSeconds &&
                         now - track.runningSince > kStartSeconds;
    if (stalled) {
        component.declareStalled();  // closed by the event pump, as on a lost device
        track.progressAt = now;
    }
    return failed || stalled || (health.wanted && !health.running);
}

void AudioHealthWatch::watchLostDevice(const DeviceKey& key, Device& device, bool trouble,
                                       double now) {
    if (device.confirming) {
        if (trouble) {
            device.confirming = false;  // failed again: the next attempt in a few seconds
        } else {
            confirm(key, device, now);
        }
        return;
    }
    if (now >= device.nextRetry) {
        device.nextRetry = now + kRetrySeconds;
        reopen(key, device, now);
    }
}

void AudioHealthWatch::reopen(const DeviceKey& key, Device& device, double now) {
    bool anyWanted = false;
    try {
        for (StreamComponent* component : m_components) {
            if (keyOf(*component) == key && component->health().wanted) {
                anyWanted = true;
                component->restart();
            }
        }
        if (!anyWanted) {
            // Opened and closed at once: the device takes streams again.
            if (key.input) {
                m_backend.openInput(key.index, 2, *m_probe);
            } else {
                m_backend.openOutput(key.index, 2, *m_probe);
            }
        }
    } catch (const std::exception&) {
        return;  // still away: tried again in a few seconds
    }
    if (!anyWanted) {
        device.lost = false;
        report(key, "Audio device back: ");
        return;
    }
    for (std::size_t i = 0; i < kComponents; ++i) {
        m_tracks[i].baseline = m_components[i]->health().stats.callbacks;
    }
    device.confirming = true;
    device.confirmUntil = now + kStartSeconds;
}

void AudioHealthWatch::confirm(const DeviceKey& key, Device& device, double now) {
    bool delivering = true;
    for (std::size_t i = 0; i < kComponents; ++i) {
        const StreamHealth health = m_components[i]->health();
        const bool proven =
            health.callsBack ? health.stats.callbacks > m_tracks[i].baseline : health.running;
        if (keyOf(*m_components[i]) == key && health.wanted && !proven) {
            delivering = false;
        }
    }
    if (delivering) {
        device.lost = false;
        device.confirming = false;
        report(key, "Audio device back: ");
    } else if (now >= device.confirmUntil) {
        device.confirming = false;  // opened, but no callback: closed and tried again later
        for (StreamComponent* component : m_components) {
            if (keyOf(*component) == key && component->health().running) {
                component->declareStalled();
            }
        }
    }
}

void AudioHealthWatch::report(const DeviceKey& key, const char* what) {
    const std::string line = what + deviceName(key);
    m_log.WriteAlarmLog(line);
    m_errors.showError(line);
}

std::string AudioHealthWatch::deviceName(const DeviceKey& key) const {
    const std::vector<std::string> names =
        key.input ? m_backend.inputDeviceNames() : m_backend.outputDeviceNames();
    if (key.index >= 0 && static_cast<std::size_t>(key.index) < names.size()) {
        return names[static_cast<std::size_t>(key.index)];
    }
    return std::string(key.input ? "input" : "output") + " device " + std::to_string(key.index);
}

AudioDropouts AudioHealthWatch::dropouts() const {
    AudioDropouts dropouts;
    for (const StreamComponent* component : m_components) {
        const StreamStats stats = component->health().stats;
        dropouts.overruns += stats.overruns;
        dropouts.underruns += stats.underruns;
    }
    dropouts.captureDropped = m_graph.WaveOut1.droppedFrames();
    dropouts.passThroughShort = m_graph.WaveOut1.shortFrames();
    return dropouts;
}

std::vector<std::string> AudioHealthWatch::lostDevices() const {
    std::vector<std::string> names;
    for (const DeviceHealth& device : devices()) {
        if (!device.ok) {
            names.push_back(device.name);
        }
    }
    return names;
}

std::vector<DeviceHealth> AudioHealthWatch::devices() const {
    std::vector<DeviceHealth> all;
    for (const auto& [key, device] : m_devices) {
        all.push_back({deviceName(key), key.input, !device.lost});
    }
    return all;
}

void AudioHealthWatch::logDropouts(double now) {
    const AudioDropouts current = dropouts();
    if (current == m_loggedDropouts || now < m_nextDropoutLog) {
        return;
    }
    m_loggedDropouts = current;
    m_nextDropoutLog = now + kDropoutLogSeconds;
    m_log.WriteAlarmLog("Audio dropouts: " + describeDropouts(current));
}

}  // namespace dvx
