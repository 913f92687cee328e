#pragma once

#include <filesystem>
#include <string>

#include "sensor/port_io.h"

namespace dvx {

// The first parallel port through Linux ppdev: writes to the data register 0x378 and reads of
// the status register 0x379; other addresses are refused. The port is claimed while this
// object lives. A regular file in place of the device stands for the registers themselves, at
// offset address - 0x378 (data at 0, status at 1), so that tests and demonstrations without a
// parallel port can watch the relays and drive the inputs.
//
// Threads: built on any thread (the port opener builds it on one of its own, since the claim
// waits while another driver holds the port), then used from one thread at a time.
class PpdevPort : public PortIo {
  public:
    // Opens and claims the port; blocks while another driver holds it. Throws IoError.
    explicit PpdevPort(std::filesystem::path path);
    ~PpdevPort() override;
    PpdevPort(const PpdevPort&) = delete;
    PpdevPort& operator=(const PpdevPort&) = delete;

    int Inp(int address) override;
    void Outp(int address, int value) override;
    std::string device() const override;

  private:
    std::filesystem::path m_path;
    int m_fd = -1;
    bool m_registerFile = false;  // a regular file stands in for the port
};

}  // namespace dvx
