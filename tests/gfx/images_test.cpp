// The two image tables (sizes, lookups, artwork that fits its role) and the four-bit, sixteen-bit
// and clipped-copy drawing operations.
#include "gfx/images.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "gfx/text.h"
#include "tests/support/power_on.h"

namespace {

// ---------------------------------------------------------------------------------------------
// Helpers

int alpha(pixel_t p) { return static_cast<int>(p >> 24); }
int red(pixel_t p) { return static_cast<int>(p >> 16 & 255); }
int green(pixel_t p) { return static_cast<int>(p >> 8 & 255); }
int blue(pixel_t p) { return static_cast<int>(p & 255); }

pixel_t at(const image_ref& img, int x, int y) { return img.pixels[y * img.width + x]; }

// Coverage of a four-bit image pixel, (x, y) with y = 0 the top row of the picture.
int nibble(const image4_ref& img, int x, int y) {
  const std::uint8_t byte = img.data[(img.height - 1 - y) * (img.width / 2) + x / 2];
  return x % 2 == 0 ? byte >> 4 : byte & 15;
}

// Alpha-weighted centre of an image in continuous coordinates (pixel i spans i .. i + 1).
void alpha_centroid(const image_ref& img, double* cx, double* cy) {
  double sum = 0, sx = 0, sy = 0;
  for (int y = 0; y < img.height; ++y)
    for (int x = 0; x < img.width; ++x) {
      const double a = alpha(at(img, x, y));
      sum += a;
      sx += a * (x + 0.5);
      sy += a * (y + 0.5);
    }
  *cx = sx / sum;
  *cy = sy / sum;
}

int count_if_pixels(const image_ref& img, bool (*pred)(pixel_t)) {
  int n = 0;
  for (int i = 0; i < img.width * img.height; ++i) n += pred(img.pixels[i]) ? 1 : 0;
  return n;
}

// A destination with guard words before and after it, to catch writes outside the buffer.
struct guarded {
  static constexpr pixel_t CANARY = 0xDEADBEEF;
  static constexpr int GUARD = 64;
  int w, h;
  std::vector<pixel_t> words;
  guarded(int width, int height, pixel_t fill)
      : w(width), h(height), words(static_cast<std::size_t>(width * height + 2 * GUARD), CANARY) {
    std::fill(buf(), buf() + w * h, fill);
  }
  pixel_t* buf() { return words.data() + GUARD; }
  pixel_t px(int x, int y) { return buf()[y * w + x]; }
  bool guards_intact() const {
    for (int i = 0; i < GUARD; ++i)
      if (words[i] != CANARY || words[words.size() - 1 - i] != CANARY) return false;
    return true;
  }
};

// Builds four-bit data from picture rows given top row first, as the format stores them reversed.
std::vector<std::uint8_t> pack4(const std::vector<std::vector<int>>& rows_top_first) {
  const int h = static_cast<int>(rows_top_first.size());
  const int w = static_cast<int>(rows_top_first[0].size());
  std::vector<std::uint8_t> out(static_cast<std::size_t>(w / 2 * h), 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x + 1 < w; x += 2) {
      const int stored = h - 1 - y;
      out[stored * (w / 2) + x / 2] = static_cast<std::uint8_t>(rows_top_first[y][x] << 4 | rows_top_first[y][x + 1]);
    }
  return out;
}

// ---------------------------------------------------------------------------------------------
// The tables

struct expected_size {
  int entry;
  int w, h;
};

// The catalogue sizes, written out here from the list of images rather than taken from the code.
// The angle-of-attack bars are listed by the ratio at which they light, bottom bar first.
const expected_size colour_sizes[] = {
    {IMG_STYLE_VIGNETTE, 320, 240},
    {IMG_ALERT_AMBER, 110, 30},
    {IMG_ALERT_RED, 110, 30},
    {IMG_FAIL_FLAG, 22, 110},
    {IMG_AOA_BAR_0, 28, 7},
    {IMG_AOA_BAR_1, 28, 7},
    {IMG_AOA_BAR_2, 27, 12},
    {IMG_AOA_BAR_3, 28, 12},
    {IMG_AOA_BAR_4, 26, 13},
    {IMG_AOA_BAR_5, 26, 13},
    {IMG_AOA_BAR_6, 26, 15},
    {IMG_AOA_BAR_7, 29, 15},
    {IMG_AOA_BAR_8, 31, 16},
    {IMG_AOA_BAR_9, 33, 16},
    {IMG_RING_GREY, 20, 20},
    {IMG_RING_GREEN, 20, 20},
    {IMG_RING_RED, 20, 20},
    {IMG_RING_GOLD, 20, 20},
    {IMG_STATUS_BADGE, 39, 18},
    {IMG_ALT_BOX_NARROW, 73, 33},
    {IMG_ALT_BOX_WIDE, 73, 33},
    {IMG_FIELD_FRAME_SMALL, 55, 60},
    {IMG_BOTTOM_MASK, 320, 25},
    {IMG_BEARING_POINTER, 20, 10},
    {IMG_BOX_SPARE, 44, 25},
    {IMG_SCALE_BAR, 100, 15},
    {IMG_POWER_ICON, 8, 13},
    {IMG_LABEL_DG, 19, 7},
    {IMG_CYAN_BOX, 45, 20},
    {IMG_DOT_WHITE, 15, 15},
    {IMG_DOT_ORANGE, 15, 15},
    {IMG_DOT_RED, 15, 15},
    {IMG_LABEL_GPS, 22, 7},
    {IMG_LABEL_HDG, 25, 7},
    {IMG_HEADING_BUG, 30, 16},
    {IMG_POPUP_BOX, 53, 33},
    {IMG_FIELD_FRAME_TALL, 78, 133},
    {IMG_CORNER, 27, 23},
    {IMG_BANNER_BACK, 132, 40},
    {IMG_FIELD_FRAME_WIDE, 55, 45},
    {IMG_ON_BATTERY, 69, 18},
    {IMG_AIRCRAFT_SYMBOL, 134, 24},
    {IMG_AIRCRAFT_PLAN_WHITE, 40, 40},
    {IMG_AIRCRAFT_PLAN_ORANGE, 40, 40},
    {IMG_FIELD_FRAME_TAPE, 69, 132},
    {IMG_ROLL_POINTER, 25, 22},
    {IMG_SLIP_TUBE, 100, 25},
    {IMG_SLIP_BALL, 16, 20},
    {IMG_SLIP_BALL_HALF, 16, 20},
    {IMG_SLIP_MARKER, 2, 16},
    {IMG_STARTUP_LOGO, 184, 76},
    {IMG_LABEL_TRK, 22, 7},
    {IMG_DIAMOND, 15, 20},
    {IMG_SOURCE_STRIP_GPS, 91, 9},
    {IMG_SOURCE_STRIP_DG, 91, 9},
    {IMG_HALF_DISC, 20, 21},
    {IMG_AIRCRAFT_SYMBOL_VINTAGE, 110, 17},
    {IMG_TREND_POINTER, 20, 10},
    {IMG_MAGENTA_FRAME, 22, 14},
    {IMG_WAYPOINT_STAR, 32, 32},
};

const expected_size four_bit_sizes[] = {
    {IMG4_UP_ARROW, 12, 30},         {IMG4_ROLL_MARK, 32, 32}, {IMG4_AIRCRAFT_OUTLINE, 128, 153},
    {IMG4_COURSE_ARROW, 24, 24},     {IMG4_DOT_RING, 16, 16},  {IMG4_HEADING_STRIP_A, 360, 20},
    {IMG4_HEADING_STRIP_B, 360, 20},
};

TEST(ImageTables, EveryFullColourImageHasItsCatalogueSize) {
  ASSERT_EQ(std::size(colour_sizes), static_cast<std::size_t>(IMAGE_COUNT));
  std::set<int> seen;
  for (const expected_size& e : colour_sizes) {
    SCOPED_TRACE(image_name[e.entry]);
    seen.insert(e.entry);
    EXPECT_EQ(image_width[e.entry], e.w);
    EXPECT_EQ(image_height[e.entry], e.h);
    const image_ref ref = image_lookup(e.entry);
    EXPECT_EQ(ref.pixels, image_pixels[e.entry]);
    EXPECT_EQ(ref.width, e.w);
    EXPECT_EQ(ref.height, e.h);
  }
  EXPECT_EQ(seen.size(), static_cast<std::size_t>(IMAGE_COUNT));
}

TEST(ImageTables, FourBitImagesFollowTheFontStrips) {
  for (const expected_size& e : four_bit_sizes) {
    SCOPED_TRACE(image4_name[e.entry]);
    const image4_ref ref = image4_lookup(e.entry);
    EXPECT_EQ(ref.width, e.w);
    EXPECT_EQ(ref.height, e.h);
    EXPECT_EQ(ref.data, image4_data[e.entry]);
  }
  // Entry k of the first ten is the strip of font k, with that font's width and height.
  for (int k = 0; k < FONT_COUNT; ++k) {
    SCOPED_TRACE(k);
    const image4_ref ref = image4_lookup(k);
    EXPECT_EQ(ref.data, font_table[k].glyph_strip);
    EXPECT_EQ(ref.width, font_table[k].strip_width);
    EXPECT_EQ(ref.height, font_table[k].height);
  }
}

TEST(ImageTables, NamesAreTheCatalogueNamesAndUnique) {
  EXPECT_STREQ(image_name[IMG_STYLE_VIGNETTE], "img_style_vignette");
  EXPECT_STREQ(image_name[IMG_AOA_BAR_0], "img_aoa_bar_0");
  EXPECT_STREQ(image_name[IMG_WAYPOINT_STAR], "img_waypoint_star");
  EXPECT_STREQ(image4_name[IMG4_UP_ARROW], "img4_up_arrow");
  EXPECT_STREQ(image4_name[IMG4_HEADING_STRIP_B], "img4_heading_strip_b");
  std::set<std::string> names;
  for (int i = 0; i < IMAGE_COUNT; ++i) names.insert(image_name[i]);
  for (int i = 0; i < IMAGE4_COUNT; ++i) names.insert(image4_name[i]);
  EXPECT_EQ(names.size(), static_cast<std::size_t>(int{IMAGE_COUNT} + int{IMAGE4_COUNT}));
}

TEST(ImageTables, LookupOutsideTheTablesGivesAnEmptyImage) {
  for (int entry : {-1, int{IMAGE_COUNT}, 1000}) {
    const image_ref r = image_lookup(entry);
    EXPECT_EQ(r.pixels, nullptr);
    EXPECT_EQ(r.width, 0);
    EXPECT_EQ(r.height, 0);
  }
  for (int entry : {-1, int{IMAGE4_COUNT}}) {
    const image4_ref r = image4_lookup(entry);
    EXPECT_EQ(r.data, nullptr);
    EXPECT_EQ(r.width, 0);
  }
}

// ---------------------------------------------------------------------------------------------
// The artwork

TEST(Artwork, EveryImageHasAPictureNotAnEmptyOrFlatArea) {
  for (int i = 0; i < IMAGE_COUNT; ++i) {
    SCOPED_TRACE(image_name[i]);
    const image_ref img = image_lookup(i);
    const int visible = count_if_pixels(img, [](pixel_t p) { return alpha(p) > 0; });
    EXPECT_GT(visible, img.width * img.height / 20);
    std::set<pixel_t> distinct(img.pixels, img.pixels + img.width * img.height);
    // Even the plainest shape has anti-aliased or shaded edges; a single colour means no drawing.
    if (i != IMG_SLIP_MARKER) {
      EXPECT_GT(distinct.size(), 3u);
    }
  }
  for (int i = FONT_COUNT; i < IMAGE4_COUNT; ++i) {
    SCOPED_TRACE(image4_name[i]);
    const image4_ref img = image4_lookup(i);
    int covered = 0, partial = 0;
    for (int y = 0; y < img.height; ++y)
      for (int x = 0; x < img.width; ++x) {
        covered += nibble(img, x, y) == 15 ? 1 : 0;
        partial += nibble(img, x, y) > 0 && nibble(img, x, y) < 15 ? 1 : 0;
      }
    EXPECT_GT(covered, 10);
    EXPECT_GT(partial, 4);  // anti-aliased edges
  }
}

TEST(Artwork, PixelsAreNotPremultiplied) {
  // Fully clear pixels carry no colour, and somewhere a translucent light pixel has colour channels
  // above its alpha, which premultiplied data can never have.
  bool light_translucent = false;
  for (int i = 0; i < IMAGE_COUNT; ++i) {
    const image_ref img = image_lookup(i);
    for (int k = 0; k < img.width * img.height; ++k) {
      const pixel_t p = img.pixels[k];
      if (alpha(p) == 0) {
        EXPECT_EQ(p, 0u) << image_name[i] << " pixel " << k;
      }
      if (alpha(p) > 0 && alpha(p) < 200 && red(p) > alpha(p) + 20 && green(p) > alpha(p) + 20)
        light_translucent = true;
    }
  }
  EXPECT_TRUE(light_translucent);
}

TEST(Artwork, LogoAndFailFlagAreOpaque) {
  const image_ref logo = image_lookup(IMG_STARTUP_LOGO);
  EXPECT_EQ(count_if_pixels(logo, [](pixel_t p) { return alpha(p) == 255; }), logo.width * logo.height);
  // The word is drawn in light letters on the dark ground.
  EXPECT_GT(count_if_pixels(logo, [](pixel_t p) { return red(p) > 220 && green(p) > 220 && blue(p) > 220; }), 200);

  const image_ref flag = image_lookup(IMG_FAIL_FLAG);
  EXPECT_EQ(count_if_pixels(flag, [](pixel_t p) { return alpha(p) == 255; }), flag.width * flag.height);
  const int reddish = count_if_pixels(flag, [](pixel_t p) { return red(p) > 120 && green(p) < 80 && blue(p) < 80; });
  const int white = count_if_pixels(flag, [](pixel_t p) { return red(p) > 230 && green(p) > 230 && blue(p) > 230; });
  EXPECT_GT(reddish, flag.width * flag.height * 6 / 10);
  EXPECT_GT(white, 100);  // the five letters
  // The letters are stacked: every fifth of the flag's height has white in it.
  for (int letter = 0; letter < 5; ++letter) {
    int in_band = 0;
    for (int y = letter * 22; y < letter * 22 + 22; ++y)
      for (int x = 0; x < flag.width; ++x) in_band += red(at(flag, x, y)) > 230 && green(at(flag, x, y)) > 230;
    EXPECT_GT(in_band, 10) << "letter " << letter;
  }
}

TEST(Artwork, SlipMarkerIsAnOpaqueGreyLine) {
  const image_ref m = image_lookup(IMG_SLIP_MARKER);
  for (int i = 0; i < m.width * m.height; ++i) {
    const pixel_t p = m.pixels[i];
    EXPECT_EQ(alpha(p), 255);
    EXPECT_EQ(red(p), green(p));
    EXPECT_EQ(green(p), blue(p));
    EXPECT_GT(red(p), 0x60);
    EXPECT_LT(red(p), 0xF0);
  }
}

TEST(Artwork, SlipBallsSitBetweenTheMarkersAndTheHalfBallHalfAPixelRight) {
  // At rest the ball is blended at x = 154 and the reference lines are at 146..147 and 174..175,
  // midway 161: so the ball's centre is 7 pixels into its image, and 7.5 for the half variant.
  double cx, cy, hx, hy;
  alpha_centroid(image_lookup(IMG_SLIP_BALL), &cx, &cy);
  alpha_centroid(image_lookup(IMG_SLIP_BALL_HALF), &hx, &hy);
  EXPECT_NEAR(cx, 7.0, 0.1);
  EXPECT_NEAR(hx, 7.5, 0.1);
  EXPECT_NEAR(hx - cx, 0.5, 0.05);
  EXPECT_NEAR(cy, hy, 0.02);
  // Vertically on the markers' middle: marker rows 211..226 centre 219, ball drawn at 209.
  EXPECT_NEAR(cy, 10.0, 0.3);
  const image_ref ball = image_lookup(IMG_SLIP_BALL);
  const pixel_t middle = at(ball, 7, 10);
  EXPECT_EQ(alpha(middle), 255);
  EXPECT_GT(red(middle), 0x90);  // light grey
  EXPECT_LT(std::abs(red(middle) - blue(middle)), 12);
}

TEST(Artwork, SlipTubeIsTranslucentGlassCentredOnTheBall) {
  const image_ref tube = image_lookup(IMG_SLIP_TUBE);
  const pixel_t inside = at(tube, 50, 14);
  EXPECT_GT(alpha(inside), 0);
  EXPECT_LT(alpha(inside), 200);  // the picture shows through the glass
  double cx, cy;
  alpha_centroid(tube, &cx, &cy);
  EXPECT_NEAR(cx, 50.0, 0.5);  // tube at x = 110, centre 160
  EXPECT_NEAR(cy, 13.0, 1.0);  // tube at y = 206, ball centre 219
}

TEST(Artwork, BottomMaskBlocksAreOpaqueAndItsGapNarrowsDownwards) {
  const image_ref mask = image_lookup(IMG_BOTTOM_MASK);
  int previous_gap = mask.width;
  for (int y = 0; y < mask.height; ++y) {
    SCOPED_TRACE(y);
    EXPECT_EQ(at(mask, 0, y), COLOUR_BLACK);
    EXPECT_EQ(at(mask, mask.width - 1, y), COLOUR_BLACK);
    EXPECT_EQ(alpha(at(mask, 160, y)), 0);
    int gap = 0;
    for (int x = 0; x < mask.width; ++x) gap += alpha(at(mask, x, y)) < 128 ? 1 : 0;
    EXPECT_LE(gap, previous_gap);
    previous_gap = gap;
  }
  // It must not hide the slip tube (x 110..209), drawn under it on the base layer, up to row 230.
  for (int x = 110; x < 210; ++x) EXPECT_EQ(alpha(at(mask, x, 230 - 213)), 0) << x;
  EXPECT_LT(previous_gap, 160);
}

TEST(Artwork, VignetteIsClearInTheMiddleAndDarkensOutwards) {
  const image_ref v = image_lookup(IMG_STYLE_VIGNETTE);
  for (int y = 80; y <= 160; y += 10)
    for (int x = 110; x <= 210; x += 10) EXPECT_EQ(at(v, x, y), 0u) << x << "," << y;
  EXPECT_GT(alpha(at(v, 0, 0)), alpha(at(v, 0, 120)));
  EXPECT_GT(alpha(at(v, 0, 120)), 0);
  EXPECT_GT(alpha(at(v, 160, 239)), alpha(at(v, 160, 0)));  // more towards the bottom
  EXPECT_LT(alpha(at(v, 0, 0)), 255);                       // translucent, never solid
  for (int i = 0; i < v.width * v.height; ++i) EXPECT_EQ(v.pixels[i] & 0x00FFFFFF, 0u);
}

// No step anywhere: the shading changes by a few alpha levels at most from a pixel to its right or
// lower neighbour (a clamped gradient stop once left a jump of 40 along an ellipse).
TEST(Artwork, VignetteShadesWithoutSteps) {
  const image_ref v = image_lookup(IMG_STYLE_VIGNETTE);
  int steepest = 0;
  for (int y = 0; y < v.height; ++y) {
    for (int x = 0; x < v.width; ++x) {
      const int a = static_cast<int>(alpha(at(v, x, y)));
      if (x + 1 < v.width) steepest = std::max(steepest, std::abs(a - static_cast<int>(alpha(at(v, x + 1, y)))));
      if (y + 1 < v.height) steepest = std::max(steepest, std::abs(a - static_cast<int>(alpha(at(v, x, y + 1)))));
    }
  }
  EXPECT_LE(steepest, 4);
}

bool amber_like(pixel_t p) { return red(p) > 200 && green(p) > 100 && green(p) < 220 && blue(p) < 90; }
bool red_like(pixel_t p) { return red(p) > 150 && green(p) < 90 && blue(p) < 90; }
bool green_like(pixel_t p) { return green(p) > 150 && red(p) < 120 && blue(p) < 140; }

TEST(Artwork, AlertBoxesAreAmberAndRedWithASoftShadow) {
  const image_ref amber = image_lookup(IMG_ALERT_AMBER);
  const image_ref red_box = image_lookup(IMG_ALERT_RED);
  // The text is centred at (160, 93) over the box at (105, 80): (55, 13) here.
  EXPECT_TRUE(amber_like(at(amber, 55, 13)));
  EXPECT_TRUE(red_like(at(red_box, 55, 13)));
  for (const image_ref& box : {amber, red_box}) {
    // Below and right of the face: shadow only, dark and partly transparent.
    const pixel_t shadow = at(box, 100, 28);
    EXPECT_GT(alpha(shadow), 10);
    EXPECT_LT(alpha(shadow), 230);
    EXPECT_LT(red(shadow), 40);
    EXPECT_EQ(alpha(at(box, 0, 0)), 0);
  }
}

TEST(Artwork, AngleOfAttackBarsAreSixGreenTwoAmberTwoRed) {
  for (int k = 0; k < 10; ++k) {
    SCOPED_TRACE(k);
    const image_ref bar = image_lookup(IMG_AOA_BAR_0 + k);
    int green_n = 0, amber_n = 0, red_n = 0;
    for (int i = 0; i < bar.width * bar.height; ++i) {
      const pixel_t p = bar.pixels[i];
      if (alpha(p) < 255) continue;
      green_n += green_like(p);
      amber_n += amber_like(p);
      red_n += red_like(p);
    }
    const int most = std::max({green_n, amber_n, red_n});
    EXPECT_GT(most, bar.width * bar.height / 4);
    if (k < 6) {
      EXPECT_EQ(most, green_n);
    }
    if (k == 6 || k == 7) {
      EXPECT_EQ(most, amber_n);
    }
    if (k >= 8) {
      EXPECT_EQ(most, red_n);
    }
  }
}

TEST(Artwork, AngleOfAttackBarsSlantWithTheCurveOfTheColumn) {
  // Lower bars rise to the right, upper bars fall to the right: compare the ink's mean row in the
  // left and right quarter of each bar.
  auto mean_row = [](const image_ref& img, int x0, int x1) {
    double sum = 0, rows = 0;
    for (int y = 0; y < img.height; ++y)
      for (int x = x0; x < x1; ++x) {
        sum += alpha(at(img, x, y)) * (y + 0.5);
        rows += alpha(at(img, x, y));
      }
    return sum / rows;
  };
  for (int k : {0, 1, 2, 3}) {
    const image_ref bar = image_lookup(IMG_AOA_BAR_0 + k);
    EXPECT_GT(mean_row(bar, 0, bar.width / 4), mean_row(bar, bar.width * 3 / 4, bar.width) + 0.5) << k;
  }
  for (int k : {7, 8, 9}) {
    const image_ref bar = image_lookup(IMG_AOA_BAR_0 + k);
    EXPECT_LT(mean_row(bar, 0, bar.width / 4), mean_row(bar, bar.width * 3 / 4, bar.width) - 0.5) << k;
  }
}

TEST(Artwork, AngleOfAttackBarsKeepClearWhereTheNextBarsCopyOverlaps) {
  // The bars are copied opaquely bottom first; the bar at (67, 163) covers rows 163..174 and so
  // overwrites the top three rows of the one at (69, 172): those rows must hold nothing.
  const image_ref third = image_lookup(IMG_AOA_BAR_2);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < third.width - 1; ++x) EXPECT_EQ(alpha(at(third, x, y)), 0) << x << "," << y;
}

