// Draws the window's pictures with cairo and writes them as constant tables:
//   vesper_bezel_art OUT.cpp [--png DIR]
// The bezel is the instrument face in a strip of panel; the face is the same drawing without the
// panel; the mask is the display opening, pixel for pixel the hole cut into both.
#include <cairo.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "host/desktop/art/bezel_geometry.h"

namespace {

constexpr double PI = 3.14159265358979323846;

struct rgb {
  double r, g, b;
};

void set_rgb(cairo_t* cr, rgb c, double alpha = 1.0) { cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha); }

rgb grey(double v) { return {v, v, v}; }

// Degrees clockwise from the top, as the instrument measures angles, to cairo's radians.
double cairo_angle(double degrees) { return (degrees - 90.0) * PI / 180.0; }

void rounded_rect(cairo_t* cr, double x, double y, double w, double h, double r) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -PI / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, PI / 2);
  cairo_arc(cr, x + r, y + h - r, r, PI / 2, PI);
  cairo_arc(cr, x + r, y + r, r, PI, 3 * PI / 2);
  cairo_close_path(cr);
}

// The outline of the display opening in bezel coordinates, grown outwards by `grow` pixels.
void opening_path(cairo_t* cr, double grow) {
  const double left = PRESENT_X - grow;
  const double right = PRESENT_X + MASK_W + grow;
  const double bottom = PRESENT_Y + SHOWN_ROWS + grow;
  const double cx = PRESENT_X + ARCH_CENTRE_X;
  const double cy = PRESENT_Y - FIRST_SHOWN_ROW + ARCH_CENTRE_Y;
  const double radius = ARCH_RADIUS + grow;
  const double half = std::asin((right - cx) / radius);
  const double r = BOTTOM_CORNER_RADIUS + grow;
  cairo_new_sub_path(cr);
  cairo_arc(cr, cx, cy, radius, -PI / 2 - half, -PI / 2 + half);
  cairo_line_to(cr, right, bottom - r);
  cairo_arc(cr, right - r, bottom - r, r, 0, PI / 2);
  cairo_line_to(cr, left + r, bottom);
  cairo_arc(cr, left + r, bottom - r, r, PI / 2, PI);
  cairo_close_path(cr);
}

// Deterministic noise for the textures, so every build draws the same pixels.
struct lcg {
  std::uint32_t state = 0x2545F491u;
  double next() {
    state = state * 1664525u + 1013904223u;
    return (state >> 8) / 16777216.0;
  }
};

// Liberation Sans comes with the build packages (fonts-liberation2), so every machine draws the same.
void draw_text_spaced(cairo_t* cr, const char* text, double centre_x, double baseline, double size, double spacing,
                      bool bold, rgb colour, double alpha) {
  cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL,
                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, size);
  double total = 0.0;
  const std::size_t n = std::strlen(text);
  for (std::size_t i = 0; i < n; ++i) {
    const char glyph[2] = {text[i], 0};
    cairo_text_extents_t e;
    cairo_text_extents(cr, glyph, &e);
    total += e.x_advance + (i + 1 < n ? spacing : 0.0);
  }
  double x = centre_x - total / 2.0;
  for (std::size_t i = 0; i < n; ++i) {
    const char glyph[2] = {text[i], 0};
    cairo_text_extents_t e;
    cairo_text_extents(cr, glyph, &e);
    // An engraved look: a dark cut above, the filled letter below it.
    cairo_move_to(cr, x, baseline - 0.8);
    set_rgb(cr, grey(0.0), 0.8 * alpha);
    cairo_show_text(cr, glyph);
    cairo_move_to(cr, x, baseline);
    set_rgb(cr, colour, alpha);
    cairo_show_text(cr, glyph);
    x += e.x_advance + spacing;
  }
}

