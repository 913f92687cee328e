#include "app/station_tray.h"

#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QWidget>

namespace dvx {
namespace {

QIcon discIcon(StatusKind kind) {
    const StatusColour colour = statusColour(kind);
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1.5));
    painter.setBrush(QColor(colour.red, colour.green, colour.blue));
    painter.drawEllipse(QRectF(2, 2, 28, 28));
    return QIcon(pixmap);
}

}  // namespace

StationTray::StationTray(QWidget& window, bool trayAvailable, Notify notify)
    : QObject(&window), m_window(window), m_notify(std::move(notify)) {
    if (!trayAvailable) {
        return;
    }
    m_icon = new QSystemTrayIcon(discIcon(StatusKind::Stopped), this);
    if (!m_notify) {
        m_notify = [icon = m_icon](const AlarmNotice& notice) {
            icon->showMessage(
                QString::fromStdString(notice.title), QString::fromStdString(notice.text),
                notice.begins ? QSystemTrayIcon::Critical : QSystemTrayIcon::Information);
        };
    }
    connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason) {
        m_window.showNormal();
        m_window.raise();
        m_window.activateWindow();
    });
    show(sensorStatus({}, false), false);
    m_icon->show();
}

StationTray::~StationTray() = default;

void StationTray::show(const SensorStatus& status, bool alarmActive) {
    if (m_icon == nullptr) {
        return;
    }
    if (status.kind != m_shown.kind) {
        m_icon->setIcon(discIcon(status.kind));
    }
    if (status.text != m_shown.text) {
        m_icon->setToolTip(QString::fromStdString(statusToolTip(status)));
    }
    m_shown = status;
    if (const std::optional<AlarmNotice> notice = alarmNotice(m_alarmActive, alarmActive)) {
        m_notify(*notice);
    }
    m_alarmActive = alarmActive;
}

}  // namespace dvx
