#include "platform/qt_clock.h"

#include <QDateTime>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <exception>

#include "viewers/error_reporter.h"

namespace dvx {

struct QtClock::FailureSink {
    ErrorReporter* reporter = nullptr;

    void report(const std::string& timerName, const std::string& description) noexcept {
        try {
            if (reporter != nullptr) {
                reporter->showError(description);
                return;
            }
        } catch (...) {
            // The error window itself failed: the stream below is what is left.
        }
        std::fprintf(stderr, "dorvexia: timer %s: %s\n", timerName.c_str(), description.c_str());
    }
};

class QtClock::QtTimer : public Timer {
  public:
    QtTimer(const std::string& name, int intervalMs, std::function<void()> onTick,
            std::shared_ptr<FailureSink> failures) {
        m_timer.setObjectName(QString::fromStdString(name));
        m_timer.setInterval(intervalMs);
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout,
                         [name, callback = std::move(onTick), failures = std::move(failures)] {
                             try {
                                 callback();
                             } catch (const std::exception& error) {
                                 failures->report(name, error.what());
                             } catch (...) {
                                 failures->report(name,
                                                  "An unknown failure occurred in " + name + ".");
                             }
                         });
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

QtClock::QtClock() : m_failures(std::make_shared<FailureSink>()) {}

QtClock::~QtClock() = default;

void QtClock::setFailureReporter(ErrorReporter* reporter) {
    m_failures->reporter = reporter;
}

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
    return std::make_unique<QtTimer>(name, intervalMs, std::move(onTick), m_failures);
}

}  // namespace dvx
