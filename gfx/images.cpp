// The two image tables and the operations that draw four-bit and sixteen-bit images and clip an
// opaque copy. The pixel arrays themselves are drawn at build time from the artwork sources.
#include "gfx/images.h"

#include <algorithm>
#include <cstring>

#include "gfx/fonts/font_strips.h"
#include "gfx/images/image_arrays.h"
#include "gfx/primitives.h"
#include "gfx/text.h"

namespace {

// The catalogue file and the enum must list the images in the same order.
constexpr int catalogue_ids[] = {
#define IMAGE(id, name, w, h) id,
#include "gfx/images/image_catalogue.def"
#undef IMAGE
};
constexpr int catalogue4_ids[] = {
#define IMAGE4(id, name, w, h) id,
#include "gfx/images/image4_catalogue.def"
#undef IMAGE4
};
constexpr bool in_enum_order(const int* ids, int count, int first) {
  for (int i = 0; i < count; ++i)
    if (ids[i] != first + i) return false;
  return true;
}
static_assert(sizeof(catalogue_ids) / sizeof(int) == IMAGE_COUNT && in_enum_order(catalogue_ids, IMAGE_COUNT, 0),
              "the full-colour catalogue must follow the image_id enum");
static_assert(sizeof(catalogue4_ids) / sizeof(int) == IMAGE4_COUNT - FONT_COUNT &&
                  in_enum_order(catalogue4_ids, IMAGE4_COUNT - FONT_COUNT, FONT_COUNT),
              "the four-bit catalogue must follow the image4_id enum, after the font strips");

inline bool inside(int x, int y, int w, int h) { return x >= 0 && y >= 0 && x < w && y < h; }

}  // namespace

const pixel_t* const image_pixels[IMAGE_COUNT] = {
#define IMAGE(id, name, w, h) name##_pixels,
#include "gfx/images/image_catalogue.def"
#undef IMAGE
};
const int image_width[IMAGE_COUNT] = {
#define IMAGE(id, name, w, h) w,
#include "gfx/images/image_catalogue.def"
#undef IMAGE
};
const int image_height[IMAGE_COUNT] = {
#define IMAGE(id, name, w, h) h,
#include "gfx/images/image_catalogue.def"
#undef IMAGE
};
const std::uint16_t* const image_rows[IMAGE_COUNT] = {
#define IMAGE(id, name, w, h) name##_rows,
#include "gfx/images/image_catalogue.def"
#undef IMAGE
};
const char* const image_name[IMAGE_COUNT] = {
#define IMAGE(id, name, w, h) #name,
#include "gfx/images/image_catalogue.def"
#undef IMAGE
};

// Entries 0..9 are the font strips in font-id order, so entry k is the strip of font k.
const std::uint8_t* const image4_data[IMAGE4_COUNT] = {
    font_strip_0, font_strip_1, font_strip_2, font_strip_3, font_strip_4,
    font_strip_5, font_strip_6, font_strip_7, font_strip_8, font_strip_9,
#define IMAGE4(id, name, w, h) name##_data,
#include "gfx/images/image4_catalogue.def"
#undef IMAGE4
};
const int image4_width[IMAGE4_COUNT] = {
    FONT_STRIP_WIDTH[0], FONT_STRIP_WIDTH[1], FONT_STRIP_WIDTH[2], FONT_STRIP_WIDTH[3], FONT_STRIP_WIDTH[4],
    FONT_STRIP_WIDTH[5], FONT_STRIP_WIDTH[6], FONT_STRIP_WIDTH[7], FONT_STRIP_WIDTH[8], FONT_STRIP_WIDTH[9],
#define IMAGE4(id, name, w, h) w,
#include "gfx/images/image4_catalogue.def"
#undef IMAGE4
};
const int image4_height[IMAGE4_COUNT] = {
    FONT_HEIGHT[0], FONT_HEIGHT[1], FONT_HEIGHT[2], FONT_HEIGHT[3], FONT_HEIGHT[4],
    FONT_HEIGHT[5], FONT_HEIGHT[6], FONT_HEIGHT[7], FONT_HEIGHT[8], FONT_HEIGHT[9],
#define IMAGE4(id, name, w, h) h,
#include "gfx/images/image4_catalogue.def"
#undef IMAGE4
};
const char* const image4_name[IMAGE4_COUNT] = {
    "font_strip_0", "font_strip_1", "font_strip_2", "font_strip_3", "font_strip_4",
    "font_strip_5", "font_strip_6", "font_strip_7", "font_strip_8", "font_strip_9",
#define IMAGE4(id, name, w, h) #name,
#include "gfx/images/image4_catalogue.def"
#undef IMAGE4
};

