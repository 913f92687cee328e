#include "platform/dev_port.h"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>

#include "common/io_error.h"

namespace dvx {
namespace {

std::string hexAddress(int address) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", address);
    return text;
}

}  // namespace

int openDevice(const std::filesystem::path& path, const std::string& what,
               const std::string& permissionHint) {
    int fd = -1;
    do {
        fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        const int error = errno;
        const IoError failure(what, path, error);
        if (error == EACCES || error == EPERM) {
            throw IoError(std::string(failure.what()) + " " + permissionHint);
        }
        throw failure;
    }
    return fd;
}

int readByteAt(int fd, off_t offset, const std::string& what, const std::filesystem::path& path) {
    unsigned char byte = 0;
    ssize_t count = 0;
    do {
        count = ::pread(fd, &byte, 1, offset);
    } while (count < 0 && errno == EINTR);
    if (count < 0) {
        throw IoError(what, path, errno);
    }
    if (count == 0) {
        throw IoError(what + " " + path.string() + ": nothing at " + hexAddress(offset));
    }
    return byte;
}

void writeByteAt(int fd, off_t offset, int value, const std::string& what,
                 const std::filesystem::path& path) {
    const auto byte = static_cast<unsigned char>(value);
    ssize_t count = 0;
    do {
        count = ::pwrite(fd, &byte, 1, offset);
    } while (count < 0 && errno == EINTR);
    if (count < 0) {
        throw IoError(what, path, errno);
    }
    if (count == 0) {
        throw IoError(what + " " + path.string() + ": nothing written at " + hexAddress(offset));
    }
}

DevPort::DevPort(std::filesystem::path path) : m_path(std::move(path)) {
    m_fd = openDevice(m_path, "Cannot open the I/O board's ports through",
                      "(the program needs root or the CAP_SYS_RAWIO capability).");
}

DevPort::~DevPort() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

void DevPort::checkAddress(int address) const {
    if (address < port_address::kBoardPortA || address > port_address::kBoardControl) {
        throw IoError("The I/O board has no port " + hexAddress(address) + ".");
    }
}

int DevPort::Inp(int address) {
    checkAddress(address);
    return readByteAt(m_fd, address,
                      "Cannot read I/O board port " + hexAddress(address) + " through", m_path);
}

void DevPort::Outp(int address, int value) {
    checkAddress(address);
    writeByteAt(m_fd, address, value,
                "Cannot write I/O board port " + hexAddress(address) + " through", m_path);
}

std::string DevPort::device() const {
    return "the I/O board's ports through " + m_path.string();
}

}  // namespace dvx
