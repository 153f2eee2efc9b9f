#include <gtest/gtest.h>

#include <cmath>

#include "core/controls.h"
#include "core/demo.h"
#include "core/filters.h"
#include "core/firmware.h"
#include "core/modes.h"
#include "core/platform.h"
#include "fields/layouts.h"
#include "gfx/banner.h"
#include "gfx/layers.h"
#include "host/common/desk_platform.h"
#include "nav/compact_heading.h"
#include "nav/dg_adjust.h"
#include "nav/heading_bug.h"
#include "nav/hsi_arc.h"
#include "nav/nav_page.h"
#include "serial/gps_data.h"
#include "settings/settings.h"
#include "settings/startup_screen.h"
#include "tests/support/power_on.h"

namespace {

class Nav : public Started {
 protected:
  void SetUp() override {
    Started::SetUp();
    cfg_set_byte(CFG_DEMO_MODE, 0);
  }

  // One composed frame's worth of the heading page, as the composer runs it.
  void draw_page(int style, int source) {
    cycle.frame_number += 1;
    clear_layer(top_layer);
    clear_layer(base_layer);
    nav_page.nav_page_style_seen = cfg_get_byte(CFG_UI_STYLE);  // keep the first-run reset away
    nav_page.nav_page_first_run = 0;
    set_nav_page_style(style);
    set_nav_page_source(source);
    nav_page_draw(top_layer, base_layer);
  }

  void draw_tape(int gps) {
    cycle.frame_number += 1;
    clear_layer(top_layer);
    clear_layer(base_layer);
    compact_heading_draw(top_layer, base_layer, gps);
  }
};

// Fresh GPS items: the track and whichever of the others are named.
void gps_fresh(bool track, bool bearing, bool xte, bool dtk, bool distance, bool wpt) {
  gps_nav_data.gps_nav_valid = 1;
  filters.data_fresh[AGE_SERIAL_RX] = 1;
  filters.data_fresh[AGE_GPS_TRACK] = track;
  filters.data_fresh[AGE_GPS_BEARING] = bearing;
  filters.data_fresh[AGE_GPS_XTE] = xte;
  filters.data_fresh[AGE_GPS_DTK] = dtk;
  filters.data_fresh[AGE_GPS_DISTANCE] = distance;
  filters.data_fresh[AGE_GPS_WPT] = wpt;
}

// Pixels of the bearing pointer's and the parked arrow's green.
bool greenish(pixel_t p) {
  const int a = static_cast<int>(p >> 24);
  const int r = static_cast<int>((p >> 16) & 0xFF);
  const int g = static_cast<int>((p >> 8) & 0xFF);
  const int b = static_cast<int>(p & 0xFF);
  return a > 128 && g > 128 && r < g / 2 && b < g / 2;
}

int count_green(const pixel_t* layer, int x0 = 0, int y0 = 0, int x1 = SCREEN_W, int y1 = SCREEN_H) {
  int n = 0;
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) n += greenish(layer[y * SCREEN_W + x]) ? 1 : 0;
  }
  return n;
}

TEST_F(Nav, AngleSmoothersTakeTheShortWayAndIgnoreNonNumbers) {
  struct row {
    float memory, target, expected;
  };
  const row rows[] = {
      {350.0f, 10.0f, 352.0f},  // across north, never back through 180
      {10.0f, 350.0f, 8.0f},   {0.0f, 180.0f, 18.0f}, {90.0f, 90.0f, 90.0f},      {359.0f, 1.0f, 359.2f},
      {1.0f, 359.0f, 0.8f},    {200.0f, NAN, 200.0f}, {200.0f, INFINITY, 200.0f},
  };
  for (const row& r : rows) {
    float m = r.memory;
    EXPECT_NEAR(smooth_angle(m, r.target), r.expected, 1e-4f) << r.memory << " -> " << r.target;
    EXPECT_TRUE(std::isfinite(m));
  }
  float m = 350.0f;
  smooth_angle(m, 10.0f);
  EXPECT_NEAR(smooth_angle(m, 10.0f), 353.8f, 1e-4f);
}

