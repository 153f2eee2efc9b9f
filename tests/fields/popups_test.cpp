// The adjustment pop-ups and the status badge, driven through the control decoder and the
// dispatcher as the knob and buttons drive them.
#include "fields/popups.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "core/controls.h"
#include "core/modes.h"
#include "core/platform.h"
#include "gfx/banner.h"
#include "host/common/desk_platform.h"
#include "settings/settings.h"
#include "settings/startup_screen.h"
#include "tests/support/power_on.h"

namespace {

class Popups : public Started {
 protected:
  void SetUp() override {
    Started::SetUp();
    startup.startup_countdown = 0;
  }
  // One pass of decoding and dispatch.
  static void pass() {
    decode_controls();
    dispatch_event();
  }
  // n detents arriving before one pass: one event, with the knob step of that speed.
  static void turn(int n) {
    set_knob_count(n);
    pass();
  }
  static void tap(void (*set)(int)) {
    set(1);
    pass();
    set(0);
    pass();
  }
  static void draw_banner_lines() {
    clear_banner_lines();
    draw_set_baro_popup();
    draw_brightness_popup();
    draw_set_alt_popup();
  }
};

TEST_F(Popups, SetAltStepsAHundredFeetTruncatesAndStaysInItsBand) {
  struct row {
    int start;
    int detents;
    int expected;
  };
  const row rows[] = {
      {1000, -1, 1000},          // at the bottom, down stays
      {1050, 1, 1100},           // 1150 truncated to hundreds
      {1050, -1, 1000},          // 950 -> 900 -> raised to the bound
      {24950, 1, 25000},         // only reachable from the start value
      {0, 1, 1000},              // the default start value, first turn either way
      {0, -1, 1000},             //
      {5000, 10, 5100},          // a fast turn is still one hundred feet
      {INT_MAX - 10, 1, 25000},  // no overflow from an unchecked start value
      {INT_MIN + 10, -1, 1000},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.start);
    cfg_set(CFG_SET_ALT, r.start);
    set_alt_init();
    EXPECT_EQ(selected_altitude(), r.start);
    open_set_alt();
    turn(r.detents);
    EXPECT_EQ(selected_altitude(), r.expected);
    EXPECT_EQ(cfg_get(CFG_SET_ALT), r.start);  // never written back
    close_all_popups();
  }
}

TEST_F(Popups, SetBaroStepsByKnobSpeedInTheUnitsShownAndStaysInItsBand) {
  struct row {
    int units;
    float start;  // hundredths of the units
    int detents;
    float expected;
    const char* text;
  };
  const row rows[] = {
      {0, 2992, 1, 2993, "29.93"},                                      // slow: one hundredth
      {0, 2992, 10, 3012, "30.12"},                                     // fast: step 20
      {0, 2992, -10, 2972, "29.72"},                                    //
      {0, 2805, -10, 2800, "28.00"},                                    // the band's bottom
      {0, 3095, 3, 3100, "31.00"},                                      // and top
      {1, 101300, 1, 101400, "1014"},                                   // a whole hPa per step
      {1, 101300, -3, 100700, "1007"}, {1, 95000, -10, 94900, "0949"},  // leading zero below 1000, band bottom
      {1, 104800, 5, 104900, "1049"},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.text);
    cfg_set_byte(CFG_BARO_UNITS, r.units);
    desk.baro_units = r.units;
    desk.baro_setting = r.start;
    open_set_baro();
    EXPECT_FALSE(baro_adjusted());
    turn(r.detents);
    EXPECT_EQ(desk.baro_setting, r.expected);
    EXPECT_TRUE(baro_adjusted());
    EXPECT_TRUE(baro_set_since_start());
    draw_banner_lines();
    EXPECT_STREQ(banner.banner_line1, "SET BARO");
    EXPECT_STREQ(banner.banner_line2, r.text);
    EXPECT_EQ(banner.banner_line2_style, 1);
    close_set_baro();
    EXPECT_FALSE(baro_adjusted());
    EXPECT_TRUE(baro_set_since_start());  // never cleared
  }
}

TEST_F(Popups, BaroTextAlwaysHasADigitBeforeThePoint) {
  struct row {
    int units;
    float setting;
    const char* text;
  };
  // Values outside the band can still come from another air-data source.
  const row rows[] = {
      {0, 2992, "29.92"},  {0, 50, "0.50"},  {0, 5, "0.05"},      {0, -5, "---"},
      {0, 0, "0.00"},      {0, 100, "1.00"}, {0, 12345, "123.4"}, {1, 99860, "0998"},
      {1, 101300, "1013"}, {1, 2992, "029"}, {1, 1.0e12f, "---"},
  };
  for (const row& r : rows) {
    cfg_set_byte(CFG_BARO_UNITS, r.units);
    desk.baro_units = r.units;
    desk.baro_setting = r.setting;
    char text[16];
    format_baro_setting(text);
    EXPECT_STREQ(text, r.text) << r.setting;
  }
}

