// The heading bug: the value the pilot sets and the smoothed position every drawing uses.
#pragma once

struct heading_bug_state {
  float hdg_bug = 0.0f;
  float hdg_bug_shown = 0.0f;
};
extern heading_bug_state heading_bug;

void hdg_bug_init();
float heading_bug_display();
void hdg_bug_open();
void hdg_bug_close();

void heading_bug_power_on();
