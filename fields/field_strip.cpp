#include "fields/field_strip.h"

#include <algorithm>
#include <cmath>

#include "attitude/alerts.h"
#include "core/demo.h"
#include "core/firmware.h"
#include "core/modes.h"
#include "core/platform.h"
#include "fields/popups.h"
#include "fields/widgets.h"
#include "gfx/banner.h"
#include "gfx/images.h"
#include "gfx/text.h"
#include "nav/compact_heading.h"
#include "nav/nav_page.h"
#include "serial/gps_data.h"
#include "settings/settings.h"

field_strip_state field_strip;

void field_strip_power_on() { field_strip = field_strip_state{}; }

namespace {

struct slot_place {
  int x;
  int y;
};
constexpr slot_place kAiSlots[AI_SLOTS] = {{90, 190}, {35, 180},  {30, 119},  {40, 70},  {157, 46},
                                           {280, 70}, {288, 118}, {280, 180}, {230, 190}};
constexpr slot_place kDgSlots[DG_SLOTS] = {{35, 180}, {25, 140},  {115, 70}, {158, 30},
                                           {210, 70}, {290, 140}, {280, 180}};
constexpr int kAiOrder[AI_SLOTS] = {4, 1, 0, 2, 3, 5, 6, 7, 8};
constexpr int kDgOrder[DG_SLOTS] = {3, 0, 1, 2, 4, 5, 6};

// Knots to miles per hour.
constexpr float kMphPerKnot = 1.15078f;

const char* const kCaptions[FIELD_ID_COUNT] = {
    "",    "",     "",    "",     "",    "",     "",     "",     "",      "IAS",  "ALT",
    "",    "VT",   "GL",  "GL",   "HDG", "BUSV", "SALT", "VS",   "GLOAD", "",     "OAT*C",
    "TAS", "DALT", "WPT", "DIST", "GS",  "TRK",  "XTE",  "DTRK", "BRG",   "BARO",
};

// ---- Numbers

// A reading as a whole number, truncated; false for a reading that is not a finite number or lies
// outside the int range, which counts as no reading at all.
bool truncate_to_int(float v, int* out) {
  if (!std::isfinite(v) || !(v > -2147483648.0f && v < 2147483648.0f)) {
    return false;
  }
  *out = static_cast<int>(v);
  return true;
}

bool finite_in_range(float v) {
  int unused = 0;
  return truncate_to_int(v, &unused);
}

// The tenths of |v| counted in integers: a float's fraction times ten truncated would show 2.3
// as 2.2. The small epsilon lifts values a hair below a tenth; truncation stays (99.95 shows 99.9).
bool tenths_of(float v, int* n) {
  const float scaled = std::fabs(v) * 10.0f + 0.001f;
  return truncate_to_int(scaled, n);
}

// append_int leaves the text unterminated; every text here ends where its number ends.
void put_int(int v, char*& cursor) {
  append_int(v, cursor);
  *cursor = '\0';
}

void append_padded3(int v, char*& cursor) {
  if (v < 100) *cursor++ = '0';
  if (v < 10) *cursor++ = '0';
  put_int(v, cursor);
}

// "int.digit" from a count of tenths.
void append_tenths(int n, char*& cursor) {
  put_int(n / 10, cursor);
  *cursor++ = '.';
  put_int(n % 10, cursor);
}

// ---- Drawing helpers; each text drawn is recorded for the snapshots.

void record_text(const char* text) {
  drawn_field* d = field_strip.current;
  if (d == nullptr || d->text_count >= 2) return;
  char* out = d->texts[d->text_count];
  int i = 0;
  for (; i < FIELD_TEXT_SIZE - 1 && text[i] != '\0'; ++i) out[i] = text[i];
  out[i] = '\0';
  d->text_count += 1;
}

void text_centred(pixel_t* layer, int font, int x, int y, pixel_t colour, const char* text) {
  draw_text_centred(layer, SCREEN_W, SCREEN_H, font, x, y, colour, text);
}

void text_right(pixel_t* layer, int font, int x, int y, pixel_t colour, const char* text) {
  draw_text_right(layer, SCREEN_W, SCREEN_H, font, x, y, colour, text);
}

// What each kept group of a slot draws, the first word of its key.
enum kept_shape : int {
  SHAPE_CAPTION = 1,
  SHAPE_VALUE,
  SHAPE_INVALID,
  SHAPE_SPLIT_ALTITUDE,
  SHAPE_VERTICAL_SPEED,
  SHAPE_BARO,
};

// The key of a slot's group: its shape, the layer's place and the colour of the slot's value.
kept_key slot_key(const field_draw_context* c, int shape) {
  kept_key k;
  k.add_int(shape).add_int(c->x).add_int(c->y).add(c->colour_value);
  return k;
}

field_kept* slot_kept(const field_draw_context* c) {
  return c->slot >= 0 && c->slot < FIELD_KEPT_SLOTS ? &field_strip.kept[c->slot] : nullptr;
}

kept_area<FIELD_VALUE_KEPT>* value_area(const field_draw_context* c) {
  field_kept* k = slot_kept(c);
  return k != nullptr ? &k->value : nullptr;
}

void draw_caption(field_draw_context* c, const char* caption) {
  const int dx = field_caption_offset(c->x, c->y);
  const int font = font_for_size(10);
  kept_key key = slot_key(c, SHAPE_CAPTION);
  key.add_int(font).add(c->colour_label).add_text(caption);
  field_kept* k = slot_kept(c);
  draw_kept(k != nullptr ? &k->caption : nullptr, c->top_layer, key, [&] {
    text_centred(c->top_layer, font, c->x + dx + 1, c->y + 1, COLOUR_SHADOW, caption);
    text_centred(c->top_layer, font, c->x + dx, c->y, c->colour_label, caption);
  });
}

// The usual value place: centred under the caption, with its shadow.
void draw_value(field_draw_context* c, const char* text, pixel_t shadow = COLOUR_SHADOW) {
  kept_key key = slot_key(c, SHAPE_VALUE);
  key.add_int(c->value_font).add(shadow).add_text(text);
  record_text(text);
  draw_kept(value_area(c), c->top_layer, key, [&] {
    text_centred(c->top_layer, c->value_font, c->x + 1, c->y + 19, shadow, text);
    text_centred(c->top_layer, c->value_font, c->x, c->y + 18, c->colour_value, text);
  });
}

// "---" for a reading that is not valid, centred at (x + dx, y + 18) with its shadow.
void draw_invalid(field_draw_context* c, int dx, int font) {
  kept_key key = slot_key(c, SHAPE_INVALID);
  key.add_int(dx).add_int(font);
  record_text("---");
  draw_kept(value_area(c), c->top_layer, key, [&] {
    text_centred(c->top_layer, font, c->x + dx + 1, c->y + 19, COLOUR_SHADOW, "---");
    text_centred(c->top_layer, font, c->x + dx, c->y + 18, c->colour_value, "---");
  });
}

void draw_invalid_large(field_draw_context* c, int dx = 5) { draw_invalid(c, dx, font_for_size(20)); }

bool demo_one() { return cfg_get_byte(CFG_DEMO_MODE) == 1; }
bool demo_any() { return cfg_get_byte(CFG_DEMO_MODE) != 0; }

// ---- Value rules

// Heading-type values (HDG, TRK, DTRK, BRG): truncated, wrapped into 0..360, three digits.
bool draw_track_value(field_draw_context* c, float v) {
  int whole = 0;
  if (!truncate_to_int(v, &whole)) return false;
  const float wrapped = wrap_value(static_cast<float>(whole), 360.0f);
  int shown = 0;
  if (!truncate_to_int(wrapped, &shown)) return false;
  char* p = field_strip.scratch;
  *p = '\0';
  if (shown < 0) {  // a reading so far below zero that one wrap cannot bring it round
    return false;
  }
  append_padded3(shown, p);
  draw_value(c, field_strip.scratch);
  return true;
}

// Thousands large and hundreds small, for the selected and the density altitude. Below zero but
// above -1000 the thousands read "-0", so that -500 is not shown as 500.
void draw_split_altitude(field_draw_context* c, int a) {
  const int k = a / 1000;
  const long long diff = static_cast<long long>(a) - 1000LL * k;
  const int rest = static_cast<int>(diff < 0 ? -diff : diff);
  const int h = rest / 100 * 100;
  int s = 0;
  char* p = field_strip.scratch;
  *p = '\0';
  if (k >= 10) {
    s = 5;
  } else if (k == 0 && rest != 0 && a < 0) {
    *p++ = '-';
    s = 5;
  }
  put_int(k, p);
  char hundreds[FIELD_TEXT_SIZE];
  p = hundreds;
  *p = '\0';
  append_padded3(h, p);
  record_text(field_strip.scratch);
  record_text(hundreds);
  const int big = font_for_size(20);
  const int small = font_for_size(14);
  kept_key key = slot_key(c, SHAPE_SPLIT_ALTITUDE);
  key.add_int(s).add_int(big).add_int(small).add_text(field_strip.scratch).add_text(hundreds);
  draw_kept(value_area(c), c->top_layer, key, [&] {
    text_right(c->top_layer, big, c->x + s - 6, c->y + 8, COLOUR_SHADOW_SOFT, field_strip.scratch);
    text_right(c->top_layer, big, c->x + s - 7, c->y + 7, c->colour_value, field_strip.scratch);
    text_right(c->top_layer, small, c->x + s + 19, c->y + 8, COLOUR_SHADOW_SOFT, hundreds);
    text_right(c->top_layer, small, c->x + s + 18, c->y + 7, c->colour_value, hundreds);
  });
}

// ---- Draw operations, one per id

void draw_nothing(field_draw_context*) {}

void draw_compact_gps(field_draw_context* c) {
  compact_heading_draw(c->top_layer, c->base_layer, 1);
  fields.field_hosts_hdg_bug = 1;
}

void draw_compact_dg(field_draw_context* c) {
  compact_heading_draw(c->top_layer, c->base_layer, 0);
  fields.field_hosts_hdg_bug = 1;
  fields.field_hosts_dg_adjust = 1;
}

// The heading-picture selectors only choose what the heading page draws; their captions show
// while the editor's frame sits on the heading slot.
void select_heading_picture(field_draw_context* c, int style, int source, const char* line1, const char* line2) {
  set_nav_page_style(style);
  set_nav_page_source(source);
  fields.field_hosts_hdg_bug = 1;
  if (modes.menu_active && modes.selected_slot == 3) {
    const int font = font_for_size(10);
    text_centred(c->top_layer, font, c->x, c->y + 5, c->colour_label, line1);
    text_centred(c->top_layer, font, c->x, c->y + 18, c->colour_label, line2);
  }
}

void draw_hdg_rose(field_draw_context* c) {
  select_heading_picture(c, NAV_STYLE_ROSE, NAV_SOURCE_HEADING, "HDG", "ROSE");
  fields.field_hosts_dg_adjust = 1;
}
void draw_gps_hsi(field_draw_context* c) { select_heading_picture(c, NAV_STYLE_HSI, NAV_SOURCE_GPS, "GPS", "HSI"); }
void draw_gps_arc(field_draw_context* c) { select_heading_picture(c, NAV_STYLE_ARC, NAV_SOURCE_GPS, "GPS", "ARC"); }

void draw_ias(field_draw_context* c) { draw_airspeed_tape(c->top_layer, c->colour_label); }

void draw_baro_alt(field_draw_context* c) {
  draw_altitude_box(c->top_layer, c->colour_label);
  fields.field_hosts_baro = 1;  // also while it shows "---": the setting can still be changed
}

void draw_aoa(field_draw_context* c) { draw_aoa_indexer(c->top_layer, c->base_layer, c->colour_label); }

void draw_v_trend(field_draw_context* c) { draw_vertical_trend(c->top_layer, c->base_layer, c->colour_label); }

void draw_g_left(field_draw_context* c) { draw_g_meter(c->top_layer, c->base_layer, c->colour_label, 0); }
void draw_g_right(field_draw_context* c) { draw_g_meter(c->top_layer, c->base_layer, c->colour_label, 1); }

void draw_hdg(field_draw_context* c) {
  draw_caption(c, "HDG");
  float h = 0.0f;
  // The gyro heading as the heading page sees it: a heading that is not valid shows no number.
  if (!gyro_heading(h) || !draw_track_value(c, h)) {
    draw_invalid_large(c);
  }
}

void draw_bus_volts(field_draw_context* c) {
  draw_caption(c, "BUSV");
  const float v = read_bus_volts();
  int n = 0;
  if (!tenths_of(v, &n)) {
    draw_invalid_large(c);
    return;
  }
  char* p = field_strip.scratch;
  *p = '\0';
  if (v < 0.0f && n != 0) *p++ = '-';
  append_tenths(n, p);
  draw_value(c, field_strip.scratch);
}

void draw_set_alt(field_draw_context* c) {
  draw_caption(c, "SALT");
  fields.field_hosts_set_alt = 1;
  draw_split_altitude(c, selected_altitude());
}

void draw_vert_spd(field_draw_context* c) {
  draw_caption(c, "VS");
  float v = 0.0f;
  if (demo_one()) {
    v = static_cast<float>(demo_get_vs());
  } else if (vertical_speed_valid() && finite_in_range(read_vertical_speed())) {
    v = read_vertical_speed();
  } else {
    draw_invalid_large(c);
    return;
  }
  if (v > -100.0f && v < 100.0f) v = 0.0f;
  char* p = field_strip.scratch;
  *p = '\0';
  if (v > 0.0f) {
    *p++ = '+';
  } else if (v < 0.0f) {
    *p++ = '-';
    v = -v;
  }
  const int r = static_cast<int>(v / 10.0f) * 10;
  const int k = r / 1000;
  const int big = font_for_size(20);
  put_int(k <= 0 ? r : k, p);
  record_text(field_strip.scratch);
  char hundreds[FIELD_TEXT_SIZE] = "";
  if (k > 0) {
    p = hundreds;
    append_padded3((r - 1000 * k) / 100 * 100, p);
    record_text(hundreds);
  }
  const int small = font_for_size(14);
  kept_key key = slot_key(c, SHAPE_VERTICAL_SPEED);
  key.add_int(big).add_int(small).add_text(field_strip.scratch).add_text(hundreds);
  draw_kept(value_area(c), c->top_layer, key, [&] {
    if (k <= 0) {
      text_centred(c->top_layer, big, c->x + 1, c->y + 19, COLOUR_SHADOW, field_strip.scratch);
      text_centred(c->top_layer, big, c->x, c->y + 18, c->colour_value, field_strip.scratch);
    } else {
      text_centred(c->top_layer, big, c->x - 14, c->y + 19, COLOUR_SHADOW, field_strip.scratch);
      text_centred(c->top_layer, big, c->x - 15, c->y + 18, c->colour_value, field_strip.scratch);
      text_centred(c->top_layer, small, c->x + 9, c->y + 17, COLOUR_SHADOW, hundreds);
      text_centred(c->top_layer, small, c->x + 8, c->y + 16, c->colour_value, hundreds);
    }
  });
}

void draw_gload(field_draw_context* c) {
  draw_caption(c, "GLOAD");
  const float g = demo_one() ? demo_get_g() : read_sensor_g();
  int tenths = 0;
  if (!truncate_to_int(std::roundf(g * 10.0f), &tenths)) {
    draw_invalid_large(c);
    return;
  }
  char* p = field_strip.scratch;
  *p = '\0';
  if (tenths > 0) *p++ = '+';
  if (tenths < 0) *p++ = '-';
  append_tenths(tenths < 0 ? -tenths : tenths, p);
  draw_value(c, field_strip.scratch);
}

void draw_oat(field_draw_context* c) {
  const bool fahrenheit = cfg_get_byte(CFG_TEMP_UNITS) == 1;
  draw_caption(c, fahrenheit ? "OAT*F" : "OAT*C");
  float t = 0.0f;
  if (demo_any()) {
    t = demo_get_oat();
  } else if (oat_sensor_fitted() && oat_valid()) {
    t = read_oat();
  } else {
    draw_invalid(c, 5, c->value_font);
    return;
  }
  if (fahrenheit) t = t * 1.8f + 32.0f;
  int n = 0;
  if (!truncate_to_int(std::roundf(t), &n)) {
    draw_invalid(c, 5, c->value_font);
    return;
  }
  char* p = field_strip.scratch;
  *p = '\0';
  if (n > 0) *p++ = '+';
  put_int(n, p);
  draw_value(c, field_strip.scratch, COLOUR_SHADOW_SOFT);
}

void draw_tas(field_draw_context* c) {
  draw_caption(c, "TAS");
  float v = 0.0f;
  if (demo_any()) {
    v = demo_get_tas();
  } else if (true_airspeed_valid()) {
    v = read_true_airspeed();
  } else {
    draw_invalid(c, 5, c->value_font);
    return;
  }
  if (cfg_get_byte(CFG_IAS_UNITS) == 1) v *= kMphPerKnot;
  int n = 0;
  if (!truncate_to_int(v, &n)) {
    draw_invalid(c, 5, c->value_font);
    return;
  }
  char* p = field_strip.scratch;
  *p = '\0';
  put_int(n, p);
  draw_value(c, field_strip.scratch);
}

void draw_dalt(field_draw_context* c) {
  draw_caption(c, "DALT");
  float v = 0.0f;
  if (demo_any()) {
    v = demo_get_baro_alt_float();
  } else if (density_altitude_valid()) {
    v = read_density_altitude();
  } else {
    draw_invalid_large(c);
    return;
  }
  int a = 0;
  if (!truncate_to_int(std::roundf(v / 100.0f) * 100.0f, &a)) {
    draw_invalid_large(c);
    return;
  }
  draw_split_altitude(c, a);
}

void draw_wpt(field_draw_context* c) {
  draw_caption(c, "WPT");
  const char* id = nullptr;
  if (demo_any()) {
    id = demo_get_wpt_id();
  } else if (gps_wpt_valid()) {
    id = get_gps_waypoint_id();
  }
  if (id == nullptr) {
    draw_invalid_large(c);
    return;
  }
  int i = 0;
  for (; i < 5 && id[i] != '\0'; ++i) field_strip.scratch[i] = id[i];
  field_strip.scratch[i] = '\0';
  draw_value(c, field_strip.scratch);
}

void draw_dist(field_draw_context* c) {
  draw_caption(c, "DIST");
  float v = 0.0f;
  if (demo_any()) {
    v = demo_get_wpt_dist();
  } else if (gps_distance_valid()) {
    v = get_gps_distance();
  } else {
    draw_invalid_large(c, 0);
    return;
  }
  char* p = field_strip.scratch;
  *p = '\0';
  int n = 0;
  if (v >= 100.0f) {
    if (!truncate_to_int(v, &n)) {
      draw_invalid_large(c, 0);
      return;
    }
    put_int(n, p);
  } else {
    if (!tenths_of(v, &n)) {
      draw_invalid_large(c, 0);
      return;
    }
    if (v < 0.0f && n != 0) *p++ = '-';
    append_tenths(n, p);
  }
  draw_value(c, field_strip.scratch);
}

void draw_gs(field_draw_context* c) {
  draw_caption(c, "GS");
  float v = 0.0f;
  if (demo_any()) {
    v = demo_get_ground_speed();
  } else if (gps_speed_valid()) {
    v = static_cast<float>(get_gps_ground_speed());
  } else {
    draw_invalid_large(c);
    return;
  }
  int n = 0;
  if (!truncate_to_int(v, &n)) {
    draw_invalid_large(c);
    return;
  }
  if (cfg_get_byte(CFG_IAS_UNITS) == 1) {
    if (!truncate_to_int(static_cast<float>(n) * kMphPerKnot, &n)) {
      draw_invalid_large(c);
      return;
    }
  }
  char* p = field_strip.scratch;
  *p = '\0';
  put_int(n, p);
  draw_value(c, field_strip.scratch);
}

// The GPS track-type fields: demo reader or live getter, then the heading rule.
void draw_gps_track_type(field_draw_context* c, const char* caption, float (*demo_reader)(), bool (*valid)(),
                         float (*getter)()) {
  draw_caption(c, caption);
  float v = 0.0f;
  if (demo_any()) {
    v = demo_reader();
  } else if (valid()) {
    v = getter();
  } else {
    draw_invalid_large(c);
    return;
  }
  if (!draw_track_value(c, v)) draw_invalid_large(c);
}

void draw_trk(field_draw_context* c) { draw_gps_track_type(c, "TRK", demo_get_track, gps_track_valid, get_gps_track); }
void draw_dtrk(field_draw_context* c) {
  draw_gps_track_type(c, "DTRK", demo_get_dtk, gps_dtk_valid, get_gps_desired_track);
}
void draw_brg(field_draw_context* c) {
  draw_gps_track_type(c, "BRG", demo_get_bearing, gps_bearing_valid, get_gps_bearing);
}

void draw_xte(field_draw_context* c) {
  draw_caption(c, "XTE");
  float v = 0.0f;
  if (demo_any()) {
    v = demo_get_xte();
  } else if (gps_xte_valid()) {
    v = get_gps_xte();
  } else {
    draw_invalid_large(c);
    return;
  }
  int n = 0;
  if (!tenths_of(v, &n)) {
    draw_invalid_large(c);
    return;
  }
  char* p = field_strip.scratch;
  *p = '\0';
  append_tenths(n, p);
  draw_value(c, field_strip.scratch);
}

void draw_baro(field_draw_context* c) {
  draw_caption(c, "BARO");
  const float v = read_baro_setting();
  // Grey until the pilot has set it or the altitude data confirm it.
  if (!baro_set_since_start() && !altitude_valid()) {
    c->colour_value = COLOUR_GREY;
  }
  char* p = field_strip.scratch;
  *p = '\0';
  int n = 0;
  if (cfg_get_byte(CFG_BARO_UNITS) == 1) {
    if (!truncate_to_int(v, &n)) {
      draw_invalid_large(c);
      return;
    }
    if (n < 1000) *p++ = '0';
    put_int(n, p);
    field_strip.scratch[4] = '\0';
  } else {
    if (!truncate_to_int(v * 100.0f, &n) || n < 0) {
      draw_invalid_large(c);
      return;
    }
    char digits[FIELD_TEXT_SIZE];
    char* d = digits;
    if (n < 100) *d++ = '0';  // at least one digit before the point
    if (n < 10) *d++ = '0';
    put_int(n, d);
    const int len = string_length(digits);
    for (int i = 0; i < len; ++i) {
      if (i == len - 2) *p++ = '.';
      *p++ = digits[i];
    }
    *p = '\0';
    field_strip.scratch[5] = '\0';
  }
  record_text(field_strip.scratch);
  kept_key key = slot_key(c, SHAPE_BARO);
  key.add_int(c->value_font).add_text(field_strip.scratch);
  draw_kept(value_area(c), c->top_layer, key, [&] {
    text_centred(c->top_layer, c->value_font, c->x + 1, c->y + 18, COLOUR_SHADOW_SOFT, field_strip.scratch);
    text_centred(c->top_layer, c->value_font, c->x, c->y + 18, c->colour_value, field_strip.scratch);
  });
}

// ---- The selection frame

struct frame_choice {
  int image;
  int x;
  int y;
};

frame_choice selection_frame(int unit, int slot, int x, int y) {
  if (unit == 0) {
    if (slot == 2) return {IMG_FIELD_FRAME_SMALL, x - 32, y - 12};
    if (slot == 6) return {IMG_FIELD_FRAME_SMALL, x - 25, y - 12};
    if (slot == 0) return {IMG_FIELD_FRAME_TALL, 53, 75};
    if (slot == 8) return {IMG_FIELD_FRAME_TAPE, 196, 75};
  }
  return {IMG_FIELD_FRAME_WIDE, x - 27, y - 12};
}

// Blends an image into a layer over itself, clipped to the layer: the frames of the slots near
// the left edge start left of column 0, where the unclipped blend would write into the row above.
// Row by row through blend_image, which mixes each pixel by its alpha exactly as mix_colour does.
void blend_clipped(pixel_t* layer, int entry, int x, int y) {
  const image_ref img = image_lookup(entry);
  if (img.pixels == nullptr) return;
  const int i0 = std::max(0, -x);
  const int i1 = std::min(img.width, SCREEN_W - x);
  if (i0 >= i1) return;
  for (int j = 0; j < img.height; ++j) {
    const int row = y + j;
    if (row < 0 || row >= SCREEN_H) continue;
    blend_image(layer, img.pixels + j * img.width + i0, layer, SCREEN_W, SCREEN_H, x + i0, row, i1 - i0, 1);
  }
}

// ---- Editor arrows

void set_editor_arrows(int unit, int page) {
  int left = 0;
  int right = 0;
  const bool baro_pair = unit == 0 && fields.layout_ai[page][6] == FIELD_BARO_ALT && modes.selected_slot == 7;
  const int slots = unit == 1 ? DG_SLOTS : AI_SLOTS;
  if (!baro_pair && modes.selected_slot >= 0 && modes.selected_slot < slots) {
    const int cur =
        unit == 1 ? fields.layout_dg[page][modes.selected_slot] : fields.layout_ai[page][modes.selected_slot];
    const std::uint32_t mask = slot_allowed_mask(unit, modes.selected_slot);
    for (int n = cur + 1; n <= 31; ++n) {
      if (mask & (1u << n)) right = 1;
    }
    for (int n = 0; n < cur && n <= 31; ++n) {
      if (mask & (1u << n)) left = 1;
    }
  }
  set_banner_right_arrow(right);
  set_banner_left_arrow(left);
}

}  // namespace

