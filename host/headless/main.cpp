// vesper-headless: the instrument firmware on a virtual clock, without a window.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "host/headless/runner.h"

int main(int argc, char** argv) {
  // A reader that goes away (a pipe into `head`) is a failed write to report, not a silent death.
  signal(SIGPIPE, SIG_IGN);
  // A standard stream started closed would hand its number to the first file the run opens, and
  // the state meant for standard output would land in a picture. Such a stream is held by
  // /dev/null; a closed standard output is also marked failed, so '-' outputs are refused.
  bool stdout_closed = false;
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) != -1) continue;
    if (fd == 1) stdout_closed = true;
    const int held = open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
    if (held != fd && held >= 0) close(held);
  }
  std::ios::sync_with_stdio(false);
  if (stdout_closed) std::cout.setstate(std::ios::badbit);
  const std::vector<std::string> args(argv + 1, argv + argc);
  return headless::headless_main(args, std::cin, std::cout, std::cerr);
}
