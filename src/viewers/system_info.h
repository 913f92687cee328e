#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "settings/parameters.h"

namespace dvx {

// What About > System Info shows: the toolkit, the sound devices in use, where the data lives
// and how much room is left there, and how long the program has run.
struct SystemInfo {
    std::string qtVersion;
    std::string audioSystem;                                   // "portaudio", "virtual"
    std::vector<std::pair<std::string, std::string>> devices;  // role ("Net In"), device name
    std::filesystem::path dataRoot;
    std::optional<std::uintmax_t> freeBytes;  // nothing when the space cannot be read
    std::int64_t uptimeSeconds = 0;
};

// The devices the program uses, by the role the Preferences window gives them, named from the
// device lists (enumeration order); an index the lists lack reads "none (device N)".
std::vector<std::pair<std::string, std::string>> devicesInUse(
    const DeviceChoice& devices, const Parameters& parameters,
    const std::vector<std::string>& inputs, const std::vector<std::string>& outputs);

// The free space of the file system that holds `folder`, or nothing when it cannot be read.
std::optional<std::uintmax_t> freeSpace(const std::filesystem::path& folder);

// The window's text, one "Name: value" line each.
std::string systemInfoText(const SystemInfo& info);

}  // namespace dvx
