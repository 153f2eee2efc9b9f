#include "fields/widgets.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "attitude/alerts.h"
#include "core/demo.h"
#include "core/platform.h"
#include "fields/layouts.h"
#include "gfx/images.h"
#include "gfx/primitives.h"
#include "gfx/text.h"
#include "settings/settings.h"

widgets_state widgets;

void widgets_power_on() { widgets = widgets_state{}; }

namespace {

constexpr float KNOTS_TO_MPH = 1.15078f;

// Scratch images the pointers are placed in before they are drawn.
pixel_t g_pointer_scratch[20 * 20];
pixel_t trend_pointer_scratch[22 * 15];

// Truncates a reading to an int; false for a reading that is not a number or does not fit, which
// the widgets then treat as no reading at all.
bool truncate_reading(float v, int& out) {
  if (!std::isfinite(v) || v < -2147483648.0f || v >= 2147483648.0f) return false;
  out = static_cast<int>(v);
  return true;
}

void copy_catalogue_image(pixel_t* layer, int entry, int x, int y) {
  const image_ref img = image_lookup(entry);
  copy_image(layer, img.pixels, SCREEN_W, SCREEN_H, x, y, img.width, img.height);
}

void caption(pixel_t* layer, int font, int x, int y, pixel_t colour, const char* text) {
  draw_text_centred(layer, SCREEN_W, SCREEN_H, font, x + 1, y + 1, COLOUR_SHADOW, text);
  draw_text_centred(layer, SCREEN_W, SCREEN_H, font, x, y, colour, text);
}

// The caption as caption() draws it, written again from what it last wrote while nothing changed.
template <int N>
void kept_caption(kept_area<N>& area, pixel_t* layer, int font, int x, int y, pixel_t colour, const char* text) {
  kept_key key;
  key.add_int(font).add_int(x).add_int(y).add(colour).add_text(text);
  draw_kept(&area, layer, key, [&] { caption(layer, font, x, y, colour, text); });
}

// Right-aligned value text with its shadow one pixel right and down.
void value_right(pixel_t* layer, int font, int x, int y, pixel_t colour, const char* text) {
  draw_text_right(layer, SCREEN_W, SCREEN_H, font, x + 1, y + 1, COLOUR_SHADOW, text);
  draw_text_right(layer, SCREEN_W, SCREEN_H, font, x, y, colour, text);
}

// value_right with the glyphs of the shadow and of the text kept one by one.
void value_right_kept(kept_area<READOUT_GLYPH_KEPT> (&glyphs)[2][READOUT_GLYPHS], pixel_t* layer, int font, int x,
                      int y, pixel_t colour, const char* text) {
  const int w = text_width(font, text);
  draw_text_kept(glyphs[0], READOUT_GLYPHS, layer, font, x + 1 - w, y + 1, COLOUR_SHADOW, text);
  draw_text_kept(glyphs[1], READOUT_GLYPHS, layer, font, x - w, y, colour, text);
}

// Places a catalogue image in a cleared scratch image and draws that into the top layer with its
// corner at (x, y), so that the pointer's own edges are smoothed by the sampling. The sample is
// laid over what the layer holds rather than stored in its place: stored, the scratch image's
// clear margin would punch a hole into whatever lies beside the pointer (the altitude box next to
// the right-hand scales). Where the layer is clear the result is the sample itself. The sampled
// picture is kept per pointer and made again only when the image or the fractions of the place
// change.
void draw_pointer(pixel_t* top, int slot, pixel_t* scratch, int scratch_w, int scratch_h, int entry, float x, float y) {
  mark_written_box(top, x - 1.0f, y - 1.0f, x + static_cast<float>(scratch_w + 2),
                   y + static_cast<float>(scratch_h + 2), 0.0f);
  const int pw = scratch_w + 2;
  const int ph = scratch_h + 2;
  const float fx = std::floor(x);
  const float fy = std::floor(y);
  const float ox = x - fx;
  const float oy = y - fy;
  pointer_memo& m = widgets.pointers[slot];
  const bool same = m.valid != 0 && m.entry == entry && m.scratch_w == scratch_w && m.scratch_h == scratch_h &&
                    std::bit_cast<std::uint32_t>(m.ox) == std::bit_cast<std::uint32_t>(ox) &&
                    std::bit_cast<std::uint32_t>(m.oy) == std::bit_cast<std::uint32_t>(oy);
  if (!same) {
    std::fill(scratch, scratch + scratch_w * scratch_h, COLOUR_TRANSPARENT);
    const image_ref img = image_lookup(entry);
    copy_image(scratch, img.pixels, scratch_w, scratch_h, 0, 0, img.width, img.height);
    std::fill(m.patch, m.patch + pw * ph, COLOUR_TRANSPARENT);
    const image_transform identity{};
    draw_image_transformed(m.patch, pw, ph, scratch, scratch_w, scratch_h, ox, oy, identity, 1.0f);
    m.valid = 1;
    m.entry = entry;
    m.scratch_w = scratch_w;
    m.scratch_h = scratch_h;
    m.ox = ox;
    m.oy = oy;
    widgets.pointer_samplings += 1;
  }
  for (int j = 0; j < ph; ++j) {
    const int sy = static_cast<int>(fy) + j;
    for (int i = 0; i < pw; ++i) {
      const int sx = static_cast<int>(fx) + i;
      const pixel_t smp = m.patch[j * pw + i];
      if (sx < 0 || sx >= SCREEN_W || sy < 0 || sy >= SCREEN_H || (smp >> 24) == 0) continue;
      pixel_t& dst = top[sy * SCREEN_W + sx];
      dst = (dst >> 24) == 0 ? smp : mix_colour(dst, smp, blend_weights.t[smp >> 24]);
    }
  }
}

pixel_t with_alpha(pixel_t colour, int alpha) { return (colour & 0x00FFFFFFu) | (static_cast<pixel_t>(alpha) << 24); }

// Speed in knots or mph as the tape shows it; false when there is no usable speed.
bool tape_speed(int& v) {
  float raw = 0.0f;
  if (cfg_get_byte(CFG_DEMO_MODE) == 1) {
    raw = demo_get_ias();
  } else if (ias_valid()) {
    raw = read_indicated_airspeed();
  } else {
    return false;
  }
  if (!truncate_reading(raw, v)) return false;
  if (cfg_get_byte(CFG_IAS_UNITS) == 1 && !truncate_reading(static_cast<float>(v) * KNOTS_TO_MPH, v)) return false;
  if (v < 35) v = 0;
  return true;
}

// Screen row of tape row i, and the first row that carries lines (the rows above fade out).
int tape_screen_row(int i) { return 217 - i; }
constexpr int TAPE_LINES_BELOW = 80;

// The band line of a row from its outer arc inward, and the flap line beside it.
void draw_tape_row(pixel_t* layer, int i, const tape_row_colours& row) {
  const float yf = static_cast<float>(tape_screen_row(i));
  const float outer = widgets.tape_outer_x[i];
  const float inner = widgets.tape_inner_x[i];
  draw_line_aa(layer, SCREEN_W, SCREEN_H, outer, yf, inner + 2.5f, yf + 0.5f, row.band);
  if (row.flap_drawn) {
    draw_line_aa(layer, SCREEN_W, SCREEN_H, outer + 5.0f, yf, inner + 5.5f, yf + 0.5f, row.flap);
  }
}

// The screen rows the lines of tape row i can reach: a line from row y to y + 0.5 leans at most a
// tenth of a pixel per column, so its centre pixels stay on rows y - 1 and y, and its edges on the
// rows either side of those.
int reach_first(int i) { return std::max(tape_screen_row(i) - 2, 0); }
int reach_last(int i) { return std::min(tape_screen_row(i) + 1, SCREEN_H - 1); }

// Sets up the region the lines can reach: each line runs from just left of its start column to
// one column past its end, on the rows above.
void tape_memo_init() {
  tape_memo_state& m = widgets.tape_memo;
  m = tape_memo_state{};
  for (int y = 0; y < SCREEN_H; ++y) {
    m.span_lo[y] = SCREEN_W;
    m.span_hi[y] = -1;
  }
  for (int i = 0; i < TAPE_ROWS; ++i) {
    const int y = tape_screen_row(i);
    if (y <= TAPE_LINES_BELOW) continue;
    const int x0 = std::max(static_cast<int>(widgets.tape_outer_x[i]) - 1, 0);
    const int x1 = std::min(static_cast<int>(widgets.tape_inner_x[i] + 5.5f) + 2, SCREEN_W - 1);
    for (int r = reach_first(i); r <= reach_last(i); ++r) {
      m.span_lo[r] = static_cast<std::int16_t>(std::min<int>(m.span_lo[r], x0));
      m.span_hi[r] = static_cast<std::int16_t>(std::max<int>(m.span_hi[r], x1));
    }
  }
  m.row_first = SCREEN_H;
  for (int y = 0; y < SCREEN_H; ++y) {
    if (m.span_hi[y] < m.span_lo[y]) continue;
    m.row_first = std::min(m.row_first, y);
    m.row_end = y + 1;
  }
  if (m.row_end == 0) m.row_first = 0;
  int pixels = 0;
  for (int y = 0; y < SCREEN_H; ++y) {
    m.row_start[y] = static_cast<std::int16_t>(std::min(pixels, TAPE_MEMO_CAPACITY));
    pixels += std::max(m.span_hi[y] - m.span_lo[y] + 1, 0);
  }
  // A region larger than the store would not be copied whole: the lines are then always drawn.
  m.pixels = pixels <= TAPE_MEMO_CAPACITY ? pixels : 0;
}

// The stored pixels of screen row y, in the region's order.
pixel_t* stored_row(pixel_t* store, int y) { return store + widgets.tape_memo.row_start[y]; }

int region_width(int y) {
  const tape_memo_state& m = widgets.tape_memo;
  return std::max(m.span_hi[y] - m.span_lo[y] + 1, 0);
}

void copy_row_in(pixel_t* layer, pixel_t* store, int y) {
  std::copy_n(stored_row(store, y), region_width(y), layer + y * SCREEN_W + widgets.tape_memo.span_lo[y]);
}

void copy_row_out(const pixel_t* layer, pixel_t* store, int y) {
  std::copy_n(layer + y * SCREEN_W + widgets.tape_memo.span_lo[y], region_width(y), stored_row(store, y));
}

bool row_matches(const pixel_t* layer, pixel_t* store, int y) {
  const pixel_t* p = layer + y * SCREEN_W + widgets.tape_memo.span_lo[y];
  return std::equal(p, p + region_width(y), stored_row(store, y));
}

// Draws the lines, redrawing only what changed since the last frame. A screen row whose pixels
// before the lines and whose lines within reach are those of the last frame comes out as it did
// then, and is copied; the others are drawn by every line that reaches them, in the usual order.
// Those lines also touch neighbouring rows, which the copy then puts right.
void draw_tape_lines(pixel_t* layer, const tape_row_colours* rows) {
  tape_memo_state& m = widgets.tape_memo;
  for (int y = m.row_first; y < m.row_end; ++y) mark_written(layer, m.span_lo[y], y, m.span_hi[y], y);
  m.rows_drawn = 0;
  if (m.pixels == 0 || m.valid == 0) {
    if (m.pixels != 0) {
      for (int y = m.row_first; y < m.row_end; ++y) copy_row_out(layer, m.before, y);
    }
    for (int i = 0; i < TAPE_ROWS; ++i) {
      if (rows[i].drawn) draw_tape_row(layer, i, rows[i]);
      m.rows_drawn += rows[i].drawn;
    }
    if (m.pixels == 0) return;
    for (int y = m.row_first; y < m.row_end; ++y) copy_row_out(layer, m.after, y);
    for (int i = 0; i < TAPE_ROWS; ++i) m.rows[i] = rows[i];
    m.valid = 1;
    return;
  }
  bool redo[SCREEN_H] = {};
  bool any = false;
  for (int y = m.row_first; y < m.row_end; ++y) {
    if (region_width(y) > 0 && !row_matches(layer, m.before, y)) {
      redo[y] = true;
      any = true;
      copy_row_out(layer, m.before, y);
    }
  }
  for (int i = 0; i < TAPE_ROWS; ++i) {
    if (rows[i] == m.rows[i]) continue;
    for (int y = reach_first(i); y <= reach_last(i); ++y) {
      redo[y] = true;
      any = true;
    }
  }
  if (!any) {
    for (int y = m.row_first; y < m.row_end; ++y) copy_row_in(layer, m.after, y);
    m.replays += 1;
    return;
  }
  for (int i = 0; i < TAPE_ROWS; ++i) {
    if (!rows[i].drawn) continue;
    bool needed = false;
    for (int y = reach_first(i); !needed && y <= reach_last(i); ++y) needed = redo[y];
    if (!needed) continue;
    draw_tape_row(layer, i, rows[i]);
    m.rows_drawn += 1;
  }
  for (int y = m.row_first; y < m.row_end; ++y) {
    if (redo[y]) {
      copy_row_out(layer, m.after, y);
    } else {
      copy_row_in(layer, m.after, y);
    }
  }
  for (int i = 0; i < TAPE_ROWS; ++i) m.rows[i] = rows[i];
}

}  // namespace