TEST_F(Nav, SmoothedBugCrossesNorthTheShortWay) {
  heading_bug.hdg_bug = 350.0f;
  heading_bug.hdg_bug_shown = 10.0f;
  for (float expected : {0.0f, 355.0f, 352.5f, 351.25f}) {
    EXPECT_FLOAT_EQ(heading_bug_display(), expected);
  }
}

TEST_F(Nav, HeadingBugKnobWrapsCoarsely) {
  struct row {
    float bug;
    int event;
    int raw_step;  // the decoder's detent count; 1 for a slow turn
    float expected;
  };
  const row rows[] = {
      {358.0f, EVT_KNOB_CW, 1, 359.0f},  {359.0f, EVT_KNOB_CW, 1, 0.0f},       {350.0f, EVT_KNOB_CW, 20, 0.0f},
      {300.0f, EVT_KNOB_CW, 20, 339.0f}, {0.0f, EVT_KNOB_CCW, 1, 359.0f},      {10.0f, EVT_KNOB_CCW, 20, 359.0f},
      {50.0f, EVT_KNOB_CCW, 3, 45.0f},   {50.0f, EVT_RIGHT_RELEASE, 1, 50.0f},
  };
  for (const row& r : rows) {
    heading_bug.hdg_bug = r.bug;
    controls.last_knob_raw = r.raw_step;
    hdg_bug_open();
    EXPECT_EQ(hdg_bug_handle_event(r.event), EVT_NONE);  // the open pop-up uses up every event
    EXPECT_FLOAT_EQ(heading_bug.hdg_bug, r.expected) << r.bug << " event " << r.event;
    EXPECT_EQ(modes.hdg_bug_adjusted, r.event == EVT_RIGHT_RELEASE ? 0 : 1);
  }
  hdg_bug_close();
  EXPECT_EQ(hdg_bug_handle_event(EVT_KNOB_CW), EVT_KNOB_CW);
}

TEST_F(Nav, StoredBugSettingIsBroughtIntoRange) {
  const std::int32_t rows[][2] = {{0, 0}, {359, 359}, {-5, 355}, {360, 0}, {1000000, 280}, {-2147483647 - 1, 232}};
  for (const auto& r : rows) {
    cfg_set(CFG_HDG_BUG, r[0]);
    hdg_bug_init();
    EXPECT_FLOAT_EQ(heading_bug.hdg_bug, static_cast<float>(r[1])) << r[0];
  }
  hdg_bug_open();
  hdg_bug_popup_draw();
  EXPECT_STREQ(banner.banner_line2, "232");
}

TEST_F(Nav, LongPressSynchronisesToTheShownSource) {
  struct row {
    const char* name;
    int unit, page, source, tape_gps, demo;
    bool track_valid;
    float expected;
  };
  // Gyro at 100 (drifting 1/150 per reading), GPS track 200, demo track state 300, bug at 5.
  const row rows[] = {
      {"rose: gyro", 1, 0, NAV_SOURCE_HEADING, 1, 0, true, 100.0f},
      {"HSI: GPS track", 1, 1, NAV_SOURCE_GPS, 0, 0, true, 200.0f},
      {"HSI, track lost: bug stays", 1, 1, NAV_SOURCE_GPS, 0, 0, false, 5.0f},
      {"HSI, demo: demo track", 1, 1, NAV_SOURCE_GPS, 0, 1, false, 300.0f},
      {"AI, GPS TRK tape", 0, 0, NAV_SOURCE_HEADING, 1, 0, true, 200.0f},
      {"AI, DG HDG tape under a GPS page source", 0, 0, NAV_SOURCE_GPS, 0, 0, true, 100.0f},
      {"AI, GPS TRK tape, track lost", 0, 0, NAV_SOURCE_HEADING, 1, 0, false, 5.0f},
      {"DG attitude page follows its tape", 1, 3, NAV_SOURCE_GPS, 0, 0, true, 100.0f},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.name);
    cycle.unit_function = r.unit;
    modes.field_page = r.page;
    set_nav_page_source(r.source);
    compact.tape_shown_gps = r.tape_gps;
    cfg_set_byte(CFG_DEMO_MODE, r.demo);
    desk.heading = 100.0f;
    gps_nav_data.gps_track = 200;
    gps_fresh(r.track_valid, false, false, false, false, false);
    demo.demo_track_state = 300.0f;
    heading_bug.hdg_bug = 5.0f;
    heading_bug.hdg_bug_shown = 300.0f;  // the demo track then has nowhere to turn
    hdg_bug_open();
    EXPECT_EQ(hdg_bug_handle_event(EVT_KNOB_LONG), EVT_NONE);
    EXPECT_NEAR(heading_bug.hdg_bug, r.expected, 0.5f);
    EXPECT_EQ(modes.hdg_bug_adjusted, r.expected != 5.0f ? 1 : 0);
  }
}

