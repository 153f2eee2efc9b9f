#include "tools/artgen/canvas.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace art {

namespace {

FT_Library ft_library = nullptr;
FT_Face ft_faces[2] = {nullptr, nullptr};
cairo_font_face_t* cairo_faces[2] = {nullptr, nullptr};

[[noreturn]] void fail(const std::string& message) {
  std::fprintf(stderr, "vesper-artgen: %s\n", message.c_str());
  std::exit(1);
}

// One pass of a horizontal or vertical running-mean blur over an 8-bit mask.
void box_blur(std::vector<double>& v, int w, int h, int radius, bool horizontal) {
  std::vector<double> out(v.size(), 0.0);
  const int n = horizontal ? w : h;
  const int lines = horizontal ? h : w;
  for (int line = 0; line < lines; ++line) {
    for (int i = 0; i < n; ++i) {
      double sum = 0.0;
      for (int k = -radius; k <= radius; ++k) {
        const int j = i + k;
        if (j < 0 || j >= n) continue;
        sum += horizontal ? v[static_cast<std::size_t>(line) * w + j] : v[static_cast<std::size_t>(j) * w + line];
      }
      const double mean = sum / (2 * radius + 1);
      if (horizontal) {
        out[static_cast<std::size_t>(line) * w + i] = mean;
      } else {
        out[static_cast<std::size_t>(i) * w + line] = mean;
      }
    }
  }
  v.swap(out);
}

}  // namespace

Canvas::Canvas(int width, int height) : width_(width), height_(height) {
  surface_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  if (cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS) fail("cannot create a drawing surface");
  cr_ = cairo_create(surface_);
  cairo_set_antialias(cr_, CAIRO_ANTIALIAS_GRAY);
}

Canvas::~Canvas() {
  cairo_destroy(cr_);
  cairo_surface_destroy(surface_);
}

std::uint32_t unpremultiply(std::uint32_t p) {
  const std::uint32_t a = p >> 24;
  if (a == 0) return 0;
  if (a == 255) return p;
  auto channel = [a](std::uint32_t c) { return std::min<std::uint32_t>(255, (c * 255 + a / 2) / a); };
  return a << 24 | channel(p >> 16 & 255) << 16 | channel(p >> 8 & 255) << 8 | channel(p & 255);
}

std::vector<std::uint32_t> Canvas::straight_pixels() const {
  cairo_surface_flush(surface_);
  const unsigned char* data = cairo_image_surface_get_data(surface_);
  const int stride = cairo_image_surface_get_stride(surface_);
  std::vector<std::uint32_t> out(static_cast<std::size_t>(width_) * height_);
  for (int y = 0; y < height_; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
    for (int x = 0; x < width_; ++x) out[static_cast<std::size_t>(y) * width_ + x] = unpremultiply(row[x]);
  }
  return out;
}

std::vector<std::uint8_t> Canvas::coverage4() const {
  cairo_surface_flush(surface_);
  const unsigned char* data = cairo_image_surface_get_data(surface_);
  const int stride = cairo_image_surface_get_stride(surface_);
  std::vector<std::uint8_t> out(static_cast<std::size_t>(width_) * height_);
  for (int y = 0; y < height_; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
    for (int x = 0; x < width_; ++x) {
      const std::uint32_t a = row[x] >> 24;
      out[static_cast<std::size_t>(y) * width_ + x] = static_cast<std::uint8_t>((a * 15 + 127) / 255);
    }
  }
  return out;
}

std::vector<std::uint8_t> pack4_bottom_up(const std::vector<std::uint8_t>& coverage, int width, int height) {
  std::vector<std::uint8_t> out(static_cast<std::size_t>(width / 2) * height);
  for (int stored = 0; stored < height; ++stored) {
    const int row = height - 1 - stored;
    for (int i = 0; i < width / 2; ++i) {
      const std::uint8_t left = coverage[static_cast<std::size_t>(row) * width + 2 * i];
      const std::uint8_t right = coverage[static_cast<std::size_t>(row) * width + 2 * i + 1];
      out[static_cast<std::size_t>(stored) * (width / 2) + i] = static_cast<std::uint8_t>(left << 4 | right);
    }
  }
  return out;
}

void set_colour(cairo_t* cr, std::uint32_t argb) { set_colour(cr, argb, 1.0); }

void set_colour(cairo_t* cr, std::uint32_t argb, double alpha_scale) {
  cairo_set_source_rgba(cr, (argb >> 16 & 255) / 255.0, (argb >> 8 & 255) / 255.0, (argb & 255) / 255.0,
                        (argb >> 24) / 255.0 * alpha_scale);
}

void add_stop(cairo_pattern_t* pattern, double offset, std::uint32_t argb) {
  cairo_pattern_add_color_stop_rgba(pattern, offset, (argb >> 16 & 255) / 255.0, (argb >> 8 & 255) / 255.0,
                                    (argb & 255) / 255.0, (argb >> 24) / 255.0);
}

void rounded_rect(cairo_t* cr, double x, double y, double w, double h, double r) {
  const double pi = 3.14159265358979323846;
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -pi / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, pi / 2);
  cairo_arc(cr, x + r, y + h - r, r, pi / 2, pi);
  cairo_arc(cr, x + r, y + r, r, pi, 3 * pi / 2);
  cairo_close_path(cr);
}

void rounded_top_rect(cairo_t* cr, double x, double y, double w, double h, double r) {
  const double pi = 3.14159265358979323846;
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -pi / 2, 0);
  cairo_line_to(cr, x + w, y + h);
  cairo_line_to(cr, x, y + h);
  cairo_arc(cr, x + r, y + r, r, pi, 3 * pi / 2);
  cairo_close_path(cr);
}

