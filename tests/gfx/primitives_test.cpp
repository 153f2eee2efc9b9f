// Spans, boxes, discs, the anti-aliased line, the clippers, the transform and transformed images.
#include "gfx/primitives.h"

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "tests/support/power_on.h"

namespace {

constexpr pixel_t GUARD = 0x5EADBEEF;

// A w x h picture inside a margin of guard pixels, so that any write outside the picture shows.
struct canvas {
  int w;
  int h;
  int margin;
  std::vector<pixel_t> block;

  canvas(int width, int height, pixel_t fill = 0) : w(width), h(height), margin(width * 4 + 64) {
    block.assign(static_cast<std::size_t>(w) * h + 2 * margin, GUARD);
    for (int i = 0; i < w * h; ++i) pix()[i] = fill;
  }
  pixel_t* pix() { return block.data() + margin; }
  pixel_t at(int x, int y) { return pix()[y * w + x]; }
  bool guards_intact() const {
    for (int i = 0; i < margin; ++i) {
      if (block[i] != GUARD || block[block.size() - 1 - i] != GUARD) return false;
    }
    return true;
  }
  int count_not(pixel_t value) {
    int n = 0;
    for (int i = 0; i < w * h; ++i) n += pix()[i] != value;
    return n;
  }
};

pixel_t half_white() { return mix_colour(0, COLOUR_WHITE, 0.5f); }

// Distance from the point (px, py) to the segment (x0, y0)-(x1, y1).
double distance_to_segment(double px, double py, double x0, double y0, double x1, double y1) {
  const double dx = x1 - x0, dy = y1 - y0;
  const double len2 = dx * dx + dy * dy;
  double t = len2 > 0 ? ((px - x0) * dx + (py - y0) * dy) / len2 : 0.0;
  t = std::fmax(0.0, std::fmin(1.0, t));
  const double ex = x0 + t * dx - px, ey = y0 + t * dy - py;
  return std::sqrt(ex * ex + ey * ey);
}

}  // namespace

// ---- Spans and boxes

TEST(DrawHspan, PaintsBothEndsInclusive) {
  canvas c(SCREEN_W, SCREEN_H);
  draw_hspan(c.pix(), SCREEN_W, SCREEN_H, 10, 14, 7, COLOUR_RED);
  for (int x = 10; x <= 14; ++x) EXPECT_EQ(c.at(x, 7), COLOUR_RED) << x;
  EXPECT_EQ(c.count_not(0), 5);
}

TEST(DrawHspan, ASpanWhollyOffOneSideStillPaintsTheEdgePixel) {
  canvas c(SCREEN_W, SCREEN_H);
  draw_hspan(c.pix(), SCREEN_W, SCREEN_H, -50, -10, 5, COLOUR_RED);
  EXPECT_EQ(c.at(0, 5), COLOUR_RED);
  EXPECT_EQ(c.count_not(0), 1);
  draw_hspan(c.pix(), SCREEN_W, SCREEN_H, 400, 500, 6, COLOUR_GREEN);
  EXPECT_EQ(c.at(319, 6), COLOUR_GREEN);
  EXPECT_EQ(c.count_not(0), 2);
  EXPECT_TRUE(c.guards_intact());
}

TEST(DrawHspan, ReversedAfterClampingPaintsNothing) {
  canvas c(SCREEN_W, SCREEN_H);
  draw_hspan(c.pix(), SCREEN_W, SCREEN_H, 200, 100, 5, COLOUR_RED);
  draw_hspan(c.pix(), SCREEN_W, SCREEN_H, 319, 318, 5, COLOUR_RED);
  EXPECT_EQ(c.count_not(0), 0);
  // Both ends clamp onto the same edge pixel, which is then a span of one.
  draw_hspan(c.pix(), SCREEN_W, SCREEN_H, -5, -10, 5, COLOUR_RED);
  EXPECT_EQ(c.count_not(0), 1);
}

TEST(DrawHspan, RowsOutsideTheScreenClampToTheEdgeRows) {
  canvas c(SCREEN_W, SCREEN_H);
  draw_hspan(c.pix(), SCREEN_W, SCREEN_H, 0, 319, 300, COLOUR_BLUE);
  draw_hspan(c.pix(), SCREEN_W, SCREEN_H, 0, 319, -7, COLOUR_GREEN);
  for (int x = 0; x < SCREEN_W; ++x) {
    ASSERT_EQ(c.at(x, 239), COLOUR_BLUE);
    ASSERT_EQ(c.at(x, 0), COLOUR_GREEN);
  }
  EXPECT_EQ(c.count_not(0), 2 * SCREEN_W);
  EXPECT_TRUE(c.guards_intact());
}

TEST(DrawHspan, NeverWritesPastABufferSmallerThanTheScreen) {
  canvas c(16, 8);
  draw_hspan(c.pix(), 16, 8, -100, 1000, 50, COLOUR_RED);
  for (int x = 0; x < 16; ++x) EXPECT_EQ(c.at(x, 7), COLOUR_RED) << x;
  EXPECT_EQ(c.count_not(0), 16);
  EXPECT_TRUE(c.guards_intact());
}

