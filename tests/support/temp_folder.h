#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "viewers/error_reporter.h"

namespace dvx::test {

// A fresh folder below the system's temporary folder, removed with everything in it at the end.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return m_path; }

  private:
    std::filesystem::path m_path;
};

std::vector<std::uint8_t> fileBytes(const std::filesystem::path& path);
std::string fileText(const std::filesystem::path& path);
// The CR LF lines of a file, without their ends; none for a missing file.
std::vector<std::string> fileLines(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, const std::string& content);

// Keeps every message the core reports, in order.
class RecordingErrorReporter : public ErrorReporter {
  public:
    void showError(std::string_view message) override { messages.emplace_back(message); }
    std::vector<std::string> messages;
};

}  // namespace dvx::test