TEST_F(Nav, ArcRangeStopsAtItsEndsAndPassesTheTurnOn) {
  struct row {
    int index, event, result, index_after;
  };
  const row rows[] = {
      {2, EVT_KNOB_CW, EVT_NONE, 3},  {6, EVT_KNOB_CW, EVT_KNOB_CW, 6},           {0, EVT_KNOB_CCW, EVT_KNOB_CCW, 0},
      {1, EVT_KNOB_CCW, EVT_NONE, 0}, {3, EVT_KNOB_RELEASE, EVT_KNOB_RELEASE, 3},
  };
  for (const row& r : rows) {
    nav_page.arc_range_index = r.index;
    EXPECT_EQ(nav_dg_adjust_handle_event(r.event), r.result);
    EXPECT_EQ(nav_page.arc_range_index, r.index_after);
  }
  // On the arc page with nothing open the dispatcher steps the range.
  startup.startup_countdown = 0;
  cycle.unit_function = 1;
  modes.nav_page_style = NAV_STYLE_ARC;
  nav_page.arc_range_index = 6;
  controls.pending_event = EVT_KNOB_CCW;
  dispatch_event();
  EXPECT_EQ(nav_page.arc_range_index, 5);
  modes.nav_page_style = NAV_STYLE_HSI;
  controls.pending_event = EVT_KNOB_CCW;
  dispatch_event();
  EXPECT_EQ(nav_page.arc_range_index, 5);
}

TEST_F(Nav, DgAdjustPopupsMoveTheGyroHeading) {
  struct row {
    bool nav;
    int event, raw_step;
    float heading_after;
    int result;
  };
  const row rows[] = {
      {true, EVT_KNOB_CW, 1, 101.0f, EVT_NONE},
      {true, EVT_KNOB_CCW, 5, 95.0f, EVT_NONE},
      {true, EVT_RIGHT_RELEASE, 1, 100.0f, EVT_RIGHT_RELEASE},
      {false, EVT_KNOB_CW, 20, 120.0f, EVT_NONE},
      {false, EVT_KNOB_CCW, 1, 99.0f, EVT_NONE},
      {false, EVT_RIGHT_RELEASE, 1, 100.0f, EVT_NONE},
  };
  for (const row& r : rows) {
    desk.heading = 100.0f;
    controls.last_knob_raw = r.raw_step;
    r.nav ? nav_dg_adjust_open() : dg_adjust_open();
    desk.heading = 100.0f;  // opening read the gyro
    const int result = r.nav ? nav_dg_adjust_handle_event(r.event) : dg_adjust_handle_event(r.event);
    EXPECT_EQ(result, r.result);
    EXPECT_FLOAT_EQ(desk.heading, r.heading_after);
    const float shown = r.nav ? dg_adjust.nav_dg_adjust_value : dg_adjust.dg_adjust_value;
    EXPECT_NEAR(shown, r.heading_after, 0.01f);
    EXPECT_EQ(r.nav ? modes.nav_dg_adjust_adjusted : modes.dg_adjust_adjusted, r.event == EVT_RIGHT_RELEASE ? 0 : 1);
  }
  desk.heading = 359.5f;
  adjust_heading(1);
  EXPECT_FLOAT_EQ(desk.heading, 0.5f);
  dg_adjust.dg_adjust_value = -3.0f;
  dg_adjust_popup_draw();
  EXPECT_STREQ(banner.banner_line1, "DG ADJ");
  EXPECT_STREQ(banner.banner_line2, "357");
}

