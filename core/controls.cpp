#include "core/controls.h"

#include "core/firmware.h"
#include "core/modes.h"
#include "settings/settings.h"

controls_state controls;
event_log_state controls_event_log;

const char* const event_names[EVENT_COUNT] = {
    "EVT_NONE",         "EVT_KNOB_PRESS",   "EVT_KNOB_RELEASE", "EVT_KNOB_LONG",     "EVT_LEFT_PRESS",
    "EVT_LEFT_RELEASE", "EVT_LEFT_LONG",    "EVT_RIGHT_PRESS",  "EVT_RIGHT_RELEASE", "EVT_RIGHT_LONG",
    "EVT_BOTH_PRESS",   "EVT_BOTH_RELEASE", "EVT_KNOB_CW",      "EVT_KNOB_CCW",
};

void controls_power_on() {
  controls = controls_state{};
  controls_event_log = event_log_state{};
}

void set_knob_push(int level) { controls.knob_push = level != 0 ? 1 : 0; }
void set_left_button(int level) { controls.left_button = level != 0 ? 1 : 0; }
void set_right_button(int level) { controls.right_button = level != 0 ? 1 : 0; }
void set_knob_count(int n) { controls.knob_count = n; }
int get_knob_push() { return controls.knob_push; }
int get_left_button() { return controls.left_button; }
int get_right_button() { return controls.right_button; }

int take_knob_count() {
  const int n = controls.knob_count;
  controls.knob_count = 0;
  return n;
}

void controls_init() {
  const controls_state inputs = controls;
  controls = controls_state{};
  controls.knob_push = inputs.knob_push;
  controls.left_button = inputs.left_button;
  controls.right_button = inputs.right_button;
  controls.knob_count = inputs.knob_count;
  cycle.unit_function = cfg_get_byte(CFG_UNIT_FUNCTION);
  cycle.blink_phase = 0;
  // A switch already down at start-up makes no press event.
  controls.knob.down = controls.knob_push;
  controls.left.down = controls.left_button;
  controls.right.down = controls.right_button;
  modes.install_allowed = 1;
}

namespace {

void make_event(int event) {
  controls.pending_event = event;
  ++controls_event_log.counts[event];
  ++controls_event_log.total;
  controls_event_log.last_event = event;
}

// Counts a held switch on; true when its long press fires in this pass.
bool count_hold(switch_state& sw, int threshold, int long_event) {
  if (!sw.timing) {
    return false;
  }
  sw.hold_count += 1;
  if (sw.hold_count != threshold) {
    return false;
  }
  make_event(long_event);
  controls.suppress_release = 1;
  return true;
}

void restart_hold_counts() {
  controls.knob.hold_count = 0;
  controls.left.hold_count = 0;
  controls.right.hold_count = 0;
}

// Handles a level change of one switch; true when there was one. A release during a two-button
// hold (`both`) makes no short-release event.
bool take_edge(switch_state& sw, int level, int press_event, int release_event, bool both) {
  if (level == 1 && sw.down == 0) {
    make_event(press_event);
    controls.suppress_release = 0;
    sw.timing = 1;
    sw.down = 1;
  } else if (level == 0 && sw.down == 1) {
    if (controls.suppress_release == 0) {
      if (!both) {
        make_event(release_event);
      }
    } else {
      controls.suppress_release = 0;
    }
    sw.timing = 0;
    sw.down = 0;
  } else {
    return false;
  }
  restart_hold_counts();
  return true;
}

}  // namespace

void decode_controls() {
  if (controls.pending_event != EVT_NONE) {
    return;  // not consumed yet: nothing is decoded or counted
  }
  const int k = controls.knob_push;
  const int l = controls.left_button;
  const int r = controls.right_button;
  const int b = controls.both_held;

  if (l == 1 && b == 0 && r == 1) {
    make_event(EVT_BOTH_PRESS);
    controls.left = switch_state{1, 1, 0};
    controls.right = switch_state{1, 1, 0};
    controls.both_held = 1;
    controls.suppress_release = 1;
    return;
  }
  if (l == 0 && b == 1 && r == 0) {
    make_event(EVT_BOTH_RELEASE);
    controls.left = switch_state{};
    controls.right = switch_state{};
    controls.both_held = 0;
    return;
  }

  const bool fired = count_hold(controls.knob, KNOB_LONG_PASSES, EVT_KNOB_LONG) ||
                     count_hold(controls.left, LEFT_LONG_PASSES, EVT_LEFT_LONG) ||
                     count_hold(controls.right, RIGHT_LONG_PASSES, EVT_RIGHT_LONG);
  if (!fired) {
    // The first edge wins; a second simultaneous edge is taken in a later pass.
    (void)(take_edge(controls.knob, k, EVT_KNOB_PRESS, EVT_KNOB_RELEASE, false) ||
           take_edge(controls.left, l, EVT_LEFT_PRESS, EVT_LEFT_RELEASE, b == 1) ||
           take_edge(controls.right, r, EVT_RIGHT_PRESS, EVT_RIGHT_RELEASE, b == 1));
  }

  if (r == 0 && l == 0) {
    controls.both_held = 0;
  }

  if (controls.pending_event == EVT_NONE) {
    const int n = take_knob_count();
    if (n > 0) {
      make_event(EVT_KNOB_CW);
    } else if (n < 0) {
      make_event(EVT_KNOB_CCW);
    }
    controls.last_knob_raw = n < 0 ? -2 * n : 2 * n;
  }
}

int knob_step() {
  if (controls.last_knob_raw <= 2) {
    return 1;
  }
  if (controls.last_knob_raw > 20) {
    controls.last_knob_raw = 20;
  }
  return controls.last_knob_raw;
}
