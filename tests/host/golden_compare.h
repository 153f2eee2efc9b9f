// Exact comparison of two frames, and the picture that shows where they differ.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace golden {

struct picture {
  int w = 0;
  int h = 0;
  std::vector<std::uint32_t> pixels;  // 0xAARRGGBB, row 0 at the top
};

struct frame_difference {
  bool same_size = true;
  long differing = 0;  // pixels that differ in any bit (0 when the sizes differ)
  // The first differing pixel in reading order (row by row, left to right); -1 when none.
  int x = -1;
  int y = -1;
  std::uint32_t expected = 0;
  std::uint32_t actual = 0;
  bool identical() const { return same_size && differing == 0; }
};

frame_difference compare_frames(const picture& expected, const picture& actual);

// One line for a failed comparison: the case, the first differing pixel with both values, the count.
std::string describe(const std::string& name, const frame_difference& d);

// The difference picture of two frames of one size: equal pixels dimmed to a quarter of the
// reference's grey level, so the page stays recognisable; differing pixels in full magenta.
picture difference_picture(const picture& expected, const picture& actual);

}  // namespace golden
