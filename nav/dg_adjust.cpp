#include "nav/dg_adjust.h"

#include "core/controls.h"
#include "core/modes.h"
#include "core/platform.h"
#include "gfx/text.h"
#include "nav/heading_bug.h"
#include "nav/nav_page.h"

dg_adjust_state dg_adjust;

void dg_adjust_power_on() { dg_adjust = dg_adjust_state{}; }

namespace {

// The value a pop-up shows before the first frame has reloaded it; a heading that cannot be
// drawn leaves the previous value.
void load_heading(float& value) {
  float h = 0.0f;
  if (gyro_heading(h)) {
    value = h;
  }
}

// A knob turn moves the gyro heading itself by the knob step; returns false for other events.
bool adjust_by_knob(int e, float& value) {
  if (e != EVT_KNOB_CW && e != EVT_KNOB_CCW) {
    return false;
  }
  const int step = e == EVT_KNOB_CW ? knob_step() : -knob_step();
  value += static_cast<float>(step);
  adjust_heading(step);
  return true;
}

}  // namespace

void dg_adjust_open() {
  modes.dg_adjust_popup_open = 1;
  modes.dg_adjust_adjusted = 0;
  load_heading(dg_adjust.dg_adjust_value);
}

void dg_adjust_close() {
  modes.dg_adjust_popup_open = 0;
  modes.dg_adjust_adjusted = 0;
}

bool dg_adjust_is_open() { return modes.dg_adjust_popup_open != 0; }
bool dg_adjust_was_adjusted() { return modes.dg_adjust_adjusted != 0; }

int dg_adjust_handle_event(int e) {
  if (!modes.dg_adjust_popup_open) {
    return e;
  }
  if (adjust_by_knob(e, dg_adjust.dg_adjust_value)) {
    modes.dg_adjust_adjusted = 1;
  }
  return EVT_NONE;  // every event is used up while the pop-up is open
}

void nav_dg_adjust_open() {
  modes.nav_dg_adjust_popup_open = 1;
  modes.nav_dg_adjust_adjusted = 0;
  load_heading(dg_adjust.nav_dg_adjust_value);
}

void nav_dg_adjust_close() {
  modes.nav_dg_adjust_popup_open = 0;
  modes.nav_dg_adjust_adjusted = 0;
}

bool nav_dg_adjust_is_open() { return modes.nav_dg_adjust_popup_open != 0; }
bool nav_dg_adjust_was_adjusted() { return modes.nav_dg_adjust_adjusted != 0; }

int nav_dg_adjust_handle_event(int e) {
  if (modes.nav_dg_adjust_popup_open) {
    if (adjust_by_knob(e, dg_adjust.nav_dg_adjust_value)) {
      modes.nav_dg_adjust_adjusted = 1;
      return EVT_NONE;
    }
    return e;
  }
  // The arc range selector: a turn past either end of the table is not used up.
  if (e == EVT_KNOB_CW && nav_page.arc_range_index < ARC_RANGE_COUNT - 1) {
    nav_page.arc_range_index += 1;
    return EVT_NONE;
  }
  if (e == EVT_KNOB_CCW && nav_page.arc_range_index > 0) {
    nav_page.arc_range_index -= 1;
    return EVT_NONE;
  }
  return e;
}

void dg_adjust_popup_draw() {
  if (!modes.dg_adjust_popup_open) {
    return;
  }
  dg_adjust.dg_adjust_value = wrap_value(dg_adjust.dg_adjust_value, 360.0f);
  draw_heading_popup("DG ADJ", dg_adjust.dg_adjust_value);
}

void nav_dg_adjust_popup_draw() {
  if (modes.nav_dg_adjust_popup_open) {
    draw_heading_popup("DG ADJ", dg_adjust.nav_dg_adjust_value);
  }
}
