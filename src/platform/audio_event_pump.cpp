#include "platform/audio_event_pump.h"

#include <algorithm>
#include <exception>

#include "viewers/error_reporter.h"

namespace dvx {

AudioEventPump::AudioEventPump(Clock& clock, ErrorReporter* failures)
    : m_failures(failures),
      m_timer(clock.createTimer("audioEventPump", kIntervalMs, [this] { dispatchNow(); })) {
    m_timer->setEnabled(true);
}

AudioEventPump::~AudioEventPump() = default;

void AudioEventPump::add(AudioEventSource& source) {
    m_sources.push_back(&source);
}

void AudioEventPump::remove(AudioEventSource& source) {
    const auto found = std::find(m_sources.begin(), m_sources.end(), &source);
    if (found == m_sources.end()) {
        return;
    }
    if (m_dispatching) {
        *found = nullptr;  // the round in progress skips it; compacted afterwards
    } else {
        m_sources.erase(found);
    }
}

void AudioEventPump::quicken() {
    if (m_timer->interval() != kIntervalMs) {
        m_timer->setInterval(kIntervalMs);
    }
}

void AudioEventPump::choosePace() {
    const bool quick = std::any_of(m_sources.begin(), m_sources.end(),
                                   [](const AudioEventSource* s) { return s->wantsQuickEvents(); });
    const int interval = quick ? kIntervalMs : kIdleIntervalMs;
    if (m_timer->interval() != interval) {
        m_timer->setInterval(interval);  // a running timer starts the new interval from now
    }
}

void AudioEventPump::dispatchNow() {
    if (m_dispatching) {
        return;  // a callback pumped again: the round in progress covers it
    }
    m_dispatching = true;
    // Ends the round however it ends (a failure let out, a reporter that throws), so the pump
    // keeps working.
    struct RoundEnd {
        AudioEventPump& pump;
        ~RoundEnd() {
            pump.m_dispatching = false;
            std::erase(pump.m_sources, nullptr);
            pump.choosePace();
        }
    } roundEnd{*this};
    // Sources added during the round are asked in the next one.
    std::exception_ptr firstFailure;
    const std::size_t count = m_sources.size();
    for (std::size_t i = 0; i < count; ++i) {
        if (m_sources[i] == nullptr) {
            continue;
        }
        try {
            m_sources[i]->dispatchEvents();
        } catch (const std::exception& error) {
            if (m_failures == nullptr) {
                firstFailure = firstFailure ? firstFailure : std::current_exception();
            } else {
                m_failures->showError(error.what());
            }
        } catch (...) {
            if (m_failures == nullptr) {
                firstFailure = firstFailure ? firstFailure : std::current_exception();
            } else {
                m_failures->showError("A sound component failed in an unknown way.");
            }
        }
    }
    if (firstFailure) {
        std::rethrow_exception(firstFailure);
    }
}

}  // namespace dvx
