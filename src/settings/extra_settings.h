#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace dvx {

// Settings of this program that the station's own data files have no field for, kept in
// `Dorvexia.conf` in the data root as `key=value` lines. Lines it does not understand (comments,
// keys of other versions) are kept as they are when it is written again. Main thread only.
class ExtraSettings {
  public:
    static constexpr const char* kFileName = "Dorvexia.conf";
    static constexpr const char* kMetricsAddress = "metrics-address";

    // The file below `dataRoot`; a file that does not exist holds nothing. Throws IoError when
    // it exists but cannot be read.
    static ExtraSettings read(const std::filesystem::path& dataRoot);

    // The value of `key`, blanks around it dropped; empty when it is not set.
    std::string value(std::string_view key) const;
    void setValue(std::string_view key, std::string_view value);

    // Replaces the file whole (a failure leaves the old one). Throws IoError.
    void write() const;

  private:
    std::filesystem::path m_path;
    std::vector<std::string> m_lines;
};

}  // namespace dvx