TEST(FillBox, LeavesTheFarColumnAndRowUnpainted) {
  canvas c(40, 30);
  fill_box(c.pix(), 40, 30, 10, 20, 15, 23, COLOUR_RED);
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 40; ++x) {
      const bool inside = x >= 10 && x < 15 && y >= 20 && y < 23;
      ASSERT_EQ(c.at(x, y), inside ? COLOUR_RED : 0u) << x << "," << y;
    }
  }
  canvas d(40, 30);
  fill_box(d.pix(), 40, 30, 15, 23, 10, 20, COLOUR_RED);  // corners given the other way round
  EXPECT_EQ(d.block, c.block);
}

TEST(FillBox, EmptyAndOffScreenBoxes) {
  canvas c(40, 30);
  fill_box(c.pix(), 40, 30, 5, 5, 5, 20, COLOUR_RED);
  fill_box(c.pix(), 40, 30, 5, 5, 20, 5, COLOUR_RED);
  EXPECT_EQ(c.count_not(0), 0);
  fill_box(c.pix(), 40, 30, -10, -10, 1000, 1000, COLOUR_RED);
  EXPECT_EQ(c.count_not(COLOUR_RED), 0);
  EXPECT_TRUE(c.guards_intact());
}

TEST(DimBox, ScalesTheSamePixelsAFillWouldPaint) {
  canvas c(40, 30, 0xFF808080);
  dim_box(c.pix(), 40, 30, 38, 28, 45, 35, 0.5);
  dim_box(c.pix(), 40, 30, 2, 3, 4, 5, 0.5);
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 40; ++x) {
      const bool inside = (x >= 38 && y >= 28) || (x >= 2 && x < 4 && y >= 3 && y < 5);
      ASSERT_EQ(c.at(x, y), inside ? 0x7F404040u : 0xFF808080u) << x << "," << y;
    }
  }
  EXPECT_TRUE(c.guards_intact());
}

TEST(FillDisc, PaintsTheLatticePointsWithinTheRadius) {
  canvas c(40, 30);
  fill_disc(c.pix(), 40, 30, 20, 15, 0, COLOUR_RED);
  EXPECT_EQ(c.count_not(0), 1);
  EXPECT_EQ(c.at(20, 15), COLOUR_RED);
  canvas d(40, 30);
  fill_disc(d.pix(), 40, 30, 20, 15, 2, COLOUR_RED);
  EXPECT_EQ(d.count_not(0), 13);  // 1 + 4 + 4 + 4: (0,0), (±1,0)..., (±1,±1), (±2,0), (0,±2)
  EXPECT_EQ(d.at(22, 15), COLOUR_RED);
  EXPECT_EQ(d.at(22, 16), 0u);
  EXPECT_EQ(d.at(21, 16), COLOUR_RED);
}

TEST(FillDisc, ClipsAtTheEdgesAndCopesWithHugeAndNegativeRadii) {
  canvas c(40, 30);
  fill_disc(c.pix(), 40, 30, 0, 0, 3, COLOUR_RED);
  EXPECT_EQ(c.count_not(0), 11);  // the quarter of the 29-point disc of radius 3 with x, y >= 0
  fill_disc(c.pix(), 40, 30, 20, 15, -4, COLOUR_GREEN);
  EXPECT_EQ(c.count_not(0), 11);
  fill_disc(c.pix(), 40, 30, -1000, -1000, 100000, COLOUR_BLUE);
  EXPECT_EQ(c.count_not(COLOUR_BLUE), 0);
  EXPECT_TRUE(c.guards_intact());
}

TEST(ClampRectToScreen, ClampsEachCoordinateToItsAxis) {
  int x0 = -5, y0 = 300, x1 = 400, y1 = -1;
  clamp_rect_to_screen(x0, y0, x1, y1);
  EXPECT_EQ(x0, 0);
  EXPECT_EQ(y0, 239);
  EXPECT_EQ(x1, 319);
  EXPECT_EQ(y1, 0);
  int a = 100, b = 200, c = 250, d = 120;
  clamp_rect_to_screen(a, b, c, d);
  EXPECT_EQ(a, 100);
  EXPECT_EQ(b, 200);
  EXPECT_EQ(c, 250);
  EXPECT_EQ(d, 120);
}

// ---- The anti-aliased line

TEST(DrawLineAa, HorizontalLinePaintsTwoRowsAndNotTheThird) {
  canvas c(SCREEN_W, SCREEN_H);
  draw_line_aa(c.pix(), SCREEN_W, SCREEN_H, 10, 20, 20, 20, COLOUR_WHITE);
  for (int y = 0; y < SCREEN_H; ++y) {
    for (int x = 0; x < SCREEN_W; ++x) {
      const bool painted = x >= 10 && x <= 20 && (y == 19 || y == 20);
      ASSERT_EQ(c.at(x, y), painted ? COLOUR_WHITE : 0u) << x << "," << y;
    }
  }
}

TEST(DrawLineAa, SwappedEndPointsPaintTheSamePixels) {
  std::mt19937 rng(42);
  std::uniform_real_distribution<float> coord(-60.0f, 380.0f);
  for (int k = 0; k < 300; ++k) {
    const float x0 = coord(rng), y0 = coord(rng), x1 = coord(rng), y1 = coord(rng);
    canvas a(SCREEN_W, SCREEN_H, 0xFF204060), b(SCREEN_W, SCREEN_H, 0xFF204060);
    draw_line_aa(a.pix(), SCREEN_W, SCREEN_H, x0, y0, x1, y1, 0xC0F0E0D0);
    draw_line_aa(b.pix(), SCREEN_W, SCREEN_H, x1, y1, x0, y0, 0xC0F0E0D0);
    ASSERT_EQ(a.block, b.block) << x0 << "," << y0 << " - " << x1 << "," << y1;
  }
}

