#include <gtest/gtest.h>

#include <vector>

#include "attitude/alerts.h"
#include "core/controls.h"
#include "core/demo.h"
#include "core/firmware.h"
#include "core/modes.h"
#include "fields/layouts.h"
#include "settings/settings.h"
#include "settings/startup_screen.h"
#include "tests/support/power_on.h"
#include "transponder/transponder.h"

namespace {

// One pass of input handling without drawing: decode, then dispatch.
void step(int n = 1) {
  for (int i = 0; i < n; ++i) {
    decode_controls();
    dispatch_event();
  }
}

void tap_knob() {
  set_knob_push(1);
  step();
  set_knob_push(0);
  step();
}
void tap_left() {
  set_left_button(1);
  step();
  set_left_button(0);
  step();
}
void tap_right() {
  set_right_button(1);
  step();
  set_right_button(0);
  step();
}

class Dispatch : public Started {
 protected:
  void SetUp() override {
    Started::SetUp();
    startup.startup_countdown = 0;
  }
};

TEST_F(Started, EventDuringStartUpIsHeldUntilItEnds) {
  set_knob_push(1);
  step();
  set_knob_push(0);
  step(50);
  EXPECT_EQ(controls.pending_event, EVT_KNOB_PRESS);  // held; the release is not decoded yet
  EXPECT_EQ(cycle.inactivity_countdown, 30);
  startup.startup_countdown = 0;
  step();  // the press is dispatched
  EXPECT_EQ(controls.pending_event, EVT_NONE);
  step();  // now the release is decoded and dispatched
  EXPECT_EQ(controls_event_log.counts[EVT_KNOB_RELEASE], 1);
}

TEST_F(Dispatch, LongKnobPressSwapsUnitFunctionAndResetsPage) {
  modes.field_page = 2;
  modes.menu_active = 0;
  set_knob_push(1);
  step(101);
  EXPECT_EQ(cycle.unit_function, 1);
  EXPECT_EQ(cfg_get_byte(CFG_UNIT_FUNCTION), 1);
  EXPECT_EQ(modes.field_page, 0);
  set_knob_push(0);
  step();
  set_knob_push(1);
  step(101);
  EXPECT_EQ(cycle.unit_function, 0);
}

TEST_F(Dispatch, FunctionLockStopsTheSwap) {
  cfg_set_byte(CFG_FUNCTION_LOCK, 1);
  set_knob_push(1);
  step(101);
  EXPECT_EQ(cycle.unit_function, 0);
  EXPECT_EQ(cfg_get_byte(CFG_UNIT_FUNCTION), 0);
}

TEST_F(Dispatch, LongKnobPressWithPopupOpenDoesNotSwap) {
  modes.brightness_popup_open = 1;
  set_knob_push(1);
  step(101);
  EXPECT_EQ(cycle.unit_function, 0);
}

TEST_F(Dispatch, RightButtonCyclesFieldPages) {
  for (int expected : {1, 2, 3, 0}) {
    tap_right();
    EXPECT_EQ(modes.field_page, expected);
    EXPECT_EQ(cfg_get(CFG_FIELD_PAGE), expected);
  }
}

TEST_F(Dispatch, LeftButtonWalksMenuSetupInstallClosed) {
  tap_left();
  EXPECT_TRUE(modes.menu_active);
  EXPECT_EQ(modes.selected_slot, 4);
  tap_left();
  EXPECT_FALSE(modes.menu_active);
  EXPECT_TRUE(modes.setup_active);
  EXPECT_EQ(modes.install_mode, 0);
  EXPECT_EQ(modes.setup_row, -1);
  tap_left();
  EXPECT_TRUE(modes.setup_active);
  EXPECT_EQ(modes.install_mode, 1);
  tap_left();
  EXPECT_TRUE(no_popup_open());
}

TEST_F(Dispatch, ChangedLayoutMakesTheMenuCloseInsteadOfOpeningSetup) {
  tap_left();
  set_knob_count(1);
  step();
  EXPECT_TRUE(modes.layout_modified);
  EXPECT_EQ(modes.selected_slot, 5);
  tap_left();
  EXPECT_TRUE(no_popup_open());
  EXPECT_FALSE(modes.setup_active);
}

TEST_F(Dispatch, MenuCursorStopsAtTheLastSlotAndEditorStopsAtHighestId) {
  tap_left();
  set_knob_count(1);
  for (int i = 0; i < 10; ++i) {
    set_knob_count(1);
    step();
  }
  EXPECT_EQ(modes.selected_slot, 8);
  tap_knob();  // into the editor for slot 8 (ids 0, 12, 14)
  ASSERT_TRUE(modes.field_editor_active);
  EXPECT_EQ(fields.layout_ai[0][8], 0);
  set_knob_count(1);
  step();
  EXPECT_EQ(fields.layout_ai[0][8], 12);
  set_knob_count(1);
  step();
  EXPECT_EQ(fields.layout_ai[0][8], 14);
  set_knob_count(1);
  step();
  EXPECT_EQ(fields.layout_ai[0][8], 14);  // nothing higher is allowed
}

TEST_F(Dispatch, GpsFieldsCannotBeChosenWithoutASourceOutsideDemo) {
  cfg_set_byte(CFG_DEMO_MODE, 0);
  cfg_set_byte(CFG_GPS_NAV_SRC, 0);
  tap_left();
  set_knob_count(-1);
  step();  // to slot 3 (numeric set A)
  tap_knob();
  ASSERT_TRUE(modes.field_editor_active);
  for (int i = 0; i < 40; ++i) {
    set_knob_count(1);
    step();
  }
  EXPECT_EQ(fields.layout_ai[0][3], 23);  // DALT: the GPS ids 24..30 above it are not offered
  cfg_set_byte(CFG_DEMO_MODE, 1);
  set_knob_count(1);
  step();
  EXPECT_EQ(fields.layout_ai[0][3], 24);
}

TEST_F(Dispatch, KnobReleaseWalksThroughOfferedPopupsWhileUnchanged) {
  fields.field_hosts_baro = 1;
  fields.field_hosts_hdg_bug = 1;
  fields.field_hosts_set_alt = 1;
  tap_knob();
  EXPECT_TRUE(modes.baro_popup_open);
  tap_knob();
  EXPECT_FALSE(modes.baro_popup_open);
  EXPECT_TRUE(modes.hdg_bug_popup_open);
  tap_knob();
  EXPECT_TRUE(modes.set_alt_popup_open);
  EXPECT_FALSE(modes.hdg_bug_popup_open);
  tap_knob();
  EXPECT_TRUE(no_popup_open());
}

// Knob releases walk SET BARO -> DG ADJ -> HDG BUG -> SET ALT as the shown fields offer them, and
// a release after a turn in the open pop-up closes it. Each step: 'k' a knob tap, 't' a turn; then
// the pop-up open afterwards.
TEST_F(Dispatch, KnobWalkFollowsTheOfferedFieldsAndClosesAfterAChange) {
  struct row {
    int baro, dg, hdg, alt;
    const char* steps;
    std::vector<const char*> open_after;
  };
  const row rows[] = {
      {1, 1, 1, 1, "kkkkk", {"BARO", "DG", "HDG", "ALT", "-"}},
      {1, 0, 0, 1, "kkk", {"BARO", "ALT", "-"}},
      {1, 0, 0, 1, "ktk", {"BARO", "BARO", "-"}},
      {0, 0, 0, 1, "ktkk", {"ALT", "ALT", "-", "ALT"}},
      {0, 1, 1, 0, "kkk", {"DG", "HDG", "-"}},
      {1, 1, 1, 1, "kttk", {"BARO", "BARO", "BARO", "-"}},
      {0, 0, 0, 0, "k", {"-"}},
  };
  auto open_name = [] {
    if (modes.baro_popup_open) return "BARO";
    if (modes.dg_adjust_popup_open) return "DG";
    if (modes.hdg_bug_popup_open) return "HDG";
    if (modes.set_alt_popup_open) return "ALT";
    return no_popup_open() ? "-" : "other";
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.steps);
    close_all_popups();
    fields.field_hosts_baro = r.baro;
    fields.field_hosts_dg_adjust = r.dg;
    fields.field_hosts_hdg_bug = r.hdg;
    fields.field_hosts_set_alt = r.alt;
    for (std::size_t i = 0; r.steps[i] != '\0'; ++i) {
      if (r.steps[i] == 'k') {
        tap_knob();
      } else {
        set_knob_count(1);
        step();
      }
      EXPECT_STREQ(open_name(), r.open_after[i]) << "after step " << i;
    }
  }
}

