// The slip indicator: a glass tube with a ball that moves with the lateral acceleration, and two
// reference lines; it slides up out of the banner's way while anything is open.
#pragma once
#include "gfx/layers.h"

struct slip_state {
  int slip_offset = 0;
  float slip_value = 0.0f;
};
extern slip_state slip;

void slip_init();
void draw_slip_indicator(pixel_t* top, pixel_t* base);

void slip_power_on();