TEST(DrawLineAa, ALineOfNoLengthChangesNothing) {
  canvas c(SCREEN_W, SCREEN_H, 0xFF102030);
  draw_line_aa(c.pix(), SCREEN_W, SCREEN_H, 50, 60, 50, 60, COLOUR_WHITE);
  draw_line_aa(c.pix(), SCREEN_W, SCREEN_H, 50.5f, 60.25f, 50.5f, 60.25f, COLOUR_WHITE);
  draw_line_aa(c.pix(), SCREEN_W, SCREEN_H, -0.5f, 0.0f, -0.5f, 0.0f, COLOUR_WHITE);
  EXPECT_EQ(c.count_not(0xFF102030), 0);
}

TEST(DrawLineAa, FortyFiveDegreesIsXMajor) {
  // x-major columns are vertical: column i gets rows i - 1 and i; a y-major line would paint
  // (i - 1, i) instead.
  canvas c(SCREEN_W, SCREEN_H);
  draw_line_aa(c.pix(), SCREEN_W, SCREEN_H, 10, 10, 30, 30, COLOUR_WHITE);
  EXPECT_EQ(c.at(20, 19), COLOUR_WHITE);
  EXPECT_EQ(c.at(20, 20), COLOUR_WHITE);
  EXPECT_EQ(c.at(19, 20), 0u);
  EXPECT_EQ(c.at(20, 21), 0u);
}

TEST(DrawLineAa, SteepLinesAreYMajor) {
  canvas c(SCREEN_W, SCREEN_H);
  draw_line_aa(c.pix(), SCREEN_W, SCREEN_H, 100, 50, 100, 60, COLOUR_WHITE);
  for (int y = 50; y <= 60; ++y) {
    EXPECT_EQ(c.at(99, y), COLOUR_WHITE) << y;
    EXPECT_EQ(c.at(100, y), COLOUR_WHITE) << y;
  }
  EXPECT_EQ(c.count_not(0), 22);
}

TEST(DrawLineAa, HalfSlopeSharesTheEdgePixelsEvenly) {
  // Slope 1/2 from (10, 20): every second column sits half-way, blending rows 19 and 21 by 0.5.
  canvas c(SCREEN_W, SCREEN_H);
  draw_line_aa(c.pix(), SCREEN_W, SCREEN_H, 10, 20, 20, 25, COLOUR_WHITE);
  EXPECT_EQ(c.at(10, 19), COLOUR_WHITE);
  EXPECT_EQ(c.at(10, 20), COLOUR_WHITE);
  EXPECT_EQ(c.at(10, 21), 0u);
  EXPECT_EQ(c.at(11, 19), half_white());
  EXPECT_EQ(c.at(11, 20), COLOUR_WHITE);
  EXPECT_EQ(c.at(11, 21), half_white());
  EXPECT_EQ(c.at(12, 20), COLOUR_WHITE);
  EXPECT_EQ(c.at(12, 21), COLOUR_WHITE);
  EXPECT_EQ(c.at(12, 22), 0u);
  EXPECT_EQ(c.at(20, 24), COLOUR_WHITE);
  EXPECT_EQ(c.at(21, 25), 0u);  // the end column has weight l - trunc(l) = 0
}

TEST(DrawLineAa, FractionalEndsAreWeightedByTheirCoverage) {
  // Start at x = 10.5: the first column gets half; end at 15.25: the end column 16 gets a quarter.
  canvas c(SCREEN_W, SCREEN_H);
  draw_line_aa(c.pix(), SCREEN_W, SCREEN_H, 10.5f, 20, 15.25f, 20, COLOUR_WHITE);
  const pixel_t quarter = mix_colour(0, COLOUR_WHITE, 0.25f);
  EXPECT_EQ(quarter, 0x3F3F3F3Fu);
  EXPECT_EQ(c.at(10, 19), half_white());
  EXPECT_EQ(c.at(10, 20), half_white());
  for (int x = 11; x <= 15; ++x) {
    EXPECT_EQ(c.at(x, 19), COLOUR_WHITE) << x;
    EXPECT_EQ(c.at(x, 20), COLOUR_WHITE) << x;
  }
  EXPECT_EQ(c.at(16, 19), quarter);
  EXPECT_EQ(c.at(16, 20), quarter);
  EXPECT_EQ(c.count_not(0), 14);
}

TEST(DrawLineAa, TheStartMinorIsTruncatedBeforeTheCorrection) {
  canvas a(SCREEN_W, SCREEN_H), b(SCREEN_W, SCREEN_H);
  draw_line_aa(a.pix(), SCREEN_W, SCREEN_H, 10, 20.7f, 20, 20.7f, COLOUR_WHITE);
  draw_line_aa(b.pix(), SCREEN_W, SCREEN_H, 10, 20.0f, 20, 20.0f, COLOUR_WHITE);
  EXPECT_EQ(a.block, b.block);
}