TEST_F(Dispatch, KnobReleaseAfterAChangeClosesThePopup) {
  fields.field_hosts_baro = 1;
  fields.field_hosts_hdg_bug = 1;
  tap_knob();
  ASSERT_TRUE(modes.baro_popup_open);
  modes.baro_adjusted = 1;
  tap_knob();
  EXPECT_TRUE(no_popup_open());
}

TEST_F(Dispatch, DgAdjustOpensTheVariantOfTheUnit) {
  fields.field_hosts_dg_adjust = 1;
  tap_knob();
  EXPECT_TRUE(modes.dg_adjust_popup_open);
  EXPECT_FALSE(modes.nav_dg_adjust_popup_open);
  close_all_popups();
  cycle.unit_function = 1;
  tap_knob();
  EXPECT_TRUE(modes.nav_dg_adjust_popup_open);
}

TEST_F(Dispatch, RightLongOpensBrightnessAndItsKeysClose) {
  set_right_button(1);
  step(121);
  EXPECT_TRUE(modes.brightness_popup_open);
  set_right_button(0);
  step();
  EXPECT_TRUE(modes.brightness_popup_open);  // the release after a long press makes no event
  tap_right();
  EXPECT_FALSE(modes.brightness_popup_open);
  EXPECT_EQ(modes.field_page, 0);  // consumed: no page change
}

