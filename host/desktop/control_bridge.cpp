#include "host/desktop/control_bridge.h"

#include <algorithm>

#include "core/controls.h"
#include "settings/startup_screen.h"

void apply_control_action(const control_action& action) {
  switch (action.kind) {
    case control_kind::knob_push:
      set_knob_push(action.value);
      break;
    case control_kind::left_button:
      set_left_button(action.value);
      break;
    case control_kind::right_button:
      set_right_button(action.value);
      break;
    case control_kind::knob_count_set:
      set_knob_count(action.value);
      break;
    case control_kind::knob_turn:
      // Added to the detents not yet taken, so a quick flick of the wheel between two passes
      // counts every notch (and the decoder's step grows as a real knob's would).
      set_knob_count(std::clamp(controls.knob_count + action.value, -MAX_QUEUED_DETENTS, MAX_QUEUED_DETENTS));
      break;
    case control_kind::none:
      break;
  }
}

namespace {

const char* event_name(int code) { return code >= 0 && code < EVENT_COUNT ? event_names[code] : "EVT_?"; }

}  // namespace

std::string format_state_line(const sim_counters& counters) {
  std::string s = "state:";
  auto add = [&s](const char* name, long value) {
    s += ' ';
    s += name;
    s += '=';
    s += std::to_string(value);
  };
  add("startup", startup.startup_countdown);
  add("paused", counters.paused ? 1 : 0);
  add("passes", counters.passes);
  add("frames", counters.frames);
  add("seconds", counters.seconds);
  add("knob_push", controls.knob_push);
  add("left", controls.left_button);
  add("right", controls.right_button);
  add("knob_count", controls.knob_count);
  s += " pending=";
  s += event_name(controls.pending_event);
  s += " last=";
  s += event_name(controls_event_log.last_event);
  add("events", controls_event_log.total);
  for (int code = EVT_NONE + 1; code < EVENT_COUNT; ++code) {
    add(event_name(code), controls_event_log.counts[code]);
  }
  return s;
}
