// One drawing function per catalogue image. Each draws into a canvas of the image's exact size;
// the four-bit images draw their coverage as alpha.
#pragma once
#include <cstdint>

#include "tools/artgen/canvas.h"

namespace art {

#define IMAGE(id, name, w, h) void paint_##name(Canvas& c);
#include "gfx/images/image_catalogue.def"
#undef IMAGE
#define IMAGE4(id, name, w, h) void paint_##name(Canvas& c);
#include "gfx/images/image4_catalogue.def"
#undef IMAGE4

// The palette the artwork shares.
inline constexpr std::uint32_t TEAL = 0xFF06F4CE;
inline constexpr std::uint32_t AMBER = 0xFFFFB000;
inline constexpr std::uint32_t ALERT_RED = 0xFFE8201C;
inline constexpr std::uint32_t AOA_GREEN = 0xFF20D040;
inline constexpr std::uint32_t SYMBOL_YELLOW = 0xFFFFD800;
inline constexpr std::uint32_t MAGENTA = 0xFFFF00FF;
inline constexpr std::uint32_t BLACK = 0xFF000000;
inline constexpr std::uint32_t WHITE = 0xFFFFFFFF;

}  // namespace art
