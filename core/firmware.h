// The firmware's three entry points (initialise, pass, one-second tick), the frame composer, and
// the restoration of the true power-on state of every module.
#pragma once
#include "gfx/layers.h"

struct frame_cycle_state {
  int present_countdown = 1;    // passes until the next composed frame
  int initial_clear_count = 2;  // the first two frames start from clear buffers
  int unit_function = 0;        // 0 attitude indicator "AI", 1 directional gyro "DG"
  int blink_phase = 0;
  int inactivity_countdown = 0;
  unsigned frame_number = 0;  // composed frames so far; tells a module whether it drew last frame
};
extern frame_cycle_state cycle;

void firmware_init();
bool firmware_pass(pixel_t* frame);
void second_tick();
void compose_frame(pixel_t* frame);

// Every module back to the state it has when the instrument is switched on, before firmware_init.
void firmware_power_on();