bool yellow_like(pixel_t p) { return alpha(p) == 255 && red(p) > 200 && green(p) > 170 && blue(p) < 100; }

// Centre of the pixels that pass a test, in continuous coordinates (pixel i spans i .. i + 1).
void centroid_of(const image_ref& img, bool (*pred)(pixel_t), double* cx, double* cy, int* count) {
  double sx = 0, sy = 0;
  int n = 0;
  for (int y = 0; y < img.height; ++y)
    for (int x = 0; x < img.width; ++x)
      if (pred(at(img, x, y))) {
        sx += x + 0.5;
        sy += y + 0.5;
        ++n;
      }
  *cx = sx / n;
  *cy = sy / n;
  *count = n;
}

TEST(Artwork, AircraftSymbolCentresOnThePictureCentre) {
  // Blended at (94, 135), the picture centre (160, 140) is the point (66, 5) of the image.
  const image_ref sym = image_lookup(IMG_AIRCRAFT_SYMBOL);
  for (int x : {65, 66})
    for (int y : {4, 5}) EXPECT_TRUE(yellow_like(at(sym, x, y))) << x << "," << y;
  // The yellow body (the shadow falls to the lower right, so only the body is symmetric) is
  // balanced about x = 66, and the wing bars lie on row 5 far out to both sides.
  double cx, cy;
  int n;
  centroid_of(sym, yellow_like, &cx, &cy, &n);
  EXPECT_NEAR(cx, 66.0, 0.3);
  EXPECT_GT(n, 300);
  EXPECT_TRUE(yellow_like(at(sym, 8, 5)));
  EXPECT_TRUE(yellow_like(at(sym, 123, 5)));
  EXPECT_FALSE(yellow_like(at(sym, 8, 9)));
  // Nothing reaches past the image's edges (the shadow included).
  for (int y = 0; y < sym.height; ++y) {
    EXPECT_EQ(alpha(at(sym, 0, y)), 0);
    EXPECT_EQ(alpha(at(sym, sym.width - 1, y)), 0);
  }
}

