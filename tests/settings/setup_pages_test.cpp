#include "settings/setup_pages.h"

#include <gtest/gtest.h>

#include "core/controls.h"
#include "core/demo.h"
#include "core/modes.h"
#include "gfx/banner.h"
#include "host/common/desk_platform.h"
#include "serial/serial_input.h"
#include "settings/settings.h"
#include "settings/setup_rows.h"
#include "settings/startup_screen.h"
#include "tests/support/power_on.h"

namespace {

class SetupPages : public Started {
 protected:
  void SetUp() override {
    Started::SetUp();
    startup.startup_countdown = 0;
  }
  void open(bool install) {
    open_setup();
    modes.install_mode = install ? 1 : 0;
  }
  void turn(int n) {
    for (int i = 0; i < (n < 0 ? -n : n); ++i) {
      setup_event(n > 0 ? EVT_KNOB_CW : EVT_KNOB_CCW);
      draw_setup_pages();
    }
  }
  void push() {
    setup_event(EVT_KNOB_RELEASE);
    draw_setup_pages();
  }
  void go_to(int row) {
    modes.setup_row = row;
    draw_setup_pages();
  }
};

TEST_F(SetupPages, TitleThenFirstRightTurnShowsUiStyle) {
  open(false);
  draw_setup_pages();
  EXPECT_STREQ(banner.banner_line1, "SETUP");
  EXPECT_STREQ(banner.banner_line2, "ROT TO SEL");
  EXPECT_EQ(banner.banner_line1_colour, 0xFF06F4CEu);
  EXPECT_EQ(banner.banner_right_arrow, 1);
  EXPECT_EQ(banner.banner_left_arrow, 0);
  turn(1);
  EXPECT_STREQ(banner.banner_line1, "UI STYLE");
  EXPECT_STREQ(banner.banner_line2, "LEGACY");
  EXPECT_EQ(modes.setup_touched, 1);
}

TEST_F(SetupPages, InstallRowsStayInInstall) {
  open(true);
  turn(1);
  EXPECT_STREQ(banner.banner_line1, "UNIT FUNCTION");
  EXPECT_EQ(banner.banner_line1_colour, 0xFFFFFFFFu);
  turn(40);
  EXPECT_EQ(modes.setup_row, 22);
  EXPECT_STREQ(banner.banner_line2, "12345678");  // the desk checksum
}

TEST_F(SetupPages, DirectionalGyroSkipsTheAttitudeRows) {
  cfg_set_byte(CFG_UNIT_FUNCTION, 1);
  open(true);
  go_to(1);
  turn(1);
  EXPECT_STREQ(banner.banner_line1, "GPS NAV SRC");
  turn(-1);
  EXPECT_STREQ(banner.banner_line1, "FUNCTION LOCK");
  open(false);
  go_to(24);
  turn(1);
  EXPECT_STREQ(banner.banner_line1, "TRAK STAB");
  turn(-1);
  EXPECT_STREQ(banner.banner_line1, "UI FONT");
}

TEST_F(SetupPages, PitchTrimStopsAtItsLimitWithTheArrowsSaying) {
  open(true);
  go_to(2);
  push();
  EXPECT_EQ(modes.setup_value_edit, 1);
  turn(25);
  EXPECT_EQ(cfg_get(CFG_PITCH_TRIM), 20);
  EXPECT_STREQ(banner.banner_line2, "+20");
  EXPECT_EQ(banner.banner_line1_colour, 0xFFFF00FFu);
  EXPECT_EQ(banner.banner_right_arrow, 0);
  EXPECT_EQ(banner.banner_left_arrow, 1);
  turn(-40);
  EXPECT_EQ(cfg_get(CFG_PITCH_TRIM), -20);
  EXPECT_EQ(banner.banner_right_arrow, 1);
  EXPECT_EQ(banner.banner_left_arrow, 0);
}

TEST_F(SetupPages, AirspeedCanBeRaisedTo299) {
  open(true);
  go_to(13);
  push();
  turn(200);
  EXPECT_EQ(cfg_get(CFG_IAS_VNE), 299);
  EXPECT_EQ(banner.banner_right_arrow, 0);
}

TEST_F(SetupPages, DisabledAlertRowsAreGreyAndCannotBeEdited) {
  open(false);
  go_to(27);
  push();
  EXPECT_EQ(banner.banner_line1_colour, 0xFF808080u);
  EXPECT_EQ(modes.setup_value_edit, 0);
  turn(1);
  EXPECT_EQ(cfg_get(CFG_AOA_HIGH_LIM), 15);
}

// A knob release and a detent inside one refresh reach the page before it is drawn again: the
// disabled row must refuse the edit in the event handler itself, not only when drawn.
TEST_F(SetupPages, DisabledRowsRefuseAReleaseAndTurnInOneRefresh) {
  struct row {
    int row;
    int setting;
  };
  const row rows[] = {
      {27, CFG_AOA_HIGH_LIM}, {28, CFG_AOA_LOW_LIM}, {30, CFG_G_POS_LIM}, {31, CFG_G_NEG_LIM}, {33, CFG_ROLL_LIM}};
  for (const row& r : rows) {
    SCOPED_TRACE(r.row);
    open(false);
    go_to(r.row);
    const int before = cfg_get(r.setting);
    setup_event(EVT_KNOB_RELEASE);
    setup_event(EVT_KNOB_CW);
    setup_event(EVT_KNOB_CCW);
    setup_event(EVT_KNOB_CCW);
    EXPECT_EQ(cfg_get(r.setting), before);
    EXPECT_EQ(modes.setup_value_edit, 0);
  }
}

// Whoever writes a setting through the rows' writer, the page shows it and edits on from it.
TEST_F(SetupPages, WritesFromOutsideKeepTheWorkingCopyInStep) {
  struct row {
    int row;
    int value;
    const char* shown;
    const char* after_one_right;
  };
  const row rows[] = {
      {6, 20, "+20", "+21"},    // IAS TRIM
      {13, 250, "250", "251"},  // IAS VNE
      {14, 1, "MB", "MB"},      // BARO UNITS at its top
      {2, -20, "-20", "-19"},   // PITCH TRIM
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.row);
    ASSERT_TRUE(setup_write(r.row, r.value));
    open(true);
    go_to(r.row);
    EXPECT_STREQ(banner.banner_line2, r.shown);
    push();
    turn(1);
    EXPECT_STREQ(banner.banner_line2, r.after_one_right);
    close_all_popups();
  }
}

