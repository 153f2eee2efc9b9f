// The two image tables: full-colour images (packed 0xAARRGGBB, top row first) and four-bit
// coverage images (rows bottom-up; entries 0..9 are the font strips), and the operations that
// draw four-bit and sixteen-bit images and clip an opaque copy.
#pragma once
#include <cstdint>

#include "gfx/layers.h"

// Full-colour table entries, in catalogue order.
enum image_id : int {
  IMG_STYLE_VIGNETTE,
  IMG_ALERT_AMBER,
  IMG_ALERT_RED,
  IMG_FAIL_FLAG,
  IMG_AOA_BAR_0,  // ten bars, bottom (threshold 0.1) to top (1.0): IMG_AOA_BAR_0 + k
  IMG_AOA_BAR_1,
  IMG_AOA_BAR_2,
  IMG_AOA_BAR_3,
  IMG_AOA_BAR_4,
  IMG_AOA_BAR_5,
  IMG_AOA_BAR_6,
  IMG_AOA_BAR_7,
  IMG_AOA_BAR_8,
  IMG_AOA_BAR_9,
  IMG_RING_GREY,
  IMG_RING_GREEN,
  IMG_RING_RED,
  IMG_RING_GOLD,
  IMG_STATUS_BADGE,
  IMG_ALT_BOX_NARROW,
  IMG_ALT_BOX_WIDE,
  IMG_FIELD_FRAME_SMALL,
  IMG_BOTTOM_MASK,
  IMG_BEARING_POINTER,
  IMG_BOX_SPARE,
  IMG_SCALE_BAR,
  IMG_POWER_ICON,
  IMG_LABEL_DG,
  IMG_CYAN_BOX,
  IMG_DOT_WHITE,
  IMG_DOT_ORANGE,
  IMG_DOT_RED,
  IMG_LABEL_GPS,
  IMG_LABEL_HDG,
  IMG_HEADING_BUG,
  IMG_POPUP_BOX,
  IMG_FIELD_FRAME_TALL,
  IMG_CORNER,
  IMG_BANNER_BACK,
  IMG_FIELD_FRAME_WIDE,
  IMG_ON_BATTERY,
  IMG_AIRCRAFT_SYMBOL,
  IMG_AIRCRAFT_PLAN_WHITE,
  IMG_AIRCRAFT_PLAN_ORANGE,
  IMG_FIELD_FRAME_TAPE,
  IMG_ROLL_POINTER,
  IMG_SLIP_TUBE,
  IMG_SLIP_BALL,
  IMG_SLIP_BALL_HALF,
  IMG_SLIP_MARKER,
  IMG_STARTUP_LOGO,
  IMG_LABEL_TRK,
  IMG_DIAMOND,
  IMG_SOURCE_STRIP_GPS,
  IMG_SOURCE_STRIP_DG,
  IMG_HALF_DISC,
  IMG_AIRCRAFT_SYMBOL_VINTAGE,
  IMG_TREND_POINTER,
  IMG_MAGENTA_FRAME,
  IMG_WAYPOINT_STAR,
  IMAGE_COUNT
};
static_assert(IMAGE_COUNT == 60);

// Four-bit table entries: 0..9 the font strips, then the images.
enum image4_id : int {
  IMG4_UP_ARROW = 10,
  IMG4_ROLL_MARK,
  IMG4_AIRCRAFT_OUTLINE,
  IMG4_COURSE_ARROW,
  IMG4_DOT_RING,
  IMG4_HEADING_STRIP_A,
  IMG4_HEADING_STRIP_B,
  IMAGE4_COUNT
};
static_assert(IMAGE4_COUNT == 17);

extern const pixel_t* const image_pixels[IMAGE_COUNT];
extern const int image_width[IMAGE_COUNT];
extern const int image_height[IMAGE_COUNT];
extern const char* const image_name[IMAGE_COUNT];
// Per row of each image, the first column with any alpha and one past the last (0, 0: clear).
extern const std::uint16_t* const image_rows[IMAGE_COUNT];

extern const std::uint8_t* const image4_data[IMAGE4_COUNT];
extern const int image4_width[IMAGE4_COUNT];
extern const int image4_height[IMAGE4_COUNT];
extern const char* const image4_name[IMAGE4_COUNT];

struct image_ref {
  const pixel_t* pixels;
  int width;
  int height;
};
struct image4_ref {
  const std::uint8_t* data;
  int width;
  int height;
};
image_ref image_lookup(int entry);
image4_ref image4_lookup(int entry);

// Blend a catalogue image into buf (stride 320) over itself at (x, y) with its own size.
void blend_catalogue_image(pixel_t* buf, int entry, int x, int y);

// The full-screen vignette blended twice into a layer over itself, as two blend_catalogue_image
// calls would: the pixels still 0x00000000 take the twice-blended vignette from a table made at
// build time, the others are blended twice.
void blend_vignette_twice(pixel_t* layer);

// The attitude picture's sky and ground as runs per row: row y is sky on columns 0 .. sky_to[y],
// ground from there up to sky_from[y] (exclusive), and sky again from there (or from the ground's
// start, whichever is later) to the right edge.
struct horizon_rows {
  std::int16_t sky_to[SCREEN_H] = {};
  std::int16_t sky_from[SCREEN_H] = {};
};
// Paints the sky and ground of those rows into the base, every pixel once.
void paint_horizon_rows(pixel_t* base, const horizon_rows& horizon, pixel_t sky, pixel_t ground);

// The attitude pages' base and its merges in one pass, rows 0 .. rows - 1: the same base as
// painting the sky and ground, merging the whole top layer, blending the vignette twice into it
// and merging it again, with those rows of the top layer left clear and unmarked. Where the top
// layer is clear the merged sky or ground depends on its colour and the vignette's alpha only, and
// is copied from a whole merged picture of each colour kept while the colours are unchanged; there
// the plain colour is never painted. Rows from `rows` on are painted, merged once and take
// blend_vignette_twice, and are left to the second merge.
void merge_vignette(pixel_t* base, const horizon_rows& horizon, pixel_t sky, pixel_t ground, int rows);

// The merged pictures take memory (two screens) for speed: every clear pixel under the vignette
// becomes a copy instead of a lookup per pixel.
struct vignette_state {
  pixel_t sky = 0;
  pixel_t ground = 0;
  bool ready = false;
  pixel_t over_sky[LAYER_PIXELS] = {};  // the plain sky with the vignette merged over it
  pixel_t over_ground[LAYER_PIXELS] = {};
};
extern vignette_state vignette;
void vignette_power_on();

void blit_image_clipped(pixel_t* dst, int dst_w, int dst_h, const pixel_t* src, int src_w, int src_h, int x, int y);
void draw_grey4_image(pixel_t* dst, int dst_w, int dst_h, const std::uint8_t* src4, int src_w, int src_h, int x, int y);
void draw_alpha4_image(pixel_t* dst, int dst_w, int dst_h, const std::uint8_t* src4, int src_w, int src_h, int x, int y,
                       pixel_t colour);
void draw_rgb444_image(pixel_t* dst, int dst_w, int dst_h, const std::uint16_t* src16, int src_w, int src_h, int x,
                       int y);
