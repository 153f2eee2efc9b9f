#include "nav/hsi_arc.h"

#include <algorithm>
#include <cmath>

#include "core/demo.h"
#include "gfx/images.h"
#include "gfx/primitives.h"
#include "gfx/text.h"
#include "nav/heading_bug.h"
#include "nav/nav_draw.h"
#include "nav/nav_page.h"
#include "nav/sprite_draw.h"
#include "serial/gps_data.h"
#include "settings/settings.h"

namespace {

constexpr float ARC_CX = 160.0f;
constexpr float ARC_CY = 190.0f;

// A tinted cell turned as draw_cell_rotated does, written again from `kept` while its colour,
// position and turn stay the same.
void draw_tinted_kept(pixel_t* layer, const pixel_t* cell, pixel_t colour, int w, int h, float x, float y,
                      float degrees, sprite_kept& kept) {
  image_transform t{1.0f, 0.0f, 0.0f, 1.0f, 1.0f};
  rotate_matrix(t, degrees * -NAV_DEG_TO_RAD);
  drawn_rows_mark(nav_page.top_rows, layer, sprite_draw_rotated_kept(layer, cell, w, h, x, y, t, colour, kept));
}

void draw_cell_rotated(pixel_t* layer, const pixel_t* cell, int w, int h, float x, float y, float degrees) {
  image_transform t{1.0f, 0.0f, 0.0f, 1.0f, 1.0f};
  rotate_matrix(t, degrees * -NAV_DEG_TO_RAD);
  drawn_rows_mark(nav_page.top_rows, layer, sprite_draw_rotated(layer, cell, w, h, x, y, t, 1.0f));
}

// Items of the arc card fade out between 100 and 151 pixels either side of the centre line.
pixel_t arc_faded(pixel_t colour, float x) {
  const int f = std::clamp(std::abs(static_cast<int>(x) - 160) * 5 - 500, 0, 255);
  return scale_colour(colour, static_cast<float>(255 - f) / 255.0f);
}

float arc_item_angle(int k, float card) {
  float a = static_cast<float>(k) - card;
  if (a > 180.0f) {
    a -= 360.0f;
  }
  return a;
}

void draw_arc_tick(pixel_t* base, int k, float card, float inner, pixel_t colour) {
  const float a = arc_item_angle(k, card);
  float x0 = 0.0f;
  float y0 = 0.0f;
  float x1 = 0.0f;
  float y1 = 0.0f;
  polar_point(ARC_CX, ARC_CY, 180.0f, a, x0, y0);
  if (!(y0 < 100.0f)) {
    return;
  }
  polar_point(ARC_CX, ARC_CY, inner, a, x1, y1);
  const pixel_t c = arc_faded(colour, x0);
  draw_line_aa(base, SCREEN_W, SCREEN_H, x0, y0, x1, y1, c);
  draw_line_aa(base, SCREEN_W, SCREEN_H, x0 + 1.0f, y0, x1 + 1.0f, y1, c);
}

void draw_parked_mark(pixel_t* top, int side, int left_x, int right_x, pixel_t colour) {
  const int font = font_for_size(14);
  if (side > 0) {
    drawn_rows_mark_text(nav_page.top_rows, top, font, right_x, 100, ">");
    draw_text_centred(top, SCREEN_W, SCREEN_H, font, right_x, 100, colour, ">");
  } else if (side < 0) {
    drawn_rows_mark_text(nav_page.top_rows, top, font, left_x, 100, "<");
    draw_text_centred(top, SCREEN_W, SCREEN_H, font, left_x, 100, colour, "<");
  }
}

}  // namespace

float hsi_deviation_pixels(float gain, float xte) { return std::clamp(gain * xte * 30.0f, -70.0f, 70.0f); }

float arc_parked_angle(float relative, int& side) {
  float e = wrap_value(relative, 360.0f);
  side = 0;
  if (e > 50.0f && e <= 180.0f) {
    side = 1;
    e = 50.0f;
  } else if (e > 180.0f && e < 310.0f) {
    side = -1;
    e = 310.0f;
  }
  return e;
}

void draw_hsi_deviation(pixel_t* top, pixel_t* base) {
  const float course = nav_page.nav_course - nav_page.card_heading;  // screen angle, degrees
  const float a = course * NAV_DEG_TO_RAD;
  const float s = std::sin(a);
  const float c = std::cos(a);
  const pixel_t colour = nav_page.course_colour;

  flush_display();
  const pixel_t* dot = tinted_image4(nav_page.dot_ring, IMG4_DOT_RING, NAV_GREY);
  const float offsets[4] = {30.0f, 60.0f, -30.0f, -60.0f};
  for (int i = 0; i < 4; ++i) {
    const float d = offsets[i];
    draw_tinted_kept(base, dot, NAV_GREY, 16, 16, 160.0f + d * c, 120.0f + d * s, course, nav_page.dots_drawn[i]);
  }

  if (!nav_page.course_shown) {
    return;
  }
  const pixel_t* arrow = tinted_image4(nav_page.course_arrow, IMG4_COURSE_ARROW, colour);
  float x = 0.0f;
  float y = 0.0f;
  polar_point(160.0f, 120.0f, 85.0f, course, x, y);
  draw_tinted_kept(top, arrow, colour, 24, 24, x, y, course, nav_page.arrow_drawn);

  draw_thick_line(top, 160.0f + 85.0f * s, 120.0f - 85.0f * c, 160.0f + 45.0f * s, 120.0f - 45.0f * c, colour);
  draw_thick_line(top, 160.0f - 95.0f * s, 120.0f + 95.0f * c, 160.0f - 45.0f * s, 120.0f + 45.0f * c, colour);

  const float dev = hsi_deviation_pixels(nav_page.hsi_gain, nav_page.nav_xte);
  draw_thick_line(top, 160.0f + dev * c + 45.0f * s, 120.0f + dev * s - 45.0f * c, 160.0f + dev * c - 45.0f * s,
                  120.0f + dev * s + 45.0f * c, colour);
}

