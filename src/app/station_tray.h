#pragma once

#include <QObject>
#include <functional>

#include "sensor/sensor_status.h"

class QSystemTrayIcon;
class QWidget;

namespace dvx {

// The program's icon in the desktop's system tray: a disc in the colour of the sensor's state
// (as on the main window's status line), the state in its tool tip ("Dorvexia: Silence 4 s"), a
// desktop notice when an alarm begins and when it ends. Clicking it shows and raises `window`.
// Without a system tray there is no icon and no notice. Main thread only.
class StationTray : public QObject {
    Q_OBJECT
  public:
    // Tells the desktop: the tray icon's message by default.
    using Notify = std::function<void(const AlarmNotice&)>;

    // `trayAvailable` is normally QSystemTrayIcon::isSystemTrayAvailable().
    StationTray(QWidget& window, bool trayAvailable, Notify notify = {});
    ~StationTray() override;

    // Follows the status; cheap when nothing changed.
    void show(const SensorStatus& status, bool alarmActive);

    // The icon, or nothing without a tray.
    QSystemTrayIcon* icon() const { return m_icon; }

  private:
    QWidget& m_window;
    QSystemTrayIcon* m_icon = nullptr;  // child
    Notify m_notify;
    SensorStatus m_shown{StatusKind::Stopped, {}};
    bool m_alarmActive = false;
};

}  // namespace dvx