TEST_F(Nav, ArcMarksParkPastTheArcEnds) {
  struct row {
    float relative, angle;
    int side;
  };
  const row rows[] = {{95.0f, 50.0f, 1},   {50.0f, 50.0f, 0},    {180.0f, 50.0f, 1}, {-95.0f, 310.0f, -1},
                      {-50.0f, 310.0f, 0}, {181.0f, 310.0f, -1}, {20.0f, 20.0f, 0},  {-20.0f, 340.0f, 0}};
  for (const row& r : rows) {
    int side = 7;
    EXPECT_FLOAT_EQ(arc_parked_angle(r.relative, side), r.angle) << r.relative;
    EXPECT_EQ(side, r.side) << r.relative;
  }
}

TEST_F(Nav, DeviationBarStopsAtSeventyPixels) {
  const float rows[][3] = {{1.0f, 5.0f, 70.0f},   {1.0f, -5.0f, -70.0f}, {1.0f, 1.0f, 30.0f},
                           {1.0f, -0.5f, -15.0f}, {2.0f, 1.0f, 60.0f},   {1.0f, 2.34f, 70.0f}};
  for (const auto& r : rows) EXPECT_FLOAT_EQ(hsi_deviation_pixels(r[0], r[1]), r[2]) << r[1];
}

TEST_F(Nav, CompactStripWindowWrapsRoundTheStrip) {
  const int rows[][3] = {{0, 79, 100}, {179, 238, 78}, {-180, 79, 280}, {-180, 238, 79}, {-1, 79, 99}, {100, 238, 359}};
  for (const auto& r : rows) {
    EXPECT_EQ(compact_strip_column(static_cast<float>(r[0]) + 0.25f, r[1]), r[2]) << r[0] << " at " << r[1];
  }
}

TEST_F(Nav, BearingPointerParksWithAGreenArrowOnTheArc) {
  nav_page.card_heading = 0.0f;
  nav_page.nav_bearing = 95.0f;
  nav_page.bearing_shown = 1;
  draw_arc_card(top_layer, base_layer, 0xFFB0B0B0);
  // The ">" at (285, 100); nothing green on the left.
  EXPECT_GT(count_green(base_layer, 275, 90, 295, 110), 5);
  EXPECT_EQ(count_green(base_layer, 15, 80, 45, 120), 0);
  // The pointer itself sits at 50 degrees on radius 168 about (160, 190): near (289, 82).
  EXPECT_GT(count_green(base_layer, 275, 70, 300, 95), 5);
}

TEST_F(Nav, GuidanceIsDrawnOnlyWhileItsOwnDataIsFresh) {
  struct row {
    const char* name;
    bool track, bearing, xte, dtk, distance, wpt;
    int presentation, bearing_shown, course, waypoint, name_shown;
  };
  const row rows[] = {
      {"everything", true, true, true, true, true, true, 1, 1, 1, 1, 1},
      {"track only (RMC without a route)", true, false, false, false, false, false, 1, 0, 0, 0, 0},
      {"course from the bearing alone", true, true, true, false, false, false, 1, 1, 1, 0, 0},
      {"no cross-track error: no course", true, true, false, true, true, true, 1, 1, 0, 0, 1},
      {"no distance: no waypoint", true, true, true, true, false, true, 1, 1, 1, 0, 1},
      {"track lost", false, true, true, true, true, true, 0, 1, 1, 1, 1},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.name);
    gps_fresh(r.track, r.bearing, r.xte, r.dtk, r.distance, r.wpt);
    draw_page(NAV_STYLE_HSI, NAV_SOURCE_GPS);
    EXPECT_EQ(nav_page.presentation_shown, r.presentation);
    EXPECT_EQ(nav_page.bearing_shown, r.bearing_shown);
    EXPECT_EQ(nav_page.course_shown, r.course);
    EXPECT_EQ(nav_page.waypoint_shown, r.waypoint);
    EXPECT_EQ(nav_page.waypoint_name_shown, r.name_shown);
  }
  // A track-only GPS leaves no green bearing pointer on the HSI, on the arc or on the tape.
  gps_fresh(true, false, false, false, false, false);
  gps_nav_data.gps_waypoint_bearing = 30.0f;
  for (int style : {NAV_STYLE_HSI, NAV_STYLE_ARC}) {
    draw_page(style, NAV_SOURCE_GPS);
    blend_image(base_layer, top_layer, base_layer, SCREEN_W, SCREEN_H, 0, 0, SCREEN_W, SCREEN_H);
    EXPECT_EQ(count_green(base_layer), 0) << style;
  }
  draw_tape(1);
  EXPECT_EQ(count_green(top_layer), 0);
  gps_fresh(true, true, false, false, false, false);
  draw_tape(1);
  EXPECT_GT(count_green(top_layer), 5);
}