const char* const field_id_names[FIELD_ID_COUNT] = {
    "FIELD_NONE",
    "FIELD_MAIN_GPS_TRACK",
    "FIELD_MAIN_DG_HEADING",
    nullptr,
    "FIELD_HDG_ROSE",
    "FIELD_GPS_HSI",
    "FIELD_GPS_ARC",
    nullptr,
    nullptr,
    "FIELD_IAS",
    "FIELD_BARO_ALT",
    "FIELD_AOA",
    "FIELD_V_TREND",
    "FIELD_G_LOAD_LEFT",
    "FIELD_G_LOAD_RIGHT",
    "FIELD_HDG",
    "FIELD_BUS_VOLTS",
    "FIELD_SET_ALT",
    "FIELD_VERT_SPD",
    "FIELD_GLOAD",
    nullptr,
    "FIELD_OAT",
    "FIELD_TAS",
    "FIELD_DALT",
    "FIELD_GPS_WPT",
    "FIELD_GPS_DIST",
    "FIELD_GPS_GS",
    "FIELD_GPS_TRK",
    "FIELD_GPS_XTE",
    "FIELD_GPS_DTRK",
    "FIELD_GPS_BRG",
    "FIELD_BARO",
};

const field_draw_op field_draw_table[FIELD_ID_COUNT] = {
    draw_nothing, draw_compact_gps, draw_compact_dg, draw_nothing,  draw_hdg_rose, draw_gps_hsi, draw_gps_arc,
    draw_nothing, draw_nothing,     draw_ias,        draw_baro_alt, draw_aoa,      draw_v_trend, draw_g_left,
    draw_g_right, draw_hdg,         draw_bus_volts,  draw_set_alt,  draw_vert_spd, draw_gload,   draw_nothing,
    draw_oat,     draw_tas,         draw_dalt,       draw_wpt,      draw_dist,     draw_gs,      draw_trk,
    draw_xte,     draw_dtrk,        draw_brg,        draw_baro,
};