// An open pop-up owns every event that no global action takes, whether or not it does anything
// with it: a right release must not turn the field page underneath, a turn must not reach the menu.
TEST_F(Dispatch, OpenPopupKeepsItsEventsFromTheMainPage) {
  struct row {
    const char* name;
    int* open;
  };
  const row rows[] = {
      {"SET BARO", &modes.baro_popup_open},
      {"DG ADJ", &modes.dg_adjust_popup_open},
      {"HDG BUG", &modes.hdg_bug_popup_open},
      {"SET ALT", &modes.set_alt_popup_open},
      {"squawk editor", &modes.squawk_edit_active},
  };
  // The heading page's DG ADJ keeps only the knob turns: a right release still turns the page
  // (which closes it), as the page cycling does from every heading page.
  for (const row& r : rows) {
    SCOPED_TRACE(r.name);
    close_all_popups();
    modes.field_page = 1;
    *r.open = 1;
    for (int e : {EVT_RIGHT_RELEASE, EVT_KNOB_CW, EVT_KNOB_CCW, EVT_RIGHT_PRESS, EVT_BOTH_RELEASE}) {
      controls.pending_event = e;
      dispatch_event();
      EXPECT_EQ(controls.pending_event, EVT_NONE);
    }
    EXPECT_EQ(modes.field_page, 1);
    EXPECT_EQ(*r.open, 1);
    EXPECT_FALSE(modes.menu_active);
  }
}

TEST_F(Dispatch, HeadingPageDgAdjustKeepsTurnsAndPassesTheRightRelease) {
  modes.field_page = 1;
  modes.nav_dg_adjust_popup_open = 1;
  for (int e : {EVT_KNOB_CW, EVT_KNOB_CCW}) {
    controls.pending_event = e;
    dispatch_event();
  }
  EXPECT_EQ(modes.field_page, 1);
  EXPECT_EQ(modes.nav_dg_adjust_popup_open, 1);
  controls.pending_event = EVT_RIGHT_RELEASE;
  dispatch_event();
  EXPECT_EQ(modes.field_page, 2);
  EXPECT_EQ(modes.nav_dg_adjust_popup_open, 0);
}

TEST_F(Dispatch, TransponderPageShortcuts) {
  modes.field_page = 3;
  ASSERT_EQ(cfg_get_byte(CFG_SERIAL2), 1);
  tap_left();
  EXPECT_FALSE(modes.menu_active);
  EXPECT_EQ(txp.ident_countdown, 18);
  txp.squawk_code = 7000;
  txp.squawk_text[0] = '7';
  set_left_button(1);
  step(101);
  set_left_button(0);
  step();
  EXPECT_EQ(txp.squawk_code, 1200);
  EXPECT_STREQ(txp.squawk_text, "1200");
  tap_knob();
  EXPECT_TRUE(modes.squawk_edit_active);
}

TEST_F(Dispatch, BothButtonsInDemoRestoreLayoutsAndRestartDemo) {
  fields.layout_ai[0][0] = 13;
  demo.demo_pitch = 7.0f;
  demo.demo_alt = 9000;
  cfg_set_byte(CFG_DEMO_MODE, 2);
  set_left_button(1);
  step();
  set_right_button(1);
  step();
  EXPECT_EQ(fields.layout_ai[0][0], 0);
  EXPECT_EQ(demo.demo_pitch, 0.0f);
  EXPECT_EQ(demo.demo_alt, 6000);
  EXPECT_EQ(cfg_get_byte(CFG_DEMO_MODE), 2);
}

TEST_F(Dispatch, AlertAcknowledgedByKnobReleaseOnTheAttitudeUnit) {
  set_alert_flag(ALERT_ROLL_RIGHT);
  modes.attitude_alert_active = 1;
  fields.field_hosts_baro = 1;
  tap_knob();
  EXPECT_EQ(get_alert_flag(ALERT_ROLL_RIGHT), 0);
  EXPECT_FALSE(modes.baro_popup_open);  // the release was used for the acknowledgement
}

TEST_F(Dispatch, EveryDispatchedEventRestartsInactivity) {
  cycle.inactivity_countdown = 3;
  set_knob_count(1);
  step();
  EXPECT_EQ(cycle.inactivity_countdown, 30);
}

TEST_F(Dispatch, CloseAllPopupsKeepsHeadingBugAdjustedAndSendsSquawk) {
  modes.hdg_bug_popup_open = 1;
  modes.hdg_bug_adjusted = 1;
  modes.menu_active = 1;
  modes.squawk_edit_active = 1;
  txp.squawk_text[0] = '7';
  txp.squawk_text[1] = '7';
  close_all_popups();
  EXPECT_TRUE(no_popup_open());
  EXPECT_EQ(modes.hdg_bug_adjusted, 1);
  EXPECT_EQ(txp.squawk_code, 7700);
}

TEST_F(Dispatch, ThirtySecondsWithoutEventsCloseEverythingAndKeepClosing) {
  tap_left();
  ASSERT_TRUE(modes.menu_active);
  for (int s = 0; s < 30; ++s) second_tick();
  EXPECT_TRUE(modes.menu_active);
  second_tick();
  EXPECT_FALSE(modes.menu_active);
  modes.baro_popup_open = 1;
  second_tick();  // still at 0: closes again every second
  EXPECT_FALSE(modes.baro_popup_open);
}

}  // namespace
