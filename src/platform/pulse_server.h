#pragma once

#include <pulse/pulseaudio.h>

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

    // Waits until a callback calls wake() (pa_threaded_mainloop_wait: unlocks while waiting).
    void wait() { pa_threaded_mainloop_wait(m_loop); }
    // From a callback on the mainloop thread: lets wait() return.
    void wake() { pa_threaded_mainloop_signal(m_loop, 0); }
    // Waits until `operation` has finished or was cancelled, then releases it. False when there
    // was no operation (the call was refused).
    bool finish(pa_operation* operation);

    // The context's last error, for a message.
    std::string lastError() const;

  private:
    static void onContextState(pa_context* context, void* self);
    void connect();
    void dropContext();

    pa_threaded_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
};

}  // namespace dvx