TEST_F(Popups, ChangingBaroUnitsConvertsTheStoredSetting) {
  struct row {
    int from_units;
    float from;
    float to;    // hundredths of the other units
    float inhg;  // what the altitude correction takes afterwards
  };
  const row rows[] = {
      {0, 2992, 101300, 2991},  // 29.92 inHg is 1013.2 hPa; 1013 hPa is 29.914 inHg
      {1, 101300, 2991, 2991},  //
      {0, 2800, 94900, 2802},   // 948.2 hPa lies below the band's first whole hPa
      {1, 104900, 3098, 3098},  //
      {0, 3100, 104900, 3098},  // 1049.8 rounds to 1050, above the band
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.from);
    cfg_set_byte(CFG_BARO_UNITS, r.from_units);
    desk.baro_units = r.from_units;
    desk.baro_setting = r.from;
    cfg_set_byte(CFG_BARO_UNITS, 1 - r.from_units);
    EXPECT_EQ(read_baro_setting(), r.to / 100.0f);
    EXPECT_EQ(desk_baro_inhg_hundredths(), r.inhg);
  }
}

TEST_F(Popups, BrightnessLevelRulesAndModeToggle) {
  struct row {
    int level;
    int detents;  // step = 2 x detents above one detent
    int expected;
  };
  const row rows[] = {
      {95, 5, 95},    // a turn that would pass 100 does nothing
      {90, 5, 100},   //
      {5, -5, 0},     // below 0 becomes 0
      {0, -1, 0},     //
      {50, 10, 70},   // step 20, the fastest
      {100, 1, 100},  //
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.level);
    popups.brightness_level = r.level;
    open_brightness();
    turn(r.detents);
    EXPECT_EQ(brightness_level(), r.expected);
    close_brightness();
  }
  // In AUTO the knob still changes the stored level.
  open_brightness();
  tap(set_left_button);
  EXPECT_TRUE(brightness_is_auto());
  EXPECT_TRUE(brightness_popup_open());
  turn(-5);
  EXPECT_EQ(brightness_level(), 90);
  tap(set_left_button);
  EXPECT_FALSE(brightness_is_auto());
}

TEST_F(Popups, BrightnessBannerAndArrows) {
  struct row {
    int is_auto;
    int level;
    const char* line1;
    const char* line2;
    pixel_t colour;
    int left;
    int right;
  };
  const row rows[] = {
      {0, 50, "MANUAL BRT", "50", COLOUR_MAGENTA, 1, 1},
      {0, 100, "MANUAL BRT", "100", COLOUR_MAGENTA, 1, 0},
      {0, 0, "MANUAL BRT", "0", COLOUR_MAGENTA, 0, 1},
      {1, 50, "AUTO BRT", "", COLOUR_WHITE, 0, 0},
  };
  open_brightness();
  for (const row& r : rows) {
    popups.brightness_auto = r.is_auto;
    popups.brightness_level = r.level;
    set_banner_left_arrow(7);
    set_banner_right_arrow(7);
    draw_banner_lines();
    EXPECT_STREQ(banner.banner_line1, r.line1);
    EXPECT_STREQ(banner.banner_line2, r.line2);
    EXPECT_EQ(banner.banner_line1_colour, r.colour);
    EXPECT_EQ(banner.banner_left_arrow, r.left) << r.level;
    EXPECT_EQ(banner.banner_right_arrow, r.right) << r.level;
  }
}

TEST_F(Popups, BadgeShowsTheStatusOnlyWithEveryPopupClosed) {
  struct row {
    int state;
    float percent;
    const char* text;
    pixel_t colour;
  };
  const row rows[] = {
      {2, 100.0f, "100%", COLOUR_WHITE},  {2, 99.9f, "99%", COLOUR_WHITE}, {2, 1.0e9f, "999%", COLOUR_WHITE},
      {1, 100.0f, "TEST", COLOUR_YELLOW}, {0, 100.0f, "FAIL", COLOUR_RED}, {7, 100.0f, "FAIL", COLOUR_RED},
  };
  for (const row& r : rows) {
    desk.status_state = r.state;
    desk.status_percent = r.percent;
    draw_status_badge(top_layer);
    EXPECT_EQ(popups.badge_shown, 1);
    EXPECT_STREQ(popups.badge_text, r.text);
    EXPECT_EQ(popups.badge_colour, r.colour);
  }
  int* const open_flags[] = {&modes.baro_popup_open, &modes.set_alt_popup_open, &modes.brightness_popup_open,
                             &modes.menu_active,     &modes.setup_active,       &modes.hdg_bug_popup_open};
  for (int* flag : open_flags) {
    close_all_popups();
    *flag = 1;
    draw_status_badge(top_layer);
    EXPECT_EQ(popups.badge_shown, 0);
  }
}

}  // namespace