TEST(DrawLineAa, VeryLongLinesAreClippedToTheScreen) {
  canvas h(SCREEN_W, SCREEN_H);
  draw_line_aa(h.pix(), SCREEN_W, SCREEN_H, -1e6f, 120, 1e6f, 120, COLOUR_WHITE);
  for (int x = 0; x < SCREEN_W; ++x) {
    ASSERT_EQ(h.at(x, 119), COLOUR_WHITE) << x;
    ASSERT_EQ(h.at(x, 120), COLOUR_WHITE) << x;
  }
  EXPECT_EQ(h.count_not(0), 2 * SCREEN_W);
  EXPECT_TRUE(h.guards_intact());

  canvas v(SCREEN_W, SCREEN_H);
  draw_line_aa(v.pix(), SCREEN_W, SCREEN_H, 100, 1e7f, 100, -1e7f, COLOUR_WHITE);
  for (int y = 0; y < SCREEN_H; ++y) {
    ASSERT_EQ(v.at(99, y), COLOUR_WHITE) << y;
    ASSERT_EQ(v.at(100, y), COLOUR_WHITE) << y;
  }
  EXPECT_EQ(v.count_not(0), 2 * SCREEN_H);

  // The diagonal through the origin: after clipping, column i holds rows i - 1 and i.
  canvas d(SCREEN_W, SCREEN_H);
  draw_line_aa(d.pix(), SCREEN_W, SCREEN_H, -1e5f, -1e5f, 1e5f, 1e5f, COLOUR_WHITE);
  // The clipped end lies one column past the last row, which still reaches row 239.
  for (int i = 0; i < SCREEN_H; ++i) ASSERT_EQ(d.at(i, i), COLOUR_WHITE) << i;
  for (int i = 1; i <= SCREEN_H; ++i) ASSERT_EQ(d.at(i, i - 1), COLOUR_WHITE) << i;
  EXPECT_EQ(d.count_not(0), 2 * SCREEN_H);
}

TEST(DrawLineAa, LinesWhollyBeyondAnEdgeChangeNothing) {
  const float lines[][4] = {
      {-100, -100, -10, -50},   // above and left
      {400, 10, 500, 60},       // right, shallow
      {330, 10, 340, 200},      // right, steep
      {10, 300, 60, 320},       // below, going away
      {100, 320, 150, 300},     // below, coming closer
      {200, 300, 250, 320},     // below, its clipped start lands on a screen column
      {100, -5, 150, -20},      // above, its clipped start lands on a screen column
      {-5, 100, -20, 150},      // left, steep, the same on the other axis
      {-30, 10, -3, 200},       // left, steep
      {10, -1.0f, 300, -1.0f},  // a horizontal line centred on the row just above
      {10, 241, 300, 241},      // a horizontal line centred one row below the last
  };
  for (const auto& l : lines) {
    canvas c(SCREEN_W, SCREEN_H, 0xFF336699);
    draw_line_aa(c.pix(), SCREEN_W, SCREEN_H, l[0], l[1], l[2], l[3], COLOUR_WHITE);
    EXPECT_EQ(c.count_not(0xFF336699), 0) << l[0] << "," << l[1] << " - " << l[2] << "," << l[3];
    EXPECT_TRUE(c.guards_intact());
  }
}

TEST(DrawLineAa, PartlyOffScreenLinesNeverWriteOutsideTheBuffer) {
  // A small buffer and lines in every direction, steep and shallow, from far outside to far
  // outside, so every clipping step runs; the guard margins catch any stray store.
  std::mt19937 rng(7);
  std::uniform_real_distribution<float> near(-20.0f, 60.0f), far(-5000.0f, 5000.0f);
  canvas c(40, 30, 0xFF000000);
  for (int k = 0; k < 20000; ++k) {
    const bool wild = k % 4 == 0;
    const float x0 = wild ? far(rng) : near(rng), y0 = near(rng);
    const float x1 = near(rng), y1 = wild ? far(rng) : near(rng);
    draw_line_aa(c.pix(), 40, 30, x0, y0, x1, y1, static_cast<pixel_t>(rng()));
  }
  EXPECT_TRUE(c.guards_intact());
  draw_line_aa(c.pix(), 40, 30, -3e38f, -3e38f, 3e38f, 3e38f, COLOUR_WHITE);
  draw_line_aa(c.pix(), 40, 30, NAN, 0, 10, 10, COLOUR_WHITE);
  draw_line_aa(c.pix(), 40, 30, 0, 0, INFINITY, 10, COLOUR_WHITE);
  EXPECT_TRUE(c.guards_intact());
}

TEST(DrawLineAa, PaintsOnlyNearTheSegment) {
  // The start's minor coordinate is truncated (up to a pixel of shift), a column spans three
  // pixels and the end column may lie a pixel past the end: every touched pixel centre is within
  // 4 pixels of the segment, and anything further is a stray write.
  std::mt19937 rng(99);
  std::uniform_real_distribution<float> coord(-40.0f, 80.0f);
  for (int k = 0; k < 2000; ++k) {
    const float x0 = coord(rng), y0 = coord(rng), x1 = coord(rng), y1 = coord(rng);
    canvas c(40, 30);
    draw_line_aa(c.pix(), 40, 30, x0, y0, x1, y1, COLOUR_WHITE);
    for (int y = 0; y < 30; ++y) {
      for (int x = 0; x < 40; ++x) {
        if (c.at(x, y) == 0) continue;
        ASSERT_LT(distance_to_segment(x + 0.5, y + 0.5, x0, y0, x1, y1), 4.0)
            << "pixel " << x << "," << y << " of " << x0 << "," << y0 << " - " << x1 << "," << y1;
      }
    }
  }
}