void airspeed_tape_init() {
  for (int i = 0; i < TAPE_ROWS; ++i) {
    const int d = i - 75;
    widgets.tape_outer_x[i] = 160.0f - std::sqrt(static_cast<float>(11449 - d * d));
    widgets.tape_inner_x[i] = 160.0f - std::sqrt(static_cast<float>(10816 - d * d));
  }
  widgets.airspeed_above_vso = 0;
  tape_memo_init();
}

void draw_airspeed_tape(pixel_t* layer, pixel_t lc) {
  kept_caption(widgets.tape_caption, layer, font_for_size(10), 32, 115, lc, "IAS");
  {
    const int font = font_for_size(10);
    const char* units = cfg_get_byte(CFG_IAS_UNITS) == 1 ? "mph" : "kts";
    kept_key key;
    key.add_int(font).add(lc).add_text(units);
    draw_kept(&widgets.tape_units, layer, key,
              [&] { draw_text_centred(layer, SCREEN_W, SCREEN_H, font, 30, 158, lc, units); });
  }
  copy_catalogue_image(layer, IMG_POPUP_BOX, 2, 121);
  flush_display();

  // With no usable speed the tape stands as for a standing aircraft and the latch is not touched.
  int v = 0;
  const bool have_speed = tape_speed(v);
  widgets.displayed_airspeed = v;
  const int vso = cfg_get(CFG_IAS_VSO);
  if (have_speed && v > vso) widgets.airspeed_above_vso = 1;

  const bool vintage = cfg_get_byte(CFG_UI_STYLE) == 2;
  const pixel_t warning = vintage ? COLOUR_DARK_RED : COLOUR_RED;
  const pixel_t caution = vintage ? COLOUR_OLIVE : COLOUR_YELLOW;
  const pixel_t flap = vintage ? COLOUR_LIGHT_GREY : COLOUR_WHITE;
  const int vs1 = cfg_get(CFG_IAS_VS1);
  const int vfe = cfg_get(CFG_IAS_VFE);
  const int vno = cfg_get(CFG_IAS_VNO);
  const int vne = cfg_get(CFG_IAS_VNE);

  pixel_t readout = COLOUR_WHITE;
  tape_row_colours rows[TAPE_ROWS];
  for (int i = 0; i < TAPE_ROWS; ++i) {
    const int y = tape_screen_row(i);
    // Wide enough that a speed near the top of the int range still counts rows correctly.
    const long long s = static_cast<long long>(v) - 75 + i;
    pixel_t band = warning;
    bool warns = true;
    if (s < vso) {
      warns = widgets.airspeed_above_vso != 0 && v != 0;
      band = warns ? warning : COLOUR_DARK_GREY;
    } else if (s < vno) {
      band = COLOUR_DARK_GREEN;
      warns = false;
    } else if (s < vne) {
      band = caution;
      warns = false;
      if (y == 142) readout = COLOUR_YELLOW;
    }
    // Red only for a warning band under a moving aircraft; the other bands keep the readout white.
    if (y == 142 && warns && v != 0) readout = COLOUR_RED;
    rows[i] = tape_row_colours{};
    if (y <= TAPE_LINES_BELOW) continue;
    const int alpha = std::clamp(8 * y - 600, 0, 255);
    rows[i].drawn = 1;
    rows[i].band = with_alpha(band, alpha);
    if (vs1 < s && s < vfe) {
      rows[i].flap_drawn = 1;
      rows[i].flap = with_alpha(flap, alpha);
    }
  }
  draw_tape_lines(layer, rows);

  const bool demo_one = cfg_get_byte(CFG_DEMO_MODE) == 1;
  const int big = font_for_size(25);
  if (demo_one || (have_speed && v >= 35 && v <= 400)) {
    char* cursor = widgets.airspeed_text;
    append_int(v, cursor);
    *cursor = '\0';
    const int dx = v >= 100 ? 5 : 0;
    value_right_kept(widgets.tape_readout_glyphs, layer, big, 46 + dx, 124, readout, widgets.airspeed_text);
    draw_hspan(layer, SCREEN_W, SCREEN_H, 53, 62, 137, COLOUR_WHITE);
    draw_hspan(layer, SCREEN_W, SCREEN_H, 53, 62, 138, COLOUR_WHITE);
    draw_hspan(layer, SCREEN_W, SCREEN_H, 53, 62, 139, COLOUR_DARK_GREY);
    draw_hspan(layer, SCREEN_W, SCREEN_H, 54, 63, 140, COLOUR_SHADOW);
  } else {
    std::strcpy(widgets.airspeed_text, "---");
    draw_text_kept(widgets.tape_readout_glyphs[1], READOUT_GLYPHS, layer, big, 45 - text_width(big, "---"), 122,
                   COLOUR_WHITE, "---");
  }
}

