#include "tools/contactsheet/sheet.h"

#include "host/common/png_io.h"

namespace sheet {

void checkerboard(picture& p, int x, int y, int w, int h, int square) {
  for (int j = 0; j < h; ++j) {
    for (int i = 0; i < w; ++i) {
      const bool dark = ((i / square) + (j / square)) % 2 != 0;
      put_pixel(p.data(), p.width, p.height, x + i, y + j, dark ? 0xFF3C3C3C : 0xFF6A6A6A);
    }
  }
}

void blend_scaled(picture& p, const pixel_t* src, int w, int h, int x, int y, int scale) {
  for (int j = 0; j < h * scale; ++j) {
    for (int i = 0; i < w * scale; ++i) {
      const pixel_t s = src[(j / scale) * w + i / scale];
      const pixel_t under = get_pixel(p.data(), p.width, p.height, x + i, y + j);
      // The same per-channel mix that blend_image applies.
      const float t = static_cast<float>((s >> 24) / 255.0);
      put_pixel(p.data(), p.width, p.height, x + i, y + j, mix_colour(under, s, t));
    }
  }
}

bool save(const picture& p, const std::string& path, std::string* error) {
  return write_png(path, p.pixels.data(), p.width, p.height, false, error);
}

}  // namespace sheet
