#include "nav/nav_draw.h"

#include <algorithm>
#include <cmath>

#include "gfx/images.h"
#include "gfx/primitives.h"
#include "gfx/text.h"
#include "nav/sprite_draw.h"

void tint_image4(pixel_t* dst, int entry, pixel_t colour) {
  const image4_ref img = image4_lookup(entry);
  const int row_bytes = img.width / 2;
  for (int j = 0; j < img.height; ++j) {
    const std::uint8_t* row = img.data + (img.height - 1 - j) * row_bytes;
    for (int i = 0; i < img.width; ++i) {
      const int n = (i & 1) == 0 ? row[i / 2] >> 4 : row[i / 2] & 0x0F;
      const pixel_t mask = 0xFF000000u + static_cast<pixel_t>(n) * 0x101010u;
      dst[j * img.width + i] = mix_colour(COLOUR_TRANSPARENT, colour & mask, static_cast<float>(16 * n) / 255.0f);
    }
  }
}

const pixel_t* tinted_image4(tint_cache& cache, int entry, pixel_t colour) {
  if (cache.entry != entry || cache.colour != colour) {
    const image4_ref img = image4_lookup(entry);
    if (img.width * img.height > 24 * 24) {
      // Too big for the cache: nothing is drawn rather than a buffer overrun.
      std::fill(cache.pixels, cache.pixels + 24 * 24, COLOUR_TRANSPARENT);
      cache.entry = -1;
      return cache.pixels;
    }
    tint_image4(cache.pixels, entry, colour);
    cache.entry = entry;
    cache.colour = colour;
  }
  return cache.pixels;
}

void polar_point(float cx, float cy, float r, float degrees, float& x, float& y) {
  const float a = degrees * NAV_DEG_TO_RAD;
  x = cx + r * std::sin(a);
  y = cy - r * std::cos(a);
}

void draw_thick_line(pixel_t* layer, float x0, float y0, float x1, float y1, pixel_t colour) {
  draw_line_aa(layer, SCREEN_W, SCREEN_H, x0, y0, x1, y1, colour);
  draw_line_aa(layer, SCREEN_W, SCREEN_H, x0 + 1.0f, y0, x1 + 1.0f, y1, colour);
  draw_line_aa(layer, SCREEN_W, SCREEN_H, x0, y0 + 1.0f, x1, y1 + 1.0f, colour);
  draw_line_aa(layer, SCREEN_W, SCREEN_H, x0 - 1.0f, y0, x1 - 1.0f, y1, colour);
  draw_line_aa(layer, SCREEN_W, SCREEN_H, x0, y0 - 1.0f, x1, y1 - 1.0f, colour);
}

void draw_catalogue_rotated(pixel_t* layer, int entry, float x, float y, float degrees, float k, float blend) {
  const image_ref img = image_lookup(entry);
  image_transform t{1.0f, 0.0f, 0.0f, 1.0f, k};
  rotate_matrix(t, degrees * -NAV_DEG_TO_RAD);
  sprite_draw_rotated(layer, img.pixels, img.width, img.height, x, y, t, blend);
}

namespace {
void make_label_cell(pixel_t* cell, int card_angle, pixel_t colour) {
  char text[4] = {};
  switch (card_angle) {
    case 0:
      text[0] = 'N';
      break;
    case 90:
      text[0] = 'E';
      break;
    case 180:
      text[0] = 'S';
      break;
    case 270:
      text[0] = 'W';
      break;
    default: {
      char* cursor = text;
      append_int(card_angle / 10, cursor);
    }
  }
  std::fill(cell, cell + 16 * 16, COLOUR_TRANSPARENT);
  draw_text(cell, 16, 16, 6, 8 - text_width(6, text) / 2, 8 - font_table[6].height / 2, colour, text);
}
}  // namespace

void draw_card_label(card_label_cache& cache, pixel_t* layer, int card_angle, float x, float y, float degrees,
                     pixel_t colour) {
  pixel_t spare[16 * 16];
  pixel_t* cell = spare;
  const int slot = card_angle / 30;
  if (card_angle < 0 || card_angle % 30 != 0 || slot >= CARD_LABEL_COUNT) {
    make_label_cell(cell, card_angle, colour);  // not a card label: made afresh, not kept
  } else if (cell = cache.cells[slot]; !cache.made[slot] || cache.colour[slot] != colour) {
    cache.made[slot] = true;
    cache.colour[slot] = colour;
    make_label_cell(cell, card_angle, colour);
  }
  image_transform t{1.0f, 0.0f, 0.0f, 1.0f, 1.0f};
  rotate_matrix(t, degrees * -NAV_DEG_TO_RAD);
  sprite_draw_rotated(layer, cell, 16, 16, x, y, t, 1.0f);
}

namespace {

// Whether eight pixels from p on are all clear.
inline bool block_clear(const pixel_t* p) { return (p[0] | p[1] | p[2] | p[3] | p[4] | p[5] | p[6] | p[7]) == 0; }

}  // namespace

void merge_drawn_top(pixel_t* base, const pixel_t* top) {
  static_assert(SCREEN_W % 8 == 0);
  for (int y = 0; y < SCREEN_H; ++y) {
    const pixel_t* row = top + y * SCREEN_W;
    int b0 = 0;
    while (b0 < SCREEN_W && block_clear(row + b0)) b0 += 8;
    if (b0 == SCREEN_W) continue;
    int b1 = SCREEN_W - 8;
    while (block_clear(row + b1)) b1 -= 8;
    int x0 = b0;
    while (row[x0] == 0) ++x0;
    int x1 = b1 + 7;
    while (row[x1] == 0) --x1;
    blend_image(base, row + x0, base, SCREEN_W, SCREEN_H, x0, y, x1 - x0 + 1, 1);
  }
}

void draw_nav_text(pixel_t* layer, int x, int y, pixel_t colour, const char* text) {
  draw_text_centred(layer, SCREEN_W, SCREEN_H, font_for_size(10), x, y, colour, text);
}

float short_way(float degrees) {
  if (!std::isfinite(degrees)) {
    return 0.0f;
  }
  degrees = wrap_value(degrees, 360.0f);
  return degrees > 180.0f ? degrees - 360.0f : degrees;
}
