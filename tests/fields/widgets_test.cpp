#include "fields/widgets.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "attitude/alerts.h"
#include "core/demo.h"
#include "core/firmware.h"
#include "fields/layouts.h"
#include "host/common/desk_platform.h"
#include "settings/settings.h"
#include "tests/support/power_on.h"

namespace {

constexpr float NaN = std::numeric_limits<float>::quiet_NaN();

pixel_t at(const pixel_t* l, int x, int y) { return l[y * SCREEN_W + x]; }

// Some pixel of the rectangle near the colour in every colour channel (text is anti-aliased).
bool has_colour(const pixel_t* l, int x0, int y0, int x1, int y1, pixel_t c) {
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      bool near = true;
      for (int s = 0; s < 24; s += 8) near = near && std::abs(int((at(l, x, y) >> s & 255) - (c >> s & 255))) < 24;
      if (near) return true;
    }
  return false;
}

// Alpha-weighted mean row of the layer, -1 when it is empty: where a pointer sits.
double pointer_row(const pixel_t* l) {
  double sum = 0, sy = 0;
  for (int i = 0; i < LAYER_PIXELS; ++i) {
    sum += l[i] >> 24;
    sy += double(l[i] >> 24) * (i / SCREEN_W);
  }
  return sum == 0 ? -1.0 : sy / sum;
}

class Widgets : public Started {
 protected:
  void SetUp() override {
    Started::SetUp();
    cfg_set_byte(CFG_DEMO_MODE, 0);
  }
};

// Band on the pointer row, readout colour and text at the default V speeds (VSO 60, VFE 100, VNO
// 150, VNE 175). Rows run in order, so the VSO latch carries down the table.
TEST_F(Widgets, AirspeedTape) {
  struct row {
    float ias;
    bool valid;
    int demo, style;
    pixel_t band, readout;  // readout 0: "---"
    const char* text;
    int latch;
  } const rows[] = {
      {34.0f, true, 0, 1, COLOUR_DARK_GREY, 0, "---", 0},
      {45.9f, true, 0, 1, COLOUR_DARK_GREY, COLOUR_WHITE, "45", 0},
      {120, true, 0, 1, COLOUR_DARK_GREEN, COLOUR_WHITE, "120", 1},
      {160, true, 0, 1, COLOUR_YELLOW, COLOUR_YELLOW, "160", 1},
      {160, true, 0, 2, COLOUR_OLIVE, COLOUR_YELLOW, "160", 1},
      {175, true, 0, 1, COLOUR_RED, COLOUR_RED, "175", 1},
      {175, true, 0, 2, COLOUR_DARK_RED, COLOUR_RED, "175", 1},
      {401, true, 0, 1, COLOUR_RED, 0, "---", 1},
      {40, true, 0, 1, COLOUR_RED, COLOUR_RED, "40", 1},
      {20, true, 0, 1, COLOUR_DARK_GREY, 0, "---", 1},
      // No usable speed: no readout even in demo mode 2, the tape as for no speed.
      {120, false, 2, 1, COLOUR_DARK_GREY, 0, "---", 1},
      {NaN, true, 0, 1, COLOUR_DARK_GREY, 0, "---", 1},
      {3e9f, true, 0, 1, COLOUR_DARK_GREY, 0, "---", 1},
  };
  for (const row& r : rows) {
    cfg_set_byte(CFG_DEMO_MODE, r.demo);
    cfg_set_byte(CFG_UI_STYLE, r.style);
    desk.ias_held = true;
    desk.ias = r.ias;
    desk.ias_valid = r.valid;
    clear_layer(top_layer);
    draw_airspeed_tape(top_layer, COLOUR_WHITE);
    int x = 50;  // the first opaque pixel: the readout box left of the tape is translucent
    while (at(top_layer, x, 142) >> 24 != 255) ++x;
    EXPECT_EQ(at(top_layer, x, 142), r.band) << r.ias;
    EXPECT_TRUE(r.readout == 0 || has_colour(top_layer, 8, 125, 52, 150, r.readout)) << r.ias;
    EXPECT_STREQ(widgets.airspeed_text, r.text) << r.ias;
    EXPECT_EQ(widgets.airspeed_above_vso, r.latch) << r.ias;
  }
  desk.ias = 120.0f;
  draw_airspeed_tape(top_layer, COLOUR_WHITE);
  // At 120 the flap band (50 < s < 100) covers rows 163..211.
  for (int y : {142, 162, 163, 211, 212}) {
    const int x = static_cast<int>(widgets.tape_outer_x[217 - y]);
    EXPECT_EQ(has_colour(top_layer, x, y, x + 12, y, COLOUR_WHITE), y > 162 && y < 212) << y;
  }
  // Demo mode 1 shows its own speed even when the sensor has none, in mph when asked.
  cfg_set_byte(CFG_DEMO_MODE, 1);
  cfg_set_byte(CFG_IAS_UNITS, 1);
  draw_airspeed_tape(top_layer, COLOUR_WHITE);
  EXPECT_EQ(std::to_string(int(float(int(demo_get_ias())) * 1.15078f)), widgets.airspeed_text);
  firmware_init();
  EXPECT_EQ(widgets.airspeed_above_vso, 0);
}

