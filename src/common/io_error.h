#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

namespace dvx {

// A failed file or device operation. what() is the message the error window shows: what was
// attempted, on which path, and the system's reason.
class IoError : public std::runtime_error {
  public:
    IoError(const std::string& action, const std::filesystem::path& path, int errorNumber);
    explicit IoError(const std::string& message) : std::runtime_error(message) {}

    int errorNumber() const { return m_errorNumber; }

  private:
    int m_errorNumber = 0;
};

}  // namespace dvx
