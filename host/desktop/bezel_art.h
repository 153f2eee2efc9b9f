// The three pictures of the window, as the build generates them from the drawing code in
// host/desktop/art/bezel_art_gen.cpp. Opaque 0xFFRRGGBB pixels, row 0 at the top.
#pragma once
#include <cstdint>

#include "host/desktop/art/bezel_geometry.h"

// The instrument in its panel, black where the display shows through.
extern const std::uint32_t bezel_picture[BEZEL_W * BEZEL_H];
// White inside the display opening, black outside.
extern const std::uint32_t display_mask[MASK_W * MASK_H];
// The instrument face alone. Loaded with the others but not drawn.
extern const std::uint32_t face_picture[FACE_W * FACE_H];
