// Artwork of the heading pages: source labels, the heading tape strips, the heading bug, bearing
// pointer, waypoint star, the aircraft plan views and outline, the course arrowhead and the dots.
#include <cmath>
#include <string>

#include "tools/artgen/art.h"

namespace art {

namespace {

constexpr double PI = 3.14159265358979323846;
constexpr std::uint32_t LABEL_GREY = 0xFFB4B4B4;

// Grey capitals 7 pixels high standing on the row boundary `baseline`, so their tops and feet fall
// on pixel edges and stay sharp; narrowed if the word is wider than the room.
void label_text(Canvas& c, const std::string& text, double cx, double baseline, double room) {
  cairo_t* cr = c.cr();
  select_font(cr, weight::bold, size_for_cap_height(weight::bold, 7.0));
  const text_box box = measure(cr, text);
  cairo_save(cr);
  if (box.width > room) {
    cairo_translate(cr, cx, 0);
    cairo_scale(cr, room / box.width, 1.0);
    cairo_translate(cr, -cx, 0);
  }
  set_colour(cr, LABEL_GREY);
  text_on_baseline(cr, text, cx, baseline);
  cairo_restore(cr);
}

void label(Canvas& c, const std::string& text) { label_text(c, text, c.width() / 2.0, 7.0, c.width() - 1.0); }

// The compass card's label of heading h, as on the rose: N, E, S, W, otherwise tens of degrees.
std::string card_label(int heading) {
  switch (heading) {
    case 0:
      return "N";
    case 90:
      return "E";
    case 180:
      return "S";
    case 270:
      return "W";
    default:
      return std::to_string(heading / 10);
  }
}

// One pixel per degree; column j shows heading j - 180. Strip B has each mark centred on its
// column; strip A has them half a pixel further left, for headings in the upper half of a degree.
void heading_strip(Canvas& c, double shift) {
  cairo_t* cr = c.cr();
  // A faint band behind the marks keeps them readable over a bright sky.
  cairo_rectangle(cr, 0, 0, 360, 20);
  set_colour(cr, WHITE, 0.22);
  cairo_fill(cr);

  set_colour(cr, WHITE);
  select_font(cr, weight::bold, size_for_cap_height(weight::bold, 8.0));
  for (int heading = 0; heading < 360; heading += 5) {
    const double x = ((heading + 180) % 360) + 0.5 + shift;
    const bool long_tick = heading % 10 == 0;
    // Draw each mark once more a full turn away, so marks at the strip's ends wrap around.
    for (const double copy : {x - 360.0, x, x + 360.0}) {
      cairo_rectangle(cr, copy - 0.75, 0, 1.5, long_tick ? 6.0 : 3.5);
      cairo_fill(cr);
      if (heading % 30 == 0) text_on_baseline(cr, card_label(heading), copy, 18.0);
    }
  }
}

void plan_view_path(cairo_t* cr) {
  // Fuselage, wings and tailplane of an aircraft seen from above, nose up; the wing root's centre
  // is at (20, 17).
  cairo_new_sub_path(cr);
  cairo_move_to(cr, 20.0, 2.5);
  cairo_curve_to(cr, 22.2, 2.5, 22.6, 6.0, 22.6, 9.0);
  cairo_line_to(cr, 22.6, 13.5);
  cairo_line_to(cr, 37.5, 15.5);
  cairo_line_to(cr, 37.5, 19.5);
  cairo_line_to(cr, 22.6, 20.5);
  cairo_line_to(cr, 21.6, 30.5);
  cairo_line_to(cr, 28.5, 32.0);
  cairo_line_to(cr, 28.5, 35.0);
  cairo_line_to(cr, 20.8, 35.5);
  cairo_line_to(cr, 20.0, 37.5);
  cairo_line_to(cr, 19.2, 35.5);
  cairo_line_to(cr, 11.5, 35.0);
  cairo_line_to(cr, 11.5, 32.0);
  cairo_line_to(cr, 18.4, 30.5);
  cairo_line_to(cr, 17.4, 20.5);
  cairo_line_to(cr, 2.5, 19.5);
  cairo_line_to(cr, 2.5, 15.5);
  cairo_line_to(cr, 17.4, 13.5);
  cairo_line_to(cr, 17.4, 9.0);
  cairo_curve_to(cr, 17.4, 6.0, 17.8, 2.5, 20.0, 2.5);
  cairo_close_path(cr);
}

void outline_right_half(std::vector<std::pair<double, double>>& pts) {
  pts = {{64.0, 5.0},   {68.5, 9.0},   {71.5, 17.0},  {72.5, 28.0},  {72.5, 62.0},  {122.0, 74.0},
         {125.0, 76.0}, {125.0, 81.0}, {72.5, 87.0},  {71.0, 112.0}, {70.0, 124.0}, {95.0, 133.5},
         {96.0, 136.0}, {96.0, 140.0}, {68.0, 140.0}, {66.0, 147.0}, {64.0, 148.5}};
}

}  // namespace

void paint_img_label_dg(Canvas& c) { label(c, "DG"); }
void paint_img_label_gps(Canvas& c) { label(c, "GPS"); }
void paint_img_label_hdg(Canvas& c) { label(c, "HDG"); }
void paint_img_label_trk(Canvas& c) { label(c, "TRK"); }

// The two labels of a source, as a pair at the ends of one strip.
void paint_img_source_strip_gps(Canvas& c) {
  label_text(c, "GPS", 12.0, 8.0, 22.0);
  label_text(c, "TRK", 79.0, 8.0, 22.0);
}
void paint_img_source_strip_dg(Canvas& c) {
  label_text(c, "DG", 10.0, 8.0, 19.0);
  label_text(c, "HDG", 78.0, 8.0, 24.0);
}

void paint_img4_heading_strip_a(Canvas& c) { heading_strip(c, -0.5); }
void paint_img4_heading_strip_b(Canvas& c) { heading_strip(c, 0.0); }

// Magenta heading bug: a block with a notch on its outer side that the card mark of the selected
// heading sits in; the tip of the notch is the image's centre line.
void paint_img_heading_bug(Canvas& c) {
  cairo_t* cr = c.cr();
  auto shape = [cr](double d) {
    polygon(cr, {{1.5 + d, 1.5 + d},
                 {10.5 + d, 1.5 + d},
                 {15.0 + d, 8.0 + d},
                 {19.5 + d, 1.5 + d},
                 {28.5 + d, 1.5 + d},
                 {28.5 + d, 12.5 + d},
                 {1.5 + d, 12.5 + d}});
  };
  shape(1.0);
  set_colour(cr, 0xA0000000);
  cairo_fill(cr);
  shape(0.0);
  cairo_pattern_t* fill = cairo_pattern_create_linear(0, 1.5, 0, 12.5);
  add_stop(fill, 0.0, 0xFFFF70FF);
  add_stop(fill, 1.0, 0xFFC000C0);
  cairo_set_source(cr, fill);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(fill);
  set_colour(cr, 0xFF500050);
  cairo_set_line_width(cr, 0.8);
  cairo_stroke(cr);
}

// Green triangle pointing up, towards the card.
void paint_img_bearing_pointer(Canvas& c) {
  cairo_t* cr = c.cr();
  polygon(cr, {{10.0, 0.8}, {19.2, 9.2}, {0.8, 9.2}});
  cairo_pattern_t* fill = cairo_pattern_create_linear(0, 0, 0, 10);
  add_stop(fill, 0.0, 0xFF90FF90);
  add_stop(fill, 1.0, 0xFF00C800);
  cairo_set_source(cr, fill);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(fill);
  set_colour(cr, 0xFF004000);
  cairo_set_line_width(cr, 0.8);
  cairo_stroke(cr);
}

// White four-pointed star, drawn centred on the waypoint.
void paint_img_waypoint_star(Canvas& c) {
  cairo_t* cr = c.cr();
  std::vector<std::pair<double, double>> pts;
  for (int i = 0; i < 8; ++i) {
    const double a = i * PI / 4;
    const double r = (i % 2 == 0) ? 15.0 : 4.2;
    pts.push_back({16.0 + r * std::sin(a), 16.0 - r * std::cos(a)});
  }
  polygon(cr, pts);
  cairo_pattern_t* fill = cairo_pattern_create_radial(16, 16, 1, 16, 16, 15);
  add_stop(fill, 0.0, WHITE);
  add_stop(fill, 1.0, 0xFFD0D0D0);
  cairo_set_source(cr, fill);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(fill);
  set_colour(cr, 0xFF404040);
  cairo_set_line_width(cr, 0.8);
  cairo_stroke(cr);
}

// Small white aircraft seen from above (the HSI and arc presentations).
void paint_img_aircraft_plan_white(Canvas& c) {
  cairo_t* cr = c.cr();
  plan_view_path(cr);
  set_colour(cr, WHITE);
  cairo_fill_preserve(cr);
  set_colour(cr, 0xFF505050);
  cairo_set_line_width(cr, 0.9);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_stroke(cr);
}

// The vintage form: a plain cross-shaped aircraft in orange gold, round-ended bars with a dark rim.
void paint_img_aircraft_plan_orange(Canvas& c) {
  cairo_t* cr = c.cr();
  auto bars = [cr]() {
    cairo_move_to(cr, 20.0, 4.5);  // fuselage
    cairo_line_to(cr, 20.0, 35.0);
    cairo_move_to(cr, 4.5, 17.0);  // wings
    cairo_line_to(cr, 35.5, 17.0);
    cairo_move_to(cr, 13.0, 32.5);  // tailplane
    cairo_line_to(cr, 27.0, 32.5);
  };
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  bars();
  set_colour(cr, 0xFF5A3A00);
  cairo_set_line_width(cr, 5.6);
  cairo_stroke(cr);
  bars();
  cairo_pattern_t* fill = cairo_pattern_create_linear(0, 3, 0, 37);
  add_stop(fill, 0.0, 0xFFFFD080);
  add_stop(fill, 1.0, 0xFFD89020);
  cairo_set_source(cr, fill);
  cairo_set_line_width(cr, 4.0);
  cairo_stroke(cr);
  cairo_pattern_destroy(fill);
}

// Large outline of an aircraft from above, centred on the rose: the wing's centre is (64, 75).
void paint_img4_aircraft_outline(Canvas& c) {
  cairo_t* cr = c.cr();
  std::vector<std::pair<double, double>> right;
  outline_right_half(right);
  std::vector<std::pair<double, double>> all = right;
  for (auto it = right.rbegin() + 1; it != right.rend() - 1; ++it) all.push_back({128.0 - it->first, it->second});
  polygon(cr, all);
  set_colour(cr, WHITE);
  cairo_set_line_width(cr, 2.2);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_stroke(cr);
}

// Course arrowhead, pointing up, centred in its cell.
void paint_img4_course_arrow(Canvas& c) {
  cairo_t* cr = c.cr();
  polygon(cr, {{12.0, 1.0}, {21.5, 21.0}, {12.0, 16.0}, {2.5, 21.0}});
  set_colour(cr, WHITE);
  cairo_fill(cr);
}

void paint_img4_dot_ring(Canvas& c) {
  cairo_t* cr = c.cr();
  cairo_arc(cr, 8.0, 8.0, 5.2, 0, 2 * PI);
  set_colour(cr, WHITE);
  cairo_set_line_width(cr, 2.2);
  cairo_stroke(cr);
}

void paint_img4_up_arrow(Canvas& c) {
  cairo_t* cr = c.cr();
  polygon(cr, {{6.0, 0.5}, {11.5, 11.0}, {8.0, 11.0}, {8.0, 29.5}, {4.0, 29.5}, {4.0, 11.0}, {0.5, 11.0}});
  set_colour(cr, WHITE);
  cairo_fill(cr);
}

}  // namespace art
