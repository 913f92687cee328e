#pragma once

#include "app/station_metrics.h"
#include "notify/delivery_counts.h"

namespace dvx {

class Clock;
class SensorRuntime;

// What the running sensor, its fill, its audio devices and the notification show now, with the
// mail and page counts the notifier keeps. Main thread only.
StationMetrics gatherStationMetrics(SensorRuntime& runtime, const Clock& clock,
                                    const DeliveryCounts& mails, const DeliveryCounts& pages);

}  // namespace dvx
