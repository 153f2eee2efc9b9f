// The two DG ADJ pop-ups (compact heading display and heading page), which correct the gyro
// heading itself, and the arc range selector that takes the knob while nothing is open.
#pragma once

struct dg_adjust_state {
  float nav_dg_adjust_value = 0.0f;  // shown by the heading page's pop-up
  float dg_adjust_value = 0.0f;      // shown by the compact display's pop-up
};
extern dg_adjust_state dg_adjust;

void dg_adjust_open();
void dg_adjust_close();
bool dg_adjust_is_open();
bool dg_adjust_was_adjusted();
int dg_adjust_handle_event(int e);
void dg_adjust_popup_draw();

void nav_dg_adjust_open();
void nav_dg_adjust_close();
bool nav_dg_adjust_is_open();
bool nav_dg_adjust_was_adjusted();
// With its pop-up closed this is the arc page's range selector.
int nav_dg_adjust_handle_event(int e);
void nav_dg_adjust_popup_draw();

void dg_adjust_power_on();
