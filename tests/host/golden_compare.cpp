#include "tests/host/golden_compare.h"

#include <cstdio>

namespace golden {

frame_difference compare_frames(const picture& expected, const picture& actual) {
  frame_difference d;
  if (expected.w != actual.w || expected.h != actual.h) {
    d.same_size = false;
    return d;
  }
  for (int y = 0; y < expected.h; ++y) {
    for (int x = 0; x < expected.w; ++x) {
      const std::size_t i = static_cast<std::size_t>(y) * expected.w + x;
      if (expected.pixels[i] == actual.pixels[i]) continue;
      if (d.differing++ == 0) {
        d.x = x;
        d.y = y;
        d.expected = expected.pixels[i];
        d.actual = actual.pixels[i];
      }
    }
  }
  return d;
}

std::string describe(const std::string& name, const frame_difference& d) {
  char line[200];
  if (!d.same_size) {
    std::snprintf(line, sizeof line, "%s: the frame's size differs from the reference's", name.c_str());
  } else if (d.differing == 0) {
    std::snprintf(line, sizeof line, "%s: identical", name.c_str());
  } else {
    std::snprintf(line, sizeof line,
                  "%s: first difference at (%d, %d): expected 0x%08X, actual 0x%08X; %ld pixels differ", name.c_str(),
                  d.x, d.y, static_cast<unsigned>(d.expected), static_cast<unsigned>(d.actual), d.differing);
  }
  return line;
}

picture difference_picture(const picture& expected, const picture& actual) {
  picture out;
  out.w = expected.w;
  out.h = expected.h;
  out.pixels.resize(expected.pixels.size());
  for (std::size_t i = 0; i < expected.pixels.size(); ++i) {
    const std::uint32_t e = expected.pixels[i];
    if (i < actual.pixels.size() && actual.pixels[i] == e) {
      const std::uint32_t grey = (((e >> 16) & 0xFF) + ((e >> 8) & 0xFF) + (e & 0xFF)) / 12;
      out.pixels[i] = 0xFF000000u | grey << 16 | grey << 8 | grey;
    } else {
      out.pixels[i] = 0xFFFF00FFu;
    }
  }
  return out;
}

}  // namespace golden