// The aircraft panel the instrument is mounted in: dark, slightly textured paint.
void draw_panel(cairo_t* cr) {
  cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 0, BEZEL_H);
  cairo_pattern_add_color_stop_rgb(p, 0.0, 0.19, 0.20, 0.22);
  cairo_pattern_add_color_stop_rgb(p, 1.0, 0.12, 0.13, 0.14);
  cairo_set_source(cr, p);
  cairo_paint(cr);
  cairo_pattern_destroy(p);
  lcg noise;
  cairo_set_line_width(cr, 1.0);
  for (int i = 0; i < 2400; ++i) {
    const double x = noise.next() * BEZEL_W;
    const double y = noise.next() * BEZEL_H;
    const double shade = noise.next();
    set_rgb(cr, grey(shade > 0.5 ? 1.0 : 0.0), 0.035);
    cairo_rectangle(cr, std::floor(x), std::floor(y), 1, 1);
    cairo_fill(cr);
  }
}

// A soft shadow under a rounded shape: concentric strokes of falling darkness.
void soft_shadow(cairo_t* cr, double x, double y, double w, double h, double r, double dy, int spread) {
  for (int i = spread; i > 0; --i) {
    rounded_rect(cr, x - i, y - i + dy, w + 2 * i, h + 2 * i, r + i);
    set_rgb(cr, grey(0.0), 0.5 / spread);
    cairo_fill(cr);
  }
}

void draw_screw(cairo_t* cr, double cx, double cy, double slot_angle) {
  cairo_arc(cr, cx, cy + 1.0, 9.0, 0, 2 * PI);
  set_rgb(cr, grey(0.0), 0.5);
  cairo_fill(cr);
  cairo_pattern_t* p = cairo_pattern_create_radial(cx - 3, cy - 3, 1.0, cx, cy, 8.0);
  cairo_pattern_add_color_stop_rgb(p, 0.0, 0.78, 0.79, 0.80);
  cairo_pattern_add_color_stop_rgb(p, 0.7, 0.45, 0.46, 0.48);
  cairo_pattern_add_color_stop_rgb(p, 1.0, 0.22, 0.23, 0.24);
  cairo_arc(cr, cx, cy, 8.0, 0, 2 * PI);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  // Cross-head recess.
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_rotate(cr, slot_angle * PI / 180.0);
  cairo_set_line_width(cr, 2.2);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  set_rgb(cr, grey(0.12));
  cairo_move_to(cr, -4.5, 0);
  cairo_line_to(cr, 4.5, 0);
  cairo_move_to(cr, 0, -4.5);
  cairo_line_to(cr, 0, 4.5);
  cairo_stroke(cr);
  cairo_restore(cr);
}

void draw_button(cairo_t* cr, double cx, double cy) {
  // Bezel well around the button.
  cairo_arc(cr, cx, cy, 17.5, 0, 2 * PI);
  cairo_pattern_t* well = cairo_pattern_create_linear(cx, cy - 17, cx, cy + 17);
  cairo_pattern_add_color_stop_rgb(well, 0.0, 0.05, 0.05, 0.06);
  cairo_pattern_add_color_stop_rgb(well, 1.0, 0.30, 0.31, 0.33);
  cairo_set_source(cr, well);
  cairo_fill(cr);
  cairo_pattern_destroy(well);
  // The rubber cap, lit from the top left.
  cairo_pattern_t* cap = cairo_pattern_create_radial(cx - 5, cy - 6, 2.0, cx, cy, 14.5);
  cairo_pattern_add_color_stop_rgb(cap, 0.0, 0.42, 0.43, 0.46);
  cairo_pattern_add_color_stop_rgb(cap, 0.8, 0.17, 0.18, 0.20);
  cairo_pattern_add_color_stop_rgb(cap, 1.0, 0.09, 0.09, 0.10);
  cairo_arc(cr, cx, cy, 14.5, 0, 2 * PI);
  cairo_set_source(cr, cap);
  cairo_fill(cr);
  cairo_pattern_destroy(cap);
  cairo_set_line_width(cr, 1.0);
  cairo_arc(cr, cx, cy, 14.0, cairo_angle(-80), cairo_angle(20));
  set_rgb(cr, grey(0.75), 0.35);
  cairo_stroke(cr);
}

