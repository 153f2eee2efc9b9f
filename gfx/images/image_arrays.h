// The generated pixel arrays of the two image tables, declared with their exact sizes so that the
// generated definitions cannot disagree with the catalogue.
#pragma once
#include <cstdint>

#include "gfx/layers.h"

#define IMAGE(id, name, w, h) extern const pixel_t name##_pixels[(w) * (h)];
#include "gfx/images/image_catalogue.def"
#undef IMAGE

#define IMAGE4(id, name, w, h) extern const std::uint8_t name##_data[(w) / 2 * (h)];
#include "gfx/images/image4_catalogue.def"
#undef IMAGE4