void draw_g_meter(pixel_t* top, pixel_t* base, pixel_t lc, int side) {
  // Horizontal extent of the ticks 0, 8, 16 ... 48 rows above and below the centre row.
  static constexpr int tick_a[7] = {0, 1, 2, 4, 6, 10, 15};
  static constexpr int tick_b[7] = {9, 10, 12, 17, 22, 28, 35};

  const float g = cfg_get_byte(CFG_DEMO_MODE) == 1 ? demo_get_g() : read_sensor_g();
  pixel_t colour = COLOUR_GOLD;
  int pointer = IMG_DOT_WHITE;
  if (get_alert_flag(ALERT_G_100)) {
    colour = COLOUR_RED;
    pointer = IMG_DOT_RED;
  } else if (get_alert_flag(ALERT_G_90) || get_alert_flag(ALERT_G_80)) {
    colour = COLOUR_YELLOW;
    pointer = IMG_DOT_ORANGE;
  }
  const int sh = side == 1 && fields.field_hosts_baro != 0 && altitude_box_wide() ? -9 : 0;

  if (side == 0) {
    kept_caption(widgets.g_captions[0], base, 5, 99, 205, lc, "GL");
    for (int k = 0; k < 7; ++k) {
      draw_hspan(base, SCREEN_W, SCREEN_H, 65 + tick_a[k], 65 + tick_b[k], 140 - 8 * k, colour);
      draw_hspan(base, SCREEN_W, SCREEN_H, 65 + tick_a[k], 65 + tick_b[k], 140 + 8 * k, colour);
    }
    draw_hspan(base, SCREEN_W, SCREEN_H, 62, 78, 139, colour);
    draw_hspan(base, SCREEN_W, SCREEN_H, 61, 79, 140, colour);
    draw_hspan(base, SCREEN_W, SCREEN_H, 62, 78, 141, colour);
  } else {
    kept_caption(widgets.g_captions[1], base, 5, 222, 205, lc, "GL");
    for (int k = 0; k < 7; ++k) {
      draw_hspan(base, SCREEN_W, SCREEN_H, 255 + sh - tick_b[k], 255 + sh - tick_a[k], 140 - 8 * k, colour);
      draw_hspan(base, SCREEN_W, SCREEN_H, 255 + sh - tick_b[k], 255 + sh - tick_a[k], 140 + 8 * k, colour);
    }
    draw_hspan(base, SCREEN_W, SCREEN_H, 240 + sh, 255 + sh, 139, colour);
    draw_hspan(base, SCREEN_W, SCREEN_H, 239 + sh, 256 + sh, 140, colour);
    draw_hspan(base, SCREEN_W, SCREEN_H, 240 + sh, 255 + sh, 141, colour);
  }

  // A load factor that is not a number has no place on the scale: the meter stands without its
  // pointer, as the trend scale does without a vertical speed.
  if (std::isnan(g)) return;
  const float e = std::clamp(g, -8.0f, 8.0f) - 1.0f;
  const float p = std::clamp(-47.0f * std::clamp(e, -1.0f, 1.0f), -56.0f, 56.0f);
  const float r = std::sqrt(5625.0f - p * p);
  const float cx = side == 0 ? 149.0f - r : 170.0f + static_cast<float>(sh) + r;
  draw_pointer(top, side == 0 ? 0 : 1, g_pointer_scratch, 20, 20, pointer, cx - 8.0f, 140.0f + p - 7.0f);
}

