#include "LinuxSerialTermios.h"

#include "SerialBackend.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <cerrno>

namespace LinuxSerialTermios {

int apply(int fd, const SerialLineSettings &settings)
{
    // Baud 0 would hang up the line.
    if (settings.baud == 0 || settings.dataBits < 5 || settings.dataBits > 8 ||
        settings.parity < 0 || settings.parity > 4 || settings.stopBits < 0 ||
        settings.stopBits > 2 || settings.flowControl < 0 || settings.flowControl > 2)
        return EINVAL;

    termios2 t{};
    if (ioctl(fd, TCGETS2, &t) != 0)
        return errno;

    t.c_iflag &=
        ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY | INPCK);
    t.c_oflag &= ~OPOST;
    t.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag &=
        ~(CBAUD | (CBAUD << IBSHIFT) | CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    t.c_cflag |= CLOCAL | CREAD | BOTHER | (BOTHER << IBSHIFT);
    t.c_ispeed = settings.baud;
    t.c_ospeed = settings.baud;

    static const tcflag_t sizes[] = {CS5, CS6, CS7, CS8};
    t.c_cflag |= sizes[settings.dataBits - 5];
    static const tcflag_t parities[] = {0, PARENB | PARODD, PARENB, PARENB | CMSPAR | PARODD,
                                        PARENB | CMSPAR};
    t.c_cflag |= parities[settings.parity];
    if (settings.stopBits != 0)
        t.c_cflag |= CSTOPB;
    if (settings.flowControl == 1)
        t.c_cflag |= CRTSCTS;
    if (settings.flowControl == 2)
        t.c_iflag |= IXON | IXOFF;

    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    t.c_cc[VSTART] = 17;
    t.c_cc[VSTOP] = 19;

    if (ioctl(fd, TCSETS2, &t) != 0)
        return errno;
    return 0;
}

} // namespace LinuxSerialTermios
