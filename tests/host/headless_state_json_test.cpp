// The JSON state snapshot: every part of the instrument state under the firmware's own names,
// the two readings of a setting, and a snapshot that leaves the instrument untouched.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "attitude/alerts.h"
#include "attitude/attitude.h"
#include "core/controls.h"
#include "core/demo.h"
#include "core/filters.h"
#include "core/firmware.h"
#include "core/modes.h"
#include "core/slip.h"
#include "fields/layouts.h"
#include "fields/widgets.h"
#include "gfx/banner.h"
#include "host/common/desk_platform.h"
#include "host/common/state_json.h"
#include "settings/settings.h"
#include "settings/startup_screen.h"
#include "tests/host/headless_support.h"
#include "tests/support/power_on.h"
#include "transponder/transponder.h"

namespace {

class StateJson : public Started {
 protected:
  state_json snap() { return state_snapshot({1234, 56, 7}); }
};

TEST(StateJsonText, ColoursAreEightUpperCaseHexDigits) {
  EXPECT_EQ(colour_text(0x12ABCDEFu), "0x12ABCDEF");
  EXPECT_EQ(colour_text(0u), "0x00000000");
  EXPECT_EQ(colour_text(0xFFFFFFFFu), "0xFFFFFFFF");
}

TEST(StateJsonText, FloatsPrintAsTheShortestTextOfTheFloat) {
  EXPECT_EQ(float_json(0.2f).dump(), "0.2");
  EXPECT_EQ(float_json(5.02f).dump(), "5.02");
  EXPECT_EQ(float_json(-42.0f).dump(), "-42.0");
  // The text reads back as exactly the same float.
  const float odd = 0.1f + 0.2f;
  EXPECT_EQ(static_cast<float>(float_json(odd).get<double>()), odd);
  EXPECT_EQ(static_cast<float>(float_json(1.0e-30f).get<double>()), 1.0e-30f);
  EXPECT_EQ(static_cast<float>(float_json(std::numeric_limits<float>::max()).get<double>()),
            std::numeric_limits<float>::max());
  // JSON has no not-a-number: the unconfigured filter of a careless owner must not break it.
  EXPECT_TRUE(float_json(std::nanf("")).is_null());
  EXPECT_TRUE(float_json(std::numeric_limits<float>::infinity()).is_null());
}

TEST_F(StateJson, HostCountersAndCycleValues) {
  state_json s = snap();
  EXPECT_EQ(s["time_ms"], 1234);
  EXPECT_EQ(s["passes"], 56);
  EXPECT_EQ(s["frames"], 7);
  EXPECT_EQ(s["startup_countdown"], 8);
  EXPECT_EQ(s["inactivity_countdown"], 0);
  EXPECT_EQ(s["blink_phase"], 0);
  EXPECT_EQ(s["unit_function"], 0);
  EXPECT_EQ(s["field_page"], 0);
  EXPECT_EQ(s["pending_event"]["code"], 0);
  EXPECT_EQ(s["pending_event"]["name"], "EVT_NONE");
}

TEST_F(StateJson, DefaultSettingsUnderTheirNamesWithBothReadingsWhereTheyDiffer) {
  state_json settings = snap()["settings"];
  const auto& defaults = headless_test::default_settings();
  for (const auto& [name, value] : defaults) {
    ASSERT_TRUE(settings.contains(name)) << name;
    EXPECT_EQ(settings[name], value) << name;
  }
  // The one default whose word and byte readings differ.
  EXPECT_EQ(settings["CFG_G_NEG_LIM"]["word"], -2);
  EXPECT_EQ(settings["CFG_G_NEG_LIM"]["byte"], 254);
  // Every named setting is there, plus the layout mirror.
  EXPECT_EQ(settings.size(), static_cast<std::size_t>(setting_name_count) + 1);
  ASSERT_EQ(settings["CFG_LAYOUT_MIRROR"].size(), 64u);
  EXPECT_EQ(settings["CFG_LAYOUT_MIRROR"][0], cfg_get_byte(CFG_LAYOUT_MIRROR));
  EXPECT_EQ(settings["CFG_LAYOUT_MIRROR"][63], cfg_get_byte(CFG_LAYOUT_MIRROR + 63));
}

TEST_F(StateJson, AByteSlotHoldingMoreThanAByteShowsBoth) {
  cfg_set(CFG_ROLL_LIM, 300);  // a word write into a byte setting: the firmware reads 44
  cfg_set(CFG_IAS_VNE, 256);   // a word setting whose low byte is 0
  state_json settings = snap()["settings"];
  EXPECT_EQ(settings["CFG_ROLL_LIM"]["word"], 300);
  EXPECT_EQ(settings["CFG_ROLL_LIM"]["byte"], 44);
  EXPECT_EQ(settings["CFG_IAS_VNE"]["word"], 256);
  EXPECT_EQ(settings["CFG_IAS_VNE"]["byte"], 0);
}

TEST_F(StateJson, PendingEventByCodeAndName) {
  controls.pending_event = EVT_LEFT_RELEASE;
  EXPECT_EQ(snap()["pending_event"]["name"], "EVT_LEFT_RELEASE");
  EXPECT_EQ(snap()["pending_event"]["code"], 5);
  controls.pending_event = 99;  // never made by the decoder, but must not read past the names
  EXPECT_EQ(snap()["pending_event"]["name"], "EVT_99");
}

TEST_F(StateJson, ModeFlagsByName) {
  modes.menu_active = 1;
  modes.selected_slot = 4;
  modes.nav_page_style = 3;
  state_json m = snap()["modes"];
  EXPECT_EQ(m["menu_active"], 1);
  EXPECT_EQ(m["selected_slot"], 4);
  EXPECT_EQ(m["nav_page_style"], 3);
  EXPECT_EQ(m["baro_popup_open"], 0);
  EXPECT_EQ(m["install_allowed"], 1);  // set by the decoder's start-up
  // Every flag of the mode table is shown: a flag added later must not be left out.
  EXPECT_EQ(m.size(), sizeof(mode_flags) / sizeof(int));
}

TEST_F(StateJson, BannerLinesWithStyleAndColour) {
  std::strcpy(banner.banner_line1, "SET BARO");
  banner.banner_line1_style = 1;
  banner.banner_line1_colour = 0xFF00FFFFu;
  banner.banner_right_arrow = 1;
  banner.banner_cursor_index = 2;
  banner.banner_cursor_mode = 1;
  state_json b = snap()["banner"];
  EXPECT_EQ(b["banner_line1"]["text"], "SET BARO");
  EXPECT_EQ(b["banner_line1"]["style"], 1);
  EXPECT_EQ(b["banner_line1"]["colour"], "0xFF00FFFF");
  EXPECT_EQ(b["banner_line2"]["text"], "");
  EXPECT_EQ(b["banner_left_arrow"], 0);
  EXPECT_EQ(b["banner_right_arrow"], 1);
  EXPECT_EQ(b["banner_cursor_index"], 2);
  EXPECT_EQ(b["banner_cursor_mode"], 1);
}

TEST_F(StateJson, AnUnterminatedOrNonTextBannerStaysInsideItsBuffer) {
  std::memset(banner.banner_line1, 'A', sizeof banner.banner_line1);  // no terminator at all
  std::strcpy(banner.banner_line2, "\xFF\xFE");                       // not UTF-8
  state_json s = snap();
  EXPECT_EQ(s["banner"]["banner_line1"]["text"], std::string(BANNER_TEXT_MAX + 1, 'A'));
  std::string text;
  EXPECT_NO_THROW(text = state_snapshot_text({0, 0, 0}));
  EXPECT_NE(text.find("\"banner_line2\""), std::string::npos);
}

TEST_F(StateJson, DemoFiltersAgesAndEvents) {
  demo.demo_alt = 7000;
  filters.channel[FILTER_SLIP].output = 1.5f;
  filters.data_age[AGE_GPS_TRACK] = 3;
  filters.data_fresh[AGE_GPS_TRACK] = 1;
  controls_event_log.counts[EVT_KNOB_CW] = 4;
  controls_event_log.total = 4;
  controls_event_log.last_event = EVT_KNOB_CW;
  state_json s = snap();
  EXPECT_EQ(s["demo"]["demo_alt"], 7000);
  EXPECT_EQ(s["demo"]["demo_wpt_dist"], 20.0);
  EXPECT_EQ(s["demo"].size(), sizeof(demo_state) / 4);  // every member, each four bytes
  EXPECT_EQ(s["filters"]["FILTER_SLIP"], 1.5);
  EXPECT_EQ(s["filters"].size(), 7u);  // only the channels in use
  EXPECT_FALSE(s["filters"].contains("FILTER_3"));
  EXPECT_EQ(s["data_ages"]["gps_track_age"], 3);
  EXPECT_EQ(s["data_fresh"]["gps_track_fresh"], 1);
  EXPECT_EQ(s["data_fresh"]["serial_rx_fresh"], 0);
  EXPECT_EQ(s["data_ages"].size(), 9u);
  EXPECT_EQ(s["data_fresh"].size(), 9u);
  EXPECT_EQ(s["control_events"]["counts"]["EVT_KNOB_CW"], 4);
  EXPECT_EQ(s["control_events"]["counts"].size(), 14u);
  EXPECT_EQ(s["control_events"]["total"], 4);
  EXPECT_EQ(s["control_events"]["last_event"]["name"], "EVT_KNOB_CW");
}

TEST_F(StateJson, AttitudeAlertsTonesSlipTransponderAndLayouts) {
  attitude.attitude_roll = -12.5f;
  attitude.adi_sky_colour = 0xFF2050A0u;
  alerts.alert_flag[ALERT_ROLL_RIGHT] = 1;
  alerts.alert_latch[ALERT_G_90] = 1;
  alerts.alert_blink = 1;
  modes.attitude_alert_active = 1;
  desk.tone_mode[3] = 2;
  slip.slip_offset = -39;
  slip.slip_value = 0.25f;
  fields.field_hosts_baro = 1;
  alerts.last_aoa_ratio = 0.75f;
  state_json s = snap();
  EXPECT_EQ(s["attitude"]["attitude_roll"], -12.5);
  EXPECT_EQ(s["attitude"]["adi_sky_colour"], "0xFF2050A0");
  EXPECT_TRUE(s["attitude"].contains("attitude_pitch_fill"));
  EXPECT_EQ(s["alerts"]["alert_flag"][alert_names[ALERT_ROLL_RIGHT]], 1);
  EXPECT_EQ(s["alerts"]["alert_flag"][alert_names[ALERT_ROLL_LEFT]], 0);
  EXPECT_EQ(s["alerts"]["alert_latch"][alert_names[ALERT_G_90]], 1);
  EXPECT_EQ(s["alerts"]["alert_flag"].size(), 8u);
  EXPECT_EQ(s["alert_blink"], 1);
  EXPECT_EQ(s["attitude_alert_active"], 1);
  ASSERT_EQ(s["tones"]["tone_mode"].size(), static_cast<std::size_t>(TONE_CHANNEL_COUNT));
  EXPECT_EQ(s["tones"]["tone_mode"][3], 2);
  EXPECT_EQ(s["slip_offset"], -39);
  EXPECT_EQ(s["slip_value"], 0.25);
  EXPECT_EQ(s["last_aoa_ratio"], 0.75);
  EXPECT_EQ(s["transponder"]["squawk_code"], 1200);
  EXPECT_EQ(s["transponder"]["mode"], 2);
  EXPECT_EQ(s["transponder"]["squawk_text"], "1200");
  ASSERT_EQ(s["layouts"]["layout_ai"].size(), 4u);
  ASSERT_EQ(s["layouts"]["layout_ai"][0].size(), 9u);
  ASSERT_EQ(s["layouts"]["layout_dg"][3].size(), 7u);
  EXPECT_EQ(s["layouts"]["layout_ai"][2][5], fields.layout_ai[2][5]);
  EXPECT_EQ(s["layouts"]["layout_dg"][3][6], fields.layout_dg[3][6]);
  EXPECT_EQ(s["layouts"]["field_hosts_baro"], 1);
}

TEST_F(StateJson, WidgetsWithTheFields) {
  widgets.displayed_airspeed = 123;
  widgets.airspeed_above_vso = 1;
  widgets.altitude_box_wide = 1;
  std::strcpy(widgets.altitude_thousands_text, "-12");
  state_json s = snap()["fields"];
  EXPECT_EQ(s["displayed_airspeed"], 123);
  EXPECT_EQ(s["airspeed_above_vso"], 1);
  EXPECT_EQ(s["airspeed_text"], "---");
  EXPECT_EQ(s["altitude_box"], "wide");
  EXPECT_EQ(s["altitude_texts"], state_json({"-12", ""}));
}

// A byte-for-byte picture of every module's state.
std::vector<unsigned char> all_state() {
  std::vector<unsigned char> bytes;
  auto add = [&bytes](const auto& object) {
    const auto* p = reinterpret_cast<const unsigned char*>(&object);
    bytes.insert(bytes.end(), p, p + sizeof object);
  };
  add(cycle);
  add(cfg);
  add(controls);
  add(controls_event_log);
  add(modes);
  add(filters);
  add(demo);
  add(startup);
  add(banner);
  add(attitude);
  add(alerts);
  add(slip);
  add(txp);
  add(fields);
  add(widgets);
  add(desk);
  return bytes;
}

TEST_F(StateJson, TakingASnapshotChangesNothing) {
  // Run a while so that the demo, filters and counters hold values of their own.
  std::vector<pixel_t> frame(LAYER_PIXELS);
  for (int i = 0; i < 500; ++i) firmware_pass(frame.data());
  second_tick();
  const std::vector<unsigned char> before = all_state();
  const std::string first = state_snapshot_text({1, 2, 3});
  EXPECT_EQ(all_state(), before);
  EXPECT_EQ(state_snapshot_text({1, 2, 3}), first);  // and the same state gives the same text
}

// The squawk editor's open flag stands with the rest of the transponder page's state.
TEST_F(StateJson, SquawkEditorOpenFlagIsWithTheTransponderPage) {
  const std::vector<state_json> s =
      headless_test::snapshots_of({"-e", "wait 9", "-e", "set CFG_FIELD_PAGE 3", "-e", "tap knob", "-e", "wait 0.1",
                                   "-e", "snapshot open", "-e", "wait 32", "-e", "snapshot timed-out"});
  ASSERT_EQ(s.size(), 2u);
  EXPECT_EQ(s[0]["transponder"]["squawk_edit_active"], 1);
  EXPECT_EQ(s[1]["transponder"]["squawk_edit_active"], 0);
}

}  // namespace
