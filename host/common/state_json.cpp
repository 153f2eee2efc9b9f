#include "host/common/state_json.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "attitude/alerts.h"
#include "attitude/attitude.h"
#include "core/controls.h"
#include "core/demo.h"
#include "core/filters.h"
#include "core/firmware.h"
#include "core/modes.h"
#include "core/platform.h"
#include "core/slip.h"
#include "fields/field_strip.h"
#include "fields/layouts.h"
#include "fields/popups.h"
#include "fields/widgets.h"
#include "gfx/banner.h"
#include "host/common/desk_platform.h"
#include "host/common/faults.h"
#include "nav/compact_heading.h"
#include "nav/dg_adjust.h"
#include "nav/heading_bug.h"
#include "nav/nav_page.h"
#include "serial/gps_data.h"
#include "serial/serial_input.h"
#include "settings/settings.h"
#include "settings/startup_screen.h"
#include "transponder/transponder.h"

namespace {

// A name table entry, or a made-up name for a code outside the table, so that an out-of-range
// value still shows up instead of reading past the table.
std::string name_or_code(const char* const* names, int count, int code, const char* prefix) {
  if (code >= 0 && code < count && names[code] != nullptr) {
    return names[code];
  }
  return std::string(prefix) + std::to_string(code);
}

state_json event_json(int code) {
  state_json e;
  e["code"] = code;
  e["name"] = name_or_code(event_names, EVENT_COUNT, code, "EVT_");
  return e;
}

// Text from a fixed-size character buffer that may lack its terminator.
std::string bounded_text(const char* text, std::size_t size) { return std::string(text, strnlen(text, size)); }

// A setting as the one number it reads as. Where its two readings differ (a negative word such
// as CFG_G_NEG_LIM, a byte slot holding more than a byte) both are shown, {"word": w, "byte": b},
// and the firmware reads the one its setting table names.
state_json setting_json(int idx) {
  const std::int32_t word = cfg_get(idx);
  const int byte = cfg_get_byte(idx);
  if (word == byte) {
    return word;
  }
  state_json both;
  both["word"] = word;
  both["byte"] = byte;
  return both;
}

state_json settings_json() {
  state_json s = state_json::object();
  for (int i = 0; i < setting_name_count; ++i) {
    s[setting_names[i].name] = setting_json(setting_names[i].idx);
  }
  state_json mirror = state_json::array();
  for (int i = 0; i < LAYOUT_STORE_COUNT; ++i) {
    mirror.push_back(cfg_get_byte(CFG_LAYOUT_MIRROR + i));
  }
  s["CFG_LAYOUT_MIRROR"] = mirror;
  return s;
}

state_json modes_json() {
  const mode_flags& m = modes;
  state_json j;
  j["baro_popup_open"] = m.baro_popup_open;
  j["baro_adjusted"] = m.baro_adjusted;
  j["dg_adjust_popup_open"] = m.dg_adjust_popup_open;
  j["dg_adjust_adjusted"] = m.dg_adjust_adjusted;
  j["nav_dg_adjust_popup_open"] = m.nav_dg_adjust_popup_open;
  j["nav_dg_adjust_adjusted"] = m.nav_dg_adjust_adjusted;
  j["hdg_bug_popup_open"] = m.hdg_bug_popup_open;
  j["hdg_bug_adjusted"] = m.hdg_bug_adjusted;
  j["set_alt_popup_open"] = m.set_alt_popup_open;
  j["brightness_popup_open"] = m.brightness_popup_open;
  j["squawk_edit_active"] = m.squawk_edit_active;
  j["setup_active"] = m.setup_active;
  j["setup_value_edit"] = m.setup_value_edit;
  j["setup_touched"] = m.setup_touched;
  j["setup_row"] = m.setup_row;
  j["menu_active"] = m.menu_active;
  j["field_editor_active"] = m.field_editor_active;
  j["selected_slot"] = m.selected_slot;
  j["layout_modified"] = m.layout_modified;
  j["editor_cursor_moved"] = m.editor_cursor_moved;
  j["field_page"] = m.field_page;
  j["install_mode"] = m.install_mode;
  j["install_allowed"] = m.install_allowed;
  j["attitude_alert_active"] = m.attitude_alert_active;
  j["nav_page_style"] = m.nav_page_style;
  return j;
}

state_json banner_line_json(const char* text, int style, pixel_t colour) {
  state_json line;
  line["text"] = bounded_text(text, BANNER_TEXT_MAX + 1);
  line["style"] = style;
  line["colour"] = colour_text(colour);
  return line;
}

state_json banner_json() {
  const banner_state& b = banner;
  state_json j;
  j["banner_line1"] = banner_line_json(b.banner_line1, b.banner_line1_style, b.banner_line1_colour);
  j["banner_line2"] = banner_line_json(b.banner_line2, b.banner_line2_style, b.banner_line2_colour);
  j["banner_left_arrow"] = b.banner_left_arrow;
  j["banner_right_arrow"] = b.banner_right_arrow;
  j["banner_cursor_index"] = b.banner_cursor_index;
  j["banner_cursor_mode"] = b.banner_cursor_mode;
  return j;
}

state_json demo_json() {
  const demo_state& d = demo;
  state_json j;
  j["demo_roll"] = float_json(d.demo_roll);
  j["demo_roll_dir"] = d.demo_roll_dir;
  j["demo_pitch"] = float_json(d.demo_pitch);
  j["demo_pitch_dir"] = d.demo_pitch_dir;
  j["demo_g_acc"] = float_json(d.demo_g_acc);
  j["demo_g"] = float_json(d.demo_g);
  j["demo_vs_acc"] = float_json(d.demo_vs_acc);
  j["demo_alt"] = d.demo_alt;
  j["demo_slip_acc"] = float_json(d.demo_slip_acc);
  j["demo_track_state"] = float_json(d.demo_track_state);
  j["demo_wpt_dist"] = float_json(d.demo_wpt_dist);
  return j;
}

state_json filters_json() {
  state_json j = state_json::object();
  for (int ch = 0; ch < FILTER_COUNT; ++ch) {
    if (filter_names[ch] != nullptr) {
      j[filter_names[ch]] = float_json(filters.channel[ch].output);
    }
  }
  return j;
}

// "serial_rx_age" -> "serial_rx_fresh".
std::string fresh_name(const char* age_name) {
  std::string name = age_name;
  const std::string suffix = "_age";
  if (name.size() >= suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
    name.resize(name.size() - suffix.size());
  }
  return name + "_fresh";
}

state_json data_ages_json() {
  state_json j = state_json::object();
  for (int i = 0; i < DATA_AGE_COUNT; ++i) {
    j[data_age_names[i]] = filters.data_age[i];
  }
  return j;
}

state_json data_fresh_json() {
  state_json j = state_json::object();
  for (int i = 0; i < DATA_AGE_COUNT; ++i) {
    j[fresh_name(data_age_names[i])] = filters.data_fresh[i];
  }
  return j;
}

state_json gps_json() {
  const gps_nav_data_state& g = gps_nav_data;
  state_json j;
  j["gps_track"] = g.gps_track;
  j["gps_ground_speed"] = g.gps_ground_speed;
  j["gps_waypoint_distance"] = float_json(g.gps_waypoint_distance);
  j["gps_cross_track_error"] = float_json(g.gps_cross_track_error);
  j["gps_desired_track"] = float_json(g.gps_desired_track);
  j["gps_waypoint_id"] = std::string(g.gps_waypoint_id);
  j["gps_waypoint_bearing"] = float_json(g.gps_waypoint_bearing);
  j["gps_magnetic_variation"] = g.gps_magnetic_variation;
  j["gps_nav_valid"] = g.gps_nav_valid;
  for (int i = 0; i < DATA_AGE_COUNT; ++i) {
    j[data_age_names[i]] = filters.data_age[i];
    j[fresh_name(data_age_names[i])] = filters.data_fresh[i];
  }
  return j;
}

state_json serial_json() {
  const serial_input_state& s = serial_input;
  state_json j;
  j["serial_protocol"] = s.serial_protocol;
  j["rx_synced"] = s.rx_synced;
  j["rx_len"] = s.rx_len;
  j["lines_handed_over"] = s.lines_handed_over;
  j["lines_bad_checksum"] = s.lines_bad_checksum;
  j["lines_too_long"] = s.lines_too_long;
  return j;
}

state_json control_events_json() {
  const event_log_state& log = controls_event_log;
  state_json counts = state_json::object();
  for (int code = 0; code < EVENT_COUNT; ++code) {
    counts[event_names[code]] = log.counts[code];
  }
  state_json j;
  j["counts"] = counts;
  j["total"] = log.total;
  j["last_event"] = event_json(log.last_event);
  return j;
}

state_json controls_json() {
  const controls_state& c = controls;
  state_json j;
  j["knob_push"] = c.knob_push;
  j["left_button"] = c.left_button;
  j["right_button"] = c.right_button;
  j["knob_count"] = c.knob_count;
  j["knob_down"] = c.knob.down;
  j["left_down"] = c.left.down;
  j["right_down"] = c.right.down;
  j["knob_hold_count"] = c.knob.hold_count;
  j["left_hold_count"] = c.left.hold_count;
  j["right_hold_count"] = c.right.hold_count;
  j["suppress_release"] = c.suppress_release;
  j["both_held"] = c.both_held;
  j["last_knob_raw"] = c.last_knob_raw;
  return j;
}

state_json attitude_json() {
  const attitude_state& a = attitude;
  state_json j;
  j["attitude_roll"] = float_json(a.attitude_roll);
  j["attitude_pitch"] = float_json(a.attitude_pitch);
  j["attitude_pitch_fill"] = float_json(a.attitude_pitch_fill);
  j["adi_mark_colour"] = colour_text(a.adi_mark_colour);
  j["adi_line_colour"] = colour_text(a.adi_line_colour);
  j["adi_sky_colour"] = colour_text(a.adi_sky_colour);
  j["adi_ground_colour"] = colour_text(a.adi_ground_colour);
  j["aircraft_symbol_offset"] = a.aircraft_symbol_offset;
  return j;
}

state_json alerts_json() {
  state_json flags = state_json::object();
  state_json latches = state_json::object();
  for (int i = 0; i < ALERT_COUNT; ++i) {
    const std::string name = name_or_code(alert_names, ALERT_COUNT, i, "ALERT_");
    flags[name] = alerts.alert_flag[i];
    latches[name] = alerts.alert_latch[i];
  }
  state_json j;
  j["alert_flag"] = flags;
  j["alert_latch"] = latches;
  return j;
}

state_json tones_json() {
  state_json modes_per_channel = state_json::array();
  for (int ch = 0; ch < TONE_CHANNEL_COUNT; ++ch) {
    modes_per_channel.push_back(desk.tone_mode[ch]);
  }
  state_json j;
  j["tone_mode"] = modes_per_channel;
  j["tone_commands"] = desk.tone_commands;
  return j;
}

state_json transponder_json() {
  const transponder_state& t = txp;
  state_json j;
  j["squawk_code"] = t.squawk_code;
  j["mode"] = t.mode;
  j["ident_countdown"] = t.ident_countdown;
  j["squawk_edit_active"] = modes.squawk_edit_active;
  j["squawk_text"] = bounded_text(t.squawk_text, sizeof t.squawk_text);
  j["squawk_cursor"] = t.squawk_cursor;
  j["squawk_digit_edit"] = t.squawk_digit_edit;
  j["reply_indicator"] = t.reply_indicator;
  // The strip as last drawn; empty texts where nothing was drawn.
  state_json strip;
  strip["title"] = bounded_text(t.drawn.title, sizeof t.drawn.title);
  strip["squawk"] = bounded_text(t.drawn.squawk, sizeof t.drawn.squawk);
  strip["mode"] = bounded_text(t.drawn.mode, sizeof t.drawn.mode);
  strip["status"] = bounded_text(t.drawn.status, sizeof t.drawn.status);
  strip["lower"] = bounded_text(t.drawn.lower, sizeof t.drawn.lower);
  j["strip"] = strip;
  // What the link reports (the ground speed is left out: reading it moves the desk's value).
  j["status_bits"] = txp_status_bits();
  j["nic"] = txp_nic();
  j["nacp"] = txp_nacp();
  j["replying"] = txp_replying();
  const char* flight_id = txp_flight_id();
  j["flight_id"] = flight_id != nullptr ? std::string(flight_id) : std::string();
  j["pressure_altitude"] = float_json(read_pressure_altitude());
  return j;
}

state_json popups_json() {
  const popups_state& p = popups;
  char baro_text[16] = {};
  format_baro_setting(baro_text);
  state_json badge;
  badge["shown"] = p.badge_shown;
  badge["text"] = p.badge_shown ? bounded_text(p.badge_text, sizeof p.badge_text) : std::string();
  badge["colour"] = colour_text(p.badge_shown ? p.badge_colour : 0);
  badge["icon"] = p.badge_shown ? p.badge_icon : 0;
  badge["strip"] = p.badge_shown ? p.badge_strip : 0;
  state_json j;
  j["selected_altitude"] = p.selected_altitude;
  j["baro_setting"] = float_json(desk_baro_hundredths());
  j["baro_setting_text"] = std::string(baro_text);
  j["baro_set_since_start"] = p.baro_set_since_start;
  j["brightness_level"] = p.brightness_level;
  j["brightness_auto"] = p.brightness_auto;
  j["status_badge"] = badge;
  return j;
}

state_json layouts_json() {
  const field_layout_state& f = fields;
  state_json ai = state_json::array();
  state_json dg = state_json::array();
  for (int p = 0; p < FIELD_PAGES; ++p) {
    state_json ai_page = state_json::array();
    for (int s = 0; s < AI_SLOTS; ++s) {
      ai_page.push_back(f.layout_ai[p][s]);
    }
    ai.push_back(ai_page);
    state_json dg_page = state_json::array();
    for (int s = 0; s < DG_SLOTS; ++s) {
      dg_page.push_back(f.layout_dg[p][s]);
    }
    dg.push_back(dg_page);
  }
  state_json j;
  j["layout_ai"] = ai;
  j["layout_dg"] = dg;
  j["field_hosts_baro"] = f.field_hosts_baro;
  j["field_hosts_dg_adjust"] = f.field_hosts_dg_adjust;
  j["field_hosts_hdg_bug"] = f.field_hosts_hdg_bug;
  j["field_hosts_set_alt"] = f.field_hosts_set_alt;
  return j;
}

state_json nav_json() {
  const nav_page_state& n = nav_page;
  state_json j;
  j["nav_page_style"] = get_nav_page_style();
  j["nav_page_source"] = n.nav_page_source;
  j["card_heading"] = float_json(n.card_heading);
  j["nav_course"] = float_json(n.nav_course);
  j["nav_xte"] = float_json(n.nav_xte);
  j["nav_bearing"] = float_json(n.nav_bearing);
  j["nav_distance"] = float_json(n.nav_distance);
  j["arc_range_index"] = n.arc_range_index;
  j["arc_range"] = float_json(n.arc_range);
  j["hsi_gain"] = float_json(n.hsi_gain);
  j["card_smooth"] = float_json(n.card_smooth);
  j["course_smooth"] = float_json(n.course_smooth);
  j["bearing_smooth"] = float_json(n.bearing_smooth);
  j["track_stab_delta"] = float_json(n.track_stab_delta);
  j["track_stab_last"] = float_json(n.track_stab_last);
  j["rose_colour"] = colour_text(n.rose_colour);
  j["outline_colour"] = colour_text(n.outline_colour);
  j["course_colour"] = colour_text(n.course_colour);
  j["nav_page_style_seen"] = n.nav_page_style_seen;
  j["nav_page_first_run"] = n.nav_page_first_run;
  j["heading_failed"] = n.heading_failed;
  j["presentation_shown"] = n.presentation_shown;
  j["bearing_shown"] = n.bearing_shown;
  j["course_shown"] = n.course_shown;
  j["waypoint_shown"] = n.waypoint_shown;
  j["waypoint_name_shown"] = n.waypoint_name_shown;
  j["compact_unwrapped"] = float_json(compact.compact_unwrapped);
  j["compact_heading"] = float_json(compact.compact_heading);
  j["compact_bearing"] = float_json(compact.compact_bearing);
  j["compact_track_stab_delta"] = float_json(compact.compact_track_stab_delta);
  j["compact_track_stab_last"] = float_json(compact.compact_track_stab_last);
  j["compact_style_seen"] = compact.compact_style_seen;
  j["tape_shown_gps"] = compact.tape_shown_gps;
  j["gyro_heading"] = float_json(desk.heading);
  j["gyro_heading_valid"] = desk.heading_valid;
  j["hdg_bug"] = float_json(heading_bug.hdg_bug);
  j["hdg_bug_shown"] = float_json(heading_bug.hdg_bug_shown);
  j["nav_dg_adjust_value"] = float_json(dg_adjust.nav_dg_adjust_value);
  j["dg_adjust_value"] = float_json(dg_adjust.dg_adjust_value);
  return j;
}

// The side widgets' state, given with the fields that draw them.
state_json widgets_json() {
  const widgets_state& w = widgets;
  state_json j;
  j["displayed_airspeed"] = w.displayed_airspeed;
  j["airspeed_above_vso"] = w.airspeed_above_vso;
  j["airspeed_text"] = bounded_text(w.airspeed_text, sizeof w.airspeed_text);
  j["altitude_box"] = w.altitude_box_wide ? "wide" : "narrow";
  j["altitude_thousands"] = w.altitude_thousands;
  j["altitude_texts"] = {bounded_text(w.altitude_thousands_text, sizeof w.altitude_thousands_text),
                         bounded_text(w.altitude_rest_text, sizeof w.altitude_rest_text)};
  return j;
}

// The field strip as last drawn: the page, each slot in drawing order with the texts exactly as
// drawn, and the presence flags the dispatcher reads. Widgets add their own keys beside these.
state_json fields_json() {
  const field_strip_state& f = field_strip;
  state_json slots = state_json::array();
  for (int i = 0; i < f.drawn_count; ++i) {
    const drawn_field& d = f.drawn[i];
    state_json slot;
    slot["slot"] = d.slot;
    slot["id"] = d.id;
    slot["name"] = d.id >= 0 && d.id < FIELD_ID_COUNT && field_id_names[d.id] != nullptr ? field_id_names[d.id] : "";
    slot["caption"] = std::string(d.caption != nullptr ? d.caption : "");
    state_json texts = state_json::array();
    for (int t = 0; t < d.text_count; ++t) {
      texts.push_back(bounded_text(d.texts[t], FIELD_TEXT_SIZE));
    }
    slot["texts"] = texts;
    slot["colour"] = colour_text(d.colour);
    slots.push_back(slot);
  }
  state_json j;
  j["page"] = f.drawn_page;
  j["slots"] = slots;
  j["field_hosts_baro"] = field_hosts_baro();
  j["field_hosts_hdg_bug"] = field_hosts_hdg_bug();
  j["field_hosts_dg_adjust"] = field_hosts_dg_adjust();
  j["field_hosts_set_alt"] = field_hosts_set_alt();
  return j;
}

}  // namespace

