#include "nav/nav_draw.h"

#include <algorithm>
#include <cmath>

#include "gfx/images.h"
#include "gfx/primitives.h"
#include "gfx/text.h"
#include "nav/nav_page.h"
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

void mark_line(const pixel_t* layer, float x0, float y0, float x1, float y1, int margin) {
  drawn_rows& rows = nav_page.top_rows;
  if (layer == nullptr || layer != rows.layer) return;
  // Lines that are not wholly numbers draw nothing; far ones are clipped by the mark.
  if (!(std::isfinite(x0) && std::isfinite(y0) && std::isfinite(x1) && std::isfinite(y1))) return;
  const double ax = std::clamp(static_cast<double>(x0), -4096.0, 4096.0);
  const double ay = std::clamp(static_cast<double>(y0), -4096.0, 4096.0);
  const double bx = std::clamp(static_cast<double>(x1), -4096.0, 4096.0);
  const double by = std::clamp(static_cast<double>(y1), -4096.0, 4096.0);
  const double m = static_cast<double>(margin);
  const double dy = by - ay;
  if (std::fabs(dy) < 1.0) {
    drawn_rows_mark(rows, layer, static_cast<int>(std::floor(std::min(ax, bx) - m)),
                    static_cast<int>(std::floor(std::min(ay, by) - m)),
                    static_cast<int>(std::ceil(std::max(ax, bx) + m)),
                    static_cast<int>(std::ceil(std::max(ay, by) + m)));
    return;
  }
  // Row by row: the line's column there, widened by the margin and by three rows' worth of its
  // run, since a line's pixels reach two rows either side of its centre.
  const double slope = (bx - ax) / dy;
  const double half = m + 3.0 * std::fabs(slope);
  const int first = std::max(static_cast<int>(std::floor(std::min(ay, by) - m)), 0);
  const int last = std::min(static_cast<int>(std::ceil(std::max(ay, by) + m)), SCREEN_H - 1);
  for (int y = first; y <= last; ++y) {
    const double t = std::clamp((static_cast<double>(y) - ay) / dy, 0.0, 1.0);
    const double xc = ax + t * (bx - ax);
    drawn_rows_mark(rows, layer, static_cast<int>(std::floor(xc - half)), y, static_cast<int>(std::ceil(xc + half)), y);
  }
}

void nav_line(pixel_t* layer, float x0, float y0, float x1, float y1, pixel_t colour) {
  mark_line(layer, x0, y0, x1, y1, 3);
  draw_line_aa(layer, SCREEN_W, SCREEN_H, x0, y0, x1, y1, colour);
}

void polar_point(float cx, float cy, float r, float degrees, float& x, float& y) {
  const float a = degrees * NAV_DEG_TO_RAD;
  x = cx + r * std::sin(a);
  y = cy - r * std::cos(a);
}

void draw_thick_line(pixel_t* layer, float x0, float y0, float x1, float y1, pixel_t colour) {
  mark_line(layer, x0, y0, x1, y1, 4);
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
  drawn_rows_mark(nav_page.top_rows, layer,
                  sprite_draw_rotated(layer, img.pixels, img.width, img.height, x, y, t, blend));
}

void draw_catalogue_kept(pixel_t* layer, int entry, float x, float y, float degrees, float k, sprite_kept& kept) {
  const image_ref img = image_lookup(entry);
  image_transform t{1.0f, 0.0f, 0.0f, 1.0f, k};
  rotate_matrix(t, degrees * -NAV_DEG_TO_RAD);
  // Catalogue images never change: the entry is the version.
  drawn_rows_mark(nav_page.top_rows, layer,
                  sprite_draw_rotated_kept(layer, img.pixels, img.width, img.height, x, y, t,
                                           static_cast<std::uint32_t>(entry), kept));
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
  if (cell == spare) {
    drawn_rows_mark(nav_page.top_rows, layer, sprite_draw_rotated(layer, cell, 16, 16, x, y, t, 1.0f));
    return;
  }
  // The cell's content is fixed by its slot and colour, so the colour is its version.
  drawn_rows_mark(nav_page.top_rows, layer,
                  sprite_draw_rotated_kept(layer, cell, 16, 16, x, y, t, colour, cache.drawn[slot]));
}

