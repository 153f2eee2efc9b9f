// The artwork generator's conversions (straight alpha, four-bit coverage, bottom-up packing) and
// the drawing helpers the artwork relies on.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "tools/artgen/canvas.h"

namespace {

using art::Canvas;

// What cairo's image backend stores for a straight channel s at alpha a: s·a/255, rounded.
std::uint32_t premultiplied_channel(std::uint32_t s, std::uint32_t a) { return (s * a + 127) / 255; }

std::uint32_t word(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  return a << 24 | r << 16 | g << 8 | b;
}

void poke(Canvas& c, int x, int y, std::uint32_t premultiplied) {
  cairo_surface_flush(c.surface());
  unsigned char* data = cairo_image_surface_get_data(c.surface());
  const int stride = cairo_image_surface_get_stride(c.surface());
  reinterpret_cast<std::uint32_t*>(data + y * stride)[x] = premultiplied;
  cairo_surface_mark_dirty(c.surface());
}

class Fonts : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { art::load_fonts(VESPER_SANS_REGULAR, VESPER_SANS_BOLD); }
  static void TearDownTestSuite() { art::unload_fonts(); }
};

TEST(Unpremultiply, RoundTripsEveryColourAtEveryAlpha) {
  for (std::uint32_t a = 1; a < 255; ++a) {
    for (std::uint32_t s = 0; s < 256; ++s) {
      const std::uint32_t p = premultiplied_channel(s, a);
      const std::uint32_t u = art::unpremultiply(word(a, p, p, p)) & 255;
      // Premultiplying the result again gives back exactly what cairo stored...
      ASSERT_EQ(premultiplied_channel(u, a), p) << "a " << a << " s " << s;
      // ...and it is as close to the drawn colour as the stored precision allows.
      ASSERT_LE(std::abs(static_cast<int>(u) - static_cast<int>(s)), static_cast<int>(255 / (2 * a)) + 1);
    }
  }
}

TEST(Unpremultiply, ClearOpaqueAndOutOfRangePixels) {
  EXPECT_EQ(art::unpremultiply(0x00000000), 0u);
  EXPECT_EQ(art::unpremultiply(0x00FF8040), 0u);  // no alpha: no colour either
  EXPECT_EQ(art::unpremultiply(0xFF123456), 0xFF123456u);
  // A channel above its alpha cannot come from a valid picture; it is capped rather than wrapped.
  EXPECT_EQ(art::unpremultiply(word(0x40, 0x80, 0x40, 0x20)), word(0x40, 0xFF, 0xFF, 0x80));
  // Channels are converted separately and keep their places.
  EXPECT_EQ(art::unpremultiply(word(0x80, 0x80, 0x40, 0x00)), word(0x80, 0xFF, 0x80, 0x00));
}

TEST(CanvasPixels, StraightPixelsUndoCairosPremultiplication) {
  Canvas c(3, 1);
  cairo_set_source_rgba(c.cr(), 1.0, 0.5, 0.0, 0.5);
  cairo_rectangle(c.cr(), 0, 0, 2, 1);
  cairo_fill(c.cr());
  const std::vector<std::uint32_t> px = c.straight_pixels();
  ASSERT_EQ(px.size(), 3u);
  EXPECT_EQ(px[0] >> 24, 128u);
  EXPECT_EQ(px[0] >> 16 & 255, 255u);
  EXPECT_NEAR(static_cast<int>(px[0] >> 8 & 255), 128, 1);
  EXPECT_EQ(px[0] & 255, 0u);
  EXPECT_EQ(px[0], px[1]);
  EXPECT_EQ(px[2], 0u);
}

TEST(CanvasPixels, CoverageRoundsAlphaToFifteenths) {
  Canvas c(5, 1);
  const std::uint32_t alphas[5] = {0, 8, 9, 128, 255};
  for (int x = 0; x < 5; ++x) poke(c, x, 0, alphas[x] << 24);
  const std::vector<std::uint8_t> cov = c.coverage4();
  // 8/255 is 0.47 of a fifteenth, 9/255 is 0.53; 128/255 is 7.53 fifteenths.
  EXPECT_EQ(cov[0], 0);
  EXPECT_EQ(cov[1], 0);
  EXPECT_EQ(cov[2], 1);
  EXPECT_EQ(cov[3], 8);
  EXPECT_EQ(cov[4], 15);
}

TEST(Pack4, RowsBottomUpHighNibbleLeft) {
  // Picture rows, top first: {1,2,3,4}, {5,6,7,8}, {9,10,11,12}.
  const std::vector<std::uint8_t> cov = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  const std::vector<std::uint8_t> packed = art::pack4_bottom_up(cov, 4, 3);
  const std::vector<std::uint8_t> expected = {0x9A, 0xBC, 0x56, 0x78, 0x12, 0x34};
  EXPECT_EQ(packed, expected);
}