void draw_turn_arrow(cairo_t* cr, double from_deg, double to_deg) {
  const double radius = 38.0;
  cairo_set_line_width(cr, 2.2);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  set_rgb(cr, grey(0.80));
  if (to_deg > from_deg) {
    cairo_arc(cr, KNOB_CX, KNOB_CY, radius, cairo_angle(from_deg), cairo_angle(to_deg));
  } else {
    cairo_arc_negative(cr, KNOB_CX, KNOB_CY, radius, cairo_angle(from_deg), cairo_angle(to_deg));
  }
  cairo_stroke(cr);
  // Arrowhead at the far end, pointing along the turn.
  const double a = to_deg * PI / 180.0;
  const double tip_x = KNOB_CX + radius * std::sin(a);
  const double tip_y = KNOB_CY - radius * std::cos(a);
  const double dir = to_deg > from_deg ? 1.0 : -1.0;
  const double tx = std::cos(a) * dir;  // tangent in the direction of travel
  const double ty = std::sin(a) * dir;
  const double nx = std::sin(a);  // outward normal
  const double ny = -std::cos(a);
  cairo_move_to(cr, tip_x + tx * 5.0, tip_y + ty * 5.0);
  cairo_line_to(cr, tip_x - tx * 2.0 + nx * 4.5, tip_y - ty * 2.0 + ny * 4.5);
  cairo_line_to(cr, tip_x - tx * 2.0 - nx * 4.5, tip_y - ty * 2.0 - ny * 4.5);
  cairo_close_path(cr);
  cairo_fill(cr);
}

void draw_knob(cairo_t* cr) {
  const double cx = KNOB_CX;
  const double cy = KNOB_CY;
  // Shadow thrown down and right onto the face.
  for (int i = 8; i > 0; --i) {
    cairo_arc(cr, cx + 1.5, cy + 3.0, 30.0 + i, 0, 2 * PI);
    set_rgb(cr, grey(0.0), 0.07);
    cairo_fill(cr);
  }
  // Knurled skirt.
  cairo_arc(cr, cx, cy, 30.0, 0, 2 * PI);
  set_rgb(cr, grey(0.10));
  cairo_fill(cr);
  const int ridges = 60;
  for (int i = 0; i < ridges; ++i) {
    const double a0 = i * 2 * PI / ridges;
    const double a1 = a0 + PI / ridges;
    // Light falls from the top left: ridges facing it are brighter.
    const double facing = 0.5 + 0.5 * std::cos(a0 + PI / 4 + PI / 2);
    cairo_move_to(cr, cx + 26.0 * std::cos(a0), cy + 26.0 * std::sin(a0));
    cairo_arc(cr, cx, cy, 30.0, a0, a1);
    cairo_line_to(cr, cx + 26.0 * std::cos(a1), cy + 26.0 * std::sin(a1));
    cairo_close_path(cr);
    set_rgb(cr, grey(0.16 + 0.30 * facing));
    cairo_fill(cr);
  }
  // Top of the knob.
  cairo_pattern_t* top = cairo_pattern_create_linear(cx - 20, cy - 20, cx + 20, cy + 20);
  cairo_pattern_add_color_stop_rgb(top, 0.0, 0.36, 0.37, 0.40);
  cairo_pattern_add_color_stop_rgb(top, 1.0, 0.11, 0.11, 0.12);
  cairo_arc(cr, cx, cy, 25.0, 0, 2 * PI);
  cairo_set_source(cr, top);
  cairo_fill(cr);
  cairo_pattern_destroy(top);
  // The push cap in the middle, slightly dished (lit from below right).
  cairo_pattern_t* cap = cairo_pattern_create_linear(cx - 14, cy - 14, cx + 14, cy + 14);
  cairo_pattern_add_color_stop_rgb(cap, 0.0, 0.10, 0.10, 0.11);
  cairo_pattern_add_color_stop_rgb(cap, 1.0, 0.33, 0.34, 0.37);
  cairo_arc(cr, cx, cy, 15.0, 0, 2 * PI);
  cairo_set_source(cr, cap);
  cairo_fill(cr);
  cairo_pattern_destroy(cap);
  cairo_set_line_width(cr, 1.0);
  cairo_arc(cr, cx, cy, 15.5, 0, 2 * PI);
  set_rgb(cr, grey(0.05), 0.9);
  cairo_stroke(cr);
  // Index mark on the skirt's top face.
  cairo_set_line_width(cr, 2.0);
  set_rgb(cr, grey(0.85));
  cairo_move_to(cr, cx, cy - 24.0);
  cairo_line_to(cr, cx, cy - 18.0);
  cairo_stroke(cr);
  // Turn arrows in the two turning zones above the knob.
  draw_turn_arrow(cr, -12.0, -42.0);
  draw_turn_arrow(cr, 12.0, 42.0);
}

