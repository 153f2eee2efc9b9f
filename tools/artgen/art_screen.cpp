// Full-screen overlays, the failure flag, the banner background and the maker's start-up logo.
#include <cmath>
#include <string>

#include "tools/artgen/art.h"

namespace art {

namespace {
constexpr double PI = 3.14159265358979323846;
}

// Clear in the middle, darkening towards the edges and more towards the bottom. The composer blends
// it twice onto a mostly transparent layer, which squares its alpha, so the values here are higher
// than the darkening finally seen.
void paint_img_style_vignette(Canvas& c) {
  cairo_t* cr = c.cr();
  // The darkening runs on past the ellipse that touches the screen's sides, into the corners; the
  // gradient therefore ends at 1.2 of that ellipse, so every stop lies inside 0..1 (a stop beyond
  // would be clamped onto the last one and leave a hard step there).
  constexpr double reach = 1.2;
  cairo_pattern_t* radial = cairo_pattern_create_radial(0, 0, 0, 0, 0, reach);
  add_stop(radial, 0.0, 0x00000000);
  add_stop(radial, 0.62 / reach, 0x00000000);
  add_stop(radial, 0.85 / reach, 0x50000000);
  add_stop(radial, 1.0 / reach, 0x90000000);
  add_stop(radial, 1.0, 0xB8000000);
  cairo_pattern_set_extend(radial, CAIRO_EXTEND_PAD);
  cairo_matrix_t m;
  cairo_matrix_init_scale(&m, 1.0 / 190.0, 1.0 / 150.0);
  cairo_matrix_translate(&m, -160.0, -120.0);
  cairo_pattern_set_matrix(radial, &m);
  cairo_set_source(cr, radial);
  cairo_paint(cr);
  cairo_pattern_destroy(radial);

  cairo_pattern_t* bottom = cairo_pattern_create_linear(0, 165, 0, 240);
  add_stop(bottom, 0.0, 0x00000000);
  add_stop(bottom, 1.0, 0x90000000);
  cairo_set_source(cr, bottom);
  cairo_rectangle(cr, 0, 165, 320, 75);
  cairo_fill(cr);
  cairo_pattern_destroy(bottom);
}

// Black corners of the bottom strip; the gap between them leaves room for the slip tube and the
// banner and narrows towards the bottom edge.
void paint_img_bottom_mask(Canvas& c) {
  cairo_t* cr = c.cr();
  set_colour(cr, BLACK);
  polygon(cr, {{0, 0}, {62, 0}, {104, 25}, {0, 25}});
  polygon(cr, {{320, 0}, {258, 0}, {216, 25}, {320, 25}});
  cairo_fill(cr);
}

// Opaque red flag, the word ALIGN stacked letter under letter in white capitals.
void paint_img_fail_flag(Canvas& c) {
  cairo_t* cr = c.cr();
  cairo_pattern_t* body = cairo_pattern_create_linear(0, 0, 22, 0);
  add_stop(body, 0.0, 0xFFB00C0C);
  add_stop(body, 0.35, 0xFFE82020);
  add_stop(body, 1.0, 0xFFA00808);
  cairo_set_source(cr, body);
  cairo_paint(cr);
  cairo_pattern_destroy(body);
  set_colour(cr, 0xFF600000);
  cairo_set_line_width(cr, 1.0);
  cairo_rectangle(cr, 0.5, 0.5, 21, 109);
  cairo_stroke(cr);

  set_colour(cr, WHITE);
  select_font(cr, weight::bold, size_for_cap_height(weight::bold, 13.0));
  const char* letters[] = {"A", "L", "I", "G", "N"};
  for (int i = 0; i < 5; ++i) text_on_baseline(cr, letters[i], 11.0, 22.0 + 20.0 * i);
}

// Opaque black box with rounded upper corners behind the two banner lines.
void paint_img_banner_back(Canvas& c) {
  cairo_t* cr = c.cr();
  rounded_top_rect(cr, 0, 0, 132, 40, 9);
  set_colour(cr, BLACK);
  cairo_fill(cr);
  // A faint rim so the box reads against a dark ground.
  rounded_top_rect(cr, 0.5, 0.5, 131, 40.5, 8.5);
  set_colour(cr, 0xFF3A3A3A);
  cairo_set_line_width(cr, 1.0);
  cairo_stroke(cr);
}

// The maker's logo: a ring crossed by a swept arrowhead, and the name ORVANTA. Opaque.
void paint_img_startup_logo(Canvas& c) {
  cairo_t* cr = c.cr();
  // Black like the start-up screen around it, with a faint glow behind the mark.
  set_colour(cr, BLACK);
  cairo_paint(cr);
  cairo_pattern_t* glow = cairo_pattern_create_radial(36, 38, 0, 36, 38, 36);
  add_stop(glow, 0.0, 0x40208CA0);
  add_stop(glow, 1.0, 0x00208CA0);
  cairo_set_source(cr, glow);
  cairo_paint(cr);
  cairo_pattern_destroy(glow);

  // The ring, shaded from teal to a deep blue.
  const double cx = 36.0;
  const double cy = 38.0;
  cairo_pattern_t* ring = cairo_pattern_create_linear(cx - 24, cy - 24, cx + 24, cy + 24);
  add_stop(ring, 0.0, 0xFF3CF8DA);
  add_stop(ring, 1.0, 0xFF0A5AB4);
  cairo_set_source(cr, ring);
  cairo_set_line_width(cr, 7.0);
  cairo_arc(cr, cx, cy, 23.0, 0, 2 * PI);
  cairo_stroke(cr);
  cairo_pattern_destroy(ring);

  // A swept arrowhead climbing through the ring, with a dark cut where it crosses.
  auto arrow = [&](double grow) {
    polygon(cr, {{cx - 30 - grow, cy + 14 + grow},
                 {cx + 27 + grow, cy - 21 - grow * 1.2},
                 {cx + 2, cy + 4 + grow},
                 {cx - 6 - grow, cy + 20 + grow}});
  };
  arrow(2.2);
  set_colour(cr, 0xFF05080C);
  cairo_fill(cr);
  arrow(0.0);
  cairo_pattern_t* wing = cairo_pattern_create_linear(cx - 30, cy + 14, cx + 27, cy - 21);
  add_stop(wing, 0.0, 0xFFFFB000);
  add_stop(wing, 1.0, 0xFFFFF2C0);
  cairo_set_source(cr, wing);
  cairo_fill(cr);
  cairo_pattern_destroy(wing);

  // The name, spaced out to fill the room right of the mark, with a thin teal rule under it.
  const char* name = "ORVANTA";
  const double left = 72.0;
  const double room = 106.0;
  const double spacing = 1.5;
  select_font(cr, weight::bold, size_for_cap_height(weight::bold, 18.0));
  double natural = 0.0;
  for (const char* p = name; *p; ++p) natural += measure(cr, std::string(1, *p)).width + spacing;
  natural -= spacing;
  const double squeeze = natural > room ? room / natural : 1.0;
  cairo_save(cr);
  cairo_translate(cr, left, 0);
  cairo_scale(cr, squeeze, 1.0);
  set_colour(cr, 0xFFF2F4F6);
  double x = 0.0;
  for (const char* p = name; *p; ++p) {
    const std::string letter(1, *p);
    text_left(cr, letter, x, 35.0);
    x += measure(cr, letter).width + spacing;
  }
  cairo_restore(cr);
  set_colour(cr, TEAL);
  cairo_rectangle(cr, left, 50.0, natural * squeeze, 2.0);
  cairo_fill(cr);
}

}  // namespace art
