// Drawing helpers shared by the artwork: a cairo canvas of one image's exact size, colours given as
// 0xAARRGGBB words, rounded shapes, soft shadows, shaded balls and text in Liberation Sans.
#pragma once
#include <cairo.h>

#include <cstdint>
#include <string>
#include <vector>

namespace art {

// One image being drawn: an ARGB32 cairo surface of exactly the catalogue size, transparent at start.
class Canvas {
 public:
  Canvas(int width, int height);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  cairo_t* cr() const { return cr_; }
  cairo_surface_t* surface() const { return surface_; }
  int width() const { return width_; }
  int height() const { return height_; }

  // The picture as packed 0xAARRGGBB words, top row first, colour NOT premultiplied by alpha.
  std::vector<std::uint32_t> straight_pixels() const;
  // The alpha channel as coverage 0..15, one value per pixel, top row first.
  std::vector<std::uint8_t> coverage4() const;

 private:
  int width_;
  int height_;
  cairo_surface_t* surface_;
  cairo_t* cr_;
};

// Exact inverse of cairo's premultiplication for one native ARGB32 word.
std::uint32_t unpremultiply(std::uint32_t premultiplied);
// Four-bit image bytes: rows bottom-up, two pixels per byte, high nibble = left (even) column.
std::vector<std::uint8_t> pack4_bottom_up(const std::vector<std::uint8_t>& coverage, int width, int height);

void set_colour(cairo_t* cr, std::uint32_t argb);
void set_colour(cairo_t* cr, std::uint32_t argb, double alpha_scale);
void add_stop(cairo_pattern_t* pattern, double offset, std::uint32_t argb);

// Path helpers (they only build the path).
void rounded_rect(cairo_t* cr, double x, double y, double w, double h, double r);
// Rounded only at the two upper corners.
void rounded_top_rect(cairo_t* cr, double x, double y, double w, double h, double r);
void polygon(cairo_t* cr, const std::vector<std::pair<double, double>>& points);

// A shape drawn by a callback that only builds a path.
using path_fn = void (*)(cairo_t* cr, const void* user);

// A blurred copy of the filled shape, offset by (dx, dy), in colour: a soft drop shadow.
void soft_shadow(Canvas& canvas, path_fn path, const void* user, double dx, double dy, int blur_radius,
                 std::uint32_t colour);

// A ball lit from the upper left: radial shading from a highlight to the rim colour, a thin dark rim.
void shaded_ball(cairo_t* cr, double cx, double cy, double r, std::uint32_t highlight, std::uint32_t body,
                 std::uint32_t rim);

// Text in Liberation Sans as filled outlines (exact sub-pixel placement, no hinting).
enum class weight { regular, bold };
struct text_box {
  double width;   // ink width
  double height;  // ink height
  double x_bearing;
  double y_bearing;
  double advance;
};
void select_font(cairo_t* cr, weight w, double pixel_size);
text_box measure(cairo_t* cr, const std::string& text);
// Ink centred on (cx, cy).
void text_centred(cairo_t* cr, const std::string& text, double cx, double cy);
// Ink centred on cx, the baseline on row boundary `baseline` (capitals then end exactly there).
void text_on_baseline(cairo_t* cr, const std::string& text, double cx, double baseline);
// Ink left edge at x, ink vertically centred on cy.
void text_left(cairo_t* cr, const std::string& text, double x, double cy);
// Font pixel size whose capital letters are cap_height pixels tall.
double size_for_cap_height(weight w, double cap_height);

// Where the typeface files are; fails the program with a clear message if one is missing.
void load_fonts(const std::string& regular_path, const std::string& bold_path);
void unload_fonts();

}  // namespace art
