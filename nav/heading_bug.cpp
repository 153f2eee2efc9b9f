#include "nav/heading_bug.h"

#include <cmath>

#include "core/controls.h"
#include "core/demo.h"
#include "core/firmware.h"
#include "core/modes.h"
#include "core/platform.h"
#include "gfx/banner.h"
#include "gfx/text.h"
#include "nav/compact_heading.h"
#include "nav/nav_page.h"
#include "serial/gps_data.h"
#include "settings/settings.h"

heading_bug_state heading_bug;

void heading_bug_power_on() { heading_bug = heading_bug_state{}; }

void hdg_bug_init() {
  // The stored setting is not range-checked where it is written: a negative or huge value would
  // print as "00-5" and make every smoothing step loop, so it is brought into 0..359 here.
  const std::int32_t v = cfg_get(CFG_HDG_BUG) % 360;
  heading_bug.hdg_bug = static_cast<float>(v < 0 ? v + 360 : v);
  modes.hdg_bug_popup_open = 0;
  modes.hdg_bug_adjusted = 0;
}

float heading_bug_display() {
  // Half of the remaining shortest-way difference per call.
  float d = heading_bug.hdg_bug - heading_bug.hdg_bug_shown;
  if (d < -180.0f) {
    d += 360.0f;
  }
  if (d > 180.0f) {
    d -= 360.0f;
  }
  heading_bug.hdg_bug_shown = wrap_value(heading_bug.hdg_bug_shown + 0.5f * d, 360.0f);
  return heading_bug.hdg_bug_shown;
}

void hdg_bug_open() {
  modes.hdg_bug_popup_open = 1;
  modes.hdg_bug_adjusted = 0;
}

void hdg_bug_close() { modes.hdg_bug_popup_open = 0; }
bool hdg_bug_is_open() { return modes.hdg_bug_popup_open != 0; }
bool hdg_bug_was_adjusted() { return modes.hdg_bug_adjusted != 0; }

namespace {

// The heading a long press copies into the bug. On the heading pages it follows the card's
// source; elsewhere (the attitude pages) it follows the compact tape that is shown. A source that
// has nothing valid to give leaves the bug alone.
bool sync_target(float& target) {
  const bool demo = cfg_get_byte(CFG_DEMO_MODE) != 0;
  const bool heading_page = cycle.unit_function == 1 && modes.field_page != 3;
  const bool gps = heading_page ? get_nav_page_source() == NAV_SOURCE_GPS : compact.tape_shown_gps != 0;
  if (gps && demo) {
    target = demo_get_track();
    return true;
  }
  if (gps) {
    if (!gps_track_valid()) {
      return false;
    }
    target = get_gps_track();
    return true;
  }
  return gyro_heading(target);
}

}  // namespace

int hdg_bug_handle_event(int e) {
  if (!modes.hdg_bug_popup_open) {
    return e;
  }
  const float n = static_cast<float>(2 * knob_step() - 1);  // 1 for a slow turn, up to 39
  if (e == EVT_KNOB_CW) {
    // The wrap is coarse: a fast turn past 359 lands on 0, not on the overshoot.
    heading_bug.hdg_bug += n;
    if (heading_bug.hdg_bug > 359.0f) {
      heading_bug.hdg_bug = 0.0f;
    }
    modes.hdg_bug_adjusted = 1;
  } else if (e == EVT_KNOB_CCW) {
    heading_bug.hdg_bug -= n;
    if (heading_bug.hdg_bug < 0.0f) {
      heading_bug.hdg_bug = 359.0f;
    }
    modes.hdg_bug_adjusted = 1;
  } else if (e == EVT_KNOB_LONG) {
    float target = 0.0f;
    if (sync_target(target)) {
      heading_bug.hdg_bug = target;
      modes.hdg_bug_adjusted = 1;
    }
  }
  return EVT_NONE;  // every event is used up while the pop-up is open
}

void draw_heading_popup(const char* title, float value) {
  char text[8] = {};
  char* cursor = text;
  const int v = static_cast<int>(value);
  if (v < 100) {
    *cursor++ = '0';
  }
  if (v < 10) {
    *cursor++ = '0';
  }
  append_int(v, cursor);
  *cursor = '\0';
  set_banner_line1(title, 0, COLOUR_MAGENTA);
  set_banner_line2(text, 1, COLOUR_MAGENTA);
  set_banner_right_arrow(1);
  set_banner_left_arrow(1);
}

void hdg_bug_popup_draw() {
  if (modes.hdg_bug_popup_open) {
    draw_heading_popup("HDG BUG", heading_bug.hdg_bug);
  }
}
