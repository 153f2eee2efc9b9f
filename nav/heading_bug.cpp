#include "nav/heading_bug.h"

#include "core/modes.h"
#include "gfx/text.h"
#include "settings/settings.h"

heading_bug_state heading_bug;

void heading_bug_power_on() { heading_bug = heading_bug_state{}; }

void hdg_bug_init() {
  heading_bug.hdg_bug = static_cast<float>(cfg_get(CFG_HDG_BUG));
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
