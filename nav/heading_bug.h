// The heading bug: the value the pilot sets with the HDG BUG pop-up and the smoothed position
// every drawing uses.
#pragma once

struct heading_bug_state {
  float hdg_bug = 0.0f;        // 0..359
  float hdg_bug_shown = 0.0f;  // 0..360, half-way closer to hdg_bug per call of heading_bug_display
};
extern heading_bug_state heading_bug;

void hdg_bug_init();
float heading_bug_display();
void hdg_bug_open();
void hdg_bug_close();
bool hdg_bug_is_open();
bool hdg_bug_was_adjusted();
int hdg_bug_handle_event(int e);
void hdg_bug_popup_draw();

// Banner of the HDG BUG and DG ADJ pop-ups: a title and a three-digit heading, in magenta.
void draw_heading_popup(const char* title, float value);

void heading_bug_power_on();
