// Control events: the knob, its push switch and the two buttons, turned once per pass into at
// most one pending event, with the accelerated knob step.
#pragma once

enum : int {
  EVT_NONE = 0,
  EVT_KNOB_PRESS = 1,
  EVT_KNOB_RELEASE = 2,
  EVT_KNOB_LONG = 3,
  EVT_LEFT_PRESS = 4,
  EVT_LEFT_RELEASE = 5,
  EVT_LEFT_LONG = 6,
  EVT_RIGHT_PRESS = 7,
  EVT_RIGHT_RELEASE = 8,
  EVT_RIGHT_LONG = 9,
  EVT_BOTH_PRESS = 10,
  EVT_BOTH_RELEASE = 11,
  EVT_KNOB_CW = 12,
  EVT_KNOB_CCW = 13,
};
inline constexpr int EVENT_COUNT = 14;
extern const char* const event_names[EVENT_COUNT];  // "EVT_NONE" ...

inline constexpr int KNOB_LONG_PASSES = 100;
inline constexpr int LEFT_LONG_PASSES = 100;
inline constexpr int RIGHT_LONG_PASSES = 120;

struct switch_state {
  int down = 0;    // the level last acted on
  int timing = 0;  // the hold count is running
  int hold_count = 0;
};

struct controls_state {
  // Inputs, written by the host between passes.
  int knob_push = 0;
  int left_button = 0;
  int right_button = 0;
  int knob_count = 0;
  // Decoder.
  switch_state knob;
  switch_state left;
  switch_state right;
  int suppress_release = 0;
  int both_held = 0;
  int last_knob_raw = 0;
  int pending_event = EVT_NONE;
};
extern controls_state controls;

void set_knob_push(int level);
void set_left_button(int level);
void set_right_button(int level);
void set_knob_count(int n);
int get_knob_push();
int get_left_button();
int get_right_button();
int take_knob_count();

void controls_init();
void decode_controls();
int knob_step();

// Debugging aid for hosts: how many events of each code the decoder has made since power-on.
struct event_log_state {
  long counts[EVENT_COUNT] = {};
  long total = 0;
  int last_event = EVT_NONE;
};
extern event_log_state controls_event_log;

void controls_power_on();