TEST_F(Nav, TrackStabilisationStartsFromThePresentHeading) {
  float delta = 0.0f;
  float last = 100.0f;  // from long ago
  unsigned frame = 0;
  cycle.frame_number = 5;
  desk.heading = 200.0f;
  EXPECT_NEAR(track_stabilisation(delta, last, frame), 0.0f, 0.01f);
  cycle.frame_number = 6;
  desk.heading = 210.0f;
  EXPECT_NEAR(track_stabilisation(delta, last, frame), 10.0f, 0.05f);
  cycle.frame_number = 7;
  desk.heading = 195.0f;  // a left turn
  EXPECT_NEAR(track_stabilisation(delta, last, frame), -5.0f, 0.05f);
  cycle.frame_number = 9;  // a frame without it: resume from here, no swing
  desk.heading = 20.0f;
  EXPECT_NEAR(track_stabilisation(delta, last, frame), 0.0f, 0.01f);
  cycle.frame_number = 10;
  desk.heading_valid = false;
  EXPECT_FLOAT_EQ(track_stabilisation(delta, last, frame), 0.0f);

  // On the heading page: the card follows GPS track plus the gyro turn since.
  desk.heading_valid = true;
  cfg_set_byte(CFG_TRAK_STAB, 1);
  gps_fresh(true, false, false, false, false, false);
  gps_nav_data.gps_track = 90;
  nav_page.card_smooth = 90.0f;
  desk.heading = 300.0f;
  draw_page(NAV_STYLE_HSI, NAV_SOURCE_GPS);
  EXPECT_NEAR(nav_page.card_heading, 90.0f, 0.01f);
  desk.heading = 320.0f;
  draw_page(NAV_STYLE_HSI, NAV_SOURCE_GPS);
  EXPECT_NEAR(nav_page.card_heading, 92.0f, 0.05f);  // a tenth of the way to 110
  track_stab_restart();
  EXPECT_FLOAT_EQ(nav_page.track_stab_delta, 0.0f);
}

TEST_F(Nav, CompactTapeStabilisesOnlyWithDemoOff) {
  cfg_set_byte(CFG_TRAK_STAB, 1);
  cfg_set_byte(CFG_DEMO_MODE, 1);
  demo.demo_track_state = 40.0f;
  heading_bug.hdg_bug = heading_bug.hdg_bug_shown = 40.0f;
  desk.heading = 100.0f;
  draw_tape(1);
  desk.heading = 150.0f;
  draw_tape(1);
  EXPECT_NEAR(compact.compact_unwrapped, 40.0f, 0.01f);
  EXPECT_EQ(compact.compact_track_stab_frame, 0u);

  cfg_set_byte(CFG_DEMO_MODE, 0);
  gps_fresh(true, false, false, false, false, false);
  gps_nav_data.gps_track = 40;
  draw_tape(1);
  desk.heading = 160.0f;
  draw_tape(1);
  EXPECT_NEAR(compact.compact_unwrapped, 50.0f, 0.05f);
}

