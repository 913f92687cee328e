#include "app/metrics_gathering.h"

#include <cstdlib>

#include "app/sensor_runtime.h"

namespace dvx {
namespace {

double fractionOfFullScale(std::int16_t peak) {
    return std::abs(static_cast<int>(peak)) / 32768.0;
}

}  // namespace

StationMetrics gatherStationMetrics(SensorRuntime& runtime, const Clock& clock,
                                    const DeliveryCounts& mails, const DeliveryCounts& pages) {
    const SensorEngine& engine = runtime.engine();
    const SensorState& state = engine.state();
    const LevelDetector& levels = runtime.levels();
    StationMetrics m;
    m.armed = state.SensorRunning;
    m.alarm = state.AlarmActive;
    m.fill = !state.FillEnded;
    m.silenceSeconds = state.SensorRunning ? engine.secondsSinceSound() : 0;
    m.peakLeft = fractionOfFullScale(levels.peakLeft());
    m.peakRight = fractionOfFullScale(levels.peakRight());
    const double lastBuffer = levels.lastBufferSteady();
    if (lastBuffer >= 0) {
        if (const std::optional<double> now = unixSeconds(clock.now())) {
            m.lastBufferUnixSeconds = *now - (clock.steadySeconds() - lastBuffer);
        }
    }
    m.alarms = runtime.sequence().alarmsBegun();
    m.fillItems = runtime.fill().itemsStarted();
    m.mailsSent = mails.sent;
    m.mailsFailed = mails.failed;
    m.pagesSent = pages.sent;
    m.pagesFailed = pages.failed;
    const AudioDropouts dropouts = runtime.health().dropouts();
    m.overruns = dropouts.overruns;
    m.underruns = dropouts.underruns;
    m.devices = runtime.health().devices();
    return m;
}

}  // namespace dvx
