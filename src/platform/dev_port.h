#pragma once

#include <sys/types.h>
#include <filesystem>
#include <string>

#include "sensor/port_io.h"

namespace dvx {

// The Prairie Digital I/O board's ports 0x284..0x287 through /dev/port (which needs root or
// the CAP_SYS_RAWIO capability): each access is one byte at the offset of its address. Other
// addresses are refused. Built on any thread (see PpdevPort), then used from one thread at a
// time.
class DevPort : public PortIo {
  public:
    // Opens `path` for reading and writing. Throws IoError.
    explicit DevPort(std::filesystem::path path);
    ~DevPort() override;
    DevPort(const DevPort&) = delete;
    DevPort& operator=(const DevPort&) = delete;

    int Inp(int address) override;
    void Outp(int address, int value) override;
    std::string device() const override;

  private:
    void checkAddress(int address) const;

    std::filesystem::path m_path;
    int m_fd = -1;
};

// One byte at `offset` of an open device or file; `what` names the access in the IoError
// thrown when it fails or finds no byte there.
int readByteAt(int fd, off_t offset, const std::string& what, const std::filesystem::path& path);
void writeByteAt(int fd, off_t offset, int value, const std::string& what,
                 const std::filesystem::path& path);

// Opens `path` for reading and writing, closed on exec; throws IoError with `what` and the
// hint for a refused access.
int openDevice(const std::filesystem::path& path, const std::string& what,
               const std::string& permissionHint);

}  // namespace dvx