bool light_grey_like(pixel_t p) {
  return alpha(p) == 255 && red(p) > 120 && std::abs(red(p) - blue(p)) < 16 && std::abs(red(p) - green(p)) < 16;
}

TEST(Artwork, VintageSymbolCentresOnThePictureCentre) {
  // Blended at (106, 135): the centre is (54, 5), where the ball sits between the bars.
  const image_ref sym = image_lookup(IMG_AIRCRAFT_SYMBOL_VINTAGE);
  double cx, cy;
  int n;
  centroid_of(sym, light_grey_like, &cx, &cy, &n);
  EXPECT_NEAR(cx, 54.0, 0.3);
  EXPECT_GT(n, 150);
  EXPECT_TRUE(light_grey_like(at(sym, 54, 5)));
  EXPECT_TRUE(light_grey_like(at(sym, 20, 5)));  // wing bars on the centre row
  EXPECT_TRUE(light_grey_like(at(sym, 88, 5)));
  EXPECT_EQ(alpha(at(sym, 30, 12)), 0);  // bars only, not a filled shape
}

TEST(Artwork, RollPointerPointsUpAtTheScreenCentre) {
  // Blended at (146, 30): screen column 160 is x = 14; the tip is at the top.
  const image_ref ptr = image_lookup(IMG_ROLL_POINTER);
  auto row_ink = [&](int y) {
    int n = 0;
    for (int x = 0; x < ptr.width; ++x) n += alpha(at(ptr, x, y)) > 128;
    return n;
  };
  EXPECT_LT(row_ink(3), row_ink(11));
  // Symmetric about the line between columns 13 and 14, as far as the image reaches to the right.
  for (int y = 0; y < ptr.height; ++y)
    for (int x = 27 - (ptr.width - 1); x < 14; ++x)
      EXPECT_NEAR(alpha(at(ptr, x, y)), alpha(at(ptr, 27 - x, y)), 8) << x << "," << y;
}

