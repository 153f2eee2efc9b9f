// Small helpers shared by the attitude tests: pixel access on the layers and comparison of a
// drawn region with a catalogue image.
#pragma once
#include <cstdint>

#include "gfx/images.h"
#include "gfx/layers.h"

inline pixel_t pixel_at(const pixel_t* layer, int x, int y) { return layer[y * SCREEN_W + x]; }

inline std::uint32_t alpha_of(pixel_t p) { return p >> 24; }

// True when every fully opaque pixel of the catalogue image appears unchanged in the layer with
// the image's top-left corner at (x, y); columns in skip_x0..skip_x1 (inclusive) are ignored, for
// parts that something else is drawn over afterwards. An image with no opaque pixel never matches.
inline bool opaque_pixels_match(const pixel_t* layer, int entry, int x, int y, int skip_x0 = -1, int skip_x1 = -2,
                                int skip_x2 = -1, int skip_x3 = -2) {
  const image_ref img = image_lookup(entry);
  int compared = 0;
  for (int j = 0; j < img.height; ++j) {
    for (int i = 0; i < img.width; ++i) {
      const int sx = x + i;
      if ((sx >= skip_x0 && sx <= skip_x1) || (sx >= skip_x2 && sx <= skip_x3)) continue;
      const pixel_t s = img.pixels[j * img.width + i];
      if (alpha_of(s) != 255) continue;
      if (pixel_at(layer, sx, y + j) != s) return false;
      ++compared;
    }
  }
  return compared > 0;
}

// Any pixel different from zero in the inclusive rectangle.
inline bool any_pixel_in(const pixel_t* layer, int x0, int y0, int x1, int y1) {
  for (int y = y0; y <= y1; ++y) {
    for (int x = x0; x <= x1; ++x) {
      if (pixel_at(layer, x, y) != 0) return true;
    }
  }
  return false;
}

inline std::uint32_t max_alpha_in(const pixel_t* layer, int x0, int y0, int x1, int y1) {
  std::uint32_t a = 0;
  for (int y = y0; y <= y1; ++y) {
    for (int x = x0; x <= x1; ++x) {
      const std::uint32_t v = alpha_of(pixel_at(layer, x, y));
      if (v > a) a = v;
    }
  }
  return a;
}