// The instrument face, drawn in bezel coordinates.
void draw_face(cairo_t* cr) {
  const double x = FACE_X;
  const double y = FACE_Y;
  const double w = FACE_W;
  const double h = FACE_H;
  const double r = 30.0;
  soft_shadow(cr, x, y, w, h, r, 4.0, 6);
  // Outer rim: a bevel lit from the top.
  cairo_pattern_t* rim = cairo_pattern_create_linear(0, y, 0, y + h);
  cairo_pattern_add_color_stop_rgb(rim, 0.0, 0.42, 0.43, 0.46);
  cairo_pattern_add_color_stop_rgb(rim, 0.5, 0.20, 0.21, 0.23);
  cairo_pattern_add_color_stop_rgb(rim, 1.0, 0.08, 0.08, 0.09);
  rounded_rect(cr, x, y, w, h, r);
  cairo_set_source(cr, rim);
  cairo_fill(cr);
  cairo_pattern_destroy(rim);
  // Face plate: matt black anodised, a faint sheen towards the top.
  cairo_pattern_t* plate = cairo_pattern_create_linear(0, y, 0, y + h);
  cairo_pattern_add_color_stop_rgb(plate, 0.0, 0.17, 0.175, 0.19);
  cairo_pattern_add_color_stop_rgb(plate, 0.35, 0.11, 0.115, 0.125);
  cairo_pattern_add_color_stop_rgb(plate, 1.0, 0.075, 0.075, 0.08);
  rounded_rect(cr, x + 4, y + 4, w - 8, h - 8, r - 4);
  cairo_set_source(cr, plate);
  cairo_fill(cr);
  cairo_pattern_destroy(plate);
  // Fine grain in the anodising.
  lcg noise;
  noise.state = 0x9E3779B9u;
  rounded_rect(cr, x + 4, y + 4, w - 8, h - 8, r - 4);
  cairo_save(cr);
  cairo_clip(cr);
  for (int i = 0; i < 3000; ++i) {
    const double px = x + noise.next() * w;
    const double py = y + noise.next() * h;
    set_rgb(cr, grey(noise.next() > 0.5 ? 1.0 : 0.0), 0.03);
    cairo_rectangle(cr, std::floor(px), std::floor(py), 1, 1);
    cairo_fill(cr);
  }
  cairo_restore(cr);

  // Mounting screws in the corners.
  draw_screw(cr, x + 24, y + 24, 20);
  draw_screw(cr, x + w - 24, y + 24, 65);
  draw_screw(cr, x + 24, y + h - 24, 110);
  draw_screw(cr, x + w - 24, y + h - 24, 35);

  // The display sits in a recess: a dark chamfer lit from below, then the glass edge.
  opening_path(cr, 11.0);
  cairo_pattern_t* chamfer = cairo_pattern_create_linear(0, PRESENT_Y - 12, 0, PRESENT_Y + SHOWN_ROWS + 12);
  cairo_pattern_add_color_stop_rgb(chamfer, 0.0, 0.02, 0.02, 0.025);
  cairo_pattern_add_color_stop_rgb(chamfer, 1.0, 0.24, 0.25, 0.27);
  cairo_set_source(cr, chamfer);
  cairo_fill(cr);
  cairo_pattern_destroy(chamfer);
  opening_path(cr, 6.0);
  set_rgb(cr, grey(0.03));
  cairo_fill(cr);
  opening_path(cr, 11.5);
  cairo_set_line_width(cr, 1.0);
  set_rgb(cr, grey(0.0), 0.8);
  cairo_stroke(cr);
  opening_path(cr, 1.5);
  set_rgb(cr, {0.05, 0.07, 0.09});
  cairo_fill(cr);

  // Maker above the display, model below the controls.
  const double centre = PRESENT_X + MASK_W / 2.0;
  draw_text_spaced(cr, "ORVANTA", centre, y + 40, 12.0, 4.0, true, grey(0.72), 1.0);
  draw_text_spaced(cr, "VESPER", centre, 512, 22.0, 9.0, true, grey(0.82), 1.0);
  draw_text_spaced(cr, "ELECTRONIC FLIGHT INSTRUMENT", centre, 532, 8.5, 2.2, false, grey(0.55), 1.0);
  cairo_set_line_width(cr, 1.0);
  set_rgb(cr, grey(0.45), 0.6);
  cairo_move_to(cr, centre - 95, 488.5);
  cairo_line_to(cr, centre + 95, 488.5);
  cairo_stroke(cr);

  // Light sensor for the automatic brightness, between the screws at the bottom.
  cairo_arc(cr, centre, 556, 4.0, 0, 2 * PI);
  set_rgb(cr, {0.02, 0.03, 0.05});
  cairo_fill(cr);
  cairo_arc(cr, centre - 1.2, 554.8, 1.3, 0, 2 * PI);
  set_rgb(cr, grey(0.6), 0.5);
  cairo_fill(cr);

  // Controls.
  draw_button(cr, LEFT_BUTTON_CX, BUTTON_CY);
  draw_button(cr, RIGHT_BUTTON_CX, BUTTON_CY);
  draw_knob(cr);
}

