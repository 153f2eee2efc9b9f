#include "nav/nav_page.h"

#include <algorithm>
#include <cmath>

#include "core/demo.h"
#include "core/filters.h"
#include "core/firmware.h"
#include "core/modes.h"
#include "core/platform.h"
#include "fields/field_ids.h"
#include "fields/layouts.h"
#include "gfx/images.h"
#include "gfx/primitives.h"
#include "gfx/text.h"
#include "nav/dg_adjust.h"
#include "nav/heading_bug.h"
#include "nav/hsi_arc.h"
#include "nav/nav_draw.h"
#include "serial/gps_data.h"
#include "settings/settings.h"

const int arc_range_table[ARC_RANGE_COUNT] = {1, 2, 5, 10, 20, 50, 100};

nav_page_state nav_page;

void nav_page_power_on() { nav_page = nav_page_state{}; }

void set_nav_page_style(int style) { modes.nav_page_style = style; }
int get_nav_page_style() { return modes.nav_page_style; }
void set_nav_page_source(int source) { nav_page.nav_page_source = source; }
int get_nav_page_source() { return nav_page.nav_page_source; }

void track_stab_restart() { nav_page.track_stab_delta = 0.0f; }

bool gyro_heading(float& h) {
  if (!heading_valid()) {
    return false;
  }
  const float g = get_heading();
  if (!std::isfinite(g)) {
    return false;
  }
  h = g;
  return true;
}

void nav_page_select_from_layout() {
  const int id = fields.layout_dg[modes.field_page & 3][3];
  if (id == FIELD_HDG_ROSE) {
    set_nav_page_style(NAV_STYLE_ROSE);
    set_nav_page_source(NAV_SOURCE_HEADING);
  } else if (id == FIELD_GPS_HSI) {
    set_nav_page_style(NAV_STYLE_HSI);
    set_nav_page_source(NAV_SOURCE_GPS);
  } else if (id == FIELD_GPS_ARC) {
    set_nav_page_style(NAV_STYLE_ARC);
    set_nav_page_source(NAV_SOURCE_GPS);
  }
}