TEST(Shapes, RoundedTopRectKeepsItsLowerCornersSquare) {
  Canvas c(20, 10);
  art::rounded_top_rect(c.cr(), 0, 0, 20, 10, 5);
  cairo_set_source_rgb(c.cr(), 1, 1, 1);
  cairo_fill(c.cr());
  const std::vector<std::uint32_t> px = c.straight_pixels();
  EXPECT_EQ(px[9 * 20 + 0] >> 24, 255u);
  EXPECT_EQ(px[9 * 20 + 19] >> 24, 255u);
  EXPECT_EQ(px[0] >> 24, 0u);
  EXPECT_EQ(px[19] >> 24, 0u);
  EXPECT_EQ(px[5 * 20 + 10] >> 24, 255u);
}

void square_path(cairo_t* cr, const void*) { cairo_rectangle(cr, 8, 8, 8, 8); }

TEST(Shapes, SoftShadowIsOffsetAndBlurred) {
  Canvas c(32, 32);
  art::soft_shadow(c, square_path, nullptr, 3, 3, 2, 0xFF000000);
  const std::vector<std::uint32_t> px = c.straight_pixels();
  auto a = [&](int x, int y) { return static_cast<int>(px[y * 32 + x] >> 24); };
  EXPECT_GT(a(15, 15), 230);  // the middle of the moved square stays dark
  EXPECT_GT(a(10, 10), 0);    // and spread beyond its moved edge at 11
  EXPECT_GT(a(20, 15), 0);    // blurred past the square's edge at 19
  EXPECT_LT(a(20, 15), 128);
  EXPECT_EQ(a(2, 2), 0);  // nothing far from it
  EXPECT_EQ(a(28, 28), 0);
  EXPECT_GT(a(19, 19), a(8, 8));  // offset towards the lower right
  EXPECT_EQ(px[15 * 32 + 15] & 0x00FFFFFF, 0u);
}

TEST(Shapes, ShadedBallIsLitFromTheUpperLeft) {
  Canvas c(20, 20);
  art::shaded_ball(c.cr(), 10, 10, 8, 0xFFFFFFFF, 0xFF808080, 0xFF202020);
  const std::vector<std::uint32_t> px = c.straight_pixels();
  const std::uint32_t upper_left = px[6 * 20 + 7];
  const std::uint32_t lower_right = px[14 * 20 + 14];
  EXPECT_EQ(upper_left >> 24, 255u);
  EXPECT_EQ(lower_right >> 24, 255u);
  EXPECT_GT(upper_left & 255, lower_right & 255);
  EXPECT_EQ(px[0], 0u);
}

TEST_F(Fonts, CapitalsStandOnTheBaselineAtTheRequestedHeight) {
  Canvas c(20, 12);
  art::select_font(c.cr(), art::weight::bold, art::size_for_cap_height(art::weight::bold, 7.0));
  cairo_set_source_rgb(c.cr(), 1, 1, 1);
  art::text_on_baseline(c.cr(), "H", 10.0, 9.0);
  const std::vector<std::uint32_t> px = c.straight_pixels();
  auto row_ink = [&](int y) {
    int sum = 0;
    for (int x = 0; x < 20; ++x) sum += static_cast<int>(px[y * 20 + x] >> 24);
    return sum;
  };
  // Seven rows, 2..8, the rows above and below clear (a flat-topped letter has no overshoot).
  for (int y = 2; y <= 8; ++y) EXPECT_GT(row_ink(y), 400) << y;
  EXPECT_LT(row_ink(1), 60);
  EXPECT_LT(row_ink(9), 60);
  // Centred on x = 10: the ink balances about it.
  double sum = 0, weight = 0;
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 20; ++x) {
      sum += (px[y * 20 + x] >> 24) * (x + 0.5);
      weight += px[y * 20 + x] >> 24;
    }
  EXPECT_NEAR(sum / weight, 10.0, 0.2);
}

TEST_F(Fonts, MeasureAndCentreAgree) {
  Canvas c(60, 20);
  art::select_font(c.cr(), art::weight::regular, 14.0);
  const art::text_box box = art::measure(c.cr(), "GPS");
  EXPECT_GT(box.width, 15.0);
  EXPECT_LT(box.width, 40.0);
  cairo_set_source_rgb(c.cr(), 1, 1, 1);
  art::text_centred(c.cr(), "GPS", 30.0, 10.0);
  const std::vector<std::uint32_t> px = c.straight_pixels();
  int left = 60, right = -1;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 60; ++x)
      if ((px[y * 60 + x] >> 24) > 40) {
        left = std::min(left, x);
        right = std::max(right, x);
      }
  // The inked columns sit symmetrically about x = 30 and span about the measured width.
  EXPECT_NEAR((left + right + 1) / 2.0, 30.0, 1.0);
  EXPECT_NEAR(right + 1 - left, box.width, 2.0);
}

}  // namespace
