// The compact heading tape of the data fields "GPS TRK" and "DG HDG": a horizontal strip with the
// bearing pointer and the heading bug, following the GPS track or the gyro heading.
#pragma once
#include "gfx/layers.h"

inline constexpr int HEADING_STRIP_W = 360;
inline constexpr int HEADING_STRIP_H = 20;

struct compact_heading_state {
  pixel_t heading_strip_a[HEADING_STRIP_W * HEADING_STRIP_H] = {};
  pixel_t heading_strip_b[HEADING_STRIP_W * HEADING_STRIP_H] = {};
  float compact_unwrapped = 0.0f;
  float compact_heading = 0.0f;
  float compact_bearing = 0.0f;
  float compact_track_stab_delta = 0.0f;
  float compact_track_stab_last = 0.0f;
  unsigned compact_track_stab_frame = 0;  // the composed frame on which stabilisation last ran
  int compact_style_seen = -1;
  int tape_shown_gps = 0;  // the last tape drawn followed the GPS track (HDG BUG synchronises to it)
};
extern compact_heading_state compact;

void compact_heading_init();
// gps 1: the tape follows the GPS track ("GPS TRK"); 0: the gyro heading ("DG HDG").
void compact_heading_draw(pixel_t* top, pixel_t* base, int gps);
void compact_track_stab_restart();

// The strip column shown at screen column x (79..238) for the displayed heading h; the window
// wraps round the strip, which is a full circle.
int compact_strip_column(float h, int x);

void compact_heading_power_on();