std::vector<std::uint32_t> surface_pixels(cairo_surface_t* s) {
  cairo_surface_flush(s);
  const int w = cairo_image_surface_get_width(s);
  const int h = cairo_image_surface_get_height(s);
  const int stride = cairo_image_surface_get_stride(s);
  const unsigned char* data = cairo_image_surface_get_data(s);
  std::vector<std::uint32_t> out(static_cast<std::size_t>(w) * h);
  for (int y = 0; y < h; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::size_t>(y) * stride);
    for (int x = 0; x < w; ++x) {
      out[static_cast<std::size_t>(y) * w + x] = 0xFF000000u | (row[x] & 0x00FFFFFFu);
    }
  }
  return out;
}

// The opening is cut pixel-exactly, so that what the mask lets through is exactly what the
// bezel leaves black. offset_x/offset_y place the picture in bezel coordinates.
void cut_opening(std::vector<std::uint32_t>* pixels, int width, int offset_x, int offset_y) {
  for (int y = 0; y < MASK_H; ++y) {
    for (int x = 0; x < MASK_W; ++x) {
      if (display_opening_contains(x, y)) {
        const int bx = bezel_x_of_display(x) - offset_x;
        const int by = bezel_y_of_display(y) - offset_y;
        (*pixels)[static_cast<std::size_t>(by) * width + bx] = 0xFF000000u;
      }
    }
  }
}