// An entry outside the table gives an empty image (no pixels, size 0), which every drawing
// operation treats as nothing to draw.
image_ref image_lookup(int entry) {
  if (entry < 0 || entry >= IMAGE_COUNT) return {nullptr, 0, 0};
  return {image_pixels[entry], image_width[entry], image_height[entry]};
}

image4_ref image4_lookup(int entry) {
  if (entry < 0 || entry >= IMAGE4_COUNT) return {nullptr, 0, 0};
  return {image4_data[entry], image4_width[entry], image4_height[entry]};
}

// Row by row, over each row's visible columns only: a clear source pixel leaves the pixel under it.
void blend_catalogue_image(pixel_t* buf, int entry, int x, int y) {
  const image_ref img = image_lookup(entry);
  if (img.pixels == nullptr) return;
  const std::uint16_t* rows = image_rows[entry];
  for (int j = 0; j < img.height; ++j) {
    const int first = rows[2 * j];
    const int end = rows[2 * j + 1];
    if (first >= end) continue;
    blend_image(buf, img.pixels + j * img.width + first, buf, SCREEN_W, SCREEN_H, x + first, y + j, end - first, 1);
  }
}

namespace {

// The vignette blended twice over columns first .. end - 1 of row y of a layer: a run of clear
// pixels takes the table, a run of drawn ones goes through the blend twice.
void blend_twice_over_drawn(pixel_t* layer, int y, int first, int end) {
  pixel_t* row = layer + y * SCREEN_W;
  const pixel_t* v = img_style_vignette_pixels + y * SCREEN_W;
  const pixel_t* twice = img_style_vignette_twice_pixels + y * SCREEN_W;
  int x = first;
  while (x < end) {
    const bool clear = row[x] == COLOUR_TRANSPARENT;
    int run_end = x + 1;
    while (run_end < end && (row[run_end] == COLOUR_TRANSPARENT) == clear) ++run_end;
    if (clear) {
      std::memcpy(row + x, twice + x, sizeof(pixel_t) * (run_end - x));
    } else {
      blend_image(layer, v + x, layer, SCREEN_W, SCREEN_H, x, y, run_end - x, 1);
      blend_image(layer, v + x, layer, SCREEN_W, SCREEN_H, x, y, run_end - x, 1);
    }
    x = run_end;
  }
}

}  // namespace