TEST(Artwork, RollMarkPointsDownWhenDrawn) {
  const image4_ref mark = image4_lookup(IMG4_ROLL_MARK);
  pixel_t out[32 * 32] = {};
  draw_grey4_image(out, 32, 32, mark.data, 32, 32, 0, 0);
  auto row_ink = [&](int y) {
    int n = 0;
    for (int x = 0; x < 32; ++x) n += alpha(out[y * 32 + x]) > 120;
    return n;
  };
  EXPECT_GT(row_ink(7), 15);
  EXPECT_LT(row_ink(24), 5);
  EXPECT_GT(row_ink(24), 0);
}

TEST(Artwork, GMeterPointersAreShadedBallsOfTheirColours) {
  double cx, cy;
  for (int e : {IMG_DOT_WHITE, IMG_DOT_ORANGE, IMG_DOT_RED}) {
    alpha_centroid(image_lookup(e), &cx, &cy);
    EXPECT_NEAR(cx, 8.0, 0.15) << image_name[e];
    EXPECT_NEAR(cy, 7.5, 0.15) << image_name[e];
  }
  // Tinted like the meter they ride on: light gold, yellow, red.
  const pixel_t gold = at(image_lookup(IMG_DOT_WHITE), 8, 8);
  const pixel_t yellow = at(image_lookup(IMG_DOT_ORANGE), 8, 8);
  const pixel_t red_dot = at(image_lookup(IMG_DOT_RED), 8, 8);
  EXPECT_TRUE(red(gold) > 180 && green(gold) > 150 && green(gold) < red(gold) && blue(gold) < green(gold) - 30);
  EXPECT_TRUE(red(yellow) > 200 && green(yellow) > 180 && blue(yellow) < 90);
  EXPECT_TRUE(red_like(red_dot));
}

