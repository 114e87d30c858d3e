#pragma once

struct SerialLineSettings;

// <asm/termbits.h>, which has the arbitrary baud rates, cannot share a translation unit with
// <termios.h>.
namespace LinuxSerialTermios {
// Raw mode with the given line settings; 0 or the errno of the failure.
int apply(int fd, const SerialLineSettings &settings);
} // namespace LinuxSerialTermios