void polygon(cairo_t* cr, const std::vector<std::pair<double, double>>& points) {
  cairo_new_sub_path(cr);
  for (const auto& [x, y] : points) cairo_line_to(cr, x, y);
  cairo_close_path(cr);
}

void soft_shadow(Canvas& canvas, path_fn path, const void* user, double dx, double dy, int blur_radius,
                 std::uint32_t colour) {
  const int w = canvas.width();
  const int h = canvas.height();
  cairo_surface_t* mask = cairo_image_surface_create(CAIRO_FORMAT_A8, w, h);
  cairo_t* mcr = cairo_create(mask);
  cairo_translate(mcr, dx, dy);
  path(mcr, user);
  cairo_set_source_rgba(mcr, 0, 0, 0, 1);
  cairo_fill(mcr);
  cairo_destroy(mcr);
  cairo_surface_flush(mask);

  unsigned char* data = cairo_image_surface_get_data(mask);
  const int stride = cairo_image_surface_get_stride(mask);
  std::vector<double> v(static_cast<std::size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) v[static_cast<std::size_t>(y) * w + x] = data[y * stride + x];
  // Two passes each way of a running mean come close to a gaussian.
  for (int pass = 0; pass < 2; ++pass) {
    box_blur(v, w, h, blur_radius, true);
    box_blur(v, w, h, blur_radius, false);
  }
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      data[y * stride + x] =
          static_cast<unsigned char>(std::lround(std::clamp(v[static_cast<std::size_t>(y) * w + x], 0.0, 255.0)));
  cairo_surface_mark_dirty(mask);

  cairo_t* cr = canvas.cr();
  cairo_save(cr);
  cairo_identity_matrix(cr);
  set_colour(cr, colour);
  cairo_mask_surface(cr, mask, 0, 0);
  cairo_restore(cr);
  cairo_surface_destroy(mask);
}

void shaded_ball(cairo_t* cr, double cx, double cy, double r, std::uint32_t highlight, std::uint32_t body,
                 std::uint32_t rim) {
  cairo_pattern_t* shade = cairo_pattern_create_radial(cx - 0.35 * r, cy - 0.4 * r, 0.1 * r, cx, cy, r);
  add_stop(shade, 0.0, highlight);
  add_stop(shade, 0.55, body);
  add_stop(shade, 1.0, rim);
  cairo_arc(cr, cx, cy, r, 0, 2 * 3.14159265358979323846);
  cairo_set_source(cr, shade);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(shade);
  cairo_set_line_width(cr, 0.8);
  set_colour(cr, rim, 0.9);
  cairo_stroke(cr);
}

void load_fonts(const std::string& regular_path, const std::string& bold_path) {
  if (FT_Init_FreeType(&ft_library) != 0) fail("cannot start FreeType");
  const std::string paths[2] = {regular_path, bold_path};
  for (int i = 0; i < 2; ++i) {
    if (FT_New_Face(ft_library, paths[i].c_str(), 0, &ft_faces[i]) != 0)
      fail("cannot open the typeface " + paths[i] + " (install fonts-liberation2)");
    cairo_faces[i] = cairo_ft_font_face_create_for_ft_face(ft_faces[i], 0);
  }
}

void unload_fonts() {
  for (int i = 0; i < 2; ++i) {
    if (cairo_faces[i]) cairo_font_face_destroy(cairo_faces[i]);
    if (ft_faces[i]) FT_Done_Face(ft_faces[i]);
    cairo_faces[i] = nullptr;
    ft_faces[i] = nullptr;
  }
  if (ft_library) FT_Done_FreeType(ft_library);
  ft_library = nullptr;
}

void select_font(cairo_t* cr, weight w, double pixel_size) {
  cairo_set_font_face(cr, cairo_faces[w == weight::bold ? 1 : 0]);
  cairo_set_font_size(cr, pixel_size);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_set_font_options(cr, options);
  cairo_font_options_destroy(options);
}

text_box measure(cairo_t* cr, const std::string& text) {
  cairo_text_extents_t e;
  cairo_text_extents(cr, text.c_str(), &e);
  return {e.width, e.height, e.x_bearing, e.y_bearing, e.x_advance};
}

void text_centred(cairo_t* cr, const std::string& text, double cx, double cy) {
  const text_box box = measure(cr, text);
  cairo_move_to(cr, cx - box.x_bearing - box.width / 2, cy - box.y_bearing - box.height / 2);
  cairo_text_path(cr, text.c_str());
  cairo_fill(cr);
}

void text_on_baseline(cairo_t* cr, const std::string& text, double cx, double baseline) {
  const text_box box = measure(cr, text);
  cairo_move_to(cr, cx - box.x_bearing - box.width / 2, baseline);
  cairo_text_path(cr, text.c_str());
  cairo_fill(cr);
}

void text_left(cairo_t* cr, const std::string& text, double x, double cy) {
  const text_box box = measure(cr, text);
  cairo_move_to(cr, x - box.x_bearing, cy - box.y_bearing - box.height / 2);
  cairo_text_path(cr, text.c_str());
  cairo_fill(cr);
}

double size_for_cap_height(weight w, double cap_height) {
  FT_Face face = ft_faces[w == weight::bold ? 1 : 0];
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  double ratio = 0.729;  // usual for this typeface, used only if the table is absent
  if (os2 && os2->version >= 2 && os2->sCapHeight > 0)
    ratio = static_cast<double>(os2->sCapHeight) / face->units_per_EM;
  return cap_height / ratio;
}

}  // namespace art
