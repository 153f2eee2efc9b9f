// The start-up screen shown for the first eight seconds: logo, model name and software version
// fading in, and the demo badge.
#pragma once
#include "gfx/layers.h"

struct startup_state {
  int startup_countdown = 8;
  pixel_t startup_fade = 0x00000000;
};
extern startup_state startup;

void startup_screen_init();
bool startup_done();
void draw_startup_screen(pixel_t* layer);

void startup_power_on();