namespace {

// Row y of the vignette blended twice into a layer, as blend_vignette_twice does it.
void vignette_row_twice(pixel_t* layer, int y) {
  // Tiles where the vignette is clear change nothing; on the top layer, unmarked tiles are clear
  // throughout and take the table whole.
  const std::uint32_t shaded = img_style_vignette_tiles[y];
  if (shaded == 0) return;
  const std::uint32_t drawn = layer == top_layer ? layer_tiles.top_rows[y] & shaded : shaded;
  pixel_t* row = layer + y * SCREEN_W;
  const pixel_t* twice = img_style_vignette_twice_pixels + y * SCREEN_W;
  for_each_tile_run(shaded & ~drawn, [&](int x, int n) { std::memcpy(row + x, twice + x, sizeof(pixel_t) * n); });
  for_each_tile_run(drawn, [&](int x, int n) { blend_twice_over_drawn(layer, y, x, x + n); });
  if (layer == top_layer) layer_tiles.top_rows[y] |= shaded;
}

// Calls f(first, end, is_sky) for the parts of columns first .. end - 1 of row y that are sky
// and ground.
// Row y's ground: columns from .. to - 1.
struct ground_span {
  int from;
  int to;
};
ground_span ground_of(const horizon_rows& horizon, int y) {
  const int from = horizon.sky_to[y] + 1;
  return {from, std::max<int>(horizon.sky_from[y], from)};
}

template <typename F>
void for_each_horizon_part(const horizon_rows& horizon, int y, int first, int end, F f) {
  const ground_span ground = ground_of(horizon, y);
  const int bounds[4] = {0, ground.from, ground.to, SCREEN_W};
  for (int k = 0; k < 3; ++k) {
    const int lo = std::max(first, bounds[k]);
    const int hi = std::min(end, bounds[k + 1]);
    if (lo < hi) f(lo, hi, k != 1);
  }
}

void paint_row_tiles(pixel_t* base, const horizon_rows& horizon, pixel_t sky, pixel_t ground, int y,
                     std::uint32_t tiles) {
  pixel_t* row = base + y * SCREEN_W;
  for_each_tile_run(tiles, [&](int x, int n) {
    for_each_horizon_part(horizon, y, x, x + n,
                          [&](int lo, int hi, bool is_sky) { fill_row(row + lo, hi - lo, is_sky ? sky : ground); });
  });
}

// The merged pictures are kept for the last pair of colours (they change only with the look).
void prepare_vignette_pictures(pixel_t sky, pixel_t ground) {
  if (vignette.ready && vignette.sky == sky && vignette.ground == ground) return;
  pixel_t over_sky[256];
  pixel_t over_ground[256];
  for (int a = 0; a < 256; ++a) {
    // The twice-blended vignette is black (its generator checks): its pixels are their alpha.
    const pixel_t v = static_cast<pixel_t>(a) << 24;
    over_sky[a] = mix_colour(sky, v, blend_weights.t[a]);
    over_ground[a] = mix_colour(ground, v, blend_weights.t[a]);
  }
  for (int i = 0; i < LAYER_PIXELS; ++i) {
    vignette.over_sky[i] = over_sky[img_style_vignette_twice_alpha[i]];
    vignette.over_ground[i] = over_ground[img_style_vignette_twice_alpha[i]];
  }
  vignette.sky = sky;
  vignette.ground = ground;
  vignette.ready = true;
}

}  // namespace

vignette_state vignette;

// Field by field: a copy of the whole state would be a temporary of two screens.
void vignette_power_on() {
  vignette.sky = 0;
  vignette.ground = 0;
  vignette.ready = false;
  std::memset(vignette.over_sky, 0, sizeof vignette.over_sky);
  std::memset(vignette.over_ground, 0, sizeof vignette.over_ground);
}

void blend_vignette_twice(pixel_t* layer) {
  for (int y = 0; y < SCREEN_H; ++y) vignette_row_twice(layer, y);
}

void paint_horizon_rows(pixel_t* base, const horizon_rows& horizon, pixel_t sky, pixel_t ground) {
  for (int y = 0; y < SCREEN_H; ++y) paint_row_tiles(base, horizon, sky, ground, y, ALL_TILES);
}

void merge_vignette(pixel_t* base, const horizon_rows& horizon, pixel_t sky, pixel_t ground, int rows) {
  prepare_vignette_pictures(sky, ground);
  for (int y = 0; y < SCREEN_H; ++y) {
    const std::uint32_t marked = layer_tiles.top_rows[y];
    const int row = y * SCREEN_W;
    pixel_t* top = top_layer + row;
    if (y >= rows) {
      paint_row_tiles(base, horizon, sky, ground, y, ALL_TILES);
      for_each_tile_run(marked,
                        [&](int x, int n) { blend_image(base, top + x, base, SCREEN_W, SCREEN_H, x, y, n, 1); });
      vignette_row_twice(top_layer, y);
      continue;
    }
    // Where the vignette shades, the merged sky and ground are copied from the pictures, which
    // is the whole rule where the top layer is clear; its drawn pixels then take the rule itself
    // over the plain colour. Where the vignette is clear the plain colours are painted.
    const std::uint32_t shaded = img_style_vignette_tiles[y];
    paint_row_tiles(base, horizon, sky, ground, y, ALL_TILES & ~shaded);
    for_each_tile_run(shaded, [&](int x, int n) {
      for_each_horizon_part(horizon, y, x, x + n, [&](int lo, int hi, bool is_sky) {
        const pixel_t* picture = is_sky ? vignette.over_sky : vignette.over_ground;
        std::memcpy(base + row + lo, picture + row + lo, sizeof(pixel_t) * (hi - lo));
      });
    });
    const ground_span under = ground_of(horizon, y);
    for_each_tile_run(shaded & marked, [&](int x, int n) {
      const int at = row + x;
      merge_vignetted_run(
          {base + at, top_layer + at, img_style_vignette_pixels + at, sky, ground, under.from - x, under.to - x}, n);
    });
    // Where the vignette is clear the top layer is merged twice over, in one pass.
    for_each_tile_run(marked & ~shaded, [&](int x, int n) {
      merge_twice_in_place(base, top + x, x, y, n);
      std::memset(top + x, 0, sizeof(pixel_t) * n);
    });
    layer_tiles.top_rows[y] = 0;
  }
}

