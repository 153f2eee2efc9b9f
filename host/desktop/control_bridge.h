// Where the window's input meets the firmware: control actions become the core's control
// inputs, and the state line of the debug key is read from the core.
#pragma once
#include <string>

#include "host/common/detent_queue.h"
#include "host/desktop/input_map.h"

void apply_control_action(const control_action& action);

// A click shorter than the gap between two refreshes would go unseen by the decoder, which reads
// levels once per pass. Such a release is kept back until the decoder has taken the press; call
// this after every refresh.
void settle_deferred_releases();
void reset_deferred_releases();

struct sim_counters {
  long passes = 0;
  long frames = 0;
  long seconds = 0;
  bool paused = false;
};

// One line, no newline: the host's counters, the control inputs, the pending event, how many
// events of each code the decoder has made, then what the pilot sees: unit function, field page,
// what is open (pop-ups, menu, editor, setup page; names with '_' for blanks, joined by '+') and
// the setup row. For example "... unit=AI page=0 open=SETUP setup_row=24:ROLL_LIM".
std::string format_state_line(const sim_counters& counters);

// touch_bit of each switch whose level, as the firmware reads it, is down.
unsigned held_switch_areas();