int altitude_box_wide() { return widgets.altitude_box_wide; }

void draw_altitude_box(pixel_t* layer, pixel_t lc) {
  kept_caption(widgets.altitude_caption, layer, font_for_size(10), 290, 114, lc, "ALT");
  widgets.altitude_box_wide = widgets.altitude_thousands >= 10 ? 1 : 0;
  copy_catalogue_image(layer, widgets.altitude_box_wide ? IMG_ALT_BOX_WIDE : IMG_ALT_BOX_NARROW, 247, 122);
  flush_display();

  int a = 0;
  if (cfg_get_byte(CFG_DEMO_MODE) == 1) {
    a = demo_get_baro_alt();
  } else if (altitude_valid()) {
    a = read_baro_altitude();
  } else {
    std::strcpy(widgets.altitude_thousands_text, "---");
    widgets.altitude_rest_text[0] = '\0';
    kept_key key;
    key.add_int(2).add_int(font_for_size(25));
    draw_kept(&widgets.altitude_thousands_kept, layer, key,
              [&] { draw_text(layer, SCREEN_W, SCREEN_H, font_for_size(25), 277, 122, COLOUR_WHITE, "---"); });
    return;
  }
  // In unsigned arithmetic, so that the most negative altitude has a magnitude too.
  const unsigned m = a < 0 ? 0u - static_cast<unsigned>(a) : static_cast<unsigned>(a);
  const int k = static_cast<int>(m / 1000u);
  const int rest = static_cast<int>(m % 1000u);
  widgets.altitude_thousands = k;

  char* cursor = widgets.altitude_thousands_text;
  if (a < 0) *cursor++ = '-';
  append_int(k, cursor);
  *cursor = '\0';
  kept_key key;
  key.add_int(1).add_int(font_for_size(25)).add_text(widgets.altitude_thousands_text);
  draw_kept(&widgets.altitude_thousands_kept, layer, key,
            [&] { value_right(layer, font_for_size(25), 279, 124, COLOUR_WHITE, widgets.altitude_thousands_text); });

  // Tens of feet rest at zero: the box shows hundreds and tens, the last digit always 0.
  widgets.altitude_rest_text[0] = static_cast<char>('0' + rest / 100);
  widgets.altitude_rest_text[1] = static_cast<char>('0' + rest / 10 % 10);
  widgets.altitude_rest_text[2] = '0';
  widgets.altitude_rest_text[3] = '\0';
  value_right_kept(widgets.altitude_rest_glyphs, layer, font_for_size(20), 317, 124, COLOUR_WHITE,
                   widgets.altitude_rest_text);
}

