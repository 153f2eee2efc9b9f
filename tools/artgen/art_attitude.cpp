// Symbols of the attitude picture: the aircraft symbols, the roll index and roll marks, the slip
// indicator parts, the g-meter pointer balls and the coloured rings.
#include "tools/artgen/art.h"

namespace art {

namespace {

constexpr double PI = 3.14159265358979323846;

// The yellow symbol is blended at (94, 135), so the picture centre (160, 140) is (66, 5) here:
// the wing bars' centre line and the dot's centre lie on it.
constexpr double SYMBOL_CX = 66.0;
constexpr double SYMBOL_CY = 5.0;

void aircraft_symbol_path(cairo_t* cr, const void*) {
  for (int side = -1; side <= 1; side += 2) {
    // Outer bar from 63 down to 20 pixels from the centre, then a leg down at its inner end.
    const double outer = SYMBOL_CX + side * 63.0;
    const double inner = SYMBOL_CX + side * 20.0;
    const double leg = SYMBOL_CX + side * 25.0;
    polygon(cr, {{outer, SYMBOL_CY - 2.5},
                 {inner, SYMBOL_CY - 2.5},
                 {inner, SYMBOL_CY + 10.0},
                 {leg, SYMBOL_CY + 10.0},
                 {leg, SYMBOL_CY + 2.5},
                 {outer, SYMBOL_CY + 2.5}});
  }
  cairo_new_sub_path(cr);
  cairo_arc(cr, SYMBOL_CX, SYMBOL_CY, 3.4, 0, 2 * PI);
  cairo_close_path(cr);
}

// The grey symbol is blended at (106, 135): its centre (160, 140) is (54, 5) here.
constexpr double VINTAGE_CX = 54.0;
constexpr double VINTAGE_CY = 5.0;

void vintage_bars_path(cairo_t* cr, const void*) {
  cairo_rectangle(cr, VINTAGE_CX - 51.0, VINTAGE_CY - 1.5, 37.0, 3.0);
  cairo_rectangle(cr, VINTAGE_CX + 14.0, VINTAGE_CY - 1.5, 37.0, 3.0);
  // The pedestal under the ball, widening downwards.
  polygon(cr, {{VINTAGE_CX - 1.8, VINTAGE_CY + 3.0},
               {VINTAGE_CX + 1.8, VINTAGE_CY + 3.0},
               {VINTAGE_CX + 7.5, VINTAGE_CY + 10.5},
               {VINTAGE_CX - 7.5, VINTAGE_CY + 10.5}});
}

void fill_outlined(cairo_t* cr, cairo_pattern_t* fill, std::uint32_t outline, double outline_width) {
  cairo_set_source(cr, fill);
  cairo_fill_preserve(cr);
  set_colour(cr, outline);
  cairo_set_line_width(cr, outline_width);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
  cairo_stroke(cr);
}

// The slip ball's centre sits 7 pixels from its image's left edge: at the indicator's rest place
// (x = 154) that is midway between the two reference lines at 146/147 and 174/175. The half-pixel
// variant is the same ball 0.5 further right.
void slip_ball(Canvas& c, double cx) { shaded_ball(c.cr(), cx, 10.0, 6.6, 0xFFFFFFFF, 0xFFCFCFCF, 0xFF6A6A6A); }

void ring(Canvas& c, std::uint32_t light, std::uint32_t dark) {
  cairo_t* cr = c.cr();
  cairo_pattern_t* shade = cairo_pattern_create_linear(3, 3, 17, 17);
  add_stop(shade, 0.0, light);
  add_stop(shade, 1.0, dark);
  cairo_arc(cr, 10.0, 10.0, 7.2, 0, 2 * PI);
  cairo_set_source(cr, shade);
  cairo_set_line_width(cr, 3.2);
  cairo_stroke(cr);
  cairo_pattern_destroy(shade);
}

}  // namespace

void paint_img_aircraft_symbol(Canvas& c) {
  cairo_t* cr = c.cr();
  soft_shadow(c, aircraft_symbol_path, nullptr, 1.5, 1.5, 1, 0xB0000000);
  aircraft_symbol_path(cr, nullptr);
  cairo_pattern_t* fill = cairo_pattern_create_linear(0, SYMBOL_CY - 3, 0, SYMBOL_CY + 10);
  add_stop(fill, 0.0, 0xFFFFF080);
  add_stop(fill, 0.4, SYMBOL_YELLOW);
  add_stop(fill, 1.0, 0xFFD09800);
  fill_outlined(cr, fill, BLACK, 1.1);
  cairo_pattern_destroy(fill);
}

void paint_img_aircraft_symbol_vintage(Canvas& c) {
  cairo_t* cr = c.cr();
  soft_shadow(c, vintage_bars_path, nullptr, 1.0, 1.0, 1, 0x90000000);
  vintage_bars_path(cr, nullptr);
  cairo_pattern_t* fill = cairo_pattern_create_linear(0, VINTAGE_CY - 2, 0, VINTAGE_CY + 11);
  add_stop(fill, 0.0, 0xFFE8E8E8);
  add_stop(fill, 1.0, 0xFF909090);
  fill_outlined(cr, fill, 0xFF303030, 0.8);
  cairo_pattern_destroy(fill);
  shaded_ball(cr, VINTAGE_CX, VINTAGE_CY, 4.2, 0xFFFFFFFF, 0xFFC4C4C4, 0xFF505050);
}

// Fixed roll index: an upward triangle whose tip is at x = 14 (screen x 160 when blended at 146),
// over the short trapezoid bar.
void paint_img_roll_pointer(Canvas& c) {
  cairo_t* cr = c.cr();
  polygon(cr, {{14.0, 1.0}, {23.5, 13.0}, {4.5, 13.0}});
  polygon(cr, {{6.5, 15.5}, {21.5, 15.5}, {23.5, 20.5}, {4.5, 20.5}});
  cairo_pattern_t* fill = cairo_pattern_create_linear(0, 1, 0, 21);
  add_stop(fill, 0.0, 0xFFF0FF60);
  add_stop(fill, 1.0, 0xFFA8D000);
  fill_outlined(cr, fill, 0xFF202800, 1.0);
  cairo_pattern_destroy(fill);
}

// Filled triangle, stored so that it points down as drawn.
void paint_img4_roll_mark(Canvas& c) {
  cairo_t* cr = c.cr();
  polygon(cr, {{4.0, 5.0}, {28.0, 5.0}, {16.0, 27.0}});
  set_colour(cr, WHITE);
  cairo_fill(cr);
}

// Glass tube: a translucent capsule with a bright rim and a highlight along its top.
void paint_img_slip_tube(Canvas& c) {
  cairo_t* cr = c.cr();
  const double x = 1.0, y = 4.5, w = 98.0, h = 17.0, r = 8.5;
  rounded_rect(cr, x, y, w, h, r);
  cairo_pattern_t* glass = cairo_pattern_create_linear(0, y, 0, y + h);
  add_stop(glass, 0.0, 0x70FFFFFF);
  add_stop(glass, 0.25, 0x50202020);
  add_stop(glass, 0.7, 0x70000000);
  add_stop(glass, 1.0, 0x60C0C0C0);
  cairo_set_source(cr, glass);
  cairo_fill(cr);
  cairo_pattern_destroy(glass);

  rounded_rect(cr, x + 7, y + 2.0, w - 14, 3.0, 1.5);
  set_colour(cr, 0x90FFFFFF);
  cairo_fill(cr);

  rounded_rect(cr, x - 0.5, y - 0.5, w + 1, h + 1, r + 0.5);
  set_colour(cr, 0xC0000000);
  cairo_set_line_width(cr, 1.0);
  cairo_stroke(cr);
  rounded_rect(cr, x + 0.5, y + 0.5, w - 1, h - 1, r - 0.5);
  set_colour(cr, 0xE0D8D8D8);
  cairo_stroke(cr);
}

void paint_img_slip_ball(Canvas& c) { slip_ball(c, 7.0); }
void paint_img_slip_ball_half(Canvas& c) { slip_ball(c, 7.5); }

// Opaque grey reference line, lit from the left.
void paint_img_slip_marker(Canvas& c) {
  cairo_t* cr = c.cr();
  cairo_rectangle(cr, 0, 0, 1, 16);
  set_colour(cr, 0xFFC8C8C8);
  cairo_fill(cr);
  cairo_rectangle(cr, 1, 0, 1, 16);
  set_colour(cr, 0xFF8C8C8C);
  cairo_fill(cr);
}

// G-meter pointers: the page places the image corner 8 pixels left of and 7 above the pointer
// position, so the ball's centre is (8, 7.5). Each is tinted like the scale it rides on: light gold
// in normal flight, yellow at the first two g alert stages, red at the limit.
void paint_img_dot_white(Canvas& c) { shaded_ball(c.cr(), 8.0, 7.5, 6.3, 0xFFFFF6D8, 0xFFE0C468, 0xFF6E5A1E); }
void paint_img_dot_orange(Canvas& c) { shaded_ball(c.cr(), 8.0, 7.5, 6.3, 0xFFFFFFC8, 0xFFFFE000, 0xFF8A7000); }
void paint_img_dot_red(Canvas& c) { shaded_ball(c.cr(), 8.0, 7.5, 6.3, 0xFFFFB0A8, 0xFFE01810, 0xFF6E0000); }

void paint_img_ring_grey(Canvas& c) { ring(c, 0xFFE0E0E0, 0xFF707070); }
void paint_img_ring_green(Canvas& c) { ring(c, 0xFF90FFA0, 0xFF087A1C); }
void paint_img_ring_red(Canvas& c) { ring(c, 0xFFFF9890, 0xFF8A0A08); }
void paint_img_ring_gold(Canvas& c) { ring(c, 0xFFF4DC90, 0xFF8A6E1C); }

}  // namespace art
