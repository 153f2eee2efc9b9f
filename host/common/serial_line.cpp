#include "host/common/serial_line.h"

namespace {

bool baud_constant(int baud, speed_t* out) {
  static const struct {
    int rate;
    speed_t constant;
  } rates[] = {{300, B300},       {600, B600},       {1200, B1200},    {2400, B2400},   {4800, B4800},
               {9600, B9600},     {19200, B19200},   {38400, B38400},  {57600, B57600}, {115200, B115200},
               {230400, B230400}, {460800, B460800}, {921600, B921600}};
  for (const auto& r : rates) {
    if (r.rate == baud) {
      *out = r.constant;
      return true;
    }
  }
  return false;
}

}  // namespace

bool raw_8n1_line(termios& tio, int baud) {
  speed_t speed = 0;
  if (!baud_constant(baud, &speed)) return false;
  cfmakeraw(&tio);
  tio.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
  tio.c_cflag |= CS8 | CLOCAL | CREAD;
  tio.c_iflag &= ~(IXON | IXOFF | IXANY);
  // Reads return at once with what is there.
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
  return cfsetispeed(&tio, speed) == 0 && cfsetospeed(&tio, speed) == 0;
}
