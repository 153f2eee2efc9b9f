// vesper-headless: the instrument firmware on a virtual clock, without a window.
#include <iostream>
#include <string>
#include <vector>

#include "host/headless/runner.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> args(argv + 1, argv + argc);
  return headless::headless_main(args, std::cin, std::cout, std::cerr);
}
