#include "host/desktop/control_bridge.h"

#include <algorithm>
#include <utility>

#include "core/controls.h"
#include "core/modes.h"
#include "host/desktop/presenter.h"
#include "settings/settings.h"
#include "settings/setup_rows.h"
#include "settings/startup_screen.h"

namespace {

struct deferred_switch {
  void (*set)(int level);
  const switch_state* decoder;
  bool release_waiting = false;
};
deferred_switch deferred[3] = {
    {set_knob_push, &controls.knob},
    {set_left_button, &controls.left},
    {set_right_button, &controls.right},
};

void set_level(deferred_switch& sw, int level) {
  if (level != 0) {
    sw.release_waiting = false;
    sw.set(1);
  } else if (sw.decoder->down == 0) {
    sw.release_waiting = true;  // the press has not been taken yet: keep it down until it is
  } else {
    sw.set(0);
  }
}

}  // namespace

void settle_deferred_releases() {
  for (deferred_switch& sw : deferred) {
    if (sw.release_waiting && sw.decoder->down == 1) {
      sw.release_waiting = false;
      sw.set(0);
    }
  }
}

void reset_deferred_releases() {
  for (deferred_switch& sw : deferred) sw.release_waiting = false;
}

void apply_control_action(const control_action& action) {
  switch (action.kind) {
    case control_kind::knob_push:
      set_level(deferred[0], action.value);
      break;
    case control_kind::left_button:
      set_level(deferred[1], action.value);
      break;
    case control_kind::right_button:
      set_level(deferred[2], action.value);
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
  s += " unit=";
  s += cfg_get(CFG_UNIT_FUNCTION) == 0 ? "AI" : "DG";
  add("page", modes.field_page);
  const std::pair<int, const char*> open_flags[] = {
      {modes.baro_popup_open, "SET_BARO"},         {modes.set_alt_popup_open, "SET_ALT"},
      {modes.hdg_bug_popup_open, "HDG_BUG"},       {modes.dg_adjust_popup_open, "DG_ADJ"},
      {modes.nav_dg_adjust_popup_open, "DG_ADJ"},  {modes.brightness_popup_open, "BRT"},
      {modes.squawk_edit_active, "SQUAWK"},        {modes.menu_active, "MENU"},
      {modes.field_editor_active, "FIELD_EDITOR"}, {modes.setup_active, modes.install_mode ? "INSTALL" : "SETUP"},
  };
  std::string open;
  for (const auto& [flag, name] : open_flags) {
    if (flag == 0) continue;
    if (!open.empty()) open += '+';
    open += name;
  }
  s += " open=" + (open.empty() ? std::string("none") : open);
  s += " setup_row=";
  if (modes.setup_active != 0 && modes.setup_row >= 0 && modes.setup_row < SETUP_ROW_COUNT) {
    std::string label = setup_rows[modes.setup_row].label;
    std::replace(label.begin(), label.end(), ' ', '_');
    s += std::to_string(modes.setup_row) + ":" + label;
  } else {
    s += "none";
  }
  return s;
}

unsigned held_switch_areas() {
  unsigned lit = 0;
  if (controls.knob_push != 0) lit |= touch_bit(static_cast<int>(touch_area::knob_push));
  if (controls.left_button != 0) lit |= touch_bit(static_cast<int>(touch_area::left_button));
  if (controls.right_button != 0) lit |= touch_bit(static_cast<int>(touch_area::right_button));
  return lit;
}
