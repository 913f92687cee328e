#pragma once

#include <map>
#include <utility>
#include <vector>

#include "common/io_error.h"
#include "sensor/port_io.h"

namespace dvx::test {

// Port registers in memory: reads return what the test put at an address (0 otherwise),
// writes are kept in order. With `failure` set every access throws it.
class MemoryPortIo : public PortIo {
  public:
    int Inp(int address) override {
        check();
        ++reads;
        return registers[address];
    }
    void Outp(int address, int value) override {
        check();
        writes.emplace_back(address, value);
    }
    std::string device() const override { return "the memory port"; }

    std::map<int, int> registers;
    std::vector<std::pair<int, int>> writes;
    int reads = 0;
    std::string failure;

  private:
    void check() const {
        if (!failure.empty()) {
            throw IoError(failure);
        }
    }
};

// Hands out one memory port for either interface; a failing access makes the call return
// false, as the program's port access does.
class MemoryPortAccess : public PortAccess {
  public:
    bool withPort(int RemoteControl, const std::function<void(PortIo&)>& use) override {
        interfaces.push_back(RemoteControl);
        try {
            use(port);
        } catch (const IoError&) {
            return false;
        }
        return true;
    }
    void closePort() override { ++closes; }
    void setOnRecovered(std::function<void()> step) override { onRecovered = std::move(step); }

    MemoryPortIo port;
    std::vector<int> interfaces;  // the RemoteControl of every call, in order
    int closes = 0;
    std::function<void()> onRecovered;
};

}  // namespace dvx::test
