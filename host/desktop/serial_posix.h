// The serial port of the desktop build, on a POSIX terminal device: raw 8N1, no flow control,
// reads that never wait. Implements the serial operations of core/platform.h. One port is open
// at a time. Needs no window: failures go to standard error, and to a reporter the window
// installs to show them in a message box too.
#pragma once
#include <cstdint>
#include <string>

#define SERIAL_DEFAULT_DEVICE_PREFIX "/dev/ttyUSB"
inline constexpr int SERIAL_MAX_PORT = 99;

struct serial_posix_state {
  int fd = -1;
  int port = 0;
  int baud = 0;
  long bytes_dropped = 0;  // written while the device could take no more
};
extern serial_posix_state serial_port;

// Names the device of `port` (1..99); port 0 names the device of every port without its own.
void serial_set_device(int port, const std::string& device);
// The device that serial_open(port, ...) opens: the one named for the port, else the one named
// for every port, else SERIAL_DEFAULT_DEVICE_PREFIX followed by port - 1.
std::string serial_device_for(int port);
// Forgets the named devices (back to the defaults).
void serial_clear_devices();

// Called with (text, caption) for every failure message; nullptr for none.
using serial_error_reporter = void (*)(const char* text, const char* caption);
void serial_set_error_reporter(serial_error_reporter reporter);

// Called with every byte the firmware reads, after the fault filter (for a recording); nullptr
// for none.
using serial_read_observer = void (*)(std::uint8_t byte);
void serial_set_read_observer(serial_read_observer observer);