void blit_image_clipped(pixel_t* dst, int dst_w, int dst_h, const pixel_t* src, int src_w, int src_h, int x, int y) {
  mark_written(dst, x, y, x + src_w - 1, y + src_h - 1);
  for (int i = 0; i < src_h && y + i < dst_h; ++i) {
    if (y + i < 0) continue;
    for (int j = 0; j < src_w; ++j) {
      if (x + j < 0) continue;
      if (x + j >= dst_w) break;
      dst[(y + i) * dst_w + x + j] = src[i * src_w + j];
    }
  }
}

void draw_grey4_image(pixel_t* dst, int dst_w, int dst_h, const std::uint8_t* src4, int src_w, int src_h, int x,
                      int y) {
  mark_written(dst, x, y, x + src_w - 1, y + src_h - 1);
  const int row_bytes = src_w / 2;
  for (int i = 0; i < row_bytes; ++i) {
    for (int r = 0; r < src_h; ++r) {
      const std::uint8_t byte = src4[(src_h - 1 - r) * row_bytes + i];
      const int sy = y + r;
      for (int half = 0; half < 2; ++half) {
        const int n = half == 0 ? byte >> 4 : byte & 0x0F;
        const int sx = x + 2 * i + half;
        if (!inside(sx, sy, dst_w, dst_h)) continue;
        const pixel_t grey = 0xFF000000u | static_cast<pixel_t>(n) * 0x101010u;
        dst[sy * dst_w + sx] = mix_colour(COLOUR_TRANSPARENT, grey, static_cast<float>(16 * n) / 255.0f);
      }
    }
  }
}

void draw_alpha4_image(pixel_t* dst, int dst_w, int dst_h, const std::uint8_t* src4, int src_w, int src_h, int x, int y,
                       pixel_t colour) {
  mark_written(dst, x, y + 1, x + src_w - 1, y + src_h);
  const int row_bytes = src_w / 2;
  for (int i = 0; i < row_bytes; ++i) {
    for (int k = 0; k < src_h; ++k) {
      const std::uint8_t byte = src4[k * row_bytes + i];
      const int sy = y + src_h - k;
      for (int half = 0; half < 2; ++half) {
        const int n = half == 0 ? byte >> 4 : byte & 0x0F;
        const int sx = x + 2 * i + half;
        if (!inside(sx, sy, dst_w, dst_h)) continue;
        dst[sy * dst_w + sx] = scale_colour(colour, static_cast<float>(n) / 15.0f);
      }
    }
  }
}

void draw_rgb444_image(pixel_t* dst, int dst_w, int dst_h, const std::uint16_t* src16, int src_w, int src_h, int x,
                       int y) {
  mark_written(dst, x, y, x + src_w - 1, y + src_h - 1);
  for (int i = 0; i < src_w; ++i) {
    for (int k = 0; k < src_h; ++k) {
      const int sx = x + i;
      const int sy = y + src_h - 1 - k;
      if (!inside(sx, sy, dst_w, dst_h)) continue;
      const pixel_t word = src16[k * src_w + i];
      const pixel_t red = (word >> 8) & 0x0F;
      const pixel_t green = (word >> 4) & 0x0F;
      const pixel_t blue = word & 0x0F;
      dst[sy * dst_w + sx] = 0xFF000000u | (red * 16) << 16 | (green * 16) << 8 | (blue * 16);
    }
  }
}
