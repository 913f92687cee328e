// The kernel's own termios2 definitions: they clash with the C library's <termios.h>, so this
// file includes nothing else that brings that header in.
#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace dvx {

bool setFreeSerialSpeed(int fd, int baud) {
    struct termios2 settings {};
    if (::ioctl(fd, TCGETS2, &settings) != 0) {
        return false;
    }
    settings.c_cflag &= ~static_cast<tcflag_t>(CBAUD);
    settings.c_cflag |= BOTHER;
    settings.c_cflag &= ~static_cast<tcflag_t>(CBAUD << IBSHIFT);
    settings.c_cflag |= BOTHER << IBSHIFT;
    settings.c_ispeed = static_cast<speed_t>(baud);
    settings.c_ospeed = static_cast<speed_t>(baud);
    return ::ioctl(fd, TCSETS2, &settings) == 0;
}

}  // namespace dvx