std::vector<std::uint32_t> render(int w, int h, int offset_x, int offset_y, bool panel) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
  cairo_t* cr = cairo_create(s);
  cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_paint(cr);
  cairo_translate(cr, -offset_x, -offset_y);
  if (panel) {
    draw_panel(cr);
  }
  draw_face(cr);
  cairo_destroy(cr);
  std::vector<std::uint32_t> pixels = surface_pixels(s);
  cairo_surface_destroy(s);
  cut_opening(&pixels, w, offset_x, offset_y);
  return pixels;
}

std::vector<std::uint32_t> render_mask() {
  std::vector<std::uint32_t> mask(static_cast<std::size_t>(MASK_W) * MASK_H);
  for (int y = 0; y < MASK_H; ++y) {
    for (int x = 0; x < MASK_W; ++x) {
      mask[static_cast<std::size_t>(y) * MASK_W + x] = display_opening_contains(x, y) ? 0xFFFFFFFFu : 0xFF000000u;
    }
  }
  return mask;
}

bool write_table(std::FILE* f, const char* name, const char* size, const std::vector<std::uint32_t>& pixels) {
  std::fprintf(f, "\nconst std::uint32_t %s[%s] = {\n", name, size);
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    std::fprintf(f, "0x%08X,%s", pixels[i], (i % 8 == 7) ? "\n" : "");
  }
  return std::fprintf(f, "};\n") > 0;
}

bool write_png_file(const std::string& path, const std::vector<std::uint32_t>& pixels, int w, int h) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
  cairo_surface_flush(s);
  unsigned char* data = cairo_image_surface_get_data(s);
  const int stride = cairo_image_surface_get_stride(s);
  for (int y = 0; y < h; ++y) {
    std::memcpy(data + static_cast<std::size_t>(y) * stride, &pixels[static_cast<std::size_t>(y) * w],
                static_cast<std::size_t>(w) * 4);
  }
  cairo_surface_mark_dirty(s);
  const bool ok = cairo_surface_write_to_png(s, path.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(s);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && !(argc == 4 && std::strcmp(argv[2], "--png") == 0)) {
    std::fprintf(stderr, "usage: %s OUT.cpp [--png DIR]\n", argv[0]);
    return 2;
  }
  const std::vector<std::uint32_t> bezel = render(BEZEL_W, BEZEL_H, 0, 0, true);
  const std::vector<std::uint32_t> face = render(FACE_W, FACE_H, FACE_X, FACE_Y, false);
  const std::vector<std::uint32_t> mask = render_mask();

  const std::string out = argv[1];
  const std::string tmp = out + ".tmp";
  std::FILE* f = std::fopen(tmp.c_str(), "w");
  if (f == nullptr) {
    std::perror(tmp.c_str());
    return 1;
  }
  std::fprintf(f, "// Generated by vesper_bezel_art from host/desktop/art/bezel_art_gen.cpp. Do not edit.\n");
  std::fprintf(f, "#include \"host/desktop/bezel_art.h\"\n");
  bool ok = write_table(f, "bezel_picture", "BEZEL_W * BEZEL_H", bezel);
  ok = write_table(f, "display_mask", "MASK_W * MASK_H", mask) && ok;
  ok = write_table(f, "face_picture", "FACE_W * FACE_H", face) && ok;
  ok = std::fclose(f) == 0 && ok;
  if (!ok || std::rename(tmp.c_str(), out.c_str()) != 0) {
    std::fprintf(stderr, "could not write %s\n", out.c_str());
    return 1;
  }
  if (argc == 4) {
    const std::string dir = argv[3];
    if (!write_png_file(dir + "/bezel.png", bezel, BEZEL_W, BEZEL_H) ||
        !write_png_file(dir + "/face.png", face, FACE_W, FACE_H) ||
        !write_png_file(dir + "/mask.png", mask, MASK_W, MASK_H)) {
      std::fprintf(stderr, "could not write the pictures into %s\n", dir.c_str());
      return 1;
    }
  }
  return 0;
}