// The tape's lines copied from an earlier frame must be the lines drawn afresh: each step draws
// the tape twice from the same state, once with nothing remembered, and compares the layers whole.
// Lines are drawn again only where the speed moved a band edge, colours changed or the pixels
// under them differ from the frame before; all of them, some, or none.
TEST_F(Widgets, TapeLinesKeptFromAnEarlierFrameEqualThemDrawnAfresh) {
  enum under { CLEAR, DOT, NOISE, NOISE2 };
  enum redrawn { NONE, SOME, ALL };
  struct step {
    float ias;
    int style, vne, vfe;
    under background;
    redrawn lines;
  } const steps[] = {
      {120.0f, 1, 175, 100, CLEAR, ALL},
      {120.0f, 1, 175, 100, CLEAR, NONE},
      {120.7f, 1, 175, 100, CLEAR, NONE},  // the tape shows whole knots
      {121.0f, 1, 175, 100, CLEAR, SOME},
      {125.0f, 1, 175, 100, CLEAR, SOME},
      {125.0f, 1, 175, 100, DOT, SOME},
      {125.0f, 1, 175, 100, DOT, NONE},
      {125.0f, 1, 175, 100, CLEAR, SOME},
      {125.0f, 2, 175, 100, CLEAR, SOME},  // other colours, but the same green
      {125.0f, 2, 160, 100, CLEAR, SOME},
      {125.0f, 2, 160, 100, CLEAR, NONE},
      {125.0f, 2, 160, 110, CLEAR, SOME},  // the flap band moves
      {50.0f, 0, 175, 100, NOISE, ALL},
      {50.0f, 0, 175, 100, NOISE, NONE},
      {50.0f, 0, 175, 100, NOISE2, ALL},
      {30.0f, 0, 175, 100, NOISE2, ALL},  // no speed
      {50.0f, 0, 175, 100, NOISE2, ALL},
      {51.0f, 0, 175, 100, NOISE2, SOME},
      // Flap lines on every row: the kept region holds every pixel both lines reach.
      {200.0f, 1, 175, 1000, NOISE, ALL},
      {200.0f, 1, 175, 1000, NOISE, NONE},
      {201.0f, 1, 175, 1000, NOISE, SOME},
  };
  static pixel_t expected[LAYER_PIXELS];
  auto prepare = [](pixel_t* layer, under u) {
    clear_layer(layer);
    // Whatever is written into the top layer is marked, as every writer marks it.
    if (u != CLEAR) mark_written(layer, 0, 0, SCREEN_W - 1, SCREEN_H - 1);
    if (u == DOT) layer[160 * SCREEN_W + 56] = 0x80FF0000;  // under the tape
    std::uint32_t seed = u == NOISE ? 1 : 2;
    for (int i = 0; (u == NOISE || u == NOISE2) && i < LAYER_PIXELS; ++i) {
      seed = seed * 1664525u + 1013904223u;
      layer[i] = (seed >> 31) != 0 ? 0 : seed * 2654435761u;
    }
  };
  desk.ias_held = true;
  desk.ias_valid = true;
  int all_rows = 0;
  for (const step& s : steps) {
    desk.ias = s.ias;
    cfg_set_byte(CFG_UI_STYLE, s.style);
    cfg_set(CFG_IAS_VNE, s.vne);
    cfg_set(CFG_IAS_VFE, s.vfe);
    const widgets_state before = widgets;
    widgets.tape_memo.valid = 0;
    prepare(expected, s.background);
    draw_airspeed_tape(expected, COLOUR_WHITE);
    all_rows = widgets.tape_memo.rows_drawn;
    widgets = before;
    prepare(top_layer, s.background);
    draw_airspeed_tape(top_layer, COLOUR_WHITE);
    const int n = widgets.tape_memo.rows_drawn;
    EXPECT_EQ(n == 0 ? NONE : n < all_rows ? SOME : ALL, s.lines) << s.ias << " " << s.background << ": " << n;
    EXPECT_EQ(widgets.tape_memo.replays - before.tape_memo.replays, n == 0 ? 1 : 0);
    for (int i = 0; i < LAYER_PIXELS; ++i) {
      ASSERT_EQ(top_layer[i], expected[i])
          << s.ias << " " << s.background << " at " << i % SCREEN_W << "," << i / SCREEN_W;
    }
  }
  EXPECT_GT(all_rows, 100);
}

