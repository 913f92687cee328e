#include "common/io_error.h"

#include <cstring>

namespace dvx {

IoError::IoError(const std::string& action, const std::filesystem::path& path, int errorNumber)
    : std::runtime_error(action + " " + path.string() + ": " + std::strerror(errorNumber)),
      m_errorNumber(errorNumber) {}

}  // namespace dvx
