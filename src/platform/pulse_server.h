#pragma once

#include <pulse/pulseaudio.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <string>

namespace dvx {

// One connection to the PulseAudio sound server, shared by every stream of the backend: one
// pa_threaded_mainloop thread runs every stream's callbacks, and one pa_context carries them.
//
// Threads: everything here except the constructor and destructor is called with the mainloop
// locked (Lock), on the main thread; the mainloop thread holds that lock while it runs the
// callbacks, so a holder of the lock never overlaps a callback.
class PulseServer {
  public:
    // Starts the mainloop thread. Throws AudioError when the mainloop cannot be made; a server
    // that cannot be reached is only noticed by context().
    PulseServer();
    ~PulseServer();
    PulseServer(const PulseServer&) = delete;
    PulseServer& operator=(const PulseServer&) = delete;

    class Lock {
      public:
        explicit Lock(PulseServer& server) : m_loop(server.m_loop) {
            pa_threaded_mainloop_lock(m_loop);
        }
        ~Lock() { pa_threaded_mainloop_unlock(m_loop); }
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

      private:
        pa_threaded_mainloop* m_loop;
    };

    // The connected context. After the server went away (restarted, ended), connects anew, so
    // streams can be opened again once it is back. Throws AudioError when it cannot connect.
    pa_context* context();
    // The context while it is connected, else nullptr: for what only makes sense on the
    // connection it was begun on (undoing it, adjusting it).
    pa_context* connectedContext() const {
        return m_context != nullptr && pa_context_get_state(m_context) == PA_CONTEXT_READY
                   ? m_context
                   : nullptr;
    }

    // Waits until a callback calls wake() (pa_threaded_mainloop_wait: unlocks while waiting).
    void wait() { pa_threaded_mainloop_wait(m_loop); }
    // From a callback on the mainloop thread: lets wait() return.
    void wake() { pa_threaded_mainloop_signal(m_loop, 0); }
    // Waits until `operation` has finished or was cancelled, then releases it. False when there
    // was no operation (the call was refused).
    bool finish(pa_operation* operation);

    // The context's last error, for a message.
    std::string lastError() const;

    // Sets `gone` (on the mainloop thread) once the server's module `index` is unloaded, by
    // itself or by anyone, or the connection to the server is lost. Ends with unwatchModule(),
    // before `gone` goes.
    void watchModule(std::uint32_t index, std::atomic<bool>& gone);
    void unwatchModule(std::uint32_t index) { m_watchedModules.erase(index); }

  private:
    static void onContextState(pa_context* context, void* self);
    static void onEvent(pa_context* context, pa_subscription_event_type_t type, std::uint32_t index,
                        void* self);
    void markWatchedGone();
    void connect();
    void dropContext();

    pa_threaded_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
    std::map<std::uint32_t, std::atomic<bool>*> m_watchedModules;  // under the lock
    bool m_subscribed = false;  // to the module events of the current context
};

}  // namespace dvx
