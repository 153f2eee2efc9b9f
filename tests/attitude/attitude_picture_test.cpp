// The attitude picture: sky and ground fill, horizon line, pitch ladder and numbers, roll scale and
// aircraft symbol, checked on the pixels of the two layers.
#include <algorithm>
#include <cmath>
#include <iterator>
#include <string>
#include <vector>

#include "attitude/attitude.h"
#include "core/demo.h"
#include "gfx/images.h"
#include "gfx/text.h"
#include "host/common/desk_platform.h"
#include "settings/settings.h"
#include "tests/attitude/helpers.h"
#include "tests/support/power_on.h"

namespace {

constexpr pixel_t LEGACY_SKY = 0xFF3878A8;
constexpr pixel_t LEGACY_GROUND = 0xFF603C04;
constexpr pixel_t LEGACY_LINE = 0xFFFFFFFF;

class AttitudePicture : public Started {
 protected:
  void SetUp() override {
    Started::SetUp();
    cfg_set_byte(CFG_DEMO_MODE, 0);
  }

  // The sensor's roll has the opposite sign to the picture's, so the desk gets -roll.
  void draw(float roll, float pitch) {
    desk.roll = -roll;
    desk.pitch = pitch;
    clear_layer(top_layer);
    clear_layer(base_layer);
    draw_attitude(top_layer, base_layer);
  }

  static bool rows_are(const pixel_t* layer, int y0, int y1, pixel_t colour) {
    for (int y = y0; y <= y1; ++y) {
      for (int x = 0; x < SCREEN_W; ++x) {
        if (pixel_at(layer, x, y) != colour) return false;
      }
    }
    return true;
  }