TEST(DrawLineAa, EdgePixelsAreNeverTintedAwayFromTheLineColour) {
  // Lines crossing the top and left edges make truncated weights fall outside 0..1; a white line
  // over grey may only lighten pixels and a black one only darken them.
  std::mt19937 rng(12);
  std::uniform_real_distribution<float> out(-30.0f, 0.0f), in(0.0f, 100.0f);
  for (int k = 0; k < 3000; ++k) {
    const bool from_top = k % 2 == 0;
    const float x0 = from_top ? in(rng) : out(rng), y0 = from_top ? out(rng) : in(rng);
    const float x1 = in(rng), y1 = in(rng);
    const pixel_t grey = 0xFF808080;
    canvas light(120, 120, grey), dark(120, 120, grey);
    draw_line_aa(light.pix(), 120, 120, x0, y0, x1, y1, COLOUR_WHITE);
    draw_line_aa(dark.pix(), 120, 120, x0, y0, x1, y1, COLOUR_BLACK);
    for (int i = 0; i < 120 * 120; ++i) {
      ASSERT_GE(light.pix()[i] & 0xFF, 0x80u) << i % 120 << "," << i / 120 << " line " << x0 << "," << y0;
      ASSERT_LE(dark.pix()[i] & 0xFF, 0x80u) << i % 120 << "," << i / 120 << " line " << x0 << "," << y0;
    }
  }
}

// ---- Clipping and visibility

TEST(ClipLine, ASegmentWhollyLeftIsRejectedUnchanged) {
  float x0 = -30, y0 = 10, x1 = -5, y1 = 200;
  EXPECT_EQ(clip_line(x0, y0, x1, y1, 0, 319, 239, 0), 0);
  EXPECT_EQ(x0, -30.0f);
  EXPECT_EQ(y0, 10.0f);
  EXPECT_EQ(x1, -5.0f);
  EXPECT_EQ(y1, 200.0f);
}

TEST(ClipLine, ACrossingSegmentIsCutExactlyAtTheEdges) {
  float x0 = -10, y0 = 50, x1 = 310, y1 = 50;  // dx = 320: the cut ratios 1/32 and 31/32 are exact
  EXPECT_EQ(clip_line(x0, y0, x1, y1, 0, 300, 239, 0), 1);
  EXPECT_EQ(x0, 0.0f);
  EXPECT_EQ(x1, 300.0f);
  EXPECT_EQ(y0, 50.0f);
  EXPECT_EQ(y1, 50.0f);
  float a0 = 310, b0 = 50, a1 = -10, b1 = 50;  // the same, the other way
  EXPECT_EQ(clip_line(a0, b0, a1, b1, 0, 300, 239, 0), 1);
  EXPECT_EQ(a0, 300.0f);
  EXPECT_EQ(a1, 0.0f);
}

TEST(ClipLine, TakesYmaxBeforeYmin) {
  float x0 = 50, y0 = -20, x1 = 50, y1 = 300;
  EXPECT_EQ(clip_line(x0, y0, x1, y1, 0, 319, 239, 0), 1);
  EXPECT_EQ(y0, 0.0f);
  EXPECT_FLOAT_EQ(y1, 239.0f);
  float hx0 = 10, hy0 = 100, hx1 = 20, hy1 = 100;  // inside: kept as it is
  EXPECT_EQ(clip_line(hx0, hy0, hx1, hy1, 0, 319, 239, 0), 1);
  EXPECT_EQ(hx0, 10.0f);
  EXPECT_EQ(hx1, 20.0f);
  float bx0 = 10, by0 = 250, bx1 = 20, by1 = 260;  // below ymax
  EXPECT_EQ(clip_line(bx0, by0, bx1, by1, 0, 319, 239, 0), 0);
}

TEST(ClipLine, MissesNearACornerAndParallelOutsideAreRejected) {
  float x0 = -10, y0 = 5, x1 = 5, y1 = -10;  // x + y = -5 never enters
  EXPECT_EQ(clip_line(x0, y0, x1, y1, 0, 319, 239, 0), 0);
  EXPECT_EQ(x0, -10.0f);
  float p0 = -5, q0 = 10, p1 = -5, q1 = 100;  // vertical, left of the box
  EXPECT_EQ(clip_line(p0, q0, p1, q1, 0, 319, 239, 0), 0);
  float s0 = 20, t0 = 30, s1 = 20, t1 = 30;  // a point inside
  EXPECT_EQ(clip_line(s0, t0, s1, t1, 0, 319, 239, 0), 1);
  EXPECT_EQ(s0, 20.0f);
  float u0 = 400, v0 = 30, u1 = 400, v1 = 30;  // a point outside
  EXPECT_EQ(clip_line(u0, v0, u1, v1, 0, 319, 239, 0), 0);
}

TEST(ClipLine, EndPointsOfClippedSegmentsLieInTheBox) {
  std::mt19937 rng(1);
  std::uniform_real_distribution<float> coord(-500.0f, 800.0f);
  for (int k = 0; k < 5000; ++k) {
    float x0 = coord(rng), y0 = coord(rng), x1 = coord(rng), y1 = coord(rng);
    if (!clip_line(x0, y0, x1, y1, 0, 319, 239, 0)) continue;
    for (float v : {x0, x1}) ASSERT_TRUE(v >= -0.01f && v <= 319.01f) << v;
    for (float v : {y0, y1}) ASSERT_TRUE(v >= -0.01f && v <= 239.01f) << v;
  }
}

