#include "viewers/system_info.h"

#include <cstdio>
#include <system_error>

namespace dvx {
namespace {

std::string deviceName(const std::vector<std::string>& names, std::int64_t index) {
    if (index < 0 || index >= static_cast<std::int64_t>(names.size())) {
        return "none (device " + std::to_string(index) + ")";
    }
    return names[static_cast<std::size_t>(index)];
}

std::string byteCount(std::uintmax_t bytes) {
    constexpr const char* kUnits[] = {"bytes", "KB", "MB", "GB", "TB"};
    double amount = static_cast<double>(bytes);
    std::size_t unit = 0;
    while (amount >= 1024 && unit + 1 < std::size(kUnits)) {
        amount /= 1024;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof text, unit == 0 ? "%.0f %s" : "%.1f %s", amount, kUnits[unit]);
    return text;
}

std::string duration(std::int64_t seconds) {
    char clock[16];
    std::snprintf(clock, sizeof clock, "%02lld:%02lld:%02lld",
                  static_cast<long long>(seconds / 3600 % 24),
                  static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
    const std::int64_t days = seconds / 86400;
    if (days == 0) {
        return clock;
    }
    return std::to_string(days) + (days == 1 ? " day " : " days ") + clock;
}

}  // namespace

std::vector<std::pair<std::string, std::string>> devicesInUse(
    const DeviceChoice& devices, const Parameters& parameters,
    const std::vector<std::string>& inputs, const std::vector<std::string>& outputs) {
    return {{"Net In", deviceName(inputs, devices.NetInDevice)},
            {"Net Out", deviceName(outputs, devices.NetOutDevice)},
            {"Out 1", deviceName(outputs, devices.Out1Device)},
            {"Out 2", deviceName(outputs, devices.Out2Device)},
            {"Aud In", deviceName(inputs, parameters.AudInDevice)},
            {"Aud Out", deviceName(outputs, parameters.AudOutDevice)}};
}

std::optional<std::uintmax_t> freeSpace(const std::filesystem::path& folder) {
    std::error_code error;
    const std::filesystem::space_info space = std::filesystem::space(folder, error);
    if (error) {
        return std::nullopt;
    }
    return space.available;
}

std::string systemInfoText(const SystemInfo& info) {
    std::string text = "Qt version: " + info.qtVersion + "\n";
    text += "Audio system: " + info.audioSystem + "\n";
    for (const auto& [role, name] : info.devices) {
        text += role + ": " + name + "\n";
    }
    text += "Data root: " + info.dataRoot.string() + "\n";
    text += "Free space there: " +
            (info.freeBytes ? byteCount(*info.freeBytes) : std::string("cannot be read")) + "\n";
    text += "Running for: " + duration(info.uptimeSeconds) + "\n";
    return text;
}

}  // namespace dvx