TEST(Artwork, FramesAndValueBoxesHaveTealEdges) {
  for (int e : {IMG_ALT_BOX_NARROW, IMG_ALT_BOX_WIDE, IMG_POPUP_BOX, IMG_FIELD_FRAME_SMALL, IMG_FIELD_FRAME_WIDE,
                IMG_FIELD_FRAME_TALL, IMG_FIELD_FRAME_TAPE}) {
    const image_ref img = image_lookup(e);
    EXPECT_GT(count_if_pixels(img, [](pixel_t p) { return p == COLOUR_TEAL; }), 20) << image_name[e];
    // Dark and see-through inside.
    const pixel_t middle = at(img, img.width / 2, img.height / 2);
    if (e != IMG_FIELD_FRAME_TALL && e != IMG_FIELD_FRAME_TAPE) {
      EXPECT_EQ(middle & 0x00FFFFFF, 0u) << image_name[e];
      EXPECT_GT(alpha(middle), 100) << image_name[e];
      EXPECT_LT(alpha(middle), 255) << image_name[e];
    }
  }
  // The narrow altitude box leaves its left part clear for the single thousands digit.
  EXPECT_EQ(alpha(at(image_lookup(IMG_ALT_BOX_NARROW), 5, 16)), 0);
  EXPECT_GT(alpha(at(image_lookup(IMG_ALT_BOX_WIDE), 5, 16)), 100);
  // The small frame is teal along its top and bottom edges only.
  const image_ref small = image_lookup(IMG_FIELD_FRAME_SMALL);
  EXPECT_EQ(at(small, 27, 1), COLOUR_TEAL);
  EXPECT_EQ(at(small, 27, 58), COLOUR_TEAL);
  EXPECT_NE(at(small, 1, 30), COLOUR_TEAL);
}