void draw_arc_card(pixel_t* top, pixel_t* base, pixel_t colour) {
  const float card = nav_page.card_heading;
  for (int k = 0; k < 360; k += 30) {
    const float a = arc_item_angle(k, card);
    float x = 0.0f;
    float y = 0.0f;
    polar_point(ARC_CX, ARC_CY, 160.0f, a, x, y);
    if (y < 100.0f) {
      draw_card_label(nav_page.labels, base, k, x, y, a, arc_faded(colour, x));
    }
  }
  for (int k = 0; k < 360; k += 10) {
    draw_arc_tick(base, k, card, 170.0f, colour);
  }
  for (int k = 5; k < 360; k += 10) {
    draw_arc_tick(base, k, card, 175.0f, colour);
  }

  if (nav_page.bearing_shown) {
    int side = 0;
    const float e = arc_parked_angle(nav_page.nav_bearing - card, side);
    draw_parked_mark(top, side, 30, 285, COLOUR_GREEN);
    float x = 0.0f;
    float y = 0.0f;
    polar_point(ARC_CX, ARC_CY, 168.0f, e, x, y);
    draw_catalogue_kept(top, IMG_BEARING_POINTER, x, y, e, 1.1f, nav_page.bearing_drawn);
  }
  merge_drawn_top(base, top, nav_page.top_rows);
  flush_display();

  int side = 0;
  const float l = arc_parked_angle(heading_bug_display() - card, side);
  draw_parked_mark(top, side, 20, 295, COLOUR_MAGENTA);
  float x = 0.0f;
  float y = 0.0f;
  polar_point(ARC_CX, ARC_CY, 172.0f, l, x, y);
  draw_catalogue_kept(top, IMG_HEADING_BUG, x, y, l, 1.0f, nav_page.bug_drawn);
}

void draw_arc_course(pixel_t* top, pixel_t* base) {
  if (!nav_page.waypoint_shown) {
    return;
  }
  const float b = short_way(nav_page.nav_bearing - nav_page.card_heading);
  if (!(b > -90.0f && b < 90.0f)) {
    return;
  }
  const float a = b * NAV_DEG_TO_RAD;
  const float s = std::sin(a);
  const float c = std::cos(a);
  const float range = nav_page.arc_range;
  const float f = nav_page.nav_xte / range * 175.0f;
  const float d2 = nav_page.nav_distance * nav_page.nav_distance - nav_page.nav_xte * nav_page.nav_xte;
  const float m = std::sqrt(std::fabs(d2)) / range * 175.0f;
  const float px = ARC_CX + m * s;
  const float py = ARC_CY - m * c;
  const float k = (nav_page.nav_course - nav_page.card_heading) * NAV_DEG_TO_RAD;
  const float qx = ARC_CX + f * c - 45.0f * std::sin(k);
  const float qy = ARC_CY + f * s + 45.0f * std::cos(k);

  draw_thick_line(top, px, py, qx, qy, nav_page.course_colour);
  merge_drawn_top(base, top, nav_page.top_rows);
  flush_display();

  if (!(px > 0.0f && px < 320.0f && py > 0.0f && py < 240.0f)) {
    return;
  }
  if (cfg_get_byte(CFG_UI_STYLE) == 2) {
    const pixel_t* ring = tinted_image4(nav_page.waypoint_ring, IMG4_DOT_RING, COLOUR_GOLD);
    const image_transform t{1.0f, 0.0f, 0.0f, 1.0f, 0.79f};
    drawn_rows_mark(nav_page.top_rows, top, sprite_draw_transformed(top, ring, 16, 16, px - 5.0f, py - 5.0f, t, 1.0f));
  } else {
    draw_catalogue_rotated(top, IMG_WAYPOINT_STAR, px, py, 0.0f, 1.0f, 1.0f);
  }
  if (!nav_page.waypoint_name_shown) {
    return;
  }
  const char* name = cfg_get_byte(CFG_DEMO_MODE) != 0 ? demo_get_wpt_id() : get_gps_waypoint_id();
  char text[6] = {};
  for (int i = 0; i < 5 && name[i] != '\0'; ++i) {
    text[i] = name[i];
  }
  pixel_t cell[50 * 15];
  std::fill(cell, cell + 50 * 15, COLOUR_TRANSPARENT);
  const int font = font_for_size(10);
  draw_text(cell, 50, 15, font, 0, 0, COLOUR_WHITE, text);
  draw_text(cell, 50, 15, font, 1, 1, COLOUR_WHITE, text);
  // The name cell runs off the screen near the edges: the transformed draw clips it.
  draw_cell_rotated(top, cell, 50, 15, px + 42.0f, py - 1.0f, 0.0f);
}