// Both pointers: 47 px per g from 1 g, stopped at 1 g either way; 50 px per 1000 fpm, stopped at
// 50 px; none without a usable reading. The g-meter's colour follows the g alert stage; the right
// meter and the trend scale move left for a wide altitude box, but only for one drawn this frame.
TEST_F(Widgets, PointersAndScales) {
  struct row {
    int side;  // 0, 1: g-meters; 2: trend scale
    float value;
    bool valid;
    int stage, box;  // g alerts raised; 1: wide box drawn, 2: wide box not drawn this frame
    double p;        // -99: no pointer
    pixel_t colour;
    int mark;  // left end of the 1 g or zero mark
  } const rows[] = {
      {0, 2.0f, true, 0, 1, -47, COLOUR_GOLD, 61},   {0, 3.5f, true, 1, 0, -47, COLOUR_YELLOW, 61},
      {1, 0.0f, true, 2, 0, 47, COLOUR_YELLOW, 239}, {1, 1.0f, true, 3, 1, 0, COLOUR_RED, 230},
      {1, -9.0f, true, 0, 2, 47, COLOUR_GOLD, 239},  {0, NaN, true, 0, 0, -99, COLOUR_GOLD, 61},
      {2, 2000, true, 0, 0, -50, COLOUR_GREY, 240},  {2, -600, true, 0, 1, 30, COLOUR_GREY, 230},
      {2, 500, false, 0, 2, -99, COLOUR_GREY, 240},  {2, NaN, true, 0, 0, -99, COLOUR_GREY, 240},
      {2, 1e12f, true, 0, 0, -99, COLOUR_GREY, 240},
  };
  for (const row& r : rows) {
    desk.g = desk.vertical_speed = r.value;
    desk.vertical_speed_valid = r.valid;
    for (int i = 0; i < 3; ++i) alerts.alert_flag[ALERT_G_80 + i] = i < r.stage ? 1 : 0;
    fields.field_hosts_baro = r.box == 1;
    widgets.altitude_box_wide = r.box != 0;
    clear_layer(top_layer);
    clear_layer(base_layer);
    if (r.side < 2) draw_g_meter(top_layer, base_layer, COLOUR_WHITE, r.side);
    if (r.side == 2) draw_vertical_trend(top_layer, base_layer, COLOUR_WHITE);
    EXPECT_NEAR(pointer_row(top_layer), r.p == -99 ? -1 : 140.5 + r.p, 1.0) << r.side << " " << r.value;
    EXPECT_EQ(at(base_layer, r.mark, 140), r.colour) << r.side << " " << r.value;
    EXPECT_EQ(at(base_layer, r.mark - 1, 140), 0u) << r.side << " " << r.value;
  }
}