TEST_F(SetupPages, AngleOfAttackLimitsKeepTwoApart) {
  cfg_set_byte(CFG_AOA_ALERT, 1);
  reload_setup_copies();
  open(false);
  go_to(28);
  push();
  turn(20);
  EXPECT_EQ(cfg_get(CFG_AOA_LOW_LIM), 13);
  push();
  turn(-1);
  push();
  turn(-5);
  EXPECT_EQ(cfg_get(CFG_AOA_HIGH_LIM), 15);  // cannot go below low + 2
}

TEST_F(SetupPages, GNegativeLimitRightTurnIsMoreNegative) {
  cfg_set_byte(CFG_G_ALERT, 1);
  open(false);
  go_to(31);
  push();
  turn(1);
  EXPECT_EQ(cfg_get(CFG_G_NEG_LIM), -3);
  turn(-5);
  EXPECT_EQ(cfg_get(CFG_G_NEG_LIM), -1);
}

TEST_F(SetupPages, TrimTextsAndTheOatResult) {
  open(true);
  cfg_set(CFG_ROLL_TRIM, -3);
  cfg_set(CFG_OAT_TRIM, 5);
  reload_setup_copies();
  open(true);
  go_to(3);
  EXPECT_STREQ(banner.banner_line2, "-0.3");
  go_to(4);
  EXPECT_STREQ(banner.banner_line2, "0.0");
  go_to(5);
  EXPECT_STREQ(banner.banner_line2, "+5");
  cfg_set_byte(CFG_DEMO_MODE, 0);
  desk.oat = 24.67f;
  push();
  EXPECT_STREQ(banner.banner_line2, "+5=+24.6*C");
  cfg_set_byte(CFG_TEMP_UNITS, 1);
  draw_setup_pages();
  EXPECT_STREQ(banner.banner_line2, "+5=+76.4*F");
}

TEST_F(SetupPages, DemoModeRowRestartsTheDemo) {
  open(true);
  go_to(18);
  push();
  demo.demo_alt = 11000;
  turn(1);
  EXPECT_EQ(cfg_get_byte(CFG_DEMO_MODE), 2);
  EXPECT_EQ(demo.demo_alt, 6000);
  EXPECT_STREQ(banner.banner_line2, "MODE 2");
}

TEST_F(SetupPages, GpsNavSourceRowSwitchesTheSerialProtocolAtOnce) {
  open(true);
  go_to(16);
  push();
  turn(1);
  EXPECT_EQ(cfg_get_byte(CFG_GPS_NAV_SRC), 3);
  EXPECT_EQ(serial_input.serial_protocol, 3);
  turn(-3);
  EXPECT_EQ(serial_input.serial_protocol, 0);
  setup_write(16, 1);
  EXPECT_EQ(serial_input.serial_protocol, 1);
}

TEST_F(SetupPages, PartNumbersUseTheSmallFont) {
  open(true);
  go_to(19);
  EXPECT_STREQ(banner.banner_line2, "VSP-4410270-001");
  EXPECT_EQ(banner.banner_line2_style, 3);
  go_to(21);
  EXPECT_EQ(banner.banner_line2_style, 0);
}

TEST_F(SetupPages, SoftKeyReadsNextUntilTouchedThenDone) {
  open(false);
  const auto ink = [] {
    clear_layer(top_layer);
    draw_setup_soft_keys(top_layer, base_layer);
    int n = 0;
    for (int y = 210; y < 240; ++y)
      for (int x = 30; x < 90; ++x) {
        const pixel_t p = top_layer[y * SCREEN_W + x];
        n += ((p >> 16) & 0xFF) == 0 && ((p >> 8) & 0xFF) > 0x80 ? 1 : 0;  // cyan: no red
      }
    return n;
  };
  EXPECT_GT(ink(), 0);  // cyan NEXT in SETUP
  turn(1);
  EXPECT_EQ(ink(), 0);  // white DONE has red in every lit pixel
  EXPECT_EQ(modes.setup_touched, 1);
}

TEST_F(SetupPages, KnobWalkThroughTheDispatcher) {
  set_left_button(1);
  decode_controls();
  dispatch_event();
  set_left_button(0);
  decode_controls();
  dispatch_event();  // MENU
  set_left_button(1);
  decode_controls();
  dispatch_event();
  set_left_button(0);
  decode_controls();
  dispatch_event();  // SETUP
  ASSERT_TRUE(modes.setup_active);
  set_knob_count(1);
  decode_controls();
  dispatch_event();
  draw_setup_pages();
  EXPECT_STREQ(banner.banner_line1, "UI STYLE");
}

}  // namespace