TEST(Artwork, TapeFramesMirrorEachOther) {
  const image_ref tall = image_lookup(IMG_FIELD_FRAME_TALL);
  const image_ref tape = image_lookup(IMG_FIELD_FRAME_TAPE);
  // The tall frame hugs the left of its image at mid height, the tape frame the right.
  EXPECT_GT(alpha(at(tall, 2, 66)), 0);
  EXPECT_EQ(alpha(at(tall, 76, 66)), 0);
  EXPECT_GT(alpha(at(tape, 66, 66)), 0);
  EXPECT_EQ(alpha(at(tape, 2, 66)), 0);
}

TEST(Artwork, BannerBackIsOpaqueBlackWithRoundedUpperCorners) {
  const image_ref b = image_lookup(IMG_BANNER_BACK);
  EXPECT_EQ(at(b, 66, 20), COLOUR_BLACK);
  for (int x = 0; x < b.width; ++x) EXPECT_EQ(alpha(at(b, x, b.height - 1)), 255) << x;
  EXPECT_EQ(alpha(at(b, 0, 0)), 0);
  EXPECT_EQ(alpha(at(b, b.width - 1, 0)), 0);
  EXPECT_EQ(alpha(at(b, 0, b.height - 1)), 255);
}

TEST(Artwork, BadgeAndBatteryBox) {
  const image_ref badge = image_lookup(IMG_STATUS_BADGE);
  const pixel_t inside = at(badge, 19, 9);
  EXPECT_EQ(inside & 0x00FFFFFF, 0u);
  EXPECT_GT(alpha(inside), 200);
  EXPECT_EQ(alpha(at(badge, 0, 0)), 0);  // rounded

  const image_ref battery = image_lookup(IMG_ON_BATTERY);
  const int yellow = count_if_pixels(
      battery, [](pixel_t p) { return alpha(p) == 255 && red(p) > 200 && green(p) > 180 && blue(p) < 120; });
  const int dark = count_if_pixels(battery, [](pixel_t p) { return alpha(p) == 255 && red(p) < 70 && green(p) < 70; });
  EXPECT_GT(yellow, battery.width * battery.height / 2);
  EXPECT_GT(dark, 60);  // the words
}

TEST(Artwork, LabelsAreGreyWords) {
  for (int e : {IMG_LABEL_DG, IMG_LABEL_GPS, IMG_LABEL_HDG, IMG_LABEL_TRK, IMG_SOURCE_STRIP_GPS, IMG_SOURCE_STRIP_DG}) {
    const image_ref img = image_lookup(e);
    int ink = 0;
    for (int i = 0; i < img.width * img.height; ++i) {
      const pixel_t p = img.pixels[i];
      if (alpha(p) == 0) continue;
      ++ink;
      EXPECT_EQ(red(p), green(p)) << image_name[e];
      EXPECT_EQ(green(p), blue(p)) << image_name[e];
    }
    EXPECT_GT(ink, img.width * 2) << image_name[e];
  }
  // A strip of two labels has a gap between the words.
  const image_ref strip = image_lookup(IMG_SOURCE_STRIP_GPS);
  for (int y = 0; y < strip.height; ++y) EXPECT_EQ(alpha(at(strip, 45, y)), 0);
}

TEST(Artwork, HeadingStripsMarkEveryFiveDegreesOnePixelPerDegree) {
  const image4_ref b = image4_lookup(IMG4_HEADING_STRIP_B);
  const image4_ref a = image4_lookup(IMG4_HEADING_STRIP_A);
  // Column j shows heading j - 180: ticks hang from the top edge, long every 10, short every 5.
  auto tick_length = [](const image4_ref& s, int col) {
    int n = 0;
    while (n < s.height && nibble(s, col, n) == 15) ++n;
    return n;
  };
  for (int heading = -180; heading < 180; heading += 5) {
    const int col = heading + 180;
    SCOPED_TRACE(heading);
    if (heading % 10 == 0) {
      EXPECT_GE(tick_length(b, col), 5);
    } else {
      EXPECT_GE(tick_length(b, col), 3);
      EXPECT_LT(tick_length(b, col), 5);
    }
    EXPECT_LT(nibble(b, col + 2, 0), 8);  // nothing between the marks
  }
  // Strip A is strip B half a pixel further left: the tick at heading 0 splits between columns 179
  // and 180 instead of sitting on 180.
  // (Measured above the faint background band, taken from a column between marks.)
  auto row0_centre = [](const image4_ref& s, int from, int to) {
    const int band = nibble(s, 182, 1);
    double sum = 0, w = 0;
    for (int x = from; x <= to; ++x) {
      const int ink = std::max(0, nibble(s, x, 1) - band);
      sum += ink * (x + 0.5);
      w += ink;
    }
    return sum / w;
  };
  EXPECT_NEAR(row0_centre(b, 177, 182), 180.5, 0.1);
  EXPECT_NEAR(row0_centre(a, 177, 182), 180.0, 0.1);
  // Numbers below the ticks: some ink under the north mark, none far between labels.
  int ink_north = 0;
  for (int y = 8; y < 19; ++y)
    for (int x = 176; x < 185; ++x) ink_north += nibble(b, x, y) > 8;
  EXPECT_GT(ink_north, 8);
}

TEST(Artwork, AircraftOutlineIsCentredOnTheRose) {
  // Copied to (96, 44) with the rose centre at (160, 120): the outline is symmetric about x = 64.
  const image4_ref o = image4_lookup(IMG4_AIRCRAFT_OUTLINE);
  for (int y = 0; y < o.height; ++y)
    for (int x = 0; x < 64; ++x) EXPECT_NEAR(nibble(o, x, y), nibble(o, 127 - x, y), 1) << x << "," << y;
  // An outline, not a filled shape: the middle of the fuselage is empty.
  EXPECT_EQ(nibble(o, 64, 76), 0);
  EXPECT_GT(nibble(o, 2, 77), 8);  // wing tips reach the edges
}

// ---------------------------------------------------------------------------------------------
// Drawing operations

using ImageOps = PowerOn;

