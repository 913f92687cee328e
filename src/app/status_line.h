#pragma once

#include <QLabel>

#include "sensor/sensor_status.h"

namespace dvx {

// The main window's status line `lblStatus`: what the sensor is doing in one word, large and
// bold enough to read across the room, on a colour of its own per state (grey stopped, green
// monitoring, amber silence, red alarm, blue filling). Assistive technology hears it as
// "Status", its text (and description) the state.
class StatusLine : public QLabel {
    Q_OBJECT
  public:
    explicit StatusLine(QWidget* parent = nullptr);

    void showStatus(const SensorStatus& status);
    StatusKind kind() const { return m_kind; }

  private:
    StatusKind m_kind = StatusKind::Stopped;
};

}  // namespace dvx
