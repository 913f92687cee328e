#include "platform/qt_clock.h"

#include <QDateTime>
#include <QTimer>
#include <chrono>

namespace dvx {
namespace {

class QtTimer : public Timer {
  public:
    QtTimer(const std::string& name, int intervalMs, std::function<void()> onTick) {
        m_timer.setObjectName(QString::fromStdString(name));
        m_timer.setInterval(intervalMs);
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout,
                         [callback = std::move(onTick)] { callback(); });
    }
    void setEnabled(bool enabled) override {
        if (enabled) {
            if (!m_timer.isActive()) {
                m_timer.start();
            }
        } else {
            m_timer.stop();
        }
    }
    bool isEnabled() const override { return m_timer.isActive(); }
    void setInterval(int milliseconds) override { m_timer.setInterval(milliseconds); }
    int interval() const override { return m_timer.interval(); }

  private:
    QTimer m_timer;
};

}  // namespace

LocalDateTime QtClock::now() const {
    const QDateTime current = QDateTime::currentDateTime();
    const QDate date = current.date();
    LocalDateTime result;
    result.year = date.year();
    result.month = date.month();
    result.day = date.day();
    result.weekday = date.dayOfWeek() % 7 + 1;  // Qt counts Monday = 1 ... Sunday = 7
    result.secondsOfDay = current.time().msecsSinceStartOfDay() / 1000.0;
    return result;
}

double QtClock::steadySeconds() const {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

std::unique_ptr<Timer> QtClock::createTimer(std::string name, int intervalMs,
                                            std::function<void()> onTick) {
    return std::make_unique<QtTimer>(name, intervalMs, std::move(onTick));
}

}  // namespace dvx
