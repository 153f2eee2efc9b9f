// The generated pixel arrays of the two image tables, declared with their exact sizes so that the
// generated definitions cannot disagree with the catalogue.
#pragma once
#include <cstdint>

#include "gfx/layers.h"

// Each full-colour image also has, per row, the first visible column and one past the last.
#define IMAGE(id, name, w, h)                    \
  extern const pixel_t name##_pixels[(w) * (h)]; \
  extern const std::uint16_t name##_rows[(h)*2];
#include "gfx/images/image_catalogue.def"
#undef IMAGE

// The vignette blended twice over a clear layer, made at build time by the reference blend.
extern const pixel_t img_style_vignette_twice_pixels[SCREEN_W * SCREEN_H];
// Its alpha: the generator checks that it is black, so the alpha is the whole pixel.
extern const std::uint8_t img_style_vignette_twice_alpha[SCREEN_W * SCREEN_H];
// Per row of the vignette, the 16-pixel tiles (as in the top layer's marks) that hold any alpha.
extern const std::uint32_t img_style_vignette_tiles[SCREEN_H];

#define IMAGE4(id, name, w, h) extern const std::uint8_t name##_data[(w) / 2 * (h)];
#include "gfx/images/image4_catalogue.def"
#undef IMAGE4
