#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/audio_backend.h"

namespace dvx {

// A backend's input or output devices in the order it lists them (a stored device index is a
// position here): the name the operator sees, and what the backend opens the device by.
template <typename Id>
class DeviceList {
  public:
    void add(Id id, std::string name) { m_devices.emplace_back(std::move(id), std::move(name)); }
    bool empty() const { return m_devices.empty(); }

    std::vector<std::string> names() const {
        std::vector<std::string> names;
        for (const auto& device : m_devices) {
            names.push_back(device.second);
        }
        return names;
    }

    // Throws AudioError when `index` names no device; `kind` is "input" or "output".
    const Id& at(int index, const char* kind) const {
        if (index < 0 || static_cast<std::size_t>(index) >= m_devices.size()) {
            throw AudioError(std::string("There is no sound ") + kind + " device number " +
                             std::to_string(index));
        }
        return m_devices[static_cast<std::size_t>(index)].first;
    }

    std::optional<int> find(const Id& id) const {
        for (std::size_t i = 0; i < m_devices.size(); ++i) {
            if (m_devices[i].first == id) {
                return static_cast<int>(i);
            }
        }
        return std::nullopt;
    }

  private:
    std::vector<std::pair<Id, std::string>> m_devices;
};

}  // namespace dvx
