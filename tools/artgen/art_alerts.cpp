// Alert boxes, the angle-of-attack bars, the status badge with its power icon and the battery box.
#include <algorithm>
#include <cmath>

#include "tools/artgen/art.h"

namespace art {

namespace {

// The face of an alert box; the page centres its black text on (55, 13.5) of the image.
struct box_shape {
  double x, y, w, h, r;
};
void box_path(cairo_t* cr, const void* user) {
  const auto* b = static_cast<const box_shape*>(user);
  rounded_rect(cr, b->x, b->y, b->w, b->h, b->r);
}

void alert_box(Canvas& c, std::uint32_t light, std::uint32_t base, std::uint32_t dark) {
  cairo_t* cr = c.cr();
  const box_shape face{4.0, 1.0, 102.0, 25.0, 5.0};
  soft_shadow(c, box_path, &face, 2.5, 2.5, 2, 0xA0000000);
  box_path(cr, &face);
  cairo_pattern_t* fill = cairo_pattern_create_linear(0, face.y, 0, face.y + face.h);
  add_stop(fill, 0.0, light);
  add_stop(fill, 0.45, base);
  add_stop(fill, 1.0, dark);
  cairo_set_source(cr, fill);
  cairo_fill(cr);
  cairo_pattern_destroy(fill);
  // A bright line under the top edge and a dark rim give the face some depth.
  rounded_rect(cr, face.x + 1.5, face.y + 1.5, face.w - 3, face.h - 3, face.r - 1.5);
  set_colour(cr, WHITE, 0.35);
  cairo_set_line_width(cr, 1.0);
  cairo_stroke(cr);
  rounded_rect(cr, face.x + 0.5, face.y + 0.5, face.w - 1, face.h - 1, face.r - 0.5);
  set_colour(cr, dark);
  cairo_stroke(cr);
}

// One indexer bar: a slanted parallelogram across its image. rise is how much higher the right end
// sits than the left; top and bottom are the rows kept clear (a neighbour's copy overwrites them).
struct bar_shape {
  double rise;
  double top;
  double bottom;
};

void aoa_bar(Canvas& c, const bar_shape& s, std::uint32_t light, std::uint32_t base, std::uint32_t dark) {
  cairo_t* cr = c.cr();
  const double w = c.width();
  const double h = c.height();
  const double thick = h - s.top - s.bottom - std::fabs(s.rise);
  const double left_top = s.rise > 0 ? s.top + s.rise : s.top;
  const double right_top = left_top - s.rise;
  const double x0 = 0.5;
  const double x1 = w - 0.5;
  polygon(cr, {{x0, left_top}, {x1, right_top}, {x1, right_top + thick}, {x0, left_top + thick}});
  cairo_pattern_t* fill =
      cairo_pattern_create_linear(0, std::min(left_top, right_top), 0, std::max(left_top, right_top) + thick);
  add_stop(fill, 0.0, light);
  add_stop(fill, 0.5, base);
  add_stop(fill, 1.0, dark);
  cairo_set_source(cr, fill);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(fill);
  set_colour(cr, dark);
  cairo_set_line_width(cr, 0.8);
  cairo_stroke(cr);
}

constexpr std::uint32_t GREEN_LIGHT = 0xFF8CFF9C;
constexpr std::uint32_t GREEN_DARK = 0xFF0A7A1E;
constexpr std::uint32_t AMBER_LIGHT = 0xFFFFE080;
constexpr std::uint32_t AMBER_DARK = 0xFFB06A00;
constexpr std::uint32_t RED_LIGHT = 0xFFFF9080;
constexpr std::uint32_t RED_DARK = 0xFF8A0A08;

}  // namespace

void paint_img_alert_amber(Canvas& c) { alert_box(c, AMBER_LIGHT, AMBER, AMBER_DARK); }
void paint_img_alert_red(Canvas& c) { alert_box(c, RED_LIGHT, ALERT_RED, RED_DARK); }

// The column of bars curves like the edge of a dial: the lower bars rise to the right, the middle
// ones lie flat and the upper ones fall to the right, each a little thicker than the one below.
void paint_img_aoa_bar_0(Canvas& c) { aoa_bar(c, {2.0, 0.5, 0.5}, GREEN_LIGHT, AOA_GREEN, GREEN_DARK); }
void paint_img_aoa_bar_1(Canvas& c) { aoa_bar(c, {2.0, 0.5, 0.5}, GREEN_LIGHT, AOA_GREEN, GREEN_DARK); }
void paint_img_aoa_bar_2(Canvas& c) { aoa_bar(c, {3.0, 3.5, 0.5}, GREEN_LIGHT, AOA_GREEN, GREEN_DARK); }
void paint_img_aoa_bar_3(Canvas& c) { aoa_bar(c, {3.0, 1.5, 0.5}, GREEN_LIGHT, AOA_GREEN, GREEN_DARK); }
void paint_img_aoa_bar_4(Canvas& c) { aoa_bar(c, {2.0, 1.5, 1.5}, GREEN_LIGHT, AOA_GREEN, GREEN_DARK); }
void paint_img_aoa_bar_5(Canvas& c) { aoa_bar(c, {0.0, 1.5, 1.5}, GREEN_LIGHT, AOA_GREEN, GREEN_DARK); }
void paint_img_aoa_bar_6(Canvas& c) { aoa_bar(c, {-2.0, 1.5, 1.5}, AMBER_LIGHT, AMBER, AMBER_DARK); }
void paint_img_aoa_bar_7(Canvas& c) { aoa_bar(c, {-4.0, 1.5, 1.5}, AMBER_LIGHT, AMBER, AMBER_DARK); }
void paint_img_aoa_bar_8(Canvas& c) { aoa_bar(c, {-5.0, 1.5, 1.5}, RED_LIGHT, ALERT_RED, RED_DARK); }
void paint_img_aoa_bar_9(Canvas& c) { aoa_bar(c, {-6.0, 1.5, 1.5}, RED_LIGHT, ALERT_RED, RED_DARK); }

// Black rounded badge behind the percentage in the lower right corner.
void paint_img_status_badge(Canvas& c) {
  cairo_t* cr = c.cr();
  rounded_rect(cr, 0.5, 0.5, 38, 17, 5);
  set_colour(cr, BLACK, 0.92);
  cairo_fill_preserve(cr);
  set_colour(cr, 0xFF5A5A5A);
  cairo_set_line_width(cr, 1.0);
  cairo_stroke(cr);
}

// Lightning bolt: the instrument runs from its own supply.
void paint_img_power_icon(Canvas& c) {
  cairo_t* cr = c.cr();
  polygon(cr, {{5.2, 0.4}, {0.6, 7.2}, {3.6, 7.2}, {2.2, 12.6}, {7.4, 5.0}, {4.4, 5.0}, {6.6, 0.4}});
  set_colour(cr, 0xFFFFE040);
  cairo_fill_preserve(cr);
  set_colour(cr, 0xFF6A5000);
  cairo_set_line_width(cr, 0.7);
  cairo_stroke(cr);
}

// Yellow box reading ON BATTERY in black.
void paint_img_on_battery(Canvas& c) {
  cairo_t* cr = c.cr();
  rounded_rect(cr, 0.5, 0.5, 68, 17, 3.5);
  cairo_pattern_t* fill = cairo_pattern_create_linear(0, 0, 0, 18);
  add_stop(fill, 0.0, 0xFFFFF060);
  add_stop(fill, 1.0, 0xFFE8C800);
  cairo_set_source(cr, fill);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(fill);
  set_colour(cr, 0xFF7A6400);
  cairo_set_line_width(cr, 1.0);
  cairo_stroke(cr);

  select_font(cr, weight::bold, size_for_cap_height(weight::bold, 8.0));
  const text_box box = measure(cr, "ON BATTERY");
  const double room = 62.0;
  cairo_save(cr);
  if (box.width > room) {
    // Narrow the letters rather than the height so the words stay readable.
    const double squeeze = room / box.width;
    cairo_translate(cr, 34.5, 0);
    cairo_scale(cr, squeeze, 1.0);
    cairo_translate(cr, -34.5, 0);
  }
  set_colour(cr, BLACK);
  text_on_baseline(cr, "ON BATTERY", 34.5, 13.0);
  cairo_restore(cr);
}

}  // namespace art
