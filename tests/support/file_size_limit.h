#pragma once

#include <signal.h>
#include <sys/resource.h>

namespace dvx::test {

// Files of this process cannot grow beyond `bytes` while it lives, as on a disk that fills up:
// a write that crosses the limit puts down what fits, the next one fails (EFBIG). Holds for
// root too, and needs no file system of its own.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        m_savedSignal = ::signal(SIGXFSZ, SIG_IGN);  // the write fails instead of ending us
        const rlimit limit{bytes, m_saved.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_saved);
        ::signal(SIGXFSZ, m_savedSignal);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit m_saved{};
    sighandler_t m_savedSignal = SIG_DFL;
};

}  // namespace dvx::test
