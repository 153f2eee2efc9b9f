// The HSI deviation display and the arc presentation, drawn from the heading page's smoothed
// values.
#pragma once
#include "gfx/layers.h"

void draw_hsi_deviation(pixel_t* top, pixel_t* base);
void draw_arc_card(pixel_t* top, pixel_t* base, pixel_t colour);
void draw_arc_course(pixel_t* top, pixel_t* base);

// Pixels from the course line to the deviation bar for a cross-track error in nm: 30 per nm
// (one dot), stopped at 70.
float hsi_deviation_pixels(float gain, float xte);

// Where the arc's bearing pointer or bug sits (screen angle 0..360) for a relative angle, parked
// at 50 or 310 degrees past the arc's ends; side is +1 / -1 when parked right / left, else 0.
float arc_parked_angle(float relative, int& side);
