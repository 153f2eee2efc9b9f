// The attitude indicator: sky and ground turned by roll and moved by pitch, horizon line, pitch
// ladder with numbers, the fading roll scale and the fixed aircraft symbol.
#pragma once
#include "gfx/images.h"
#include "gfx/layers.h"
#include "gfx/primitives.h"

struct attitude_state {
  float attitude_roll = 0.0f;
  float attitude_pitch = 0.0f;
  float attitude_pitch_fill = 0.0f;
  float roll_sin = 0.0f;
  float roll_cos = 1.0f;
  pixel_t adi_mark_colour = 0;
  pixel_t adi_line_colour = 0;
  pixel_t adi_sky_colour = 0;
  pixel_t adi_ground_colour = 0;
  int aircraft_symbol_offset = 0;
  // The pitch number scratch keeps its picture, value and transform between frames.
  pixel_t label_scratch[15 * 15] = {};
  int label_value = -1000000;  // no value rendered yet
  image_transform label_transform;
  int label_renders = 0;  // how many times a number was rendered into the scratch
  // The roll mark's grey picture never changes: it is drawn into its scratch once after power-on.
  pixel_t mark_scratch[32 * 32] = {};
  bool mark_ready = false;
  horizon_rows horizon;  // where the last frame's sky and ground lie
};
extern attitude_state attitude;

void attitude_init();
// The attitude picture: sky and ground into the base, the rest into the top layer. Without
// paint_sky_ground the sky and ground are only placed (attitude.horizon), for a caller that paints
// them itself as it merges (the vignetted looks).
void draw_attitude(pixel_t* top, pixel_t* base, bool paint_sky_ground = true);
void draw_sky_ground(pixel_t* base, float roll, float pf);
void place_sky_ground(float roll, float pf);
void draw_roll_scale(pixel_t* top);
void draw_pitch_ladder(pixel_t* top);
void draw_pitch_labels(pixel_t* top);
void draw_pitch_label(pixel_t* top, float x, float y, int value, pixel_t colour);
void draw_roll_mark(pixel_t* top, float ax, float ay, float k, float angle);

void attitude_power_on();
