#include "nav/compact_heading.h"

#include <algorithm>
#include <cmath>

#include "core/demo.h"
#include "core/filters.h"
#include "core/modes.h"
#include "gfx/images.h"
#include "gfx/primitives.h"
#include "gfx/text.h"
#include "nav/dg_adjust.h"
#include "nav/heading_bug.h"
#include "nav/nav_draw.h"
#include "nav/nav_page.h"
#include "serial/gps_data.h"
#include "settings/settings.h"

compact_heading_state compact;

void compact_heading_power_on() { compact = compact_heading_state{}; }

void compact_heading_init() {
  const image4_ref a = image4_lookup(IMG4_HEADING_STRIP_A);
  const image4_ref b = image4_lookup(IMG4_HEADING_STRIP_B);
  draw_grey4_image(compact.heading_strip_a, HEADING_STRIP_W, HEADING_STRIP_H, a.data, a.width, a.height, 0, 0);
  draw_grey4_image(compact.heading_strip_b, HEADING_STRIP_W, HEADING_STRIP_H, b.data, b.width, b.height, 0, 0);
  filter_configure(FILTER_HEADING, 50.0f);
  filter_configure(FILTER_SPARE, 100.0f);
  dg_adjust_close();
  compact.compact_track_stab_delta = 0.0f;
  // The filter restarts from zero, so the unwrapped target must too: otherwise the tape would
  // spin through every turn made so far to catch up with it.
  compact.compact_unwrapped = 0.0f;
  compact.compact_heading = 0.0f;
}

void compact_track_stab_restart() { compact.compact_track_stab_delta = 0.0f; }

namespace {

// The message that stands in for the whole tape: a dark copy one pixel low, then yellow.
void draw_tape_message(pixel_t* top, bool efis, const char* text) {
  const int font = font_for_size(10);
  const int y = efis ? 56 : 61;
  draw_text_centred(top, SCREEN_W, SCREEN_H, font, 160, y, COLOUR_SHADOW, text);
  draw_text_centred(top, SCREEN_W, SCREEN_H, font, 160, y - 1, NAV_MESSAGE_YELLOW, text);
}

void draw_shadowed_mark(pixel_t* top, int x, int y, pixel_t colour, const char* mark) {
  const int font = font_for_size(14);
  draw_text_centred(top, SCREEN_W, SCREEN_H, font, x + 1, y + 1, COLOUR_BLACK, mark);
  draw_text_centred(top, SCREEN_W, SCREEN_H, font, x, y, colour, mark);
}

// A mark's offset from the tape's centre, parked at the limit with an arrow past either end.
int tape_offset(float h, float target, int limit, int left_x, int right_x, pixel_t colour, pixel_t* top) {
  int u = static_cast<int>(std::trunc(short_way(std::trunc(h - target))));
  if (u > limit) {
    draw_shadowed_mark(top, left_x, 78, colour, "<");
    u = limit;
  } else if (u < -limit) {
    draw_shadowed_mark(top, right_x, 78, colour, ">");
    u = -limit;
  }
  return u;
}

}  // namespace

int compact_strip_column(float h, int x) {
  const int col = static_cast<int>(std::floor(h)) + 100 + (x - 79);
  return ((col % HEADING_STRIP_W) + HEADING_STRIP_W) % HEADING_STRIP_W;
}