const char* field_caption(int id) {
  if (id < 0 || id >= FIELD_ID_COUNT) return "";
  if (id == FIELD_OAT && cfg_get_byte(CFG_TEMP_UNITS) == 1) return "OAT*F";
  return kCaptions[id];
}

int field_caption_offset(int x, int y) {
  if (x < 160 && y < 120) return 2;
  if (x > 160 && y < 120) return -2;
  if (x > 160 && y > 120) return 5;
  return 0;
}

int current_field_page() {
  const int page = modes.field_page;
  return page >= 0 && page < FIELD_PAGES ? page : 0;
}

void field_slot_anchor(int unit, int slot, int* x, int* y) {
  if (unit == 1) {
    *x = kDgSlots[slot].x;
    *y = kDgSlots[slot].y;
    if ((slot == 2 || slot == 4) && fields.layout_dg[current_field_page()][3] == FIELD_GPS_ARC) {
      *x += slot == 2 ? -40 : 40;
      *y += 30;
    }
    return;
  }
  *x = kAiSlots[slot].x;
  *y = kAiSlots[slot].y;
}

int field_hosts_baro() { return fields.field_hosts_baro; }
int field_hosts_hdg_bug() { return fields.field_hosts_hdg_bug; }
int field_hosts_dg_adjust() { return fields.field_hosts_dg_adjust; }
int field_hosts_set_alt() { return fields.field_hosts_set_alt; }