// A pointer's kept sampling must draw what a fresh one draws: each step draws once with nothing
// kept and once as the frames ran, and compares the layers whole. A pointer is sampled again only
// for another image (the alert colours) or other fractions of its place; moved by whole pixels
// (the right meter beside the wide altitude box) it keeps its sampling.
TEST_F(Widgets, PointersKeptFromAnEarlierFrameEqualThemSampledAfresh) {
  struct step {
    int side;  // 0, 1: g-meters; 2: trend scale
    float value;
    int stage, wide;
    bool sampled;
  } const steps[] = {
      {0, 1.5f, 0, 0, true},    {0, 1.5f, 0, 0, false}, {0, 1.5f, 1, 0, true},    {0, 1.5f, 1, 0, false},
      {0, 1.6f, 1, 0, true},    {1, 1.6f, 1, 0, true},  {1, 1.6f, 1, 0, false},   {0, 1.6f, 1, 0, false},
      {1, 1.6f, 1, 1, false},   {1, 1.6f, 3, 1, true},  {2, -600.0f, 0, 0, true}, {2, -600.0f, 0, 0, false},
      {2, -640.0f, 0, 0, true}, {1, 1.6f, 3, 0, false},
  };
  static pixel_t expected[LAYER_PIXELS];
  for (const step& s : steps) {
    desk.g = desk.vertical_speed = s.value;
    desk.vertical_speed_valid = true;
    for (int i = 0; i < 3; ++i) alerts.alert_flag[ALERT_G_80 + i] = i < s.stage ? 1 : 0;
    fields.field_hosts_baro = s.wide;
    widgets.altitude_box_wide = s.wide;
    auto draw = [&](pixel_t* layer) {
      fill_layer(layer, SCREEN_W, SCREEN_H, 0x40102030);
      if (s.side < 2) draw_g_meter(layer, base_layer, COLOUR_WHITE, s.side);
      if (s.side == 2) draw_vertical_trend(layer, base_layer, COLOUR_WHITE);
    };
    const widgets_state before = widgets;
    for (pointer_memo& m : widgets.pointers) m.valid = 0;
    draw(expected);
    widgets = before;
    draw(top_layer);
    EXPECT_EQ(widgets.pointer_samplings - before.pointer_samplings, s.sampled ? 1 : 0) << s.side << " " << s.value;
    for (int i = 0; i < LAYER_PIXELS; ++i) {
      ASSERT_EQ(top_layer[i], expected[i]) << s.side << " " << s.value << " at " << i % SCREEN_W << "," << i / SCREEN_W;
    }
  }
}

// A pointer beside the altitude box leaves the box whole: its clear margin does not erase it.
TEST_F(Widgets, PointerMarginsKeepWhatLiesBeside) {
  desk.vertical_speed = 0.0f;
  desk.g = 1.0f;
  for (int side : {1, 2}) {
    fill_layer(top_layer, SCREEN_W, SCREEN_H, 0xB8000000);
    if (side == 1) draw_g_meter(top_layer, base_layer, COLOUR_WHITE, 1);
    if (side == 2) draw_vertical_trend(top_layer, base_layer, COLOUR_WHITE);
    EXPECT_EQ(at(top_layer, 256, 152), 0xB8000000u) << side;  // right of and below the pointer
    EXPECT_NE(at(top_layer, 245, 141), 0xB8000000u) << side;  // the pointer itself
  }
}

// Thousands large, the rest to tens of feet; the box for two-digit thousands from the next frame.
TEST_F(Widgets, AltitudeBox) {
  struct row {
    int altitude;
    bool valid;
    const char *thousands, *rest;
    int wide_drawn, wide_next;
  } const rows[] = {{8234, true, "8", "230", 0, 0},  {12345, true, "12", "340", 0, 1}, {12345, true, "12", "340", 1, 1},
                    {-450, false, "---", "", 1, 1},  {-450, true, "-0", "450", 1, 0},  {9999, true, "9", "990", 0, 0},
                    {99999, true, "99", "990", 0, 1}};
  for (const row& r : rows) {
    desk.pressure_altitude = float(r.altitude - desk_baro_correction(desk_baro_inhg_hundredths()));
    desk.altitude_valid = r.valid;
    clear_layer(top_layer);
    draw_altitude_box(top_layer, COLOUR_WHITE);
    EXPECT_STREQ(widgets.altitude_thousands_text, r.thousands) << r.altitude;
    EXPECT_STREQ(widgets.altitude_rest_text, r.rest) << r.altitude;
    EXPECT_EQ(altitude_box_wide(), r.wide_drawn) << r.altitude;
    EXPECT_EQ(at(top_layer, 252, 123) != 0, r.wide_drawn == 1) << r.altitude;  // the narrow box starts further right
    draw_altitude_box(top_layer, COLOUR_WHITE);
    EXPECT_EQ(altitude_box_wide(), r.wide_next) << r.altitude;
  }
}

}  // namespace
