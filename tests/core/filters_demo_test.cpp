#include <gtest/gtest.h>

#include <cmath>

#include "core/demo.h"
#include "core/filters.h"
#include "host/common/desk_platform.h"
#include "nav/heading_bug.h"
#include "settings/settings.h"
#include "tests/support/power_on.h"

namespace {

using Filters = PowerOn;

TEST_F(Filters, FirstOrderLagFromZero) {
  filter_configure(5, 50.0f);
  EXPECT_EQ(filter_feed(5, 10.0f), 0.0f);  // before any tick: the zeroed output
  filter_tick();
  EXPECT_EQ(filter_feed(5, 10.0f), 0.0f);  // computed from the accumulator before the input
  filter_tick();
  EXPECT_FLOAT_EQ(filter_feed(5, 10.0f), 0.2f);
  filter_tick();
  EXPECT_FLOAT_EQ(filter_feed(5, 10.0f), 0.396f);
  for (int i = 0; i < 2000; ++i) filter_tick();
  EXPECT_NEAR(filter_feed(5, 10.0f), 10.0f, 1e-3f);
}

TEST_F(Filters, ReconfiguringZeroesTheChannel) {
  filter_configure(0, 10.0f);
  filter_feed(0, 1000.0f);
  for (int i = 0; i < 100; ++i) filter_tick();
  ASSERT_GT(filters.channel[0].output, 900.0f);
  filter_configure(0, 10.0f);
  EXPECT_EQ(filter_feed(0, 0.0f), 0.0f);
  filter_tick();
  EXPECT_EQ(filters.channel[0].output, 0.0f);
}

TEST_F(Filters, UnconfiguredChannelIsNotANumberSoReadersComparingFail) {
  filter_feed(7, 3.0f);
  filter_tick();
  EXPECT_TRUE(std::isnan(filters.channel[7].output));
  EXPECT_FALSE(filters.channel[7].output > 0.0f);
}

TEST_F(Filters, DataAgesGoFreshForFourTicksThenStale) {
  age_data();
  data_received(AGE_GPS_TRACK);
  EXPECT_EQ(filters.data_fresh[AGE_GPS_TRACK], 0);  // unchanged until the next tick
  for (int t = 1; t <= 4; ++t) {
    age_data();
    EXPECT_EQ(filters.data_fresh[AGE_GPS_TRACK], 1) << "tick " << t;
  }
  age_data();
  EXPECT_EQ(filters.data_fresh[AGE_GPS_TRACK], 0);
  EXPECT_EQ(filters.data_age[AGE_GPS_TRACK], 0);
  EXPECT_EQ(filters.data_age[AGE_SERIAL_RX], -6);  // never reloaded: keeps going negative
  EXPECT_EQ(filters.data_fresh[AGE_SERIAL_RX], 0);
}

using Demo = PowerOn;

TEST_F(Demo, RollTurnsAtStep251AndSwingsBetweenAboutFive) {
  float lo = 0.0f;
  float hi = 0.0f;
  int first_turn = 0;
  for (int step = 1; step <= 2000; ++step) {
    const int dir = demo.demo_roll_dir;
    demo_motion_step();
    if (dir != demo.demo_roll_dir && first_turn == 0) {
      first_turn = step;
      EXPECT_NEAR(demo.demo_roll, 5.02f, 1e-4f);
    }
    lo = std::min(lo, demo.demo_roll);
    hi = std::max(hi, demo.demo_roll);
  }
  EXPECT_EQ(first_turn, 251);
  EXPECT_NEAR(hi, 5.02f, 2e-3f);
  EXPECT_NEAR(lo, -5.02f, 2e-3f);
}

TEST_F(Demo, PitchTurnsAtSteps500And751) {
  int turns[3] = {};
  int n = 0;
  for (int step = 1; step <= 2000 && n < 3; ++step) {
    const int dir = demo.demo_pitch_dir;
    demo_motion_step();
    if (dir != demo.demo_pitch_dir) turns[n++] = step;
    if (step == 751) {
      EXPECT_NEAR(demo.demo_pitch, -5.06f, 1e-3f);
    }
  }
  EXPECT_EQ(turns[0], 500);
  EXPECT_EQ(turns[1], 751);
  EXPECT_GT(turns[2], 751 + 700);  // about 750 slow steps up to 10 again
}

TEST_F(Demo, AltitudeWrapsAbove15000To5000InOneStep) {
  demo.demo_alt = 15000;
  demo.demo_vs_acc = 200.0f * 10.0f;  // v = 10 degrees -> 1800 ft/min -> +18 ft
  demo_motion_step();
  EXPECT_EQ(demo.demo_alt, 5000);
}

TEST_F(Demo, ClimbFollowsPitchThroughTheLag) {
  demo.demo_pitch = 5.0f;
  demo_motion_step();
  EXPECT_EQ(demo.demo_alt, 6000);  // the lag starts from zero
  EXPECT_FLOAT_EQ(demo.demo_vs_acc, 5.0f);
  EXPECT_FLOAT_EQ(demo.demo_g_acc, 5.0f / 12.0f + 1.0f);
}

TEST_F(Demo, WaypointDistanceCountsDownAndRestarts) {
  EXPECT_FLOAT_EQ(demo_get_wpt_dist(), 19.998f);
  demo.demo_wpt_dist = 0.001f;
  EXPECT_EQ(demo_get_wpt_dist(), 20.0f);
}

TEST_F(Demo, OatFollowsTrim) {
  cfg_set(CFG_OAT_TRIM, 30);
  EXPECT_FLOAT_EQ(demo_get_oat(), 33.0f);
}

TEST_F(Demo, BaroAltitudeCorrectionAtStandardSetting) {
  // 29.92 inHg: the correction is about 9 ft.
  EXPECT_EQ(demo_get_baro_alt(), 6000 - 9);
  desk.baro_setting = 2800.0f;  // 28.00: the polynomial's constant term
  EXPECT_EQ(demo_get_baro_alt(), 6000 - 1833);
  cfg_set_byte(CFG_BARO_UNITS, 1);
  desk.baro_units = 1;            // the stored value already counts hPa
  desk.baro_setting = 101320.0f;  // 1013.2 hPa is 29.92 inHg
  EXPECT_NEAR(demo_get_baro_alt(), 6000 - 9, 1);
}

TEST_F(Demo, SlipSettlesAtRollOverFive) {
  demo.demo_roll = 4.0f;
  float out = 0.0f;
  for (int i = 0; i < 300; ++i) out = demo_get_slip();
  EXPECT_NEAR(out, 0.8f, 1e-4f);
}

TEST_F(Demo, TrackTurnsTowardsTheHeadingBugTheShortWay) {
  heading_bug.hdg_bug = 350.0f;
  heading_bug.hdg_bug_shown = 350.0f;
  demo.demo_track_state = 10.0f;
  const float first = demo_get_track();
  EXPECT_LT(first, 10.0f);  // turning left through north
  for (int i = 0; i < 3000; ++i) demo_get_track();
  EXPECT_NEAR(demo_get_track(), 350.0f, 0.1f);
}

TEST_F(Demo, ResetKeepsDirectionsAndNavigationState) {
  for (int i = 0; i < 600; ++i) demo_motion_step();
  demo.demo_slip_acc = 3.0f;
  demo.demo_wpt_dist = 4.0f;
  const int roll_dir = demo.demo_roll_dir;
  const int pitch_dir = demo.demo_pitch_dir;
  reset_demo();
  EXPECT_EQ(demo.demo_pitch, 0.0f);
  EXPECT_EQ(demo.demo_roll, 0.0f);
  EXPECT_EQ(demo.demo_g, 0.0f);
  EXPECT_EQ(demo.demo_alt, 6000);
  EXPECT_EQ(demo.demo_roll_dir, roll_dir);
  EXPECT_EQ(demo.demo_pitch_dir, pitch_dir);
  EXPECT_EQ(demo.demo_slip_acc, 3.0f);
  EXPECT_EQ(demo.demo_wpt_dist, 4.0f);
}

TEST_F(Demo, AoaFollowsPitchInModeOneAndTheSensorOtherwise) {
  cfg_set_byte(CFG_DEMO_MODE, 1);
  demo.demo_pitch = 3.5f;
  EXPECT_EQ(demo_get_aoa(), 3.5f);
  cfg_set_byte(CFG_DEMO_MODE, 2);
  EXPECT_EQ(demo_get_aoa(), desk.pitch);
}

}  // namespace