TEST_F(Nav, CompactTapeCrossesSouthSmoothly) {
  const float rows[][2] = {{179.6f, 179.6f}, {180.4f, 180.4f}, {200.0f, 200.0f}, {170.0f, 170.0f}};
  for (const auto& r : rows) {
    desk.heading = r[0] + 2.0f / 150.0f;  // two readings per frame
    draw_tape(0);
    EXPECT_NEAR(compact.compact_unwrapped, r[1], 0.01f) << r[0];
  }
  // The filter's output stays on the continuous heading, brought into -180..180.
  for (int i = 0; i < 1000; ++i) {
    filter_tick();
    if (i % 10 == 0) {
      desk.heading = 181.0f;
      draw_tape(0);
    }
  }
  EXPECT_NEAR(compact.compact_heading, -179.0f, 1.0f);
}

TEST_F(Nav, StyleChangeRestartsTheTapeWithoutSpinning) {
  compact.compact_unwrapped = 3610.0f;  // ten turns made so far
  desk.heading = 10.0f;
  cfg_set_byte(CFG_UI_STYLE, 1 - cfg_get_byte(CFG_UI_STYLE) + 1);
  draw_tape(0);
  EXPECT_NEAR(compact.compact_unwrapped, 10.0f, 0.05f);
}

TEST_F(Nav, UnusableGyroNeverReachesTheCardOrTheSmoothers) {
  struct row {
    float heading;
    bool valid;
  };
  const row rows[] = {{NAN, true}, {INFINITY, true}, {123.0f, false}};
  draw_tape(0);  // the first draw builds the strips for the style
  for (const row& r : rows) {
    nav_page.card_smooth = 42.0f;
    dg_adjust.nav_dg_adjust_value = 42.0f;
    desk.heading = r.heading;
    desk.heading_valid = r.valid;
    draw_page(NAV_STYLE_ROSE, NAV_SOURCE_HEADING);
    EXPECT_FLOAT_EQ(nav_page.card_smooth, 42.0f);
    EXPECT_FLOAT_EQ(nav_page.card_heading, 42.0f);
    EXPECT_FLOAT_EQ(dg_adjust.nav_dg_adjust_value, 42.0f);
    EXPECT_EQ(nav_page.heading_failed, 1);
    compact.compact_unwrapped = 42.0f;
    draw_tape(0);
    EXPECT_FLOAT_EQ(compact.compact_unwrapped, 42.0f);
    float h = 0.0f;
    EXPECT_FALSE(gyro_heading(h));
  }
  desk.heading = 10.0f;
  desk.heading_valid = true;
  draw_page(NAV_STYLE_ROSE, NAV_SOURCE_HEADING);
  EXPECT_EQ(nav_page.heading_failed, 0);
  EXPECT_NEAR(nav_page.card_heading, 38.8f, 0.01f);
}

TEST_F(Nav, FirstDrawKeepsThePresentationTheLayoutChose) {
  cycle.unit_function = 1;
  modes.field_page = 2;  // the arc page of the default layouts
  nav_page_select_from_layout();
  nav_page_draw(top_layer, base_layer);
  EXPECT_EQ(get_nav_page_style(), NAV_STYLE_ARC);
  EXPECT_EQ(get_nav_page_source(), NAV_SOURCE_GPS);
  EXPECT_EQ(nav_page.nav_page_first_run, 0);
  // The range glides from 5 nm and never below 1.
  nav_page.arc_range_index = 0;
  for (int i = 0; i < 400; ++i) {
    filter_tick();
    if (i % 10 == 0) nav_page_draw(top_layer, base_layer);
    EXPECT_GE(nav_page.arc_range, 1.0f);
  }
  EXPECT_NEAR(nav_page.arc_range, 1.0f, 0.01f);
}

}  // namespace