namespace {

pixel_t style_rose_colour(int style) { return style == 2 ? COLOUR_GOLD : 0xFFB0B0B0; }
pixel_t style_outline_colour(int style) { return style == 2 ? COLOUR_GOLD : COLOUR_WHITE; }
pixel_t style_course_colour(int style) { return style == 2 ? COLOUR_GOLD : COLOUR_MAGENTA; }

// A filter channel fed only with numbers: anything else repeats the last good input.
float feed_finite(int channel, float x) {
  return filter_feed(channel, std::isfinite(x) ? x : filters.channel[channel].input);
}

struct nav_targets {
  float heading = 0.0f;
  float course = 0.0f;
  float xte = 0.0f;
  float bearing = 0.0f;
  float distance = 0.0f;
};

void demo_targets(nav_targets& t) {
  t.course = demo_get_dtk();
  t.xte = demo_get_xte();
  t.bearing = demo_get_bearing();
  t.distance = demo_get_wpt_dist();
}

void show_everything(int shown) {
  nav_page.presentation_shown = shown;
  nav_page.bearing_shown = shown;
  nav_page.course_shown = shown;
  nav_page.waypoint_shown = shown;
  nav_page.waypoint_name_shown = shown;
}

// Each guidance item is drawn only while its own datum is valid: a GPS that sends a track but no
// route must not leave the last course, bearing and waypoint on screen as if they were live. The
// desired track is copied from the bearing by some receivers without its own age, so the course
// pointer accepts either.
void choose_gps_items() {
  const bool bearing = gps_bearing_valid();
  const bool xte = gps_xte_valid();
  nav_page.presentation_shown = gps_track_valid() ? 1 : 0;
  nav_page.bearing_shown = bearing ? 1 : 0;
  nav_page.course_shown = xte && (gps_dtk_valid() || bearing) ? 1 : 0;
  nav_page.waypoint_shown = bearing && gps_distance_valid() && xte ? 1 : 0;
  nav_page.waypoint_name_shown = gps_wpt_valid() ? 1 : 0;
}

nav_targets choose_targets() {
  nav_targets t;
  const bool demo = cfg_get_byte(CFG_DEMO_MODE) != 0;
  nav_page.heading_failed = 0;
  if (nav_page.nav_page_source == NAV_SOURCE_GPS) {
    if (demo) {
      t.heading = demo_get_track();
      demo_targets(t);
      show_everything(1);
    } else {
      choose_gps_items();
      if (gps_track_valid()) {
        t.heading = get_gps_track();
        t.course = get_gps_desired_track();
        t.xte = get_gps_xte();
        t.bearing = get_gps_bearing();
        t.distance = get_gps_distance();
      }
      if (cfg_get_byte(CFG_TRAK_STAB) != 0) {
        t.heading +=
            track_stabilisation(nav_page.track_stab_delta, nav_page.track_stab_last, nav_page.track_stab_frame);
      }
    }
    return t;
  }
  show_everything(1);
  nav_page.presentation_shown = demo || gps_track_valid() ? 1 : 0;
  // An unusable gyro keeps the card where it last was (it is not turned to north as if valid)
  // and raises the blinking fail flag.
  if (!gyro_heading(t.heading)) {
    t.heading = NAN;
    nav_page.heading_failed = 1;
  }
  if (demo) {
    demo_targets(t);
  }
  return t;
}

void draw_source_label(pixel_t* base) {
  if (nav_page.nav_page_source == NAV_SOURCE_GPS) {
    blend_catalogue_image(base, IMG_LABEL_GPS, 125, 46);
    blend_catalogue_image(base, IMG_LABEL_TRK, 172, 46);
  } else {
    blend_catalogue_image(base, IMG_LABEL_DG, 130, 46);
    blend_catalogue_image(base, IMG_LABEL_HDG, 172, 46);
  }
}

void draw_small_aircraft(pixel_t* top, int style, int x, int y) {
  const int entry = style == 2 ? IMG_AIRCRAFT_PLAN_ORANGE : IMG_AIRCRAFT_PLAN_WHITE;
  const image_ref img = image_lookup(entry);
  drawn_rows_mark(nav_page.top_rows, top, x, y, x + img.width - 1, y + img.height - 1);
  blend_catalogue_image(top, entry, x, y);
}

void draw_no_gps_message(pixel_t* top, int x, int y) {
  draw_nav_text(top, x, y, NAV_MESSAGE_YELLOW, serial_data_present() ? "NO GPS" : "NO DATA");
}

void draw_rose(pixel_t* top, pixel_t* base) {
  copy_image(base, aircraft_outline, SCREEN_W, SCREEN_H, 96, 44, 128, 153);
  flush_display();
  draw_compass_card(top, base, nav_page.rose_colour);
  nav_line(top, 161.0f, 20.0f, 161.0f, 50.0f, nav_page.rose_colour);
  nav_line(top, 160.5f, 20.0f, 160.5f, 50.0f, nav_page.rose_colour);
}

void draw_hsi(pixel_t* top, pixel_t* base, int style, bool live) {
  if (live) {
    draw_hsi_deviation(top, base);
  } else {
    draw_no_gps_message(top, 163, 107);
  }
  if (style == 2) {
    draw_small_aircraft(top, style, 140, 100);
  } else {
    draw_small_aircraft(top, style, 141, 105);
  }
  flush_display();
  draw_compass_card(top, base, nav_page.rose_colour);
  nav_line(top, 160.0f, 20.0f, 160.0f, 98.0f, NAV_GREY);
  draw_nav_text(top, 120, 180, COLOUR_WHITE, "VFR");
  draw_nav_text(top, 200, 180, COLOUR_WHITE, "1.0nm");
}

void draw_arc(pixel_t* top, pixel_t* base, int style, bool live) {
  nav_line(top, 159.0f, 20.0f, 159.0f, 164.0f, NAV_GREY);
  draw_arc_card(top, base, nav_page.rose_colour);
  if (live) {
    draw_arc_course(top, base);
  } else {
    draw_no_gps_message(top, 162, 172);
  }
  draw_small_aircraft(top, style, 140, 170);
  flush_display();
  char range[8] = {};
  char* cursor = range;
  append_int(arc_range_table[nav_page.arc_range_index], cursor);
  *cursor++ = 'n';
  *cursor++ = 'm';
  *cursor = '\0';
  draw_nav_text(top, 230, 198, COLOUR_WHITE, range);
  draw_nav_text(top, 100, 198, COLOUR_WHITE, "VFR");
  drawn_rows_mark(nav_page.top_rows, top, 125, 214, 195, 239);
  fill_box(top, SCREEN_W, SCREEN_H, 125, 214, 195, 239, COLOUR_BLACK);
  draw_nav_text(top, 160, 222, COLOUR_WHITE, "< SCALE >");
}

}  // namespace