void draw_vertical_trend(pixel_t* top, pixel_t* base, pixel_t lc) {
  const int s = fields.field_hosts_baro != 0 && altitude_box_wide() ? 0 : 10;
  int v = 0;
  bool have_speed = true;
  if (cfg_get_byte(CFG_DEMO_MODE) == 1) {
    v = demo_get_vs();
  } else {
    have_speed = truncate_reading(read_vertical_speed(), v);
  }
  const pixel_t colour = cfg_get_byte(CFG_UI_STYLE) == 2 ? COLOUR_GOLD : COLOUR_GREY;
  kept_caption(widgets.trend_caption, base, 5, 219, 205, lc, "VT");
  for (int o = -50; o <= 50; o += 10) {
    const int cx = 165 + static_cast<int>(std::sqrt(static_cast<float>(5625 - o * o)));
    draw_hspan(base, SCREEN_W, SCREEN_H, cx - 5 + s, cx + 5 + s, 140 + o, colour);
  }
  draw_hspan(base, SCREEN_W, SCREEN_H, 231 + s, 245 + s, 139, colour);
  draw_hspan(base, SCREEN_W, SCREEN_H, 230 + s, 246 + s, 140, colour);
  draw_hspan(base, SCREEN_W, SCREEN_H, 231 + s, 245 + s, 141, colour);

  if (!vertical_speed_valid() || !have_speed) return;
  const float p = std::clamp(static_cast<float>(v) * -0.05f, -50.0f, 50.0f);
  const float x = 165.0f + std::sqrt(5625.0f - p * p) - 15.0f + static_cast<float>(s);
  draw_pointer(top, 2, trend_pointer_scratch, 22, 15, IMG_TREND_POINTER, x, 140.0f + p - 3.0f);
}
