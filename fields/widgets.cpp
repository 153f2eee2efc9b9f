#include "fields/widgets.h"

#include <cmath>

widgets_state widgets;

void widgets_power_on() { widgets = widgets_state{}; }

void airspeed_tape_init() {
  for (int i = 0; i < TAPE_ROWS; ++i) {
    const int d = i - 75;
    widgets.tape_outer_x[i] = 160.0f - std::sqrt(static_cast<float>(11449 - d * d));
    widgets.tape_inner_x[i] = 160.0f - std::sqrt(static_cast<float>(10816 - d * d));
  }
  widgets.airspeed_above_vso = 0;
}

void draw_airspeed_tape(pixel_t* /*layer*/, pixel_t /*colour_label*/) {}

void draw_g_meter(pixel_t* /*top_layer*/, pixel_t* /*base_layer*/, pixel_t /*colour_label*/, int /*side*/) {}

void draw_altitude_box(pixel_t* /*layer*/, pixel_t /*colour_label*/) {}

int altitude_box_wide() { return widgets.altitude_thousands >= 10 ? 1 : 0; }

void draw_vertical_trend(pixel_t* /*top_layer*/, pixel_t* /*base_layer*/, pixel_t /*colour_label*/) {}