// One bad reading must not poison the memory for the rest of the run.
float smooth_angle(float& memory, float target) {
  if (!std::isfinite(target)) {
    return memory;
  }
  float d = target - memory;
  if (d < -180.0f) {
    d += 360.0f;
  }
  if (d > 180.0f) {
    d -= 360.0f;
  }
  memory = wrap_value(memory + 0.1f * d, 360.0f);
  return memory;
}

float track_stabilisation(float& delta, float& last, unsigned& last_frame) {
  float g = 0.0f;
  if (!gyro_heading(g)) {
    return 0.0f;  // no usable gyro: no correction, and the next good reading starts afresh
  }
  // Starting or resuming: the stored heading is from an earlier time, and the turn since then
  // is not a turn since the last GPS track. Start from here with no offset.
  if (last_frame == 0u || last_frame + 1u != cycle.frame_number) {
    last = g;
    delta = 0.0f;
  }
  last_frame = cycle.frame_number;
  delta += wrap_value(g - last, 360.0f);
  float again = g;
  if (gyro_heading(again)) {
    last = again;
  }
  while (delta > 180.0f) {
    delta -= 360.0f;
  }
  while (delta < -180.0f) {
    delta += 360.0f;
  }
  return delta;
}

void nav_page_restyle() {
  const int style = cfg_get_byte(CFG_UI_STYLE);
  nav_page.outline_colour = style_outline_colour(style);
  std::fill(aircraft_outline, aircraft_outline + LAYER_PIXELS, COLOUR_TRANSPARENT);
  tint_image4(aircraft_outline, IMG4_AIRCRAFT_OUTLINE, nav_page.outline_colour);
  if (nav_page.nav_page_first_run) {
    nav_page.card_heading = 0.0f;
    nav_page.nav_course = 0.0f;
    nav_page.nav_xte = 0.0f;
    nav_page.nav_bearing = 0.0f;
    nav_page.nav_distance = 0.0f;
    set_nav_page_style(NAV_STYLE_ROSE);
    set_nav_page_source(NAV_SOURCE_HEADING);
    nav_page.arc_range_index = 2;
    nav_page.arc_range = 5.0f;
    nav_page.track_stab_delta = 0.0f;
    nav_page.hsi_gain = 1.0f;
    filter_configure(FILTER_XTE, 50.0f);
    filter_configure(FILTER_CDI_SCALE, 25.0f);
    filter_configure(FILTER_WPT_DIST, 50.0f);
    nav_page.nav_page_first_run = 0;
    // The reset must not undo the presentation the layout chose for this very frame.
    nav_page_select_from_layout();
  }
}