namespace {

// Knob releases on the default heading page walk DG ADJ -> HDG BUG -> closed; a turn in DG ADJ
// moves the gyro and a long press in HDG BUG brings the bug to it.
TEST_F(Nav, KnobWalksDgAdjustThenHeadingBugOnTheHeadingPage) {
  startup.startup_countdown = 0;
  cycle.unit_function = 1;
  fields.field_hosts_dg_adjust = 1;
  fields.field_hosts_hdg_bug = 1;
  desk.heading = 100.0f;
  controls.last_knob_raw = 1;
  auto event = [](int e) {
    controls.pending_event = e;
    dispatch_event();
  };
  event(EVT_KNOB_RELEASE);
  ASSERT_TRUE(nav_dg_adjust_is_open());
  event(EVT_KNOB_RELEASE);  // unchanged: on to the bug
  EXPECT_FALSE(nav_dg_adjust_is_open());
  ASSERT_TRUE(hdg_bug_is_open());
  event(EVT_KNOB_RELEASE);  // the last offered: closes
  EXPECT_TRUE(no_popup_open());

  event(EVT_KNOB_RELEASE);
  event(EVT_KNOB_CW);
  event(EVT_KNOB_CW);
  EXPECT_NEAR(desk.heading, 102.0f, 0.05f);  // less the drift of the readings
  EXPECT_TRUE(nav_dg_adjust_was_adjusted());
  event(EVT_KNOB_RELEASE);  // after a change the release closes
  EXPECT_TRUE(no_popup_open());

  set_nav_page_source(NAV_SOURCE_HEADING);
  heading_bug.hdg_bug = 7.0f;
  event(EVT_KNOB_RELEASE);
  event(EVT_KNOB_RELEASE);
  ASSERT_TRUE(hdg_bug_is_open());
  event(EVT_KNOB_LONG);
  EXPECT_NEAR(heading_bug.hdg_bug, 102.0f, 0.05f);
  EXPECT_TRUE(hdg_bug_is_open());  // the pop-up took the long press; the unit did not swap
  EXPECT_EQ(cycle.unit_function, 1);
}

}  // namespace

namespace {

// Every pixel the presentations leave on the top layer lies where they marked drawing, so the
// merges that look only there miss nothing: each presentation, with the demo, with a full GPS fix,
// without a track (the message), and with the bug and the bearing parked on either side.
TEST_F(Nav, PresentationsMarkAllTheyDrawOnTheTopLayer) {
  struct state {
    const char* name;
    int demo;
    bool fix;
    float bug;
  };
  const state states[] = {{"demo", 1, true, 0.0f},
                          {"fix", 0, true, 90.0f},
                          {"fix, bug behind", 0, true, 200.0f},
                          {"no track", 0, false, 300.0f}};
  const int styles[] = {NAV_STYLE_ROSE, NAV_STYLE_HSI, NAV_STYLE_ARC};
  for (const state& s : states) {
    for (const int style : styles) {
      for (int frame = 0; frame < 25; ++frame) {
        cfg_set_byte(CFG_DEMO_MODE, s.demo);
        gps_fresh(s.fix, s.fix, s.fix, s.fix, s.fix, s.fix);
        gps_nav_data.gps_track = 10 * frame;
        gps_nav_data.gps_waypoint_bearing = static_cast<float>((37 * frame) % 360);
        gps_nav_data.gps_waypoint_distance = 3.0f;
        gps_nav_data.gps_cross_track_error = 0.4f;
        heading_bug.hdg_bug = s.bug;
        draw_page(style, style == NAV_STYLE_ROSE ? NAV_SOURCE_HEADING : NAV_SOURCE_GPS);
        demo_motion_step();
        const drawn_rows& rows = nav_page.top_rows;
        int drawn = 0;
        for (int y = 0; y < SCREEN_H; ++y) {
          for (int x = 0; x < SCREEN_W; ++x) {
            if (top_layer[y * SCREEN_W + x] == 0) continue;
            ++drawn;
            ASSERT_TRUE(x >= rows.lo[y] && x <= rows.hi[y])
                << s.name << " style " << style << " frame " << frame << " pixel " << x << "," << y;
          }
        }
        EXPECT_GT(drawn, 0) << s.name << " style " << style;
      }
    }
  }
}

}  // namespace
