// The comparison behind the golden frames: exact, and pointing at the right pixel.
#include "tests/host/golden_compare.h"

#include <gtest/gtest.h>

namespace {

using golden::picture;

picture plain(int w, int h, std::uint32_t colour) { return {w, h, std::vector<std::uint32_t>(w * h, colour)}; }

picture changed(picture p, int x, int y, std::uint32_t colour) {
  p.pixels[y * p.w + x] = colour;
  return p;
}

TEST(GoldenCompare, FindsTheFirstDifferenceInReadingOrder) {
  const picture ref = plain(4, 3, 0xFF102030);
  struct row {
    const char* what;
    picture actual;
    bool same_size;
    long differing;
    int x, y;
    std::uint32_t actual_value;
  };
  const row rows[] = {
      {"identical", ref, true, 0, -1, -1, 0},
      {"one bit of blue", changed(ref, 2, 1, 0xFF102031), true, 1, 2, 1, 0xFF102031},
      {"alpha alone", changed(ref, 0, 0, 0xFE102030), true, 1, 0, 0, 0xFE102030},
      {"last pixel", changed(ref, 3, 2, 0xFF000000), true, 1, 3, 2, 0xFF000000},
      {"a later row's left beats an earlier column", changed(changed(ref, 3, 1, 1), 0, 2, 2), true, 2, 3, 1, 1},
      {"same row, leftmost", changed(changed(ref, 3, 1, 1), 1, 1, 2), true, 2, 1, 1, 2},
      {"wider", plain(5, 3, 0xFF102030), false, 0, -1, -1, 0},
      {"same count, other shape", plain(3, 4, 0xFF102030), false, 0, -1, -1, 0},
  };
  for (const row& r : rows) {
    const golden::frame_difference d = golden::compare_frames(ref, r.actual);
    EXPECT_EQ(d.same_size, r.same_size) << r.what;
    EXPECT_EQ(d.differing, r.differing) << r.what;
    EXPECT_EQ(d.x, r.x) << r.what;
    EXPECT_EQ(d.y, r.y) << r.what;
    EXPECT_EQ(d.identical(), r.same_size && r.differing == 0) << r.what;
    if (r.differing > 0) {
      EXPECT_EQ(d.expected, 0xFF102030u) << r.what;
      EXPECT_EQ(d.actual, r.actual_value) << r.what;
    }
  }
}

TEST(GoldenCompare, DescribesAndMarksTheDifference) {
  const picture ref = plain(3, 2, 0xFF0C0C0C);
  const picture act = changed(ref, 1, 1, 0xFFFFFFFF);
  EXPECT_EQ(golden::describe("ai-page0", golden::compare_frames(ref, act)),
            "ai-page0: first difference at (1, 1): expected 0xFF0C0C0C, actual 0xFFFFFFFF; 1 pixels differ");
  const picture diff = golden::difference_picture(ref, act);
  ASSERT_EQ(diff.pixels.size(), 6u);
  for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(diff.pixels[i], i == 4 ? 0xFFFF00FFu : 0xFF030303u) << i;
}

}  // namespace
