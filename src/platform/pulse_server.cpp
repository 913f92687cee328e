#include "platform/pulse_server.h"

#include <pthread.h>
#include <sched.h>

#include "platform/audio_backend.h"

namespace dvx {
namespace {

// Asks for real-time scheduling of the mainloop thread, which runs every stream's callbacks,
// as PortAudio does for its ALSA threads. Where the system refuses, it goes on at normal
// priority.
void preferRealTime() {
    sched_param parameter{};
    parameter.sched_priority = sched_get_priority_min(SCHED_FIFO) + 10;
    pthread_setschedparam(pthread_self(), SCHED_FIFO, &parameter);
}

}  // namespace

PulseServer::PulseServer() : m_loop(pa_threaded_mainloop_new()) {
    if (m_loop == nullptr || pa_threaded_mainloop_start(m_loop) < 0) {
        if (m_loop != nullptr) {
            pa_threaded_mainloop_free(m_loop);
        }
        throw AudioError("The sound server's thread cannot be started");
    }
}

PulseServer::~PulseServer() {
    {
        Lock lock(*this);
        dropContext();
    }
    pa_threaded_mainloop_stop(m_loop);
    pa_threaded_mainloop_free(m_loop);
}

pa_context* PulseServer::context() {
    if (m_context != nullptr && pa_context_get_state(m_context) != PA_CONTEXT_READY) {
        dropContext();
    }
    if (m_context == nullptr) {
        connect();
    }
    return m_context;
}

void PulseServer::connect() {
    m_context = pa_context_new(pa_threaded_mainloop_get_api(m_loop), "Dorvexia");
    if (m_context == nullptr) {
        throw AudioError("The sound server cannot be reached");
    }
    pa_context_set_state_callback(m_context, &PulseServer::onContextState, this);
    // Never starts a sound server of its own: where none runs, the machine is reached through
    // PortAudio instead (see createMachineAudioBackend).
    if (pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0) {
        for (;;) {
            const pa_context_state_t state = pa_context_get_state(m_context);
            if (state == PA_CONTEXT_READY) {
                return;
            }
            if (!PA_CONTEXT_IS_GOOD(state)) {
                break;
            }
            wait();
        }
    }
    const std::string why = lastError();
    dropContext();
    throw AudioError("The sound server cannot be reached: " + why);
}

void PulseServer::dropContext() {
    markWatchedGone();
    if (m_context != nullptr) {
        pa_context_set_state_callback(m_context, nullptr, nullptr);
        pa_context_set_subscribe_callback(m_context, nullptr, nullptr);
        m_subscribed = false;
        pa_context_disconnect(m_context);
        pa_context_unref(m_context);
        m_context = nullptr;
    }
}

bool PulseServer::finish(pa_operation* operation) {
    if (operation == nullptr) {
        return false;
    }
    pa_operation_set_state_callback(
        operation, [](pa_operation*, void* self) { static_cast<PulseServer*>(self)->wake(); },
        this);
    while (pa_operation_get_state(operation) == PA_OPERATION_RUNNING) {
        wait();
    }
    pa_operation_unref(operation);
    return true;
}

std::string PulseServer::lastError() const {
    return m_context != nullptr ? pa_strerror(pa_context_errno(m_context)) : "not connected";
}

void PulseServer::watchModule(std::uint32_t index, std::atomic<bool>& gone) {
    pa_context* current = context();
    if (!m_subscribed) {
        // Module events only: the server tells of nothing else, so the loop stays asleep.
        pa_context_set_subscribe_callback(current, &PulseServer::onEvent, this);
        pa_operation* subscribe =
            pa_context_subscribe(current, PA_SUBSCRIPTION_MASK_MODULE, nullptr, nullptr);
        if (subscribe == nullptr) {
            throw AudioError("The sound server's events cannot be followed: " + lastError());
        }
        pa_operation_unref(subscribe);
        m_subscribed = true;
    }
    m_watchedModules[index] = &gone;
}

void PulseServer::markWatchedGone() {
    for (auto& [index, gone] : m_watchedModules) {
        gone->store(true, std::memory_order_relaxed);
    }
}

void PulseServer::onEvent(pa_context* /*context*/, pa_subscription_event_type_t type,
                          std::uint32_t index, void* self) {
    const auto facility = type & PA_SUBSCRIPTION_EVENT_FACILITY_MASK;
    const auto kind = type & PA_SUBSCRIPTION_EVENT_TYPE_MASK;
    if (facility != PA_SUBSCRIPTION_EVENT_MODULE || kind != PA_SUBSCRIPTION_EVENT_REMOVE) {
        return;
    }
    auto& me = *static_cast<PulseServer*>(self);
    if (const auto watched = me.m_watchedModules.find(index);
        watched != me.m_watchedModules.end()) {
        watched->second->store(true, std::memory_order_relaxed);
    }
}

void PulseServer::onContextState(pa_context* context, void* self) {
    auto& me = *static_cast<PulseServer*>(self);
    const pa_context_state_t state = pa_context_get_state(context);
    if (state == PA_CONTEXT_READY) {
        preferRealTime();  // on the mainloop thread
    } else if (!PA_CONTEXT_IS_GOOD(state)) {
        me.markWatchedGone();  // the server went away, and its modules with it
    }
    me.wake();
}

}  // namespace dvx