void nav_page_draw(pixel_t* top, pixel_t* base) {
  const int style = cfg_get_byte(CFG_UI_STYLE);
  if (style != nav_page.nav_page_style_seen) {
    nav_page_restyle();
    nav_page.nav_page_style_seen = style;
  }
  nav_page.outline_colour = style_outline_colour(style);
  nav_page.course_colour = style_course_colour(style);

  const nav_targets t = choose_targets();
  nav_page.card_heading = smooth_angle(nav_page.card_smooth, t.heading);
  nav_page.nav_course = smooth_angle(nav_page.course_smooth, t.course);
  nav_page.nav_bearing = smooth_angle(nav_page.bearing_smooth, t.bearing);

  nav_page.nav_xte = feed_finite(FILTER_XTE, t.xte);
  nav_page.arc_range =
      std::max(1.0f, filter_feed(FILTER_CDI_SCALE, static_cast<float>(arc_range_table[nav_page.arc_range_index])));
  nav_page.nav_distance = feed_finite(FILTER_WPT_DIST, t.distance);

  nav_page.rose_colour = style_rose_colour(style);
  float h = 0.0f;
  if (gyro_heading(h)) {
    dg_adjust.nav_dg_adjust_value = h;
  }

  const bool live = nav_page.presentation_shown != 0;
  // The composer hands over a clear top layer; what the presentation draws on it is tracked so
  // that its merges into the base look only where something was drawn.
  drawn_rows_begin(nav_page.top_rows, top);
  switch (modes.nav_page_style) {
    case NAV_STYLE_ROSE:
      draw_rose(top, base);
      break;
    case NAV_STYLE_HSI:
      draw_hsi(top, base, style, live);
      break;
    case NAV_STYLE_ARC:
      draw_arc(top, base, style, live);
      break;
    default:
      break;
  }
  draw_source_label(base);
  nav_page.top_rows.layer = nullptr;  // later drawing on the layer is not tracked
}

namespace {

// Ticks every ten degrees from `first`, from the card's rim inwards to radius `inner`.
void draw_card_ticks(pixel_t* base, float card, int first, float inner, pixel_t colour) {
  for (int k = first; k < 360; k += 10) {
    const float a = static_cast<float>(k) - card;
    float x0 = 0.0f;
    float y0 = 0.0f;
    float x1 = 0.0f;
    float y1 = 0.0f;
    polar_point(160.0f, 120.0f, 115.0f, a, x0, y0);
    polar_point(160.0f, 120.0f, inner, a, x1, y1);
    draw_line_aa(base, SCREEN_W, SCREEN_H, x0, y0, x1, y1, colour);
  }
}

}  // namespace

void draw_compass_card(pixel_t* top, pixel_t* base, pixel_t colour) {
  const float card = nav_page.card_heading;
  for (int k = 0; k < 360; k += 30) {
    float a = static_cast<float>(k) - card;
    if (a > 180.0f) {
      a -= 360.0f;
    }
    float x = 0.0f;
    float y = 0.0f;
    polar_point(160.0f, 120.0f, 95.0f, a, x, y);
    draw_card_label(nav_page.labels, base, k, x, y, a, colour);
  }
  draw_card_ticks(base, card, 0, 105.0f, colour);  // long ticks every ten degrees
  draw_card_ticks(base, card, 5, 110.0f, colour);  // short ones between them
  for (int row = 120; row <= 121; ++row) {
    draw_hspan(base, SCREEN_W, SCREEN_H, 30, 40, row, colour);
    draw_hspan(base, SCREEN_W, SCREEN_H, 280, 290, row, colour);
  }
  draw_line_aa(base, SCREEN_W, SCREEN_H, 70.0f, 29.0f, 75.0f, 34.0f, colour);
  draw_line_aa(base, SCREEN_W, SCREEN_H, 247.0f, 34.0f, 252.0f, 29.0f, colour);

  if (nav_page.nav_page_source == NAV_SOURCE_GPS) {
    if (nav_page.bearing_shown) {
      const float a = nav_page.nav_bearing - card;
      float x = 0.0f;
      float y = 0.0f;
      polar_point(160.0f, 120.0f, 103.0f, a, x, y);
      draw_catalogue_kept(top, IMG_BEARING_POINTER, x, y, a, 1.0f, nav_page.bearing_drawn);
    }
    merge_drawn_top(base, top, nav_page.top_rows);
    flush_display();
  }
  const float b = heading_bug_display() - card;
  float x = 0.0f;
  float y = 0.0f;
  polar_point(160.0f, 120.0f, 107.0f, b, x, y);
  draw_catalogue_kept(top, IMG_HEADING_BUG, x, y, b, 1.0f, nav_page.bug_drawn);
}