TEST(BoxVisible, ASquareReachingIntoTheRectangleIsVisible) {
  EXPECT_EQ(box_visible(-5.0f, 100.0f, 0, 319, 0, 239, 12), 1);  // reaches x = 1
  EXPECT_EQ(box_visible(-7.0f, 100.0f, 0, 319, 0, 239, 12), 0);  // left -13, right edge -1
  EXPECT_EQ(box_visible(-6.0f, 100.0f, 0, 319, 0, 239, 12), 1);  // right edge exactly 0
  EXPECT_EQ(box_visible(325.0f, 100.0f, 0, 319, 0, 239, 12), 1);
  EXPECT_EQ(box_visible(326.0f, 100.0f, 0, 319, 0, 239, 12), 0);
  EXPECT_EQ(box_visible(100.0f, 245.0f, 0, 319, 0, 239, 12), 1);
  EXPECT_EQ(box_visible(100.0f, 246.0f, 0, 319, 0, 239, 12), 0);
  EXPECT_EQ(box_visible(100.0f, -7.0f, 0, 319, 0, 239, 12), 0);
}

TEST(BoxVisible, TruncatesTowardZeroAndSurvivesWildInput) {
  // -6.5 - 6 = -12.5 truncates to -12, so the square's far side is 0: visible.
  EXPECT_EQ(box_visible(-6.5f, 100.0f, 0, 319, 0, 239, 12), 1);
  EXPECT_EQ(box_visible(1e30f, 100.0f, 0, 319, 0, 239, 12), 0);
  EXPECT_EQ(box_visible(-1e30f, 100.0f, 0, 319, 0, 239, 12), 0);
  EXPECT_EQ(box_visible(NAN, 100.0f, 0, 319, 0, 239, 12), 0);
}

// ---- The transform

TEST(ImageTransform, StartsAsTheIdentity) {
  const image_transform t;
  float x = 3.5f, y = -2.0f;
  transform_point(t, x, y);
  EXPECT_EQ(x, 3.5f);
  EXPECT_EQ(y, -2.0f);
  EXPECT_EQ(t.inv_scale, 1.0f);
}

TEST(RotateMatrix, UsesDoublePrecisionSineAndCosineAndTheOldValues) {
  // Angles where the single-precision sine, and then the cosine, would give other bits.
  float angles[2] = {0.0f, 0.0f};
  for (int k = 1; k < 100000 && (angles[0] == 0.0f || angles[1] == 0.0f); ++k) {
    const float a = static_cast<float>(k) * 0.000731f;
    if (angles[0] == 0.0f && static_cast<float>(std::sin(static_cast<double>(a))) != std::sin(a)) angles[0] = a;
    if (angles[1] == 0.0f && static_cast<float>(std::cos(static_cast<double>(a))) != std::cos(a)) angles[1] = a;
  }
  for (const float angle : angles) {
    ASSERT_NE(angle, 0.0f);
    const float s = static_cast<float>(std::sin(static_cast<double>(angle)));
    const float c = static_cast<float>(std::cos(static_cast<double>(angle)));
    image_transform id;
    rotate_matrix(id, angle);
    EXPECT_EQ(id.m00, c) << angle;
    EXPECT_EQ(id.m01, s) << angle;
    EXPECT_EQ(id.m10, -s) << angle;
    EXPECT_EQ(id.m11, c) << angle;
    image_transform t{2.0f, 3.0f, 5.0f, 7.0f, 1.0f};
    rotate_matrix(t, angle);
    EXPECT_EQ(t.m00, 2.0f * c - 3.0f * s) << angle;
    EXPECT_EQ(t.m01, 2.0f * s + 3.0f * c) << angle;
    EXPECT_EQ(t.m10, 5.0f * c - 7.0f * s) << angle;
    EXPECT_EQ(t.m11, 5.0f * s + 7.0f * c) << angle;
    EXPECT_EQ(t.inv_scale, 1.0f);
  }
}

TEST(RotateMatrix, APositiveAngleInDegreesTurnsClockwiseOnScreen) {
  image_transform t;
  rotate_matrix(t, 90.0f * -0.017453292f);
  float x = 1.0f, y = 0.0f;  // pointing right ...
  transform_point(t, x, y);
  EXPECT_NEAR(x, 0.0f, 1e-6);  // ... now points down the screen
  EXPECT_NEAR(y, 1.0f, 1e-6);
}

TEST(ScaleMatrix, ScalesTheMatrixAndKeepsTheInverse) {
  image_transform t;
  rotate_matrix(t, 0.4f);
  const image_transform before = t;
  scale_matrix(t, 2.0f);
  EXPECT_EQ(t.m00, before.m00 * 2.0f);
  EXPECT_EQ(t.m01, before.m01 * 2.0f);
  EXPECT_EQ(t.m10, before.m10 * 2.0f);
  EXPECT_EQ(t.m11, before.m11 * 2.0f);
  EXPECT_EQ(t.inv_scale, 0.5f);
  // Forward then the drawing's inverse mapping returns the source point.
  const float sx = 3.0f, sy = -1.5f;
  float dx = sx, dy = sy;
  transform_point(t, dx, dy);
  const float k2 = t.inv_scale * t.inv_scale;
  EXPECT_NEAR(k2 * (t.m11 * dx - t.m01 * dy), sx, 1e-5);
  EXPECT_NEAR(k2 * (-t.m10 * dx + t.m00 * dy), sy, 1e-5);
}

// ---- Sampling and transformed images