  // The horizon line outside the aircraft symbol (columns 94..227).
  static bool line_rows_are(int y0, int y1, pixel_t colour) {
    for (int y = y0; y <= y1; ++y) {
      for (int x = 0; x < SCREEN_W; ++x) {
        if (x >= 94 && x <= 227) continue;
        if (pixel_at(top_layer, x, y) != colour) return false;
      }
    }
    return true;
  }
};

TEST_F(AttitudePicture, LevelSplitsSkyAndGroundBelowTheCentre) {
  draw(0.0f, 0.0f);
  EXPECT_TRUE(rows_are(base_layer, 0, 141, LEGACY_SKY));
  EXPECT_TRUE(rows_are(base_layer, 142, 239, LEGACY_GROUND));
  // Three two-pixel lines at rows 139, 140 and 141 make a band over rows 138..141.
  EXPECT_TRUE(line_rows_are(138, 141, LEGACY_LINE));
  EXPECT_TRUE(line_rows_are(137, 137, 0));
  EXPECT_TRUE(line_rows_are(142, 142, 0));
}

TEST_F(AttitudePicture, PitchMovesTheHorizonTwoRowsPerDegree) {
  draw(0.0f, 10.0f);
  EXPECT_TRUE(rows_are(base_layer, 0, 161, LEGACY_SKY));
  EXPECT_TRUE(rows_are(base_layer, 162, 239, LEGACY_GROUND));
  EXPECT_TRUE(line_rows_are(158, 161, LEGACY_LINE));

  draw(0.0f, -10.0f);
  EXPECT_TRUE(rows_are(base_layer, 0, 121, LEGACY_SKY));
  EXPECT_TRUE(rows_are(base_layer, 122, 239, LEGACY_GROUND));
  EXPECT_TRUE(line_rows_are(118, 121, LEGACY_LINE));
}

TEST_F(AttitudePicture, FillStopsAtItsPitchLimitsButTheLineDoesNot) {
  draw(0.0f, 40.0f);
  EXPECT_FLOAT_EQ(attitude.attitude_pitch_fill, 25.0f);
  EXPECT_TRUE(rows_are(base_layer, 0, 191, LEGACY_SKY));  // boundary moved 50 rows
  EXPECT_TRUE(rows_are(base_layer, 192, 239, LEGACY_GROUND));
  EXPECT_TRUE(line_rows_are(218, 221, LEGACY_LINE));  // line moved 80 rows

  draw(0.0f, -60.0f);
  EXPECT_FLOAT_EQ(attitude.attitude_pitch_fill, -50.0f);
  EXPECT_TRUE(rows_are(base_layer, 0, 41, LEGACY_SKY));
  EXPECT_TRUE(rows_are(base_layer, 42, 239, LEGACY_GROUND));
}

TEST_F(AttitudePicture, InvertedPutsTheSkyBelowTheHorizon) {
  for (float roll : {180.0f, -180.0f}) {
    draw(roll, 0.0f);
    EXPECT_TRUE(rows_are(base_layer, 0, 138, LEGACY_GROUND)) << roll;
    EXPECT_TRUE(rows_are(base_layer, 139, 239, LEGACY_SKY)) << roll;
  }
}

// Whatever the bank, the part of the picture above the horizon (negative y) is sky and the part
// below it ground. The expected screen positions come from the rotation in double precision;
// points 60 pixels or more from the horizon are far from any rounding at the boundary.
TEST_F(AttitudePicture, SkyStaysOnThePicturesUpperSideAtEveryBank) {
  const float rolls[] = {-179, -150, -120, -100, -90, -60, -30, -5, 0, 5, 30, 60, 90, 100, 120, 150, 179, 180};
  const float pitches[] = {0.0f, 10.0f, -15.0f};
  const int points[][2] = {{0, -60}, {0, 60}, {-40, -60}, {40, -60}, {-40, 60}, {40, 60}, {-90, -70}, {90, 70}};
  for (float pitch : pitches) {
    for (float roll : rolls) {
      draw(roll, pitch);
      const double a = roll * 3.14159265358979 / 180.0;
      for (const auto& pt : points) {
        const double py = pt[1] + 2.0 * pitch;
        const double sx = 160.0 + pt[0] * std::cos(a) - py * std::sin(a);
        const double sy = 140.0 + py * std::cos(a) + pt[0] * std::sin(a);
        const int x = static_cast<int>(std::lround(sx));
        const int y = static_cast<int>(std::lround(sy));
        if (x < 0 || x >= SCREEN_W || y < 0 || y >= SCREEN_H) continue;
        const pixel_t want = pt[1] < 0 ? LEGACY_SKY : LEGACY_GROUND;
        EXPECT_EQ(pixel_at(base_layer, x, y), want)
            << "roll " << roll << " pitch " << pitch << " point " << pt[0] << "," << pt[1];
      }
    }
  }
}

TEST_F(AttitudePicture, BankedNinetyDegreesPutsTheSkyToOneSide) {
  draw(90.0f, 0.0f);
  EXPECT_EQ(pixel_at(base_layer, 250, 20), LEGACY_SKY);
  EXPECT_EQ(pixel_at(base_layer, 250, 230), LEGACY_SKY);
  EXPECT_EQ(pixel_at(base_layer, 70, 20), LEGACY_GROUND);
  EXPECT_EQ(pixel_at(base_layer, 70, 230), LEGACY_GROUND);
  draw(-90.0f, 0.0f);
  EXPECT_EQ(pixel_at(base_layer, 70, 20), LEGACY_SKY);
  EXPECT_EQ(pixel_at(base_layer, 70, 230), LEGACY_SKY);
  EXPECT_EQ(pixel_at(base_layer, 250, 20), LEGACY_GROUND);
}

TEST_F(AttitudePicture, ColoursFollowTheStyleAndAnUnknownStyleKeepsThem) {
  struct expected {
    int style;
    pixel_t mark, line, sky, ground;
  };
  const expected styles[] = {{0, 0xFFFFFFFF, 0xFFFFFFFF, 0xFF3878A8, 0xFF603C04},
                             {1, 0xFFB0B0B0, 0xFFB0B0B0, 0xFF0000FF, 0xFF925B06},
                             {2, 0xFFB0B0B0, 0xFFB0B0B0, 0xFF505060, 0xFF000000}};
  for (const expected& e : styles) {
    cfg_set_byte(CFG_UI_STYLE, e.style);
    draw(0.0f, 0.0f);
    EXPECT_EQ(attitude.adi_mark_colour, e.mark) << e.style;
    EXPECT_EQ(attitude.adi_line_colour, e.line) << e.style;
    EXPECT_EQ(pixel_at(base_layer, 5, 5), e.sky) << e.style;
    EXPECT_EQ(pixel_at(base_layer, 5, 235), e.ground) << e.style;
  }
  cfg_set_byte(CFG_UI_STYLE, 1);
  draw(0.0f, 0.0f);
  cfg_set_byte(CFG_UI_STYLE, 3);
  draw(0.0f, 0.0f);
  EXPECT_EQ(pixel_at(base_layer, 5, 5), 0xFF0000FFu);
  EXPECT_EQ(pixel_at(base_layer, 5, 235), 0xFF925B06u);
}

TEST_F(AttitudePicture, AttitudeComesFromTheDemoTheSensorsOrNothing) {
  cfg_set(CFG_ROLL_TRIM, 15);  // tenths of a degree
  cfg_set(CFG_PITCH_TRIM, 2);
  desk.roll = 4.0f;
  desk.pitch = 2.0f;
  demo.demo_roll = 3.0f;
  demo.demo_pitch = -2.0f;

  cfg_set_byte(CFG_DEMO_MODE, 1);
  draw_attitude(top_layer, base_layer);
  EXPECT_FLOAT_EQ(attitude.attitude_roll, 4.5f);
  EXPECT_FLOAT_EQ(attitude.attitude_pitch, 0.0f);

  // The second demo mode leaves the attitude to the sensors; their roll is turned round.
  for (int mode : {0, 2}) {
    cfg_set_byte(CFG_DEMO_MODE, mode);
    draw_attitude(top_layer, base_layer);
    EXPECT_FLOAT_EQ(attitude.attitude_roll, 1.5f - 4.0f) << mode;
    EXPECT_FLOAT_EQ(attitude.attitude_pitch, 4.0f) << mode;
  }

  desk.sensors_valid = false;
  cfg_set_byte(CFG_DEMO_MODE, 0);
  draw_attitude(top_layer, base_layer);
  EXPECT_EQ(attitude.attitude_roll, 0.0f);
  EXPECT_EQ(attitude.attitude_pitch, 0.0f);
}

TEST_F(AttitudePicture, ReadingsThatAreNotNumbersDrawALevelPicture) {
  cfg_set(CFG_PITCH_TRIM, 3);
  const float bad[] = {std::nanf(""), INFINITY, -INFINITY};
  for (float v : bad) {
    desk.roll = v;
    desk.pitch = 0.0f;
    draw_attitude(top_layer, base_layer);
    EXPECT_EQ(attitude.attitude_roll, 0.0f) << v;
    EXPECT_EQ(attitude.attitude_pitch, 0.0f) << v;
    desk.roll = 0.0f;
    desk.pitch = v;
    clear_layer(top_layer);
    clear_layer(base_layer);
    draw_attitude(top_layer, base_layer);
    EXPECT_EQ(attitude.attitude_pitch, 0.0f) << v;
    EXPECT_TRUE(rows_are(base_layer, 0, 141, LEGACY_SKY)) << v;
    EXPECT_TRUE(rows_are(base_layer, 142, 239, LEGACY_GROUND)) << v;
  }
}

TEST_F(AttitudePicture, SineAndCosineOfTheRollAreKept) {
  draw(30.0f, 0.0f);
  EXPECT_NEAR(attitude.roll_sin, 0.5f, 1e-6f);
  EXPECT_NEAR(attitude.roll_cos, 0.8660254f, 1e-6f);
  draw(-90.0f, 0.0f);
  EXPECT_NEAR(attitude.roll_sin, -1.0f, 1e-6f);
  EXPECT_NEAR(attitude.roll_cos, 0.0f, 1e-6f);
}

// Row 2 of the numbers (30 up) has its left corner point at (-42, -67) from the horizon centre;
// at roll 0 its square reaches down to row 100 exactly when pitch is 5.5 degrees.
TEST_F(AttitudePicture, NumberAppearsWhenItsSquareTouchesTheTopOfTheArea) {
  draw(0.0f, 5.4f);
  EXPECT_FALSE(any_pixel_in(top_layer, 118, 80, 134, 100));
  draw(0.0f, 5.5f);
  EXPECT_TRUE(any_pixel_in(top_layer, 118, 84, 134, 100));
}

// Row 7 (30 down) has its left corner point at (-42, 53): its square's top stays at or above
// row 170 only while pitch is below -3 degrees.
TEST_F(AttitudePicture, NumberAppearsWhenItsSquareTouchesTheBottomOfTheArea) {
  draw(0.0f, -3.0f);
  EXPECT_FALSE(any_pixel_in(top_layer, 118, 186, 134, 203));
  draw(0.0f, -3.05f);
  EXPECT_TRUE(any_pixel_in(top_layer, 118, 186, 134, 203));
}

TEST_F(AttitudePicture, NumberIsRenderedOnlyWhenItsValueChanges) {
  draw_pitch_label(top_layer, 100.0f, 100.0f, 10, LEGACY_LINE);
  EXPECT_EQ(attitude.label_renders, 1);
  EXPECT_EQ(attitude.label_transform.m01, 0.0f);

  // Same value at another bank: neither picture nor turn is refreshed.
  attitude.attitude_roll = 30.0f;
  draw_pitch_label(top_layer, 140.0f, 100.0f, 10, LEGACY_LINE);
  EXPECT_EQ(attitude.label_renders, 1);
  EXPECT_EQ(attitude.label_transform.m01, 0.0f);

  draw_pitch_label(top_layer, 140.0f, 100.0f, 20, LEGACY_LINE);
  EXPECT_EQ(attitude.label_renders, 2);
  EXPECT_NEAR(std::fabs(attitude.label_transform.m01), 0.5f, 1e-6f);
  draw_pitch_label(top_layer, 140.0f, 100.0f, 10, LEGACY_LINE);
  EXPECT_EQ(attitude.label_renders, 3);
}

// At level the numbers of rows 0, 1, 5 and 6 are in view, left then right: 10 10 20 20 10 10
// 20 20, so each frame renders four times, not eight.
TEST_F(AttitudePicture, NumberPairsShareOneRender) {
  draw(0.0f, 0.0f);
  EXPECT_EQ(attitude.label_renders, 4);
  draw(0.0f, 0.0f);
  EXPECT_EQ(attitude.label_renders, 8);
}

TEST_F(AttitudePicture, NumbersCutTheirBackgroundOutOfTheTopLayer) {
  // The label square is stored, not blended: a pixel painted under it becomes transparent where
  // the number has no ink. Row 0's left number lands at (123, 113) at level.
  clear_layer(top_layer);
  clear_layer(base_layer);
  desk.roll = 0.0f;
  desk.pitch = 0.0f;
  for (int y = 110; y < 135; ++y) {
    for (int x = 118; x < 145; ++x) top_layer[y * SCREEN_W + x] = 0xFFFF0000;
  }
  draw_pitch_labels(top_layer);
  EXPECT_EQ(pixel_at(top_layer, 123, 113), 0u);
  EXPECT_EQ(pixel_at(top_layer, 120, 111), 0xFFFF0000u);  // outside the square
}

// Every pitch number lands whole in its 15-pixel scratch, its ink centred to within a pixel.
TEST_F(AttitudePicture, PitchNumbersFitTheirScratch) {
  for (int value : {10, 20, 30, 40, 50}) {
    const std::string text = std::to_string(value);
    EXPECT_LE(text_width(6, text.c_str()), 15) << value;
    // The same number drawn with room to spare: how many columns it inks.
    static pixel_t wide[40 * 18];
    std::fill(std::begin(wide), std::end(wide), COLOUR_TRANSPARENT);
    draw_text(wide, 40, 18, 6, 10, -1, COLOUR_WHITE, text.c_str());
    auto inked_columns = [](const pixel_t* buf, int w, int h, int& first, int& last) {
      int n = 0;
      first = -1;
      for (int x = 0; x < w; ++x) {
        bool ink = false;
        for (int y = 0; y < h; ++y) ink = ink || (buf[y * w + x] >> 24) != 0;
        if (!ink) continue;
        if (first < 0) first = x;
        last = x;
        ++n;
      }
      return n;
    };
    int first = 0, last = 0;
    const int want = inked_columns(wide, 40, 18, first, last);
    draw_pitch_label(top_layer, 100.0f, 100.0f, value, COLOUR_WHITE);
    const int got = inked_columns(attitude.label_scratch, 15, 15, first, last);
    EXPECT_EQ(got, want) << value << ": columns lost at the scratch's edges";
    EXPECT_LE(std::abs(first - (14 - last)), 1) << value << ": ink " << first << ".." << last;
  }
}

// A roll past half a turn, as a sensor near inverted plus a trim gives, draws as the same
// attitude within -180..180.
TEST_F(AttitudePicture, RollsPastHalfATurnDrawAsTheirRemainder) {
  struct row {
    float roll;
    int trim;  // tenths of a degree
    float same_as;
  };
  const row rows[] = {{180.0f, 50, -175.0f}, {185.0f, 0, -175.0f},   {270.0f, 0, -90.0f},
                      {-185.0f, 0, 175.0f},  {-180.0f, -50, 175.0f}, {535.0f, 0, 175.0f}};
  static pixel_t want[LAYER_PIXELS];
  for (const row& r : rows) {
    cfg_set(CFG_ROLL_TRIM, 0);
    draw(r.same_as, 3.0f);
    std::copy(base_layer, base_layer + LAYER_PIXELS, want);
    cfg_set(CFG_ROLL_TRIM, r.trim);
    draw(r.roll, 3.0f);
    EXPECT_FLOAT_EQ(attitude.attitude_roll, r.same_as) << r.roll;
    EXPECT_TRUE(std::equal(base_layer, base_layer + LAYER_PIXELS, want)) << r.roll;
  }
}

// Away from the horizon every pixel of the sky/ground picture lies on its own side, out to the
// screen's edges: no band of sky across the top rows in a steep bank, no line of ground left on
// row 0, no wedge rows from below the screen piled up on row 239.
TEST_F(AttitudePicture, FillIsHonestOutToTheEdges) {
  const float cases[][2] = {{80, 20},    {-80, 20}, {100, -20}, {-100, 20}, {-120, 10}, {120, -10}, {150, 10},
                            {-150, -15}, {170, 0},  {-170, 0},  {45, 25},   {-45, -25}, {10, 0},    {60, -20},
                            {-95, 25},   {95, 25},  {135, 25},  {-135, 25}, {-60, 25},  {175, -20}};
  for (const auto& c : cases) {
    draw(c[0], c[1]);
    const double a = c[0] * 3.14159265358979 / 180.0;
    const double co = std::cos(a), si = std::sin(a);
    const double p = 2.0 * attitude.attitude_pitch_fill;
    int wrong = 0, wx = -1, wy = -1;
    for (int y = 0; y < SCREEN_H; ++y) {
      for (int x = 0; x < SCREEN_W; ++x) {
        // Distance below the horizon, along the picture's vertical.
        const double below = (y + 0.5 - 140.0) * co - (x + 0.5 - 160.0) * si - p;
        if (std::fabs(below) <= 3.0) continue;
        if (pixel_at(base_layer, x, y) != (below < 0 ? LEGACY_SKY : LEGACY_GROUND)) {
          if (wrong++ == 0) wx = x, wy = y;
        }
      }
    }
    EXPECT_EQ(wrong, 0) << "roll " << c[0] << " pitch " << c[1] << ", first at " << wx << "," << wy;
  }
}

struct tick_geometry {
  double xi, yi, xo, yo;
};

// Screen position of a roll tick end at bank roll (degrees), in double precision.
void tick_ends(const tick_geometry& t, double roll, double& xi, double& yi, double& xo, double& yo) {
  const double a = roll * 3.14159265358979 / 180.0;
  const double c = std::cos(a), s = std::sin(a);
  xi = t.xi * c - t.yi * s + 160.0;
  yi = t.yi * c + t.xi * s + 140.0;
  xo = t.xo * c - t.yo * s + 160.0;
  yo = t.yo * c + t.xo * s + 140.0;
}

class RollScale : public AttitudePicture {
 protected:
  // A long tick near 60 degrees is drawn only while its inner end is above row 70, and fades
  // with that distance: alpha trunc(255 * (70 - Yi) / 70).
  void check_long_tick(const tick_geometry& tick, double from, double to) {
    for (double roll = from; roll <= to; roll += 0.25) {
      draw(static_cast<float>(roll), 0.0f);
      double xi, yi, xo, yo;
      tick_ends(tick, roll, xi, yi, xo, yo);
      if (std::fabs(yi - 70.0) < 0.02) continue;
      const int x0 = static_cast<int>(std::floor(std::min(xi, xo))) - 2;
      const int x1 = static_cast<int>(std::ceil(std::max(xi, xo))) + 2;
      const int y0 = static_cast<int>(std::floor(std::min(yi, yo))) - 2;
      const int y1 = static_cast<int>(std::ceil(std::max(yi, yo))) + 2;
      const bool drawn = any_pixel_in(top_layer, x0, y0, x1, y1);
      EXPECT_EQ(drawn, yi < 70.0) << "roll " << roll << " inner row " << yi;
      if (yi < 69.0) {
        const double want = std::floor(std::min(1.0, (70.0 - yi) / 70.0) * 255.0);
        EXPECT_NEAR(static_cast<double>(max_alpha_in(top_layer, x0, y0, x1, y1)), want, 1.0) << roll;
      }
    }
  }
};

TEST_F(RollScale, RightLongTickShowsOnlyAboveRowSeventy) { check_long_tick({101, -55, 130, -74}, -20.0, 2.0); }

TEST_F(RollScale, LeftLongTickShowsOnlyAboveRowSeventy) { check_long_tick({-101, -55, -130, -74}, -2.0, 20.0); }

TEST_F(RollScale, ThirtyDegreeTickFadesWithItsHeight) {
  draw(0.0f, 0.0f);
  // Inner end at row 40: alpha trunc(255 * 30 / 70) = 109, white in the legacy style.
  EXPECT_EQ(max_alpha_in(top_layer, 85, 8, 107, 36), 109u);
  bool exact = false;
  for (int y = 8; y <= 36; ++y) {
    for (int x = 85; x <= 107; ++x) exact = exact || pixel_at(top_layer, x, y) == 0x6DFFFFFFu;
  }
  EXPECT_TRUE(exact);
  // The long ticks (inner ends at row 85) are hidden at level.
  EXPECT_FALSE(any_pixel_in(top_layer, 28, 64, 61, 87));
  EXPECT_FALSE(any_pixel_in(top_layer, 259, 64, 292, 87));
}

TEST_F(RollScale, MarksAreDrawnNearTheTopAndTurnWithTheBank) {
  draw(0.0f, 0.0f);
  // The top mark sits over the centre line within the first 40 rows.
  EXPECT_TRUE(any_pixel_in(top_layer, 140, 0, 180, 40));
  std::vector<pixel_t> level(top_layer, top_layer + SCREEN_W * 70);
  draw(20.0f, 0.0f);
  std::vector<pixel_t> banked(top_layer, top_layer + SCREEN_W * 70);
  EXPECT_NE(level, banked);
}

class StyleParts : public AttitudePicture {};

// Column 110 crosses the left ground line (from (100, 180) to (160, 140) at level) near row 173,
// clear of the numbers and the aircraft symbol.
TEST_F(StyleParts, VintageHasNoGroundLines) {
  for (int style : {0, 1}) {
    cfg_set_byte(CFG_UI_STYLE, style);
    draw(0.0f, 0.0f);
    EXPECT_TRUE(any_pixel_in(top_layer, 110, 168, 110, 178)) << style;
    EXPECT_TRUE(any_pixel_in(top_layer, 210, 168, 210, 178)) << style;
  }
  cfg_set_byte(CFG_UI_STYLE, 2);
  draw(0.0f, 0.0f);
  EXPECT_FALSE(any_pixel_in(top_layer, 110, 168, 110, 178));
  EXPECT_FALSE(any_pixel_in(top_layer, 210, 168, 210, 178));
  // The ladder itself is still there: 10 degrees up at row 120.
  EXPECT_TRUE(any_pixel_in(top_layer, 150, 118, 170, 122));
}

TEST_F(StyleParts, VintageUsesTheGreySymbol) {
  for (int style : {0, 1}) {
    cfg_set_byte(CFG_UI_STYLE, style);
    draw(0.0f, 0.0f);
    EXPECT_TRUE(opaque_pixels_match(top_layer, IMG_AIRCRAFT_SYMBOL, 94, 135)) << style;
  }
  cfg_set_byte(CFG_UI_STYLE, 2);
  draw(0.0f, 0.0f);
  EXPECT_TRUE(opaque_pixels_match(top_layer, IMG_AIRCRAFT_SYMBOL_VINTAGE, 106, 135));
  EXPECT_FALSE(opaque_pixels_match(top_layer, IMG_AIRCRAFT_SYMBOL, 94, 135));
}

TEST_F(StyleParts, SymbolSitsAtItsOffset) {
  attitude.aircraft_symbol_offset = 7;
  attitude_init();
  EXPECT_EQ(attitude.aircraft_symbol_offset, 0);
  attitude.aircraft_symbol_offset = 4;
  draw(0.0f, 0.0f);
  EXPECT_TRUE(opaque_pixels_match(top_layer, IMG_AIRCRAFT_SYMBOL, 94, 139));
}

}  // namespace