void draw_field_strip(pixel_t* top, pixel_t* base) {
  field_draw_context& c = field_strip.context;
  c.top_layer = top;
  c.base_layer = base;
  fields.field_hosts_baro = 0;
  fields.field_hosts_hdg_bug = 0;
  fields.field_hosts_dg_adjust = 0;
  fields.field_hosts_set_alt = 0;
  field_strip.drawn_count = 0;
  field_strip.current = nullptr;

  const int style = cfg_get_byte(CFG_UI_STYLE);
  if (style == 0) {
    c.colour_label = COLOUR_WHITE;
    c.colour_value_normal = COLOUR_GREEN;
  } else if (style == 2) {
    c.colour_label = COLOUR_DARK_GOLD;
    c.colour_value_normal = COLOUR_GOLD;
  } else {
    c.colour_label = COLOUR_LIGHT_GREY;
    c.colour_value_normal = COLOUR_WHITE;
  }
  c.colour_value_selected = COLOUR_MAGENTA;

  c.unit_function = cycle.unit_function;
  const int unit = c.unit_function;
  const int slots = unit == 0 ? AI_SLOTS : unit == 1 ? DG_SLOTS : 0;
  const int page = current_field_page();
  field_strip.drawn_page = page;
  if (fields.layout_ai[page][6] == FIELD_BARO_ALT) {
    fields.layout_ai[page][7] = FIELD_BARO;
  }
  if (slots == 0) return;

  const int* order = unit == 0 ? kAiOrder : kDgOrder;
  for (int i = 0; i < slots; ++i) {
    const int d = order[i];
    const int id = unit == 0 ? fields.layout_ai[page][d] : fields.layout_dg[page][d];
    c.colour_value =
        modes.field_editor_active && d == modes.selected_slot ? c.colour_value_selected : c.colour_value_normal;
    c.value_font = font_for_size(unit == 0 ? 20 : 14);
    if (id == FIELD_GPS_WPT) {
      c.value_font = font_for_size(cfg_get_byte(CFG_UI_FONT) == 1 ? 10 : 14);
    }
    field_slot_anchor(unit, d, &c.x, &c.y);
    c.slot = d;
    if (modes.menu_active && d == modes.selected_slot) {
      const frame_choice f = selection_frame(unit, d, c.x, c.y);
      blend_clipped(base, f.image, f.x, f.y);
      flush_display();
    }
    if (id < FIELD_ID_COUNT) {
      drawn_field& rec = field_strip.drawn[field_strip.drawn_count++];
      rec = drawn_field{};
      rec.slot = d;
      rec.id = id;
      rec.caption = field_caption(id);
      field_strip.current = &rec;
      field_draw_table[id](&c);
      rec.colour = c.colour_value;
      field_strip.current = nullptr;
    }
    if (modes.field_editor_active) {
      set_editor_arrows(unit, page);
    }
  }
}
