#include "library/catalogue_watch.h"

#include <sys/stat.h>

namespace dvx {

bool CatalogueWatch::changed() {
    struct stat info {};
    if (::stat(m_file.c_str(), &info) != 0) {
        info = {};
    }
    const std::int64_t modified =
        static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    const auto size = static_cast<std::uintmax_t>(info.st_size);
    const bool changed = size != m_size || modified != m_modified;
    m_size = size;
    m_modified = modified;
    return changed;
}

}  // namespace dvx