namespace {

// A small image with a distinct opaque pixel everywhere.
std::vector<pixel_t> test_image(int w, int h) {
  std::vector<pixel_t> img(w * h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const pixel_t r = (x * 37 + 11) & 0xFF, g = (y * 53 + 7) & 0xFF, b = (x * y * 29 + 3) & 0xFF;
      img[y * w + x] = 0xFF000000u | r << 16 | g << 8 | b;
    }
  }
  return img;
}

}  // namespace

TEST(SampleBilinear, IntegerPointsGiveTheSourcePixel) {
  const std::vector<pixel_t> img = test_image(5, 4);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 5; ++x) EXPECT_EQ(sample_bilinear(img.data(), 5, 4, x, y), img[y * 5 + x]) << x << "," << y;
  }
}

TEST(SampleBilinear, MixesNeighboursAndFadesOutAtEveryEdge) {
  const pixel_t img[2 * 2] = {0xFF000000, 0xFFFFFFFF, 0xFF0000FF, 0xFF00FF00};
  EXPECT_EQ(sample_bilinear(img, 2, 2, 0.5f, 0.0f), mix_colour(img[0], img[1], 0.5f));
  EXPECT_EQ(sample_bilinear(img, 2, 2, 0.0f, 0.5f), mix_colour(img[0], img[2], 0.5f));
  EXPECT_EQ(sample_bilinear(img, 2, 2, 0.5f, 0.5f),
            mix_colour(mix_colour(img[0], img[2], 0.5f), mix_colour(img[1], img[3], 0.5f), 0.5f));
  // Beyond the last column and row the neighbours are transparent.
  EXPECT_EQ(sample_bilinear(img, 2, 2, 1.5f, 0.0f), mix_colour(img[1], 0, 0.5f));
  EXPECT_EQ(sample_bilinear(img, 2, 2, 2.0f, 0.0f), 0u);
  EXPECT_EQ(sample_bilinear(img, 2, 2, 0.0f, 1.5f), mix_colour(img[2], 0, 0.5f));
  // Before the first column the fade mirrors the far side instead of overshooting.
  EXPECT_EQ(sample_bilinear(img, 2, 2, -0.5f, 0.0f), mix_colour(0, img[0], 0.5f));
  EXPECT_EQ(sample_bilinear(img, 2, 2, 0.0f, -0.25f), mix_colour(0, img[0], 0.75f));
  EXPECT_EQ(sample_bilinear(img, 2, 2, -1.0f, 0.0f), 0u);
  EXPECT_EQ(sample_bilinear(img, 2, 2, 1e30f, -1e30f), 0u);
  EXPECT_EQ(sample_bilinear(img, 2, 2, NAN, 0.0f), 0u);
}

TEST(DrawImageTransformed, IdentityCopiesAndClearsTheColumnAndRowBeyond) {
  const int w = 8, h = 6;
  const std::vector<pixel_t> img = test_image(w, h);
  canvas c(SCREEN_W, SCREEN_H, COLOUR_DARK_GREY);
  draw_image_transformed(c.pix(), SCREEN_W, SCREEN_H, img.data(), w, h, 10, 10, image_transform{}, 0.0f);
  for (int y = 0; y < SCREEN_H; ++y) {
    for (int x = 0; x < SCREEN_W; ++x) {
      pixel_t want = COLOUR_DARK_GREY;
      if (x >= 10 && x < 10 + w && y >= 10 && y < 10 + h) want = img[(y - 10) * w + (x - 10)];
      if ((x == 10 + w && y >= 10 && y <= 10 + h) || (y == 10 + h && x >= 10 && x <= 10 + w)) want = 0;
      ASSERT_EQ(c.at(x, y), want) << x << "," << y;
    }
  }
}

TEST(DrawImageTransformed, BlendsWhenAskedAndPunchesThroughOtherwise) {
  const pixel_t img[2] = {0x00000000, 0xFFFFFFFF};
  canvas c(20, 10, COLOUR_RED);
  draw_image_transformed(c.pix(), 20, 10, img, 2, 1, 5, 5, image_transform{}, 0.0f);
  EXPECT_EQ(c.at(5, 5), 0u);  // the clear pixel replaces the red
  EXPECT_EQ(c.at(6, 5), COLOUR_WHITE);
  canvas d(20, 10, COLOUR_RED);
  draw_image_transformed(d.pix(), 20, 10, img, 2, 1, 5, 5, image_transform{}, 0.5f);
  EXPECT_EQ(d.at(5, 5), mix_colour(COLOUR_RED, 0, 0.5f));
  EXPECT_EQ(d.at(6, 5), mix_colour(COLOUR_RED, COLOUR_WHITE, 0.5f));
  EXPECT_EQ(d.at(4, 5), COLOUR_RED);
}

TEST(DrawImageTransformed, AQuarterTurnMapsRowsToColumns) {
  // M = (0 -1; 1 0) sends source (1, 0) to screen (0, 1): clockwise. The inverse is exact, so
  // source (i, j) lands on (ox - j, oy + i) pixel for pixel.
  const int w = 5, h = 3;
  const std::vector<pixel_t> img = test_image(w, h);
  const image_transform t{0.0f, -1.0f, 1.0f, 0.0f, 1.0f};
  canvas c(60, 60);
  draw_image_transformed(c.pix(), 60, 60, img.data(), w, h, 30, 20, t, 0.0f);
  for (int j = 0; j < h; ++j) {
    for (int i = 0; i < w; ++i) EXPECT_EQ(c.at(30 - j, 20 + i), img[j * w + i]) << i << "," << j;
  }
}