void compact_heading_draw(pixel_t* top, pixel_t* base, int gps) {
  const int style = cfg_get_byte(CFG_UI_STYLE);
  if (style != compact.compact_style_seen) {
    compact_heading_init();
    compact.compact_style_seen = style;
  }
  const bool efis = style == 1;
  const bool demo = cfg_get_byte(CFG_DEMO_MODE) != 0;
  compact.tape_shown_gps = gps != 0 ? 1 : 0;
  float gyro = 0.0f;
  if (gyro_heading(gyro)) {
    dg_adjust.dg_adjust_value = gyro;
  }
  const int label_row = efis ? 41 : 46;

  float target = 0.0f;
  bool bearing_shown = false;
  if (gps) {
    if (demo) {
      target = demo_get_track();
      compact.compact_bearing = demo_get_bearing();
      bearing_shown = true;
    } else if (!gps_track_valid()) {
      draw_tape_message(top, efis, serial_data_present() ? "NO GPS" : "NO DATA");
      return;
    } else {
      target = get_gps_track();
      // Only a bearing that is itself fresh moves and shows the pointer.
      bearing_shown = gps_bearing_valid();
      if (bearing_shown) {
        compact.compact_bearing = get_gps_bearing();
      }
      // Between GPS samples the tape follows the gyro; demo tracks need no such help.
      if (cfg_get_byte(CFG_TRAK_STAB) != 0) {
        target += track_stabilisation(compact.compact_track_stab_delta, compact.compact_track_stab_last,
                                      compact.compact_track_stab_frame);
      }
    }
    blend_catalogue_image(base, IMG_LABEL_GPS, 120, label_row);
    blend_catalogue_image(base, IMG_LABEL_TRK, 177, label_row);
  } else {
    blend_catalogue_image(base, IMG_LABEL_DG, 124, label_row);
    blend_catalogue_image(base, IMG_LABEL_HDG, 172, label_row);
    if (!gyro_heading(target)) {
      // A gyro that cannot be read shows no tape rather than a tape that looks right.
      draw_tape_message(top, efis, "---");
      return;
    }
  }
  if (!std::isfinite(target)) {
    return;
  }

  // The filter runs on a continuous heading so that crossing south does not swing the tape.
  float g = compact.compact_unwrapped - target;
  while (g > 180.0f) {
    g -= 360.0f;
  }
  while (g < -180.0f) {
    g += 360.0f;
  }
  compact.compact_unwrapped -= g;
  float h = filter_feed(FILTER_HEADING, compact.compact_unwrapped);
  while (h > 180.0f) {
    h -= 360.0f;
  }
  while (h < -180.0f) {
    h += 360.0f;
  }
  compact.compact_heading = h;

  const pixel_t* strip = h - std::floor(h) < 0.5f ? compact.heading_strip_b : compact.heading_strip_a;
  // Screen columns 79..238 take consecutive strip columns, wrapping at the strip's end.
  const int first = compact_strip_column(h, 79);
  mark_written(top, 79, 55, 238, 55 + HEADING_STRIP_H - 1);
  for (int row = 0; row < HEADING_STRIP_H; ++row) {
    pixel_t* dst = top + (55 + row) * SCREEN_W;
    const pixel_t* src = strip + row * HEADING_STRIP_W;
    int col = first;
    for (int x = 79; x <= 238; ++x) {
      dst[x] = src[col];
      col = col + 1 == HEADING_STRIP_W ? 0 : col + 1;
    }
  }

  if (gps && bearing_shown) {
    const int u = tape_offset(h, compact.compact_bearing, 73, 90, 230, COLOUR_GREEN, top);
    blend_catalogue_image(top, IMG_BEARING_POINTER, 151 - u, 62);
  }
  const int v = tape_offset(h, heading_bug_display(), 68, 100, 220, COLOUR_MAGENTA, top);
  blend_catalogue_image(top, IMG_HEADING_BUG, 146 - v, 56);

  if (efis) {
    draw_hspan(top, SCREEN_W, SCREEN_H, 80, 239, 55, NAV_GREY);
    draw_hspan(top, SCREEN_W, SCREEN_H, 72, 247, 77, NAV_GREY);
  } else {
    for (int i = 0; i < 20; ++i) {
      pixel_t* row = top + (55 + i) * SCREEN_W;
      std::fill(row + 77, row + 98 - i, COLOUR_TRANSPARENT);
      std::fill(row + 223 + i, row + 243, COLOUR_TRANSPARENT);
    }
  }
}
