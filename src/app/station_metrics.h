#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sensor/audio_health.h"

namespace dvx {

// One look at the running station, for a monitoring system to collect: what the sensor does
// now and what has happened since the program started. Gathered on the main thread.
struct StationMetrics {
    bool armed = false;
    bool alarm = false;
    bool fill = false;          // a fill is under way (winding down included)
    double silenceSeconds = 0;  // since the last loud buffer, while armed; else 0
    double peakLeft = 0;        // last captured buffer, fraction of full scale 0..1
    double peakRight = 0;
    double lastBufferUnixSeconds = 0;  // 0 before the first buffer
    std::uint64_t alarms = 0;
    std::uint64_t fillItems = 0;
    std::uint64_t mailsSent = 0;
    std::uint64_t mailsFailed = 0;
    std::uint64_t pagesSent = 0;
    std::uint64_t pagesFailed = 0;
    std::uint64_t overruns = 0;
    std::uint64_t underruns = 0;
    std::vector<DeviceHealth> devices;
};

// The metrics in the Prometheus text exposition format (version 0.0.4): a HELP and a TYPE line
// before the samples of each metric, every name starting "dorvexia_", counters ending "_total".
std::string renderMetrics(const StationMetrics& metrics);

// The media type of renderMetrics' text.
inline constexpr const char* kMetricsContentType = "text/plain; version=0.0.4; charset=utf-8";

}  // namespace dvx