namespace {

// Whether eight pixels from p on are all clear.
inline bool block_clear(const pixel_t* p) { return (p[0] | p[1] | p[2] | p[3] | p[4] | p[5] | p[6] | p[7]) == 0; }

}  // namespace

void drawn_rows_begin(drawn_rows& rows, const pixel_t* layer) {
  rows.layer = layer;
  std::fill(rows.lo, rows.lo + SCREEN_H, static_cast<std::int16_t>(SCREEN_W));
  std::fill(rows.hi, rows.hi + SCREEN_H, static_cast<std::int16_t>(-1));
}

void drawn_rows_mark(drawn_rows& rows, const pixel_t* layer, int x0, int y0, int x1, int y1) {
  if (layer == nullptr || layer != rows.layer) return;
  x0 = std::max(x0, 0);
  x1 = std::min(x1, SCREEN_W - 1);
  y0 = std::max(y0, 0);
  y1 = std::min(y1, SCREEN_H - 1);
  if (x0 > x1) return;
  for (int y = y0; y <= y1; ++y) {
    rows.lo[y] = static_cast<std::int16_t>(std::min<int>(rows.lo[y], x0));
    rows.hi[y] = static_cast<std::int16_t>(std::max<int>(rows.hi[y], x1));
  }
}

void drawn_rows_mark(drawn_rows& rows, const pixel_t* layer, const pixel_box& box) {
  drawn_rows_mark(rows, layer, box.x0, box.y0, box.x1, box.y1);
}

void drawn_rows_mark_text(drawn_rows& rows, const pixel_t* layer, int font, int x, int y, const char* text) {
  // Generous: the whole width and height either side of (x, y), with a margin.
  const int w = text_width(font, text);
  const int h = font >= 0 && font < FONT_COUNT ? font_table[font].height : 0;
  drawn_rows_mark(rows, layer, x - w - 2, y - h - 2, x + w + 2, y + h + 3);
}

void merge_drawn_top(pixel_t* base, const pixel_t* top, const drawn_rows& rows) {
  static_assert(SCREEN_W % 8 == 0);
  const bool tracked = rows.layer == top;
  for (int y = 0; y < SCREEN_H; ++y) {
    const pixel_t* row = top + y * SCREEN_W;
    int x0 = 0;
    int x1 = SCREEN_W - 1;
    if (tracked) {
      x0 = rows.lo[y];
      x1 = rows.hi[y];
      while (x0 <= x1 && row[x0] == 0) ++x0;
      if (x0 > x1) continue;
    } else {
      int b0 = 0;
      while (b0 < SCREEN_W && block_clear(row + b0)) b0 += 8;
      if (b0 == SCREEN_W) continue;
      int b1 = SCREEN_W - 8;
      while (block_clear(row + b1)) b1 -= 8;
      x0 = b0;
      while (row[x0] == 0) ++x0;
      x1 = b1 + 7;
    }
    while (row[x1] == 0) --x1;
    blend_image(base, row + x0, base, SCREEN_W, SCREEN_H, x0, y, x1 - x0 + 1, 1);
  }
}

void draw_nav_text(pixel_t* layer, int x, int y, pixel_t colour, const char* text) {
  const int font = font_for_size(10);
  drawn_rows_mark_text(nav_page.top_rows, layer, font, x, y, text);
  draw_text_centred(layer, SCREEN_W, SCREEN_H, font, x, y, colour, text);
}

float short_way(float degrees) {
  if (!std::isfinite(degrees)) {
    return 0.0f;
  }
  degrees = wrap_value(degrees, 360.0f);
  return degrees > 180.0f ? degrees - 360.0f : degrees;
}