TEST_F(ImageOps, Grey4ReplacesWhatWasThereEvenWithZeroCoverage) {
  const std::vector<std::uint8_t> blank(4 * 3 / 2, 0);
  guarded dst(6, 5, 0xFFFFFFFF);
  draw_grey4_image(dst.buf(), 6, 5, blank.data(), 4, 3, 1, 1);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 6; ++x) {
      const bool covered = x >= 1 && x <= 4 && y >= 1 && y <= 3;
      EXPECT_EQ(dst.px(x, y), covered ? 0x00000000u : 0xFFFFFFFFu) << x << "," << y;
    }
  EXPECT_TRUE(dst.guards_intact());
}

TEST_F(ImageOps, Grey4CoverageGivesGreyWithMatchingAlpha) {
  // Coverage 15: mix of clear and 0xFFF0F0F0 at 240/255 gives alpha 240, grey 240*240/255 = 225.
  // Coverage 8: 0xFF808080 at 128/255 gives alpha 128, grey 128*128/255 = 64.25 -> 64.
  // The high nibble is the left column.
  const std::vector<std::uint8_t> data = {0xF8};
  pixel_t out[2] = {};
  draw_grey4_image(out, 2, 1, data.data(), 2, 1, 0, 0);
  EXPECT_EQ(out[0], 0xF0E1E1E1u);
  EXPECT_EQ(out[1], 0x80404040u);
}

TEST_F(ImageOps, Alpha4ScalesTheColourByCoverage) {
  const std::vector<std::uint8_t> data = {0xF8, 0x01};
  pixel_t out[2 * 3] = {};
  // Row width 2, two stored rows; at y = 0 they cover rows 1 and 2.
  draw_alpha4_image(out, 2, 3, data.data(), 2, 2, 0, 0, 0xFFFFFFFF);
  EXPECT_EQ(out[2 * 2 + 0], 0xFFFFFFFFu);  // stored row 0 is the bottom row: screen row 2
  EXPECT_EQ(out[2 * 2 + 1], 0x88888888u);  // 255 * 8/15 = 136
  EXPECT_EQ(out[1 * 2 + 0], 0x00000000u);
  EXPECT_EQ(out[1 * 2 + 1], 0x11111111u);  // 255 / 15 = 17
  EXPECT_EQ(out[0], 0u);                   // row 0 untouched
  EXPECT_EQ(out[1], 0u);
  // The colour's channels are scaled alike, alpha included.
  pixel_t one = 0;
  const std::uint8_t half[] = {0x80};
  draw_alpha4_image(&one, 1, 1, half, 2, 1, 0, -1, 0xFF3C78F0);
  EXPECT_EQ(one, scale_colour(0xFF3C78F0, 8.0f / 15.0f));
}

TEST_F(ImageOps, RowConventionsAtTheTopEdge) {
  // A picture whose only ink is its top row: grey-4 puts it on row y, alpha-4 on row y + 1.
  const std::vector<std::uint8_t> data = pack4({{15, 15}, {0, 0}, {0, 0}});
  guarded grey(2, 4, 0xFF123456);
  draw_grey4_image(grey.buf(), 2, 4, data.data(), 2, 3, 0, 0);
  EXPECT_EQ(grey.px(0, 0), 0xF0E1E1E1u);
  EXPECT_EQ(grey.px(0, 1), 0u);
  EXPECT_EQ(grey.px(0, 2), 0u);
  EXPECT_EQ(grey.px(0, 3), 0xFF123456u);  // rows 0..2 only
  guarded tinted(2, 4, 0xFF123456);
  draw_alpha4_image(tinted.buf(), 2, 4, data.data(), 2, 3, 0, 0, COLOUR_WHITE);
  EXPECT_EQ(tinted.px(0, 0), 0xFF123456u);  // rows 1..3 only
  EXPECT_EQ(tinted.px(0, 1), COLOUR_WHITE);
  EXPECT_EQ(tinted.px(0, 2), 0u);
  EXPECT_EQ(tinted.px(0, 3), 0u);
  EXPECT_TRUE(grey.guards_intact());
  EXPECT_TRUE(tinted.guards_intact());
}

TEST_F(ImageOps, OddWidthLeavesTheLastColumnUndrawn) {
  // Width 3 stores one byte per row (3 / 2); the third column is never drawn.
  const std::uint8_t data[] = {0xFF, 0xFF};
  guarded grey(4, 2, 0xFF0000FF);
  draw_grey4_image(grey.buf(), 4, 2, data, 3, 2, 0, 0);
  guarded tinted(4, 3, 0xFF0000FF);
  draw_alpha4_image(tinted.buf(), 4, 3, data, 3, 2, 0, 0, COLOUR_WHITE);
  for (int y = 0; y < 2; ++y) {
    EXPECT_EQ(grey.px(0, y), 0xF0E1E1E1u);
    EXPECT_EQ(grey.px(1, y), 0xF0E1E1E1u);
    EXPECT_EQ(grey.px(2, y), 0xFF0000FFu);
    EXPECT_EQ(tinted.px(1, y + 1), COLOUR_WHITE);
    EXPECT_EQ(tinted.px(2, y + 1), 0xFF0000FFu);
  }
}

TEST_F(ImageOps, FourBitDrawingClipsAtEveryEdge) {
  const std::vector<std::uint8_t> data(4 / 2 * 4, 0xFF);
  // Placed so that the 4 x 4 picture hangs over each edge of a 5 x 5 buffer in turn.
  const int places[][2] = {{-2, 1}, {3, 1}, {1, -2}, {1, 3}, {-3, -3}, {4, 4}, {-4, 0}, {5, 0}, {0, 5}};
  for (const auto& p : places) {
    SCOPED_TRACE(testing::Message() << p[0] << "," << p[1]);
    guarded grey(5, 5, 0xFF0000FF);
    draw_grey4_image(grey.buf(), 5, 5, data.data(), 4, 4, p[0], p[1]);
    guarded tinted(5, 5, 0xFF0000FF);
    draw_alpha4_image(tinted.buf(), 5, 5, data.data(), 4, 4, p[0], p[1], COLOUR_WHITE);
    EXPECT_TRUE(grey.guards_intact());
    EXPECT_TRUE(tinted.guards_intact());
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 5; ++x) {
        const bool in_grey = x >= p[0] && x < p[0] + 4 && y >= p[1] && y < p[1] + 4;
        const bool in_tinted = x >= p[0] && x < p[0] + 4 && y >= p[1] + 1 && y <= p[1] + 4;
        EXPECT_EQ(grey.px(x, y), in_grey ? 0xF0E1E1E1u : 0xFF0000FFu) << x << "," << y;
        EXPECT_EQ(tinted.px(x, y), in_tinted ? COLOUR_WHITE : 0xFF0000FFu) << x << "," << y;
      }
  }
}

