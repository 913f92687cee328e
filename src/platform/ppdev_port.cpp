#include "platform/ppdev_port.h"

#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

#include "common/io_error.h"
#include "platform/dev_port.h"

namespace dvx {
namespace {

constexpr off_t kDataOffset = 0;
constexpr off_t kStatusOffset = 1;

int ioctlRetrying(int fd, unsigned long request, void* argument) {
    int result = 0;
    do {
        result = ::ioctl(fd, request, argument);
    } while (result < 0 && errno == EINTR);
    return result;
}

}  // namespace

PpdevPort::PpdevPort(std::filesystem::path path) : m_path(std::move(path)) {
    m_fd = openDevice(m_path, "Cannot open the parallel port",
                      "(the user needs to be in the group that owns it, usually lp).");
    struct stat info {};
    if (::fstat(m_fd, &info) == 0 && S_ISREG(info.st_mode)) {
        m_registerFile = true;
        return;
    }
    if (ioctlRetrying(m_fd, PPCLAIM, nullptr) < 0) {
        const int error = errno;
        ::close(m_fd);
        m_fd = -1;
        throw IoError("Cannot claim the parallel port", m_path, error);
    }
    // Drive the data lines (a bidirectional port may have been left reading them). A port
    // without direction control drives them anyway, so a refusal changes nothing.
    int forward = 0;
    ioctlRetrying(m_fd, PPDATADIR, &forward);
}

PpdevPort::~PpdevPort() {
    if (m_fd < 0) {
        return;
    }
    if (!m_registerFile) {
        ioctlRetrying(m_fd, PPRELEASE, nullptr);
    }
    ::close(m_fd);
}

int PpdevPort::Inp(int address) {
    const std::string what = "Cannot read the status of the parallel port";
    if (address != port_address::kParallelStatus) {
        throw IoError("The parallel port's inputs are read from 0x379 only.");
    }
    if (m_registerFile) {
        return readByteAt(m_fd, kStatusOffset, what, m_path);
    }
    unsigned char status = 0;
    if (ioctlRetrying(m_fd, PPRSTATUS, &status) < 0) {
        throw IoError(what, m_path, errno);
    }
    return status;
}

void PpdevPort::Outp(int address, int value) {
    const std::string what = "Cannot set the relays on the parallel port";
    if (address != port_address::kParallelData) {
        throw IoError("The parallel port's relays are written to 0x378 only.");
    }
    if (m_registerFile) {
        writeByteAt(m_fd, kDataOffset, value, what, m_path);
        return;
    }
    auto data = static_cast<unsigned char>(value);
    if (ioctlRetrying(m_fd, PPWDATA, &data) < 0) {
        throw IoError(what, m_path, errno);
    }
}

std::string PpdevPort::device() const {
    return "the parallel port " + m_path.string();
}

}  // namespace dvx
