// Value boxes and selection frames of the data fields, and the small spare shapes of the catalogue.
#include <cmath>

#include "tools/artgen/art.h"

namespace art {

namespace {

constexpr double PI = 3.14159265358979323846;
constexpr std::uint32_t BOX_FILL = 0xB8000000;    // dark, the picture still shows through
constexpr std::uint32_t FRAME_FILL = 0x8C000000;  // selection frames sit behind the field's text

// A dark translucent value box with a thin teal rim.
void value_box(Canvas& c, double left) {
  cairo_t* cr = c.cr();
  const double w = c.width() - 0.5 - left;
  const double h = c.height() - 1.0;
  rounded_rect(cr, left, 0.5, w, h, 4.0);
  set_colour(cr, BOX_FILL);
  cairo_fill_preserve(cr);
  set_colour(cr, TEAL);
  cairo_set_line_width(cr, 1.0);
  cairo_stroke(cr);
}

// A curved band between two circles about (cx, cy), cut off by the image's top and bottom edges:
// the selection frame of a tape that follows an arc. The cut ends are teal.
void arc_band(Canvas& c, double cx, double cy, double r_outer, double r_inner) {
  cairo_t* cr = c.cr();
  const double h = c.height();
  cairo_save(cr);
  cairo_rectangle(cr, 0, 0.5, c.width(), h - 1.0);
  cairo_clip(cr);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  cairo_arc(cr, cx, cy, r_outer, 0, 2 * PI);
  cairo_new_sub_path(cr);
  cairo_arc(cr, cx, cy, r_inner, 0, 2 * PI);
  set_colour(cr, FRAME_FILL);
  cairo_fill(cr);
  cairo_restore(cr);

  // Teal rims along both arcs, faint, and solid teal caps at the two cut ends.
  cairo_save(cr);
  cairo_rectangle(cr, 0, 0, c.width(), h);
  cairo_clip(cr);
  cairo_set_line_width(cr, 1.0);
  set_colour(cr, TEAL, 0.45);
  cairo_arc(cr, cx, cy, r_outer - 0.5, 0, 2 * PI);
  cairo_stroke(cr);
  cairo_arc(cr, cx, cy, r_inner + 0.5, 0, 2 * PI);
  cairo_stroke(cr);
  cairo_restore(cr);

  set_colour(cr, TEAL);
  for (const double y : {1.5, h - 1.5}) {
    const double dy = y - cy;
    const double a = std::sqrt(r_outer * r_outer - dy * dy);
    const double b = std::sqrt(r_inner * r_inner - dy * dy);
    const double x0 = cx < c.width() / 2.0 ? cx + b : cx - a;
    const double x1 = cx < c.width() / 2.0 ? cx + a : cx - b;
    cairo_rectangle(cr, std::fmin(x0, x1), y - 1.5, std::fabs(x1 - x0), 3.0);
    cairo_fill(cr);
  }
}

}  // namespace

// Altitude boxes: the narrow one leaves room for one thousands digit, the wide one for two.
void paint_img_alt_box_narrow(Canvas& c) { value_box(c, 6.5); }
void paint_img_alt_box_wide(Canvas& c) { value_box(c, 0.5); }
// The airspeed readout box (and the transponder value boxes).
void paint_img_popup_box(Canvas& c) { value_box(c, 0.5); }

// Selection frame of a tall field: dark, with teal bars along its top and bottom edges.
void paint_img_field_frame_small(Canvas& c) {
  cairo_t* cr = c.cr();
  rounded_rect(cr, 0.5, 0.5, 54, 59, 4);
  set_colour(cr, FRAME_FILL);
  cairo_fill(cr);
  set_colour(cr, TEAL);
  rounded_rect(cr, 0.5, 0.5, 54, 3, 1.5);
  rounded_rect(cr, 0.5, 56.5, 54, 3, 1.5);
  cairo_fill(cr);
}

// Selection frame of a numeric field: dark, teal all round.
void paint_img_field_frame_wide(Canvas& c) {
  cairo_t* cr = c.cr();
  rounded_rect(cr, 1.0, 1.0, 53, 43, 4);
  set_colour(cr, FRAME_FILL);
  cairo_fill_preserve(cr);
  set_colour(cr, TEAL);
  cairo_set_line_width(cr, 2.0);
  cairo_stroke(cr);
}

// Selection frame of the airspeed tape (placed at (53, 75)): the band about the tape's circle,
// centre (160, 142) on the screen.
void paint_img_field_frame_tall(Canvas& c) { arc_band(c, 107.0, 67.0, 107.5, 80.0); }
// Its mirror for the right-hand tape (placed at (196, 75)).
void paint_img_field_frame_tape(Canvas& c) { arc_band(c, -39.0, 66.5, 107.5, 80.0); }

void paint_img_box_spare(Canvas& c) {
  cairo_t* cr = c.cr();
  rounded_rect(cr, 0.5, 0.5, 43, 24, 3);
  set_colour(cr, 0xD0181818);
  cairo_fill_preserve(cr);
  set_colour(cr, 0xFF606060);
  cairo_set_line_width(cr, 1.0);
  cairo_stroke(cr);
}

void paint_img_cyan_box(Canvas& c) {
  cairo_t* cr = c.cr();
  rounded_rect(cr, 0.5, 0.5, 44, 19, 5);
  cairo_pattern_t* fill = cairo_pattern_create_linear(0, 0, 0, 20);
  add_stop(fill, 0.0, 0xFF90FFFF);
  add_stop(fill, 0.5, 0xFF00E4F4);
  add_stop(fill, 1.0, 0xFF0098B0);
  cairo_set_source(cr, fill);
  cairo_fill(cr);
  cairo_pattern_destroy(fill);
}

void paint_img_magenta_frame(Canvas& c) {
  cairo_t* cr = c.cr();
  rounded_rect(cr, 1.0, 1.0, 20, 12, 3.5);
  set_colour(cr, MAGENTA);
  cairo_set_line_width(cr, 1.6);
  cairo_stroke(cr);
}

void paint_img_corner(Canvas& c) {
  cairo_t* cr = c.cr();
  // A wedge with a slightly hollow long side, like the corner of a rounded screen mask.
  cairo_move_to(cr, 0, 0);
  cairo_line_to(cr, 27, 0);
  cairo_curve_to(cr, 14, 3, 3, 11, 0, 23);
  cairo_close_path(cr);
  set_colour(cr, BLACK);
  cairo_fill(cr);
}

void paint_img_scale_bar(Canvas& c) {
  cairo_t* cr = c.cr();
  rounded_rect(cr, 0.5, 0.5, 99, 14, 4);
  set_colour(cr, 0xC0101010);
  cairo_fill_preserve(cr);
  set_colour(cr, 0xFF505050);
  cairo_set_line_width(cr, 1.0);
  cairo_stroke(cr);
  set_colour(cr, WHITE);
  for (int i = 1; i <= 9; ++i) {
    if (i == 5) continue;
    const double x = 10.0 * i;
    const double len = (i % 2 == 0) ? 7.0 : 4.0;
    cairo_rectangle(cr, x - 0.5, 7.5 - len / 2, 1.0, len);
    cairo_fill(cr);
  }
  cairo_arc(cr, 50.0, 7.5, 4.0, 0, 2 * PI);
  cairo_set_line_width(cr, 1.4);
  cairo_stroke(cr);
}

// Vertical-trend pointer: a white bar with a pointed left end over a dark shadow. Its centre line
// is row 3.5, the row the page lines up with the trend value.
void paint_img_trend_pointer(Canvas& c) {
  cairo_t* cr = c.cr();
  auto shape = [cr](double d) {
    polygon(cr, {{0.6 + d, 3.5 + d}, {6.0 + d, 0.6 + d}, {18.5 + d, 0.6 + d}, {18.5 + d, 6.4 + d}, {6.0 + d, 6.4 + d}});
  };
  shape(1.0);
  set_colour(cr, 0xC0000000);
  cairo_fill(cr);
  shape(0.0);
  cairo_pattern_t* fill = cairo_pattern_create_linear(0, 0.5, 0, 6.5);
  add_stop(fill, 0.0, WHITE);
  add_stop(fill, 1.0, 0xFFC8C8C8);
  cairo_set_source(cr, fill);
  cairo_fill(cr);
  cairo_pattern_destroy(fill);
}

void paint_img_half_disc(Canvas& c) {
  cairo_t* cr = c.cr();
  cairo_arc(cr, 10.0, 15.0, 9.5, PI, 2 * PI);
  cairo_close_path(cr);
  cairo_pattern_t* fill = cairo_pattern_create_linear(0, 5, 0, 15);
  add_stop(fill, 0.0, WHITE);
  add_stop(fill, 1.0, 0xFFD8D8D8);
  cairo_set_source(cr, fill);
  cairo_fill(cr);
  cairo_pattern_destroy(fill);
}

void paint_img_diamond(Canvas& c) {
  cairo_t* cr = c.cr();
  polygon(cr, {{7.5, 0.6}, {14.4, 10.0}, {7.5, 19.4}, {0.6, 10.0}});
  cairo_pattern_t* fill = cairo_pattern_create_linear(0, 0, 15, 20);
  add_stop(fill, 0.0, 0xFF80FF90);
  add_stop(fill, 1.0, 0xFF00A020);
  cairo_set_source(cr, fill);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(fill);
  set_colour(cr, 0xFF004010);
  cairo_set_line_width(cr, 0.8);
  cairo_stroke(cr);
}

}  // namespace art
