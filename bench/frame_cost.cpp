// Instructions per composed frame of every page, counted by callgrind: each page is reached by a
// headless run without instrumentation, then each of the next frames (the ten passes of one
// refresh) is counted alone and dumped under the page's name. scripts/frame-cost runs this under
// callgrind and prints the table; outside callgrind it only runs the frames.
//
// Usage: vesper-frame-cost [--frames N] [--list] [--png DIR] [NAME-PREFIX...]
// --png writes each page's last frame as DIR/<page>-<look>.png, to see that the page is the one named.
#include <valgrind/callgrind.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/page_catalogue.h"
#include "core/firmware.h"
#include "gfx/layers.h"
#include "host/common/png_io.h"

namespace {

bool wanted(const std::string& name, const std::vector<std::string>& prefixes) {
  if (prefixes.empty()) return true;
  for (const std::string& p : prefixes) {
    if (name.compare(0, p.size(), p) == 0) return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  int frames = 20;
  bool list = false;
  std::string png_dir;
  std::vector<std::string> prefixes;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--frames" && i + 1 < argc) {
      frames = std::atoi(argv[++i]);
    } else if (arg == "--png" && i + 1 < argc) {
      png_dir = argv[++i];
    } else if (arg == "--list") {
      list = true;
    } else if (!arg.empty() && arg[0] == '-') {
      std::fprintf(stderr, "usage: vesper-frame-cost [--frames N] [--list] [--png DIR] [NAME-PREFIX...]\n");
      return 2;
    } else {
      prefixes.push_back(arg);
    }
  }
  static pixel_t frame[LAYER_PIXELS];
  for (const pages::page_case& page : pages::page_cases()) {
    if (!wanted(page.name, prefixes)) continue;
    if (list) {
      std::printf("%s\n", page.name.c_str());
      continue;
    }
    if (!pages::reach_page(page)) return 1;
    CALLGRIND_START_INSTRUMENTATION;
    for (int f = 0; f < frames; ++f) {
      CALLGRIND_ZERO_STATS;
      int passes = 0;
      while (!firmware_pass(frame)) {
        if (++passes > 1000) {
          std::fprintf(stderr, "vesper-frame-cost: %s: no frame composed\n", page.name.c_str());
          return 1;
        }
      }
      CALLGRIND_DUMP_STATS_AT(page.name.c_str());
    }
    CALLGRIND_STOP_INSTRUMENTATION;
    if (!png_dir.empty()) {
      std::string file = page.name;
      for (char& c : file) c = c == '/' ? '-' : c;
      std::string bytes, why;
      if (!encode_png(frame, SCREEN_W, SCREEN_H, false, &bytes, &why) ||
          !write_file_bytes(png_dir + "/" + file + ".png", bytes, &why)) {
        std::fprintf(stderr, "vesper-frame-cost: %s\n", why.c_str());
        return 1;
      }
    }
  }
  return 0;
}
