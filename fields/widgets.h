// The attitude unit's side widgets: the curved airspeed tape with its boxed readout, the two
// g-meters, the altitude box and the vertical-trend scale. Each is drawn at a fixed place whatever
// its slot, and takes the label colour of the field strip for its caption.
#pragma once
#include <cstdint>

#include "gfx/kept_draw.h"
#include "gfx/layers.h"

inline constexpr int TAPE_ROWS = 150;
// Pixels the tape's lines can reach, all rows together (about 2000 with the tape's geometry).
inline constexpr int TAPE_MEMO_CAPACITY = 2400;

// The colours of one row of the tape; a row without lines has drawn = 0.
struct tape_row_colours {
  int drawn = 0;
  pixel_t band = 0;
  int flap_drawn = 0;
  pixel_t flap = 0;
  bool operator==(const tape_row_colours&) const = default;
};

// The tape's lines as last drawn: the pixels they can reach before and after, and the row colours.
// The lines' geometry is fixed, so the same colours over the same pixels give the same picture,
// which is then copied instead of drawn again; only the rows where something changed are drawn.
struct tape_memo_state {
  std::int16_t span_lo[SCREEN_H] = {};    // per screen row, the columns the lines can reach;
  std::int16_t span_hi[SCREEN_H] = {};    // an empty row has span_hi < span_lo
  std::int16_t row_start[SCREEN_H] = {};  // where each row's pixels begin in the stores
  int row_first = 0, row_end = 0;         // the screen rows the region has, first and one past
  int pixels = 0;                         // size of the region; 0 when it was not set up
  int valid = 0;
  tape_row_colours rows[TAPE_ROWS] = {};
  pixel_t before[TAPE_MEMO_CAPACITY] = {};
  pixel_t after[TAPE_MEMO_CAPACITY] = {};
  int replays = 0;     // frames whose lines were all copied, for tests and measurements
  int rows_drawn = 0;  // tape rows whose lines the last frame drew
};

// A pointer as last sampled at its sub-pixel place: the picture depends only on the image and the
// fractions of its place, so while those stay the same it is laid over the layer again as it is.
inline constexpr int POINTER_PATCH_PIXELS = 22 * 22;
struct pointer_memo {
  int valid = 0;
  int entry = 0;
  int scratch_w = 0, scratch_h = 0;
  float ox = 0.0f, oy = 0.0f;  // the fractions of the place
  pixel_t patch[POINTER_PATCH_PIXELS] = {};
};
inline constexpr int POINTER_SLOTS = 3;  // left g-meter, right g-meter, trend scale

inline constexpr int READOUT_GLYPHS = 3;
inline constexpr int READOUT_GLYPH_KEPT = 640;  // a digit of the largest font, over a box

struct widgets_state {
  // Left edge of the tape's outer (radius 107) and inner (radius 104) arcs, row i = screen row
  // 217 - i; built once by airspeed_tape_init.
  float tape_outer_x[TAPE_ROWS] = {};
  float tape_inner_x[TAPE_ROWS] = {};
  int displayed_airspeed = 0;  // knots or mph, as the tape last drew it; 0 for no speed
  int airspeed_above_vso = 0;  // latched once the speed has exceeded VSO; only start-up clears it
  int altitude_thousands = 0;  // the last drawn thousands, which choose the next frame's box
  int altitude_box_wide = 0;   // the box last drawn was the one for two-digit thousands
  // The value texts as last drawn ("---" when there was no value), for snapshots and scripts.
  char airspeed_text[12] = "---";
  char altitude_thousands_text[12] = "---";
  char altitude_rest_text[4] = "";
  tape_memo_state tape_memo;
  pointer_memo pointers[POINTER_SLOTS];
  int pointer_samplings = 0;  // pointers sampled afresh, for tests and measurements
  // Captions and texts written again while they and the pixels under them stay the same; those
  // over the boxes and over the picture hold the pixels under them too.
  kept_area<768> tape_caption;
  kept_area<512> tape_units;
  // The readouts that move with every reading, kept glyph by glyph: shadow, then text.
  kept_area<READOUT_GLYPH_KEPT> tape_readout_glyphs[2][READOUT_GLYPHS];
  kept_area<READOUT_GLYPH_KEPT> altitude_rest_glyphs[2][READOUT_GLYPHS];
  kept_area<768> altitude_caption;
  kept_area<2048> altitude_thousands_kept;
  kept_area<1024> g_captions[2];
  kept_area<1024> trend_caption;
};
extern widgets_state widgets;

void airspeed_tape_init();
void draw_airspeed_tape(pixel_t* layer, pixel_t colour_label);
// side 0: the left meter, 1: the right meter.
void draw_g_meter(pixel_t* top_layer, pixel_t* base_layer, pixel_t colour_label, int side);
void draw_altitude_box(pixel_t* layer, pixel_t colour_label);
int altitude_box_wide();
void draw_vertical_trend(pixel_t* top_layer, pixel_t* base_layer, pixel_t colour_label);

void widgets_power_on();
