// Drawing helpers shared by the heading page, the HSI and arc presentations and the compact tape.
#pragma once
#include <cstdint>

#include "gfx/layers.h"
#include "nav/sprite_draw.h"

inline constexpr float NAV_DEG_TO_RAD = 0.017453292f;
inline constexpr pixel_t NAV_GREY = 0xFF808080;
inline constexpr pixel_t NAV_MESSAGE_YELLOW = 0xFFFFFF00;

// A four-bit coverage image (rows bottom-up) tinted with a colour into a packed w x h buffer:
// nibble n gives the colour masked by the grey n * 0x101010 at weight 16n/255.
void tint_image4(pixel_t* dst, int entry, pixel_t colour);

// A tinted four-bit image of at most 24 x 24 pixels, made again only when its image or colour
// changes.
struct tint_cache {
  int entry = -1;
  pixel_t colour = 0;
  pixel_t pixels[24 * 24] = {};
};
const pixel_t* tinted_image4(tint_cache& cache, int entry, pixel_t colour);

// The twelve card labels' 16 x 16 cells, each made again only when its colour changes.
inline constexpr int CARD_LABEL_COUNT = 12;
struct card_label_cache {
  bool made[CARD_LABEL_COUNT] = {};
  pixel_t colour[CARD_LABEL_COUNT] = {};
  pixel_t cells[CARD_LABEL_COUNT][16 * 16] = {};
  sprite_kept drawn[CARD_LABEL_COUNT];  // each label as last drawn, repeated while the card stands still
};

// (cx + r sin a, cy - r cos a), a in degrees clockwise from the top.
void polar_point(float cx, float cy, float r, float degrees, float& x, float& y);

// Marks on the tracked top layer the box of a line, widened by margin pixels.
void mark_line(const pixel_t* layer, float x0, float y0, float x1, float y1, int margin);
// An anti-aliased line on a screen layer, marked.
void nav_line(pixel_t* layer, float x0, float y0, float x1, float y1, pixel_t colour);

// A line drawn five times: itself, then shifted +1 x, +1 y, -1 x and -1 y.
void draw_thick_line(pixel_t* layer, float x0, float y0, float x1, float y1, pixel_t colour);

// A catalogue image centred on (x, y), turned clockwise by degrees, with the transform's inverse
// scale k (1 = natural size).
void draw_catalogue_rotated(pixel_t* layer, int entry, float x, float y, float degrees, float k, float blend);
// The same at weight 1, written again from `kept` while nothing it depends on changes.
void draw_catalogue_kept(pixel_t* layer, int entry, float x, float y, float degrees, float k, sprite_kept& kept);

// A card label ("N", "3", "6", "E" ...) in font 6 in a 16 x 16 cell, drawn on the layer centred on
// (x, y), turned clockwise by degrees. card_angle is a multiple of 30 in 0..330; the cell comes
// from the cache.
void draw_card_label(card_label_cache& cache, pixel_t* layer, int card_angle, float x, float y, float degrees,
                     pixel_t colour);

// The columns drawn in each row of one layer since it was last clear: every drawing of the heading
// presentations on the top layer marks the rectangle it may write, so that a merge of that layer
// need look only there. Unmarked rows are clear.
struct drawn_rows {
  const pixel_t* layer = nullptr;  // the layer tracked; none while no presentation is drawn
  std::int16_t lo[SCREEN_H] = {};
  std::int16_t hi[SCREEN_H] = {};
};
// Starts tracking a layer that is clear now.
void drawn_rows_begin(drawn_rows& rows, const pixel_t* layer);
// Widens the rows x0..x1 of y0..y1 (clipped to the screen) when the layer is the one tracked.
void drawn_rows_mark(drawn_rows& rows, const pixel_t* layer, int x0, int y0, int x1, int y1);
void drawn_rows_mark(drawn_rows& rows, const pixel_t* layer, const pixel_box& box);
// Marks the rectangle a text drawn centred on x at y (as draw_text_centred draws it) may write.
void drawn_rows_mark_text(drawn_rows& rows, const pixel_t* layer, int font, int x, int y, const char* text);

// Blends the top layer into the base, as a whole-layer blend of the top over the base does. Clear
// (zero) pixels of the top leave the base as it is, so only the stretch of each row between its
// first and last drawn pixel is blended, looked for only where `rows` marks drawing when it tracks
// this layer, and in the whole layer otherwise.
void merge_drawn_top(pixel_t* base, const pixel_t* top, const drawn_rows& rows);

// Text centred on x in the font of nominal size 10.
void draw_nav_text(pixel_t* layer, int x, int y, pixel_t colour, const char* text);

// Brought into -180..180 by whole turns.
float short_way(float degrees);