std::string colour_text(std::uint32_t colour) {
  char text[11];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(colour));
  return text;
}

state_json float_json(float value) {
  if (!std::isfinite(value)) {
    return nullptr;
  }
  // The shortest text of the float, read back as a double: the double then prints the same text.
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text - 1, value);
  *result.ptr = '\0';
  return std::strtod(text, nullptr);
}

state_json state_snapshot(const host_clock_reading& clock) {
  state_json j;
  j["time_ms"] = clock.time_ms;
  j["passes"] = clock.passes;
  j["frames"] = clock.frames;
  j["unit_function"] = cycle.unit_function;
  j["field_page"] = modes.field_page;
  j["startup_countdown"] = startup.startup_countdown;
  j["inactivity_countdown"] = cycle.inactivity_countdown;
  j["blink_phase"] = cycle.blink_phase;
  j["present_countdown"] = cycle.present_countdown;
  j["pending_event"] = event_json(controls.pending_event);
  j["settings"] = settings_json();
  j["modes"] = modes_json();
  j["banner"] = banner_json();
  j["demo"] = demo_json();
  j["filters"] = filters_json();
  j["data_ages"] = data_ages_json();
  j["data_fresh"] = data_fresh_json();
  j["gps"] = gps_json();
  j["serial"] = serial_json();
  j["control_events"] = control_events_json();
  j["controls"] = controls_json();
  j["attitude"] = attitude_json();
  j["alerts"] = alerts_json();
  j["alert_blink"] = alerts.alert_blink;
  j["attitude_alert_active"] = modes.attitude_alert_active;
  j["tones"] = tones_json();
  j["slip_offset"] = slip.slip_offset;
  j["slip_value"] = float_json(slip.slip_value);
  j["last_aoa_ratio"] = float_json(alerts.last_aoa_ratio);
  j["transponder"] = transponder_json();
  state_json active = state_json::array();
  for (int i = 0; i < FAULT_COUNT; ++i) {
    if (fault_active(i)) active.push_back(fault_table[i].name);
  }
  j["faults"] = active;
  j["layouts"] = layouts_json();
  j["fields"] = fields_json();
  const state_json side_widgets = widgets_json();
  for (const auto& [key, value] : side_widgets.items()) j["fields"][key] = value;
  j["popups"] = popups_json();
  j["nav"] = nav_json();
  return j;
}

std::string state_snapshot_text(const host_clock_reading& clock, int indent) {
  // Banner and squawk texts are the firmware's own bytes; anything that is not UTF-8 is replaced
  // rather than failing the whole snapshot.
  return state_snapshot(clock).dump(indent, ' ', false, state_json::error_handler_t::replace);
}
