// The field strip, its widgets, soft keys and badge write their captions and texts again from
// what they kept: every composed frame must equal the same frame drawn with nothing kept, whatever
// changed before it.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <vector>

#include "core/controls.h"
#include "core/firmware.h"
#include "core/modes.h"
#include "fields/field_strip.h"
#include "fields/layouts.h"
#include "fields/popups.h"
#include "fields/widgets.h"
#include "gfx/banner.h"
#include "host/common/desk_platform.h"
#include "settings/settings.h"
#include "settings/startup_screen.h"
#include "tests/support/power_on.h"
#include "transponder/transponder.h"

namespace {

std::vector<kept_head*> kept_heads() {
  std::vector<kept_head*> all;
  for (field_kept& k : field_strip.kept) {
    all.push_back(&k.caption.head);
    all.push_back(&k.value.head);
  }
  for (auto& k : field_strip.soft_keys_kept) all.push_back(&k.head);
  for (auto& k : widgets.g_captions) all.push_back(&k.head);
  for (auto& k : popups.brightness_keys_kept) all.push_back(&k.head);
  for (auto& k : banner.arrows_kept) all.push_back(&k.head);
  all.push_back(&banner.lines_kept.head);
  for (auto& k : txp.kept.captions) all.push_back(&k.head);
  for (auto& k : txp.kept.values) all.push_back(&k.head);
  for (auto& k : txp.kept.keys) all.push_back(&k.head);
  for (auto& side : widgets.tape_readout_glyphs)
    for (auto& k : side) all.push_back(&k.head);
  for (auto& side : widgets.altitude_rest_glyphs)
    for (auto& k : side) all.push_back(&k.head);
  for (kept_head* h : {&widgets.tape_caption.head, &widgets.tape_units.head, &widgets.altitude_caption.head,
                       &widgets.altitude_thousands_kept.head, &widgets.trend_caption.head, &popups.badge_kept.head}) {
    all.push_back(h);
  }
  return all;
}

struct step {
  const char* change;
  std::function<void()> apply;
};

void set_cfg(int item, int value) { cfg_set_byte(item, static_cast<std::uint8_t>(value)); }

// Each change, then three frames: the inputs seen, drawn again and kept, then copied.
const std::vector<step>& steps() {
  static const std::vector<step> all = {
      {"page 0", [] {}},
      {"page 1", [] { modes.field_page = 1; }},
      {"page 2", [] { modes.field_page = 2; }},
      {"legacy look", [] { set_cfg(CFG_UI_STYLE, 0); }},
      {"vintage look", [] { set_cfg(CFG_UI_STYLE, 2); }},
      {"LCD font", [] { set_cfg(CFG_UI_FONT, 1); }},
      {"mph", [] { set_cfg(CFG_IAS_UNITS, 1); }},
      {"hPa", [] { set_cfg(CFG_BARO_UNITS, 1); }},
      {"airspeed held",
       [] {
         desk.ias_held = true;
         desk.ias = 123.0f;
       }},
      {"airspeed moved", [] { desk.ias = 87.0f; }},
      {"vertical speed field", [] { fields.layout_ai[2][1] = FIELD_VERT_SPD; }},
      {"climbing fast", [] { desk.vertical_speed = 2500.0f; }},
      {"density altitude field", [] { fields.layout_ai[2][3] = FIELD_DALT; }},
      {"higher", [] { desk.pressure_altitude = 12500.0f; }},
      {"altitude lost", [] { desk.altitude_valid = false; }},
      {"altitude back", [] { desk.altitude_valid = true; }},
      {"airspeed lost", [] { desk.ias_valid = false; }},
      {"selected altitude", [] { popups.selected_altitude = 4500; }},
      {"bus voltage",
       [] {
         fields.layout_ai[2][1] = FIELD_BUS_VOLTS;
         desk.bus_volts = 13.9f;
       }},
      {"g-meters",
       [] {
         fields.layout_ai[2][0] = FIELD_G_LOAD_LEFT;
         fields.layout_ai[2][8] = FIELD_G_LOAD_RIGHT;
       }},
      {"steeper", [] { desk.pitch = 14.0f; }},
      {"menu",
       [] {
         modes.menu_active = 1;
         modes.selected_slot = 1;
       }},
      {"editor", [] { modes.field_editor_active = 1; }},
      {"other slot", [] { modes.selected_slot = 3; }},
      {"layout changed", [] { modes.layout_modified = 1; }},
      {"menu closed",
       [] {
         modes.menu_active = 0;
         modes.field_editor_active = 0;
         modes.layout_modified = 0;
       }},
      {"badge TEST", [] { desk.status_state = 1; }},
      {"badge FAIL", [] { desk.status_state = 0; }},
      {"badge percent",
       [] {
         desk.status_state = 2;
         desk.status_percent = 55.0f;
       }},
      {"no power icon", [] { desk.status_icon = false; }},
      {"brightness", [] { modes.brightness_popup_open = 1; }},
      {"brightness up", [] { brightness_event(EVT_KNOB_CW); }},
      {"brightness full",
       [] {
         for (int i = 0; i < 30; ++i) brightness_event(EVT_KNOB_CW);
       }},
      {"brightness closed", [] { modes.brightness_popup_open = 0; }},
      {"set altitude", [] { open_set_alt(); }},
      {"set altitude turned", [] { set_alt_event(EVT_KNOB_CW); }},
      {"set altitude closed", [] { close_set_alt(); }},
      {"set baro", [] { open_set_baro(); }},
      {"set baro turned", [] { set_baro_event(EVT_KNOB_CCW); }},
      {"set baro closed", [] { close_set_baro(); }},
      {"page 3", [] { modes.field_page = 3; }},
      {"transponder", [] { set_cfg(CFG_SERIAL2, 1); }},
      {"squawk", [] { txp_set_squawk(4521); }},
      {"higher pressure altitude", [] { desk.txp_pressure_altitude = 9500.0f; }},
      {"no replies",
       [] {
         desk.txp_replying = false;
         reply_indicator_tick();  // the same altitude, now green
       }},
      {"ident", [] { start_ident(); }},
      {"ident over",
       [] {
         for (int i = 0; i < TXP_IDENT_SECONDS + 1; ++i) txp_ident_tick();
       }},
      {"integrity",
       [] {
         desk.txp_nic = 5;
         desk.txp_nacp = 11;
       }},
      {"no position", [] { desk.txp_status = TXP_STATUS_NO_POSITION; }},
      {"mode on", [] { txp_set_mode(1); }},
      {"flight id", [] { std::snprintf(desk.txp_flight_id, sizeof desk.txp_flight_id, "%s", "DLH4AB"); }},
      {"squawk editor", [] { open_squawk_edit(); }},
      {"squawk cursor", [] { txp.squawk_cursor = 2; }},
      {"squawk digit", [] { txp.squawk_digit_edit = 1; }},
      {"squawk digit moved", [] { txp.squawk_text[2] = '5'; }},
      {"squawk editor closed", [] { close_squawk_edit(); }},
      {"timed out", [] { desk.txp_status = TXP_STATUS_TIMEOUT; }},
      {"heading unit",
       [] {
         set_cfg(CFG_UNIT_FUNCTION, 1);
         modes.field_page = 0;
       }},
      {"heading unit page 1", [] { modes.field_page = 1; }},
      {"heading unit attitude", [] { modes.field_page = 3; }},
      {"attitude unit again",
       [] {
         set_cfg(CFG_UNIT_FUNCTION, 0);
         modes.field_page = 2;
       }},
      {"EFIS look", [] { set_cfg(CFG_UI_STYLE, 1); }},
  };
  return all;
}

// Runs every step from power-on; with forget, nothing kept is used.
std::vector<std::vector<pixel_t>> run(bool forget, std::vector<int>* replays) {
  restore_power_on();
  firmware_init();
  startup.startup_countdown = 0;
  cfg_set_byte(CFG_DEMO_MODE, 0);
  std::vector<std::vector<pixel_t>> frames;
  std::vector<pixel_t> frame(LAYER_PIXELS);
  for (const step& s : steps()) {
    s.apply();
    for (int i = 0; i < 3; ++i) {
      if (forget) {
        for (kept_head* h : kept_heads()) h->stage = KEPT_NONE;
      }
      compose_frame(frame.data());
      frames.push_back(frame);
    }
  }
  if (replays != nullptr) {
    for (kept_head* h : kept_heads()) replays->push_back(h->replays);
  }
  return frames;
}

using KeptFrames = PowerOn;

TEST_F(KeptFrames, EveryFrameEqualsItDrawnWithNothingKept) {
  std::vector<int> replays;
  const auto kept = run(false, &replays);
  const auto fresh = run(true, nullptr);
  ASSERT_EQ(kept.size(), fresh.size());
  for (std::size_t i = 0; i < kept.size(); ++i) {
    EXPECT_TRUE(kept[i] == fresh[i]) << "frame " << i % 3 << " after " << steps()[i / 3].change;
  }
  // Every kept group was copied somewhere along the way, so each of them was put to the test.
  for (std::size_t i = 0; i < replays.size(); ++i) EXPECT_GT(replays[i], 0) << "kept group " << i;
}

}  // namespace
