#include "platform/qt_clock.h"

#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <exception>
#include <vector>

#include "common/system_clock.h"
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

namespace {

double steadyNow() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

// The timers of a beat or more ride one shared Qt timer, so the main thread wakes once per
// beat for all of them instead of once for each: at rest an armed station has half a dozen
// timers, and the wake-ups, not the work, were most of what it cost. The beats fall on a grid
// of 25 ms, and the shared timer wakes only for a beat some member is due on. A member fires
// on the first beat at or after its due time (at most one beat late, a little early at most)
// and its next due time follows from the last one, so its period stays true. Members due on
// the same beat fire earliest first. A member starts on the coarsest grid of 4, 2 or 1 beats
// that its interval is a whole number of, so the 100 ms and 200 ms timers of an armed station
// all fall on the same beats and wake the thread 10 times a second, not 20 or 40 (and a 50 ms
// timer, during a fade, joins them on every other of its beats).
struct QtClock::Beat {
    static constexpr int kBeatMs = 25;
    static constexpr double kBeatSeconds = kBeatMs / 1000.0;
    static constexpr double kEarlySeconds = 0.004;  // a beat's own jitter

    QTimer timer;  // single shot, for the next beat a member is due on
    std::vector<QtTimer*> members;
    double origin = 0;  // a beat: the others fall whole beats from it
    double nextBeat = 0;

    Beat() {
        timer.setObjectName("clockBeat");
        timer.setSingleShot(true);
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, [this] { run(); });
    }
    void join(QtTimer* member);
    // The first due time of a member starting now: its interval on, then onto its grid.
    double firstDue(int intervalMs) {
        const double now = steadyNow();
        if (members.empty()) {
            origin = now;
        }
        int gridMs = kBeatMs;
        for (const int beats : {4, 2}) {
            if (intervalMs % (beats * kBeatMs) == 0) {
                gridMs = beats * kBeatMs;
                break;
            }
        }
        const double grid = gridMs / 1000.0;
        return origin +
               std::ceil((now + intervalMs / 1000.0 - kEarlySeconds - origin) / grid) * grid;
    }
    void leave(QtTimer* member) {
        std::erase(members, member);
        if (members.empty()) {
            timer.stop();
        }
    }
    // Wakes on the first beat at or after `due`, unless it wakes before then already.
    void wakeFor(double due) {
        const double now = steadyNow();
        const double beat = std::max(
            now, origin + std::ceil((due - kEarlySeconds - origin) / kBeatSeconds) * kBeatSeconds);
        if (timer.isActive() && nextBeat <= beat) {
            return;
        }
        nextBeat = beat;
        timer.start(static_cast<int>(std::ceil((beat - now) * 1000.0)));
    }
    void run();
};

class QtClock::QtTimer : public Timer {
  public:
    QtTimer(const std::string& name, int intervalMs, std::function<void()> onTick,
            std::shared_ptr<FailureSink> failures, std::shared_ptr<Beat> beat)
        : m_name(name),
          m_interval(intervalMs),
          m_onTick(std::move(onTick)),
          m_failures(std::move(failures)),
          m_beat(std::move(beat)) {
        m_own.setObjectName(QString::fromStdString(name));
        m_own.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_own, &QTimer::timeout, [this] { tick(); });
    }
    ~QtTimer() override { setEnabled(false); }

    void setEnabled(bool enabled) override {
        if (enabled == m_enabled) {
            return;
        }
        m_enabled = enabled;
        if (!enabled) {
            m_own.stop();
            m_beat->leave(this);
        } else if (onBeat()) {
            m_due = m_beat->firstDue(m_interval);
            m_beat->join(this);
        } else {
            m_own.start(m_interval);
        }
    }
    bool isEnabled() const override { return m_enabled; }
    // As a Qt timer: a running timer starts its new interval from now.
    void setInterval(int milliseconds) override {
        const bool enabled = m_enabled;
        setEnabled(false);
        m_interval = milliseconds;
        setEnabled(enabled);
    }
    int interval() const override { return m_interval; }

    double due() const { return m_due; }
    // A beat found it due at `now`: the next due time, then the handler.
    void fireOnBeat(double now) {
        const double interval = m_interval / 1000.0;
        m_due += interval;
        if (m_due <= now) {  // beats were missed: no burst to catch up, and the phase stays
            m_due += (std::floor((now - m_due) / interval) + 1) * interval;
        }
        tick();
    }

  private:
    bool onBeat() const { return m_interval >= Beat::kBeatMs; }

    void tick() {
        try {
            m_onTick();
        } catch (const std::exception& error) {
            m_failures->report(m_name, error.what());
        } catch (...) {
            m_failures->report(m_name, "An unknown failure occurred in " + m_name + ".");
        }
    }

    std::string m_name;
    int m_interval;
    std::function<void()> m_onTick;
    std::shared_ptr<FailureSink> m_failures;
    std::shared_ptr<Beat> m_beat;
    QTimer m_own;  // for an interval shorter than a beat
    bool m_enabled = false;
    double m_due = 0;  // on the beat: when it fires next
};

void QtClock::Beat::join(QtTimer* member) {
    members.push_back(member);
    wakeFor(member->due());
}

void QtClock::Beat::run() {
    // A handler may stop, start, make or destroy timers, so each round looks again for the
    // earliest member still due; a member that fired is due again a whole interval later.
    const double now = steadyNow();
    for (;;) {
        QtTimer* next = nullptr;
        for (QtTimer* member : members) {
            if (member->due() <= now + kEarlySeconds &&
                (next == nullptr || member->due() < next->due())) {
                next = member;
            }
        }
        if (next == nullptr) {
            break;
        }
        next->fireOnBeat(now);
    }
    if (!members.empty()) {
        const auto earliest = std::min_element(
            members.begin(), members.end(),
            [](const QtTimer* a, const QtTimer* b) { return a->due() < b->due(); });
        wakeFor((*earliest)->due());
    }
}

QtClock::QtClock()
    : m_failures(std::make_shared<FailureSink>()), m_beat(std::make_shared<Beat>()) {}

QtClock::~QtClock() = default;

void QtClock::setFailureReporter(ErrorReporter* reporter) {
    m_failures->reporter = reporter;
}

LocalDateTime QtClock::now() const {
    return systemLocalTime();
}

double QtClock::steadySeconds() const {
    return steadyNow();
}

std::unique_ptr<Timer> QtClock::createTimer(std::string name, int intervalMs,
                                            std::function<void()> onTick) {
    return std::make_unique<QtTimer>(name, intervalMs, std::move(onTick), m_failures, m_beat);
}

}  // namespace dvx