TEST_F(ImageOps, Rgb444IsOpaqueBottomUpAndIgnoresTheTopBits) {
  // Stored row 0 is the bottom row. Four bits per channel are multiplied by 16.
  const std::uint16_t data[] = {0x0F00, 0xF123, 0x00F0, 0x000F};
  guarded dst(3, 3, 0x00000000);
  draw_rgb444_image(dst.buf(), 3, 3, data, 2, 2, 1, 0);
  EXPECT_EQ(dst.px(1, 1), 0xFFF00000u);
  EXPECT_EQ(dst.px(2, 1), 0xFF102030u);
  EXPECT_EQ(dst.px(1, 0), 0xFF00F000u);
  EXPECT_EQ(dst.px(2, 0), 0xFF0000F0u);
  EXPECT_EQ(dst.px(0, 0), 0u);
  EXPECT_EQ(dst.px(1, 2), 0u);
  // Clipped at every edge.
  for (const auto& p : std::vector<std::pair<int, int>>{{-1, -1}, {2, 2}, {-1, 2}, {2, -1}}) {
    guarded small(3, 3, 0);
    draw_rgb444_image(small.buf(), 3, 3, data, 2, 2, p.first, p.second);
    EXPECT_TRUE(small.guards_intact());
    int drawn = 0;
    for (int i = 0; i < 9; ++i) drawn += small.buf()[i] != 0;
    EXPECT_EQ(drawn, 1) << p.first << "," << p.second;
  }
}

TEST_F(ImageOps, BlitClippedCopiesOnlyThePartInside) {
  std::vector<pixel_t> src(10 * 3);
  for (int i = 0; i < 30; ++i) src[i] = 0xFF000000u | static_cast<pixel_t>(i);
  {
    // At x = -5 only source columns 5 and up arrive, at columns 0..4.
    guarded dst(8, 4, 0);
    blit_image_clipped(dst.buf(), 8, 4, src.data(), 10, 3, -5, 1);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 8; ++x) {
        const pixel_t want = (y >= 1 && x < 5) ? src[(y - 1) * 10 + x + 5] : 0u;
        EXPECT_EQ(dst.px(x, y), want) << x << "," << y;
      }
    EXPECT_TRUE(dst.guards_intact());
  }
  {
    // Off the right and bottom edges, and above the top.
    guarded dst(8, 4, 0);
    blit_image_clipped(dst.buf(), 8, 4, src.data(), 10, 3, 5, 2);
    EXPECT_EQ(dst.px(5, 2), src[0]);
    EXPECT_EQ(dst.px(7, 3), src[12]);
    EXPECT_EQ(dst.px(4, 2), 0u);
    EXPECT_TRUE(dst.guards_intact());
    guarded top(8, 4, 0);
    blit_image_clipped(top.buf(), 8, 4, src.data(), 10, 3, 0, -2);
    EXPECT_EQ(top.px(3, 0), src[2 * 10 + 3]);
    EXPECT_EQ(top.px(3, 1), 0u);
    EXPECT_TRUE(top.guards_intact());
  }
  {
    // The copy is opaque: clear source pixels replace what was there.
    const pixel_t clear[] = {0x00000000, 0x80FFFFFF};
    guarded dst(2, 1, 0xFF00FF00);
    blit_image_clipped(dst.buf(), 2, 1, clear, 2, 1, 0, 0);
    EXPECT_EQ(dst.px(0, 0), 0u);
    EXPECT_EQ(dst.px(1, 0), 0x80FFFFFFu);
  }
  {
    // Entirely outside: nothing written.
    guarded dst(8, 4, 0);
    blit_image_clipped(dst.buf(), 8, 4, src.data(), 10, 3, -10, 0);
    blit_image_clipped(dst.buf(), 8, 4, src.data(), 10, 3, 8, 0);
    blit_image_clipped(dst.buf(), 8, 4, src.data(), 10, 3, 0, 4);
    blit_image_clipped(dst.buf(), 8, 4, src.data(), 10, 3, 0, -3);
    for (int i = 0; i < 32; ++i) EXPECT_EQ(dst.buf()[i], 0u);
    EXPECT_TRUE(dst.guards_intact());
  }
}

TEST_F(ImageOps, BlendCatalogueImageBlendsAtItsOwnSize) {
  // The fail flag is opaque, so blending it over anything leaves exactly its pixels.
  std::fill(top_layer, top_layer + LAYER_PIXELS, 0xFF336699u);
  blend_catalogue_image(top_layer, IMG_FAIL_FLAG, 229, 62);
  const image_ref flag = image_lookup(IMG_FAIL_FLAG);
  for (int y = 0; y < flag.height; ++y)
    for (int x = 0; x < flag.width; ++x) ASSERT_EQ(top_layer[(62 + y) * 320 + 229 + x], at(flag, x, y));
  EXPECT_EQ(top_layer[61 * 320 + 229], 0xFF336699u);
  EXPECT_EQ(top_layer[62 * 320 + 228], 0xFF336699u);
  EXPECT_EQ(top_layer[(62 + 110) * 320 + 229], 0xFF336699u);
  EXPECT_EQ(top_layer[62 * 320 + 229 + 22], 0xFF336699u);

  // The vignette's clear centre leaves the layer as it was; an unknown entry draws nothing.
  std::fill(base_layer, base_layer + LAYER_PIXELS, 0xFF336699u);
  blend_catalogue_image(base_layer, IMG_STYLE_VIGNETTE, 0, 0);
  EXPECT_EQ(base_layer[120 * 320 + 160], 0xFF336699u);
  EXPECT_NE(base_layer[0], 0xFF336699u);
  std::fill(base_layer, base_layer + LAYER_PIXELS, 0xFF336699u);
  blend_catalogue_image(base_layer, IMAGE_COUNT, 0, 0);
  blend_catalogue_image(base_layer, -1, 0, 0);
  EXPECT_TRUE(std::all_of(base_layer, base_layer + LAYER_PIXELS, [](pixel_t p) { return p == 0xFF336699u; }));
}

}  // namespace
