#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>

namespace dvx {

// Tells a window that a catalogue file changed since it last looked, by its size and
// modification time: an import on the command line adds entries while the monitor runs, and the
// spot and music files windows rebuild their lists when changed() says so (when they are shown
// and on their timer). A change the window made itself reads as a change too; rebuilding then is
// harmless. Costs one stat() a call. Main thread.
class CatalogueWatch {
  public:
    explicit CatalogueWatch(std::filesystem::path file) : m_file(std::move(file)) { changed(); }

    // True when the file differs from the last call (or from construction).
    bool changed();

  private:
    std::filesystem::path m_file;
    std::uintmax_t m_size = 0;
    std::int64_t m_modified = 0;  // nanoseconds
};

}  // namespace dvx
