// Screens put together from the catalogue images at the places where the pages draw them, in the
// frame composer's layer order, so the artwork can be judged in context: the attitude page in its
// three styles with alerts, the indexer, the slip indicator, tapes, banner and badge, and the
// heading rose, HSI and arc pictures.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "gfx/images.h"
#include "gfx/primitives.h"
#include "gfx/text.h"
#include "tools/contactsheet/sheet.h"

namespace sheet {

namespace {

constexpr float DEG = 0.017453292f;
pixel_t frame[LAYER_PIXELS];

void clear_all() {
  clear_layer(top_layer);
  clear_layer(base_layer);
}

void merge_top_into_base() { blend_image(base_layer, top_layer, base_layer, SCREEN_W, SCREEN_H, 0, 0, 320, 240); }

bool finish(const std::string& dir, const char* name, std::string* error) {
  blend_image(frame, top_layer, base_layer, SCREEN_W, SCREEN_H, 0, 0, 320, 240);
  picture p(SCREEN_W, SCREEN_H, 0);
  std::memcpy(p.data(), frame, sizeof(frame));
  return save(p, dir + "/scene_" + name + ".png", error);
}

void text_shadowed(pixel_t* layer, int font, int x, int y, pixel_t colour, const char* text) {
  draw_text_centred(layer, 320, 240, font, x + 1, y + 1, COLOUR_SHADOW, text);
  draw_text_centred(layer, 320, 240, font, x, y, colour, text);
}

// ---- the attitude page

struct attitude_look {
  pixel_t sky, ground, mark;
  bool vintage;
};
constexpr attitude_look LEGACY{0xFF3878A8, 0xFF603C04, 0xFFFFFFFF, false};
constexpr attitude_look EFIS{0xFF0000FF, 0xFF925B06, 0xFFB0B0B0, false};
constexpr attitude_look VINTAGE{0xFF505060, 0xFF000000, 0xFFB0B0B0, true};

struct attitude_geometry {
  float s, c, p;
  float sx(float x, float y, float pitch_rows) const { return 160 + x * c - (y + pitch_rows) * s; }
  float sy(float x, float y, float pitch_rows) const { return 140 + (y + pitch_rows) * c + x * s; }
};

void sky_and_ground(const attitude_look& look, const attitude_geometry& g) {
  for (int y = 0; y < 240; ++y) {
    for (int x = 0; x < 320; ++x) {
      // Rows of the picture below the turned horizon are ground.
      const float below = (y - 140) * g.c - (x - 160) * g.s - g.p;
      base_layer[y * 320 + x] = below >= 2.0f ? look.ground : look.sky;
    }
  }
}

void roll_scale(const attitude_look& look, const attitude_geometry& g, float roll) {
  const image4_ref mark = image4_lookup(IMG4_ROLL_MARK);
  pixel_t scratch[32 * 32];
  struct {
    float ax, ay, k, angle;
  } marks[3] = {{0, -120, 1.2f, roll}, {-80, -80, 1.4f, roll - 45}, {90, -90, 1.4f, roll + 45}};
  for (const auto& m : marks) {
    const float ym = (m.ay - 16) * g.c + (m.ax - 16) * g.s + 140;
    const float xm = (m.ax - 16) * g.c - (m.ay - 16) * g.s + 160;
    std::fill(scratch, scratch + 32 * 32, COLOUR_TRANSPARENT);
    draw_grey4_image(scratch, 32, 32, mark.data, 32, 32, 0, 0);
    image_transform t{1, 0, 0, 1, m.k};
    rotate_matrix(t, m.angle * -DEG);
    const float d = (1 - m.k) * -16;
    const float y = ym + d;
    const float x = xm + d;
    if (y < 70)
      draw_image_transformed(top_layer, 320, 240, scratch, 32, 32, x, y, t, std::min(1.0f, std::fabs(70 - y) / 70));
  }
  const float ticks[8][4] = {{-101, -55, -130, -74}, {101, -55, 130, -74},   {-56, -100, -72, -130},
                             {56, -100, 72, -130},   {-22, -110, -26, -127}, {22, -110, 26, -127},
                             {-39, -107, -45, -124}, {39, -107, 45, -124}};
  for (const auto& k : ticks) {
    const float yi = g.sy(k[0], k[1], 0);
    if (yi >= 70) continue;
    const float xi = g.sx(k[0], k[1], 0), xo = g.sx(k[2], k[3], 0), yo = g.sy(k[2], k[3], 0);
    const float a = std::min(1.0f, std::fabs(70 - yi) / 70);
    const pixel_t colour = (look.mark & 0x00FFFFFF) | static_cast<pixel_t>(a * 255) << 24;
    draw_line_aa(top_layer, 320, 240, xi - 1, yi - 1, xo - 1, yo + 1, colour);
    draw_line_aa(top_layer, 320, 240, xi, yi, xo, yo, colour);
    draw_line_aa(top_layer, 320, 240, xi + 1, yi - 1, xo + 1, yo + 1, colour);
  }
}

void horizon_and_ladder(const attitude_look& look, const attitude_geometry& g) {
  for (int k = -1; k <= 1; ++k) {
    draw_line_aa(top_layer, 320, 240, g.sx(-320, 0, g.p), g.sy(-320, 0, g.p) + k, g.sx(320, 0, g.p),
                 g.sy(320, 0, g.p) + k, look.mark);
  }
  const float rows[16][4] = {{-5, -10, 5, -10},   {-20, -20, 20, -20}, {-10, -30, 10, -30},   {-25, -40, 25, -40},
                             {-25, -60, 25, -60}, {-25, -80, 25, -80}, {-25, -100, 25, -100}, {-5, 10, 5, 10},
                             {-10, 20, 10, 20},   {-10, 30, 10, 30},   {-25, 40, 25, 40},     {-25, 60, 25, 60},
                             {-25, 80, 25, 80},   {-25, 100, 25, 100}, {-60, 40, 0, 0},       {60, 40, 0, 0}};
  for (int r = 0; r < (look.vintage ? 14 : 16); ++r) {
    float x0 = g.sx(rows[r][0], rows[r][1], g.p), y0 = g.sy(rows[r][0], rows[r][1], g.p);
    float x1 = g.sx(rows[r][2], rows[r][3], g.p), y1 = g.sy(rows[r][2], rows[r][3], g.p);
    if (clip_line(x0, y0, x1, y1, 0, 320, 200, 90)) draw_line_aa(top_layer, 320, 240, x0, y0, x1, y1, look.mark);
  }
}

// The angle-of-attack column: bars up to the ratio lit, the rest marked by short spans.
void aoa_indexer(float ratio, bool vintage) {
  struct place {
    int x, y, x0, x1, row;
  };
  constexpr place places[10] = {{78, 193, 91, 95, 192}, {72, 185, 86, 91, 184}, {69, 172, 82, 88, 176},
                                {67, 163, 77, 84, 166}, {65, 151, 74, 82, 154}, {64, 138, 73, 82, 142},
                                {65, 123, 73, 83, 128}, {66, 109, 76, 87, 114}, {72, 93, 82, 95, 99},
                                {78, 77, 90, 104, 85}};
  text_shadowed(top_layer, 5, 96, 205, COLOUR_WHITE, "AoA");
  for (int k = 0; k < 10; ++k) {
    const image_ref bar = image_lookup(IMG_AOA_BAR_0 + k);
    if (ratio >= (k + 1) / 10.0f) {
      copy_image(top_layer, bar.pixels, 320, 240, places[k].x, places[k].y, bar.width, bar.height);
    } else {
      draw_hspan(top_layer, 320, 240, places[k].x0, places[k].x1, places[k].row, vintage ? COLOUR_GOLD : COLOUR_GREY);
    }
  }
}

void airspeed_box(int v) {
  text_shadowed(top_layer, 5, 32, 115, COLOUR_WHITE, "IAS");
  const image_ref box = image_lookup(IMG_POPUP_BOX);
  copy_image(top_layer, box.pixels, 320, 240, 2, 121, box.width, box.height);
  char digits[8];
  char* cursor = digits;
  append_int(v, cursor);
  *cursor = 0;
  const int shift = v >= 100 ? 5 : 0;
  draw_text_right(top_layer, 320, 240, 9, 47 + shift, 125, COLOUR_SHADOW, digits);
  draw_text_right(top_layer, 320, 240, 9, 46 + shift, 124, COLOUR_WHITE, digits);
  draw_hspan(top_layer, 320, 240, 53, 62, 137, COLOUR_WHITE);
  draw_hspan(top_layer, 320, 240, 53, 62, 138, COLOUR_WHITE);
  draw_hspan(top_layer, 320, 240, 53, 62, 139, COLOUR_DARK_GREY);
  draw_hspan(top_layer, 320, 240, 54, 63, 140, COLOUR_SHADOW);
}

void altitude_box(int thousands, const char* rest) {
  text_shadowed(top_layer, 5, 290, 114, COLOUR_WHITE, "ALT");
  const image_ref box = image_lookup(thousands >= 10 ? IMG_ALT_BOX_WIDE : IMG_ALT_BOX_NARROW);
  copy_image(top_layer, box.pixels, 320, 240, 247, 122, box.width, box.height);
  char digits[8];
  char* cursor = digits;
  append_int(thousands, cursor);
  *cursor = 0;
  draw_text_right(top_layer, 320, 240, 9, 280, 125, COLOUR_SHADOW, digits);
  draw_text_right(top_layer, 320, 240, 9, 279, 124, COLOUR_WHITE, digits);
  draw_text_right(top_layer, 320, 240, 8, 318, 125, COLOUR_SHADOW, rest);
  draw_text_right(top_layer, 320, 240, 8, 317, 124, COLOUR_WHITE, rest);
}

void g_meter_pointer(int entry, float p) {
  const image_ref dot = image_lookup(entry);
  pixel_t scratch[20 * 20] = {};
  blit_image_clipped(scratch, 20, 20, dot.pixels, dot.width, dot.height, 0, 0);
  const float cx = 149 - std::sqrt(5625 - p * p);
  image_transform t{};
  draw_image_transformed(top_layer, 320, 240, scratch, 20, 20, cx - 8, 140 + p - 7, t, 1.0f);
  const int a[7] = {0, 1, 2, 4, 6, 10, 15}, b[7] = {9, 10, 12, 17, 22, 28, 35};
  for (int k = 0; k < 7; ++k) {
    draw_hspan(base_layer, 320, 240, 65 + a[k], 65 + b[k], 140 - 8 * k, COLOUR_GOLD);
    draw_hspan(base_layer, 320, 240, 65 + a[k], 65 + b[k], 140 + 8 * k, COLOUR_GOLD);
  }
}

void trend_pointer(float p) {
  const image_ref img = image_lookup(IMG_TREND_POINTER);
  pixel_t scratch[22 * 15] = {};
  blit_image_clipped(scratch, 22, 15, img.pixels, img.width, img.height, 0, 0);
  for (int o = -50; o <= 50; o += 10) {
    const int cx = static_cast<int>(165 + std::sqrt(5625.0f - o * o));
    draw_hspan(base_layer, 320, 240, cx - 5 + 10, cx + 5 + 10, 140 + o, COLOUR_GREY);
  }
  image_transform t{};
  draw_image_transformed(top_layer, 320, 240, scratch, 22, 15, 165 + std::sqrt(5625 - p * p) - 15 + 10, 140 + p - 3, t,
                         1.0f);
}

// The compact heading tape across the top, as the field of the gyro heading shows it.
void compact_tape(float h, float bug, bool efis) {
  const int label_row = efis ? 41 : 46;
  blend_catalogue_image(base_layer, IMG_LABEL_DG, 124, label_row);
  blend_catalogue_image(base_layer, IMG_LABEL_HDG, 172, label_row);
  const float phase = h - std::floor(h);
  const image4_ref strip = image4_lookup(phase < 0.5f ? IMG4_HEADING_STRIP_B : IMG4_HEADING_STRIP_A);
  static pixel_t tape[360 * 20];
  for (int row = 0; row < 20; ++row) {
    for (int col = 0; col < 360; ++col) {
      const std::uint8_t byte = strip.data[(19 - row) * 180 + col / 2];
      const int n = col % 2 == 0 ? byte >> 4 : byte & 15;
      tape[row * 360 + col] = mix_colour(0, 0xFF000000u + n * 0x101010u, static_cast<float>(16 * n) / 255.0f);
    }
  }
  const int first = static_cast<int>(std::floor(h)) + 100;
  for (int i = 0; i < 160; ++i) {
    const int col = ((first + i) % 360 + 360) % 360;
    for (int row = 0; row < 20; ++row)
      put_pixel_unchecked(top_layer, 320, 240, 79 + i, 55 + row, tape[row * 360 + col]);
  }
  int v = static_cast<int>(h - bug);
  v = std::clamp(v, -68, 68);
  blend_catalogue_image(top_layer, IMG_HEADING_BUG, 146 - v, 56);
  if (efis) {
    draw_hspan(top_layer, 320, 240, 80, 239, 55, COLOUR_GREY);
    draw_hspan(top_layer, 320, 240, 72, 247, 77, COLOUR_GREY);
  } else {
    for (int i = 0; i < 20; ++i) {
      for (int x = 77; x <= 97 - i; ++x) top_layer[(55 + i) * 320 + x] = 0;
      for (int x = 223 + i; x <= 242; ++x) top_layer[(55 + i) * 320 + x] = 0;
    }
  }
}

void slip_indicator(int offset, float f) {
  blend_catalogue_image(base_layer, IMG_SLIP_TUBE, 110, 206 + offset);
  const int x = static_cast<int>(f + 152) + 2;
  const bool half = static_cast<int>(f + 0.5f) > static_cast<int>(f);
  blend_catalogue_image(top_layer, half ? IMG_SLIP_BALL_HALF : IMG_SLIP_BALL, x, 209 + offset);
  const image_ref marker = image_lookup(IMG_SLIP_MARKER);
  copy_image(top_layer, marker.pixels, 320, 240, 146, 211 + offset, 2, 16);
  copy_image(top_layer, marker.pixels, 320, 240, 174, 211 + offset, 2, 16);
}

void banner(const char* line1, const char* line2, pixel_t colour) {
  const image_ref back = image_lookup(IMG_BANNER_BACK);
  copy_image(top_layer, back.pixels, 320, 240, 94, 194, back.width, back.height);
  draw_text_centred(top_layer, 320, 240, 6, 105, 223, colour, "{");
  draw_text_centred(top_layer, 320, 240, 6, 215, 223, colour, "}");
  draw_text_centred(top_layer, 320, 240, 5, 160, 204, COLOUR_WHITE, line1);
  draw_text_centred(top_layer, 320, 240, 6, 160, 222, colour, line2);
}

void status_badge() {
  blend_catalogue_image(top_layer, IMG_STATUS_BADGE, 250, 216);
  draw_text_centred(top_layer, 320, 240, 5, 268, 225, COLOUR_WHITE, "100%");
  blend_catalogue_image(top_layer, IMG_POWER_ICON, 292, 220);
}

void alert(int entry, const char* text) {
  blend_catalogue_image(top_layer, entry, 105, 80);
  draw_text_centred(top_layer, 320, 240, 6, 160, 93, COLOUR_BLACK, text);
}

struct attitude_scene {
  attitude_look look;
  float roll = 0;
  float pitch = 0;
  int slip_offset = 0;
  float slip = 0;
  float aoa = 0;
  int alert_entry = -1;
  const char* alert_text = "";
  bool popup = false;
  bool fail_flag = false;
  bool on_battery = false;
  bool g_meter = false;  // the g-meter in the left slot instead of the indexer
};

void compose_attitude(const attitude_scene& s) {
  clear_all();
  const attitude_geometry g{std::sin(s.roll * DEG), std::cos(s.roll * DEG), 2 * s.pitch};
  sky_and_ground(s.look, g);
  roll_scale(s.look, g, s.roll);
  horizon_and_ladder(s.look, g);
  if (s.look.vintage) {
    blend_catalogue_image(top_layer, IMG_AIRCRAFT_SYMBOL_VINTAGE, 106, 135);
  } else {
    blend_catalogue_image(top_layer, IMG_AIRCRAFT_SYMBOL, 94, 135);
  }
  merge_top_into_base();
  if (s.look.sky != EFIS.sky) {
    blend_catalogue_image(top_layer, IMG_STYLE_VIGNETTE, 0, 0);
    blend_catalogue_image(top_layer, IMG_STYLE_VIGNETTE, 0, 0);
  }
  merge_top_into_base();
  clear_layer(top_layer);

  if (s.g_meter) {
    g_meter_pointer(IMG_DOT_RED, -47);
  } else {
    aoa_indexer(s.aoa, s.look.vintage);
  }
  airspeed_box(118);
  altitude_box(s.popup ? 12 : 8, "230");
  trend_pointer(-25);
  compact_tape(23.4f, 40.0f, s.look.sky == EFIS.sky);
  blend_catalogue_image(top_layer, IMG_BOTTOM_MASK, 0, 213);
  if (s.fail_flag) blend_catalogue_image(top_layer, IMG_FAIL_FLAG, 229, 62);
  slip_indicator(s.slip_offset, s.slip);
  if (s.popup) banner("SET BARO", "29.92", COLOUR_MAGENTA);
  blend_catalogue_image(top_layer, IMG_ROLL_POINTER, 146, 30);
  if (s.alert_entry >= 0) alert(s.alert_entry, s.alert_text);
  if (!s.popup) status_badge();
  if (s.on_battery) blend_catalogue_image(top_layer, IMG_ON_BATTERY, 126, 186 + s.slip_offset);
}

// ---- the heading pages

void rotated(pixel_t* layer, int entry, float cx, float cy, float radius, float angle, float scale_field) {
  const image_ref img = image_lookup(entry);
  image_transform t{1, 0, 0, 1, scale_field};
  rotate_matrix(t, angle * -DEG);
  const float x = cx + radius * std::sin(angle * DEG);
  const float y = cy - radius * std::cos(angle * DEG);
  draw_image_rotated(layer, 320, 240, img.pixels, img.width, img.height, x, y, t, 1.0f);
}

void tinted4(pixel_t* cell, int cell_w, int entry, pixel_t colour) {
  const image4_ref img = image4_lookup(entry);
  std::fill(cell, cell + cell_w * cell_w, COLOUR_TRANSPARENT);
  draw_alpha4_image(cell, cell_w, cell_w, img.data, img.width, img.height, 0, -1, colour);
}

void card_label(int k, float a, float radius, float cy, pixel_t colour) {
  const char* texts[12] = {"N", "3", "6", "E", "12", "15", "S", "21", "24", "W", "30", "33"};
  pixel_t cell[16 * 16] = {};
  const char* text = texts[k / 30];
  draw_text(cell, 16, 16, 6, 8 - text_width(6, text) / 2, 8 - 18 / 2, colour, text);
  image_transform t{};
  rotate_matrix(t, a * -DEG);
  draw_image_rotated(base_layer, 320, 240, cell, 16, 16, 160 + radius * std::sin(a * DEG),
                     cy - radius * std::cos(a * DEG), t, 1.0f);
}

void compass_card(float card, pixel_t colour) {
  for (int k = 0; k < 360; k += 30) {
    float a = k - card;
    if (a > 180) a -= 360;
    card_label(k, a, 95, 120, colour);
  }
  for (int k = 0; k < 360; k += 5) {
    const float a = (k - card) * DEG;
    const float r0 = k % 10 == 0 ? 105.0f : 110.0f;
    draw_line_aa(base_layer, 320, 240, 160 + r0 * std::sin(a), 120 - r0 * std::cos(a), 160 + 115 * std::sin(a),
                 120 - 115 * std::cos(a), colour);
  }
}

void compose_rose(bool vintage) {
  clear_all();
  const pixel_t outline = vintage ? 0xFFD0B04E : 0xFFFFFFFF;
  const pixel_t rose = vintage ? 0xFFD0B04E : 0xFFB0B0B0;
  const image4_ref img = image4_lookup(IMG4_AIRCRAFT_OUTLINE);
  static pixel_t tinted[128 * 153];
  for (int row = 0; row < 153; ++row) {
    for (int col = 0; col < 128; ++col) {
      const std::uint8_t byte = img.data[(152 - row) * 64 + col / 2];
      const int n = col % 2 == 0 ? byte >> 4 : byte & 15;
      tinted[row * 128 + col] =
          mix_colour(0, outline & (0xFF000000u + n * 0x101010u), static_cast<float>(16 * n) / 255.0f);
    }
  }
  copy_image(base_layer, tinted, 320, 240, 96, 44, 128, 153);
  const float card = 33.0f;
  compass_card(card, rose);
  draw_line_aa(top_layer, 320, 240, 161, 20, 161, 50, rose);
  draw_line_aa(top_layer, 320, 240, 160.5f, 20, 160.5f, 50, rose);
  rotated(top_layer, IMG_HEADING_BUG, 160, 120, 107, 60 - card, 1.0f);
  blend_catalogue_image(base_layer, IMG_LABEL_DG, 130, 46);
  blend_catalogue_image(base_layer, IMG_LABEL_HDG, 172, 46);
  blend_catalogue_image(top_layer, IMG_BOTTOM_MASK, 0, 213);
  merge_top_into_base();
  clear_layer(top_layer);
  status_badge();
}

void compose_hsi() {
  clear_all();
  const float card = 350.0f, course = 24.0f, bearing = 16.0f;
  const float a = -(card - course) * DEG;
  const float s = std::sin(a), c = std::cos(a);
  pixel_t cell16[16 * 16];
  tinted4(cell16, 16, IMG4_DOT_RING, COLOUR_GREY);
  image_transform t{};
  rotate_matrix(t, -a);
  for (const float d : {30.0f, 60.0f, -30.0f, -60.0f})
    draw_image_rotated(base_layer, 320, 240, cell16, 16, 16, 160 + d * c, 120 + d * s, t, 1.0f);
  pixel_t cell24[24 * 24];
  tinted4(cell24, 24, IMG4_COURSE_ARROW, COLOUR_MAGENTA);
  draw_image_rotated(top_layer, 320, 240, cell24, 24, 24, 160 + 85 * std::sin(a), 120 - 85 * std::cos(a), t, 1.0f);
  for (int k = 0; k < 5; ++k) {
    const float dx = k == 1 ? 1.0f : k == 3 ? -1.0f : 0.0f, dy = k == 2 ? 1.0f : k == 4 ? -1.0f : 0.0f;
    draw_line_aa(top_layer, 320, 240, 160 + 73 * std::sin(a) + dx, 120 - 73 * std::cos(a) + dy,
                 160 + 45 * std::sin(a) + dx, 120 - 45 * std::cos(a) + dy, COLOUR_MAGENTA);
    draw_line_aa(top_layer, 320, 240, 160 - 95 * s + dx, 120 + 95 * c + dy, 160 - 45 * s + dx, 120 + 45 * c + dy,
                 COLOUR_MAGENTA);
    const float dev = -15;
    draw_line_aa(top_layer, 320, 240, 160 + dev * c + 45 * s + dx, 120 + dev * s - 45 * c + dy,
                 160 + dev * c - 45 * s + dx, 120 + dev * s + 45 * c + dy, COLOUR_MAGENTA);
  }
  blend_catalogue_image(top_layer, IMG_AIRCRAFT_PLAN_WHITE, 141, 105);
  compass_card(card, 0xFFB0B0B0);
  rotated(top_layer, IMG_BEARING_POINTER, 160, 120, 103, bearing - card, 1.0f);
  merge_top_into_base();
  clear_layer(top_layer);
  rotated(top_layer, IMG_HEADING_BUG, 160, 120, 107, 40 - card, 1.0f);
  draw_line_aa(top_layer, 320, 240, 160, 20, 160, 98, COLOUR_GREY);
  blend_catalogue_image(base_layer, IMG_LABEL_GPS, 125, 46);
  blend_catalogue_image(base_layer, IMG_LABEL_TRK, 172, 46);
  draw_text_centred(top_layer, 320, 240, 5, 120, 180, COLOUR_WHITE, "VFR");
  draw_text_centred(top_layer, 320, 240, 5, 200, 180, COLOUR_WHITE, "1.0nm");
  blend_catalogue_image(top_layer, IMG_BOTTOM_MASK, 0, 213);
  status_badge();
}

void compose_arc(bool vintage) {
  clear_all();
  const float card = 20.0f;
  const pixel_t colour = vintage ? 0xFFD0B04E : 0xFFB0B0B0;
  for (int k = 0; k < 360; k += 5) {
    float a = k - card;
    if (a > 180) a -= 360;
    const float ar = a * DEG;
    const float r0 = k % 10 == 0 ? 170.0f : 175.0f;
    const float xo = 160 + 180 * std::sin(ar), yo = 190 - 180 * std::cos(ar);
    if (yo >= 100) continue;
    const int fade = std::clamp(std::abs(static_cast<int>(xo) - 160) * 5 - 500, 0, 255);
    const pixel_t faded = scale_colour(colour, (255 - fade) / 255.0f);
    draw_line_aa(base_layer, 320, 240, 160 + r0 * std::sin(ar), 190 - r0 * std::cos(ar), xo, yo, faded);
    if (k % 30 == 0) {
      const float yl = 190 - 160 * std::cos(ar);
      if (yl < 100) card_label(k, a, 160, 190, faded);
    }
  }
  draw_line_aa(top_layer, 320, 240, 159, 20, 159, 164, COLOUR_GREY);
  rotated(top_layer, IMG_BEARING_POINTER, 160, 190, 168, 12 - card + 360, 1.1f);
  merge_top_into_base();
  clear_layer(top_layer);
  rotated(top_layer, IMG_HEADING_BUG, 160, 190, 172, 35 - card, 1.0f);
  for (int k = 0; k < 5; ++k) {
    const float dx = k == 1 ? 1.0f : k == 3 ? -1.0f : 0.0f, dy = k == 2 ? 1.0f : k == 4 ? -1.0f : 0.0f;
    draw_line_aa(top_layer, 320, 240, 190 + dx, 95 + dy, 158 + dx, 215 + dy, vintage ? 0xFFD0B04E : COLOUR_MAGENTA);
  }
  merge_top_into_base();
  if (vintage) {
    pixel_t cell16[16 * 16];
    tinted4(cell16, 16, IMG4_DOT_RING, 0xFFD0B04E);
    image_transform t{1, 0, 0, 1, 0.79f};
    draw_image_rotated(top_layer, 320, 240, cell16, 16, 16, 190 - 5, 95 - 5, t, 1.0f);
  } else {
    const image_ref star = image_lookup(IMG_WAYPOINT_STAR);
    image_transform t{};
    draw_image_rotated(top_layer, 320, 240, star.pixels, star.width, star.height, 190, 95, t, 1.0f);
  }
  draw_text(top_layer, 320, 240, 5, 213, 87, COLOUR_WHITE, "KBFI1");
  blend_catalogue_image(top_layer, vintage ? IMG_AIRCRAFT_PLAN_ORANGE : IMG_AIRCRAFT_PLAN_WHITE, 140, 170);
  blend_catalogue_image(base_layer, IMG_LABEL_GPS, 125, 46);
  blend_catalogue_image(base_layer, IMG_LABEL_TRK, 172, 46);
  fill_box(top_layer, 320, 240, 125, 214, 195, 239, 0xFF000000);
  draw_text_centred(top_layer, 320, 240, 5, 160, 222, COLOUR_WHITE, "< SCALE >");
}

void compose_startup() {
  clear_all();
  blend_catalogue_image(top_layer, IMG_STARTUP_LOGO, 68, 50);
  draw_text(top_layer, 320, 240, 6, 130, 160, COLOUR_WHITE, "VESPER-C");
  draw_text_centred(top_layer, 320, 240, 5, 160, 195, COLOUR_WHITE, "SOFTWARE VERSION");
  draw_text_centred(top_layer, 320, 240, 5, 160, 215, COLOUR_WHITE, "1.0.18");
}

}  // namespace

bool write_scenes(const std::string& dir, std::string* error) {
  attitude_scene legacy{LEGACY};
  legacy.roll = 12;
  legacy.pitch = 3;
  legacy.slip = 9.3f;
  legacy.aoa = 0.85f;
  legacy.alert_entry = IMG_ALERT_AMBER;
  legacy.alert_text = "ANGLE";
  compose_attitude(legacy);
  if (!finish(dir, "attitude_legacy", error)) return false;

  attitude_scene efis{EFIS};
  efis.roll = -25;
  efis.pitch = -4;
  efis.slip = -20.6f;
  efis.aoa = 1.0f;
  efis.alert_entry = IMG_ALERT_RED;
  efis.alert_text = "G LIMIT";
  efis.on_battery = true;
  efis.g_meter = true;
  compose_attitude(efis);
  if (!finish(dir, "attitude_efis", error)) return false;

  attitude_scene vintage{VINTAGE};
  vintage.pitch = 1;
  vintage.popup = true;
  vintage.slip_offset = -39;
  vintage.aoa = 0.45f;
  vintage.fail_flag = true;
  compose_attitude(vintage);
  if (!finish(dir, "attitude_vintage_popup", error)) return false;

  compose_rose(false);
  if (!finish(dir, "heading_rose", error)) return false;
  compose_rose(true);
  if (!finish(dir, "heading_rose_vintage", error)) return false;
  compose_hsi();
  if (!finish(dir, "heading_hsi", error)) return false;
  compose_arc(false);
  if (!finish(dir, "heading_arc", error)) return false;
  compose_arc(true);
  if (!finish(dir, "heading_arc_vintage", error)) return false;
  compose_startup();
  return finish(dir, "startup", error);
}

}  // namespace sheet
