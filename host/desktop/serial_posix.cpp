#include "host/desktop/serial_posix.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <map>

#include "core/platform.h"
#include "host/common/faults.h"
#include "host/common/serial_line.h"
#include "host/common/recording.h"

serial_posix_state serial_port;

namespace {

std::map<int, std::string> named_devices;
serial_error_reporter error_reporter = nullptr;
serial_read_observer read_observer = nullptr;
// Bytes of a played recording, read before the device and not filtered again.
std::deque<std::uint8_t> played;

void report(const char* text, const char* caption) {
  if (caption[0] != '\0') {
    std::fprintf(stderr, "vesper-sim: %s: %s\n", caption, text);
  } else {
    std::fprintf(stderr, "vesper-sim: %s\n", text);
  }
  if (error_reporter != nullptr) {
    error_reporter(text, caption);
  }
}

void fail(const char* text, const char* caption, int fd) {
  report(text, caption);
  if (fd >= 0) {
    ::close(fd);
  }
}

// The settings we asked for, as the driver reports them back (tcsetattr succeeds when any one
// of them took).
bool settings_took(const termios& want, const termios& got) {
  const tcflag_t cflag_mask = CSIZE | PARENB | CSTOPB | CRTSCTS | CLOCAL | CREAD;
  return (want.c_cflag & cflag_mask) == (got.c_cflag & cflag_mask) &&
         (want.c_iflag & (IXON | IXOFF | IXANY)) == (got.c_iflag & (IXON | IXOFF | IXANY)) &&
         cfgetispeed(&want) == cfgetispeed(&got) && cfgetospeed(&want) == cfgetospeed(&got) && got.c_cc[VMIN] == 0 &&
         got.c_cc[VTIME] == 0;
}

}  // namespace

void serial_set_device(int port, const std::string& device) { named_devices[port] = device; }

void serial_clear_devices() { named_devices.clear(); }

std::string serial_device_for(int port) {
  auto it = named_devices.find(port);
  if (it != named_devices.end()) {
    return it->second;
  }
  it = named_devices.find(0);
  if (it != named_devices.end()) {
    return it->second;
  }
  return SERIAL_DEFAULT_DEVICE_PREFIX + std::to_string(port - 1);
}

void serial_set_error_reporter(serial_error_reporter reporter) { error_reporter = reporter; }

bool serial_open(int port, int baud) {
  serial_close();  // one handle at a time
  if (port < 1 || port > SERIAL_MAX_PORT) {
    report("COULD NOT OPEN SERIAL PORT", "");
    return false;
  }
  const std::string device = serial_device_for(port);
  // Non-blocking from the start, so that opening a modem line without carrier does not hang.
  const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0 || !::isatty(fd) || ::ioctl(fd, TIOCEXCL) != 0) {
    fail("COULD NOT OPEN SERIAL PORT", "", fd);
    return false;
  }
  // Clear a break left on the line; not every device knows breaks, so a refusal is harmless.
  (void)::ioctl(fd, TIOCCBRK);

  termios tio{};
  if (::tcgetattr(fd, &tio) != 0) {
    fail("Could not GET serial parameters", "SERIAL INIT ERROR", fd);
    return false;
  }
  const bool ok = raw_8n1_line(tio, baud) && ::tcsetattr(fd, TCSANOW, &tio) == 0;
  termios check{};
  if (!ok || ::tcgetattr(fd, &check) != 0 || !settings_took(tio, check)) {
    fail("Could not SET serial parameters", "SERIAL INIT ERROR", fd);
    return false;
  }
  // Reads must never wait, whatever the line does.
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) != 0) {
    fail("Could not set timeouts", "SERIAL INIT ERROR", fd);
    return false;
  }
  serial_port.fd = fd;
  serial_port.port = port;
  serial_port.baud = baud;
  return true;
}

void serial_set_read_observer(serial_read_observer observer) { read_observer = observer; }

void serial_feed_as_read(const std::uint8_t* bytes, std::size_t length) {
  played.insert(played.end(), bytes, bytes + length);
}

std::uint8_t serial_read_one(int* count) {
  int got = 0;
  std::uint8_t byte = 0;
  if (!played.empty()) {
    byte = played.front();
    played.pop_front();
    got = 1;
  } else if (serial_port.fd >= 0) {
    ssize_t n;
    do {
      n = ::read(serial_port.fd, &byte, 1);
    } while (n < 0 && errno == EINTR);
    // Nothing waiting (EAGAIN), a hung-up peer (EIO or end of file): no byte.
    got = n == 1 ? 1 : 0;
    if (got == 1 && !gps_fault_pass_byte(&byte)) got = 0;
  }
  if (got == 0) {
    byte = 0;
  } else if (read_observer != nullptr) {
    read_observer(byte);
  }
  if (count != nullptr) {
    *count = got;
  }
  return byte;
}

void serial_set_baud(int) {
  // The rate is given to serial_open; nothing to change here.
}

void serial_write(const std::uint8_t* buffer, int length) {
  if (serial_port.fd < 0 || buffer == nullptr || length <= 0) {
    return;
  }
  int done = 0;
  while (done < length) {
    const ssize_t n = ::write(serial_port.fd, buffer + done, static_cast<std::size_t>(length - done));
    if (n > 0) {
      done += static_cast<int>(n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      // The device is full or gone. The firmware may not wait, so the rest is dropped.
      serial_port.bytes_dropped += length - done;
      return;
    }
  }
}

void serial_close() {
  if (serial_port.fd >= 0) {
    // Give up the exclusive claim first: the device may stay open elsewhere.
    (void)::ioctl(serial_port.fd, TIOCNXCL);
    ::close(serial_port.fd);
  }
  serial_port.fd = -1;
  serial_port.port = 0;
  serial_port.baud = 0;
}