TEST(DrawImageTransformed, ScalingByTwoSpreadsTheSourcePixels) {
  const int w = 4, h = 4;
  const std::vector<pixel_t> img = test_image(w, h);
  image_transform t;
  scale_matrix(t, 2.0f);
  canvas c(60, 60);
  draw_image_transformed(c.pix(), 60, 60, img.data(), w, h, 10, 10, t, 0.0f);
  for (int j = 0; j < 3; ++j) {
    for (int i = 0; i < 3; ++i) EXPECT_EQ(c.at(10 + 2 * i, 10 + 2 * j), img[j * w + i]) << i << "," << j;
  }
  EXPECT_EQ(c.at(11, 10), mix_colour(img[0], img[1], 0.5f));
  // The scanned box is sized from the stored image (1.415 x its side, here 5 pixels each way),
  // which bounds the cost for the shrunken symbols the pages draw; an enlarged image is cut there.
  EXPECT_EQ(c.at(14, 10), img[2]);
  EXPECT_EQ(c.at(15, 10), 0u);
  EXPECT_EQ(c.at(16, 10), 0u);
}

TEST(DrawImageTransformed, ClipsToTheDestination) {
  const int w = 8, h = 8;
  const std::vector<pixel_t> img = test_image(w, h);
  canvas c(20, 15, COLOUR_BLUE);
  draw_image_transformed(c.pix(), 20, 15, img.data(), w, h, -3, -2, image_transform{}, 0.0f);
  EXPECT_EQ(c.at(0, 0), img[2 * w + 3]);
  EXPECT_EQ(c.at(4, 5), img[7 * w + 7]);
  draw_image_transformed(c.pix(), 20, 15, img.data(), w, h, 15, 12, image_transform{}, 0.0f);
  EXPECT_EQ(c.at(19, 14), img[2 * w + 4]);
  image_transform spin;
  rotate_matrix(spin, 1.1f);
  draw_image_transformed(c.pix(), 20, 15, img.data(), w, h, 18, -4, spin, 0.3f);
  draw_image_transformed(c.pix(), 20, 15, img.data(), w, h, 1e9f, -1e9f, spin, 0.0f);
  EXPECT_TRUE(c.guards_intact());
}

TEST(DrawImageRotated, PutsTheImageCentreOnThePoint) {
  const int w = 7, h = 5;  // odd sizes: the centre is at (3, 2) by integer halving
  const std::vector<pixel_t> img = test_image(w, h);
  canvas c(100, 80);
  draw_image_rotated(c.pix(), 100, 80, img.data(), w, h, 50, 40, image_transform{}, 0.0f);
  EXPECT_EQ(c.at(50, 40), img[2 * w + 3]);
  EXPECT_EQ(c.at(47, 38), img[0]);
  EXPECT_EQ(c.at(53, 42), img[4 * w + 6]);
  // A quarter turn keeps the centre where it is.
  const image_transform t{0.0f, -1.0f, 1.0f, 0.0f, 1.0f};
  canvas d(100, 80);
  draw_image_rotated(d.pix(), 100, 80, img.data(), w, h, 50, 40, t, 0.0f);
  EXPECT_EQ(d.at(50, 40), img[2 * w + 3]);
  EXPECT_EQ(d.at(50, 41), img[2 * w + 4]);  // source +x now points down
}

TEST(StampImageTransformed, StoresOrAddsOncePerOffset) {
  std::vector<pixel_t> img = test_image(3, 3);
  img[0] = 0x40102030;
  const float ox[2] = {3, 3};
  const float oy[2] = {4, 4};
  canvas plain(10, 10, COLOUR_RED);
  stamp_image_transformed(plain.pix(), 10, 10, img.data(), 3, 3, ox, oy, image_transform{}, 0, 2);
  EXPECT_EQ(plain.at(3, 4), img[0]);
  EXPECT_EQ(plain.at(6, 4), 0u);  // the faded edge one column beyond the image
  EXPECT_EQ(plain.at(2, 4), COLOUR_RED);
  canvas added(10, 10, 0x10010203);
  stamp_image_transformed(added.pix(), 10, 10, img.data(), 3, 3, ox, oy, image_transform{}, 1, 2);
  EXPECT_EQ(added.at(3, 4), add_colour(add_colour(0x10010203, img[0]), img[0]));
  EXPECT_EQ(added.at(6, 4), 0x10010203u);  // adding transparent black changes nothing
  canvas none(10, 10, COLOUR_RED);
  stamp_image_transformed(none.pix(), 10, 10, img.data(), 3, 3, ox, oy, image_transform{}, 0, 0);
  EXPECT_EQ(none.count_not(COLOUR_RED), 0);
}

TEST(StampImageTransformed, EachOffsetPlacesAnImage) {
  const std::vector<pixel_t> img = test_image(3, 3);
  const float ox[3] = {2, 12, -1};
  const float oy[3] = {2, 5, 10};
  canvas c(20, 12);
  stamp_image_transformed(c.pix(), 20, 12, img.data(), 3, 3, ox, oy, image_transform{}, 0, 3);
  EXPECT_EQ(c.at(2, 2), img[0]);
  EXPECT_EQ(c.at(14, 7), img[8]);
  EXPECT_EQ(c.at(0, 11), img[1 * 3 + 1]);
  EXPECT_TRUE(c.guards_intact());
}
