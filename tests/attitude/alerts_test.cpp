// Attitude alerts: stages, latches, tones, acknowledgement, the blinking box, and the
// angle-of-attack ratio behind them.
#include "attitude/alerts.h"

#include <cmath>
#include <cstring>
#include <string>

#include "core/demo.h"
#include "core/filters.h"
#include "core/firmware.h"
#include "core/modes.h"
#include "gfx/images.h"
#include "host/common/desk_platform.h"
#include "settings/settings.h"
#include "settings/startup_screen.h"
#include "tests/attitude/helpers.h"
#include "tests/support/power_on.h"

namespace {

constexpr int TONE_G_100 = 0, TONE_G_90 = 1, TONE_G_80 = 2;
constexpr int TONE_AOA_100 = 3, TONE_AOA_90 = 4, TONE_AOA_80 = 5, TONE_ROLL = 6;
constexpr int STARTED = 2, STOPPED = 0;

class Alerts : public Started {
 protected:
  void SetUp() override {
    Started::SetUp();
    cfg_set_byte(CFG_DEMO_MODE, 0);
    desk.g = 1.0f;
    desk.roll = 0.0f;
    desk.aoa = 0.0f;
  }

  void frame() {
    clear_layer(top_layer);
    draw_attitude_alerts(top_layer);
  }

  void frames(int n) {
    for (int i = 0; i < n; ++i) frame();
  }

  static bool flags_are(int f0, int f1, int f2, int first = 0) {
    return alerts.alert_flag[first] == f0 && alerts.alert_flag[first + 1] == f1 && alerts.alert_flag[first + 2] == f2;
  }

  // Which box is on the top layer: the edges of the box image, clear of the centred text, must
  // match the amber or the red image. -1 for none.
  static int shown_box() {
    const bool amber = opaque_pixels_match(top_layer, IMG_ALERT_AMBER, 105, 80, 120, 200);
    const bool red = opaque_pixels_match(top_layer, IMG_ALERT_RED, 105, 80, 120, 200);
    if (amber && red) return -2;  // the two images could not be told apart
    if (amber) return IMG_ALERT_AMBER;
    if (red) return IMG_ALERT_RED;
    return -1;
  }

  // Frames until the box is drawn; the frame that draws it is left on the top layer.
  int frames_until_box() {
    for (int i = 1; i <= 40; ++i) {
      frame();
      if (shown_box() != -1) return i;
    }
    return -1;
  }
};

class GAlert : public Alerts {
 protected:
  void SetUp() override {
    Alerts::SetUp();
    cfg_set_byte(CFG_G_ALERT, 1);
    cfg_set(CFG_G_POS_LIM, 4);
    cfg_set(CFG_G_NEG_LIM, -2);
  }
};

TEST_F(GAlert, StagesRiseInTurnEachWithItsTone) {
  desk.g = 3.19f;
  frame();
  EXPECT_TRUE(flags_are(0, 0, 0));

  desk.g = 3.2f;  // 80 % of 4, exactly, in single precision
  frame();
  EXPECT_TRUE(flags_are(1, 0, 0));
  EXPECT_EQ(desk.tone_mode[TONE_G_80], STARTED);
  EXPECT_EQ(desk.tone_mode[TONE_G_90], STOPPED);

  desk.g = 3.6f;  // 0.9f * 4 == 3.6f; a double 0.9 would leave this short of the stage
  frame();
  EXPECT_TRUE(flags_are(1, 1, 0));
  EXPECT_EQ(desk.tone_mode[TONE_G_90], STARTED);
  EXPECT_EQ(desk.tone_mode[TONE_G_100], STOPPED);

  desk.g = 4.0f;
  frame();
  EXPECT_TRUE(flags_are(1, 1, 1));
  EXPECT_EQ(desk.tone_mode[TONE_G_100], STARTED);
  EXPECT_EQ(modes.attitude_alert_active, 1);
}

TEST_F(GAlert, JumpRaisesAllThreeInOneFrame) {
  frame();
  desk.g = 4.0f;
  frame();
  EXPECT_TRUE(flags_are(1, 1, 1));
  EXPECT_EQ(desk.tone_mode[TONE_G_80], STARTED);
  EXPECT_EQ(desk.tone_mode[TONE_G_90], STARTED);
  EXPECT_EQ(desk.tone_mode[TONE_G_100], STARTED);
}

TEST_F(GAlert, NegativeLimitRaisesTheSameStages) {
  desk.g = -1.6f;
  frame();
  EXPECT_TRUE(flags_are(1, 0, 0));
  desk.g = -1.8f;
  frame();
  EXPECT_TRUE(flags_are(1, 1, 0));
  desk.g = -2.0f;
  frame();
  EXPECT_TRUE(flags_are(1, 1, 1));
}

TEST_F(GAlert, BoxTurnsFromAmberToRed) {
  desk.g = 3.2f;
  ASSERT_GT(frames_until_box(), 0);
  EXPECT_EQ(shown_box(), IMG_ALERT_AMBER);
  desk.g = 4.0f;
  frame();
  ASSERT_TRUE(flags_are(1, 1, 1));
  ASSERT_GT(frames_until_box(), 0);
  EXPECT_EQ(shown_box(), IMG_ALERT_RED);
}

TEST_F(GAlert, FallingBelowFullLimitClearsOnlyTheTopStage) {
  desk.g = 4.5f;
  frame();
  desk.g = 3.8f;
  frame();
  EXPECT_TRUE(flags_are(1, 1, 0));
  EXPECT_EQ(alerts.alert_latch[ALERT_G_100], 0);
  EXPECT_EQ(desk.tone_mode[TONE_G_100], STOPPED);
  EXPECT_EQ(desk.tone_mode[TONE_G_90], STARTED);
  EXPECT_EQ(desk.tone_mode[TONE_G_80], STARTED);
}

TEST_F(GAlert, AcknowledgedAlertStaysAwayUntilGFallsBelowEightyPercent) {
  desk.g = 4.0f;
  frame();
  acknowledge_alert();
  EXPECT_TRUE(flags_are(0, 0, 0));
  EXPECT_EQ(alerts.alert_latch[ALERT_G_80], 1);
  EXPECT_EQ(alerts.alert_latch[ALERT_G_90], 1);
  EXPECT_EQ(alerts.alert_latch[ALERT_G_100], 1);

  for (int i = 0; i < 40; ++i) {
    frame();
    EXPECT_EQ(shown_box(), -1) << i;
  }
  EXPECT_TRUE(flags_are(0, 0, 0));
  EXPECT_EQ(modes.attitude_alert_active, 0);

  // Between 80 and 90 % the upper stages reset, but without the first stage they stay down.
  desk.g = 3.4f;
  frame();
  desk.g = 4.0f;
  frame();
  EXPECT_TRUE(flags_are(0, 0, 0));

  desk.g = 3.0f;
  frame();
  EXPECT_EQ(alerts.alert_latch[ALERT_G_80], 0);
  desk.g = 3.3f;
  frame();
  EXPECT_TRUE(flags_are(1, 0, 0));
}

TEST_F(GAlert, DisablingClearsFlagsLatchesAndTones) {
  desk.g = 4.0f;
  frame();
  cfg_set_byte(CFG_G_ALERT, 0);
  frame();
  EXPECT_TRUE(flags_are(0, 0, 0));
  for (int i = ALERT_G_80; i <= ALERT_G_100; ++i) EXPECT_EQ(alerts.alert_latch[i], 0) << i;
  EXPECT_EQ(desk.tone_mode[TONE_G_80], STOPPED);
  EXPECT_EQ(desk.tone_mode[TONE_G_90], STOPPED);
  EXPECT_EQ(desk.tone_mode[TONE_G_100], STOPPED);
  EXPECT_EQ(modes.attitude_alert_active, 0);
}

TEST_F(GAlert, DemoModeOneTakesTheDemoLoad) {
  cfg_set_byte(CFG_DEMO_MODE, 1);
  desk.g = 4.0f;
  demo.demo_g = 1.0f;
  frame();
  EXPECT_TRUE(flags_are(0, 0, 0));
  demo.demo_g = 4.0f;
  desk.g = 1.0f;
  frame();
  EXPECT_TRUE(flags_are(1, 1, 1));

  // The second demo mode leaves the g load to the sensor.
  cfg_set_byte(CFG_DEMO_MODE, 2);
  frame();
  EXPECT_TRUE(flags_are(0, 0, 0));
}

class RollAlert : public Alerts {
 protected:
  void SetUp() override {
    Alerts::SetUp();
    cfg_set_byte(CFG_ROLL_ALERT, 1);
    cfg_set_byte(CFG_ROLL_LIM, 35);
  }
};

TEST_F(RollAlert, RightLimitIsInclusiveLeftLimitStrict) {
  desk.roll = 35.0f;
  frame();
  EXPECT_EQ(alerts.alert_flag[ALERT_ROLL_RIGHT], 1);
  EXPECT_EQ(alerts.alert_flag[ALERT_ROLL_LEFT], 0);
  EXPECT_EQ(desk.tone_mode[TONE_ROLL], STARTED);

  desk.roll = -35.0f;
  frame();
  EXPECT_EQ(alerts.alert_flag[ALERT_ROLL_RIGHT], 0);
  EXPECT_EQ(alerts.alert_flag[ALERT_ROLL_LEFT], 0);
  EXPECT_EQ(desk.tone_mode[TONE_ROLL], STOPPED);

  desk.roll = -35.01f;
  frame();
  EXPECT_EQ(alerts.alert_flag[ALERT_ROLL_LEFT], 1);
  EXPECT_EQ(desk.tone_mode[TONE_ROLL], STARTED);
}

TEST_F(RollAlert, RightAloneShowsRollInAmber) {
  desk.roll = 50.0f;
  ASSERT_GT(frames_until_box(), 0);
  EXPECT_EQ(shown_box(), IMG_ALERT_AMBER);
  EXPECT_EQ(modes.attitude_alert_active, 1);
  for (int i = 0; i < ALERT_COUNT; ++i) EXPECT_EQ(alerts.alert_flag[i], i == ALERT_ROLL_RIGHT ? 1 : 0) << i;
  // The text is drawn over the box's middle.
  const image_ref box = image_lookup(IMG_ALERT_AMBER);
  bool differs = false;
  for (int y = 85; y < 102; ++y) {
    for (int x = 140; x < 180; ++x) {
      differs = differs || pixel_at(top_layer, x, y) != box.pixels[(y - 80) * box.width + (x - 105)];
    }
  }
  EXPECT_TRUE(differs);
}

TEST_F(RollAlert, BoxFirstShowsElevenFramesLaterThenNineOfEveryTwenty) {
  frame();
  desk.roll = 40.0f;
  for (int i = 0; i < 60; ++i) {
    frame();  // frame 0 raises the alert
    const bool shown = shown_box() != -1;
    const int phase = i % 20;
    EXPECT_EQ(shown, phase >= 11 && phase <= 19) << "frame " << i;
  }
}

TEST_F(RollAlert, AlertStandingOnTheVeryFirstFrameBlinksTheSameWay) {
  desk.roll = 40.0f;
  for (int i = 0; i < 40; ++i) {
    frame();
    const int phase = i % 20;
    EXPECT_EQ(shown_box() != -1, phase >= 11 && phase <= 19) << "frame " << i;
  }
}

TEST_F(RollAlert, NoRollSourceMeansNoAlert) {
  desk.roll = 80.0f;
  desk.sensors_valid = false;
  frame();
  EXPECT_EQ(alerts.alert_flag[ALERT_ROLL_RIGHT], 0);
  desk.sensors_valid = true;
  desk.attitude_data_valid = false;
  frame();
  EXPECT_EQ(alerts.alert_flag[ALERT_ROLL_RIGHT], 0);
  // Any demo mode reads the sensor roll even when it is not valid.
  cfg_set_byte(CFG_DEMO_MODE, 2);
  frame();
  EXPECT_EQ(alerts.alert_flag[ALERT_ROLL_RIGHT], 1);
}

TEST_F(RollAlert, DemoRollIsUsedRawInDemoModeOne) {
  cfg_set_byte(CFG_DEMO_MODE, 1);
  cfg_set(CFG_ROLL_TRIM, 100);  // trim does not reach the alert
  desk.roll = 80.0f;
  demo.demo_roll = 34.0f;
  frame();
  EXPECT_EQ(alerts.alert_flag[ALERT_ROLL_RIGHT], 0);
  demo.demo_roll = -36.0f;
  frame();
  EXPECT_EQ(alerts.alert_flag[ALERT_ROLL_LEFT], 1);
}

TEST_F(RollAlert, DisablingClearsBoth) {
  desk.roll = 40.0f;
  frame();
  cfg_set_byte(CFG_ROLL_ALERT, 0);
  frame();
  EXPECT_EQ(alerts.alert_flag[ALERT_ROLL_RIGHT], 0);
  EXPECT_EQ(alerts.alert_latch[ALERT_ROLL_RIGHT], 0);
  EXPECT_EQ(desk.tone_mode[TONE_ROLL], STOPPED);
}

// With the angle-of-attack channel freshly configured and not yet ticked its output is 0, so the
// ratio is (A - 5) / (15 - 5) with the default limits.
class AoaAlert : public Alerts {
 protected:
  void SetUp() override {
    Alerts::SetUp();
    cfg_set_byte(CFG_AOA_ALERT, 1);
    cfg_set(CFG_AOA_HIGH_LIM, 15);
    cfg_set(CFG_AOA_LOW_LIM, 5);
    // A steady air-vector magnitude of 1: the ratio is where the angle lies between the limits.
    desk.air_vector_a = 1.0f;
    desk.air_vector_b = 0.0f;
    aoa_channel_init();
  }
};

TEST_F(AoaAlert, StagesRiseInTurnAndTheBoxReadsAngle) {
  desk.aoa = 12.9f;
  frame();
  EXPECT_TRUE(flags_are(0, 0, 0, ALERT_AOA_80));
  desk.aoa = 13.0f;
  frame();
  EXPECT_TRUE(flags_are(1, 0, 0, ALERT_AOA_80));
  EXPECT_EQ(desk.tone_mode[TONE_AOA_80], STARTED);
  desk.aoa = 14.0f;
  frame();
  EXPECT_TRUE(flags_are(1, 1, 0, ALERT_AOA_80));
  EXPECT_EQ(desk.tone_mode[TONE_AOA_90], STARTED);
  ASSERT_GT(frames_until_box(), 0);
  EXPECT_EQ(shown_box(), IMG_ALERT_AMBER);
  desk.aoa = 15.0f;
  frame();
  EXPECT_TRUE(flags_are(1, 1, 1, ALERT_AOA_80));
  EXPECT_EQ(desk.tone_mode[TONE_AOA_100], STARTED);
  ASSERT_GT(frames_until_box(), 0);
  EXPECT_EQ(shown_box(), IMG_ALERT_RED);
}

TEST_F(AoaAlert, GAlertOutranksAngleInTheBox) {
  cfg_set_byte(CFG_G_ALERT, 1);
  cfg_set(CFG_G_POS_LIM, 4);
  desk.aoa = 20.0f;
  desk.g = 3.3f;
  ASSERT_GT(frames_until_box(), 0);
  // AOA is red (stage 3), G only amber: G is named first, so the box is amber.
  EXPECT_EQ(alerts.alert_flag[ALERT_AOA_100], 1);
  EXPECT_EQ(shown_box(), IMG_ALERT_AMBER);
}

TEST_F(AoaAlert, NoSourceOrEqualLimitsRaiseNothing) {
  desk.aoa = 30.0f;
  desk.aoa_available = false;
  frame();
  EXPECT_TRUE(flags_are(0, 0, 0, ALERT_AOA_80));
  EXPECT_EQ(aoa_stage_reached(1), 0);

  desk.aoa_available = true;
  cfg_set(CFG_AOA_HIGH_LIM, 10);
  cfg_set(CFG_AOA_LOW_LIM, 10);
  frame();
  EXPECT_TRUE(flags_are(0, 0, 0, ALERT_AOA_80));
  EXPECT_EQ(aoa_ratio(50.0f), 0.0f);
}

TEST_F(AoaAlert, DisablingClearsTheStages) {
  desk.aoa = 20.0f;
  frame();
  ASSERT_TRUE(flags_are(1, 1, 1, ALERT_AOA_80));
  cfg_set_byte(CFG_AOA_ALERT, 0);
  frame();
  EXPECT_TRUE(flags_are(0, 0, 0, ALERT_AOA_80));
  for (int i = ALERT_AOA_80; i <= ALERT_AOA_100; ++i) EXPECT_EQ(alerts.alert_latch[i], 0) << i;
  EXPECT_EQ(desk.tone_mode[TONE_AOA_80], STOPPED);
  EXPECT_EQ(desk.tone_mode[TONE_AOA_90], STOPPED);
  EXPECT_EQ(desk.tone_mode[TONE_AOA_100], STOPPED);
}

TEST_F(AoaAlert, StageReachedAtEachThreshold) {
  desk.aoa = 13.0f;
  EXPECT_EQ(aoa_stage_reached(1), 1);
  EXPECT_EQ(aoa_stage_reached(2), 0);
  desk.aoa = 14.0f;  // exactly 90 % of the range reaches the second stage
  EXPECT_EQ(aoa_stage_reached(2), 1);
  EXPECT_EQ(aoa_stage_reached(3), 0);
  desk.aoa = 15.0f;
  EXPECT_EQ(aoa_stage_reached(3), 1);
  EXPECT_EQ(aoa_stage_reached(0), 0);
  EXPECT_EQ(aoa_stage_reached(4), 0);
  EXPECT_EQ(aoa_stage_reached(-1), 0);
}

class Acknowledge : public Alerts {};

TEST_F(Acknowledge, ClearsTheLowestGroupOnly) {
  set_alert_flag(ALERT_AOA_90);
  set_alert_flag(ALERT_ROLL_RIGHT);
  set_alert_flag(ALERT_ROLL_LEFT);
  acknowledge_alert();
  EXPECT_EQ(get_alert_flag(ALERT_AOA_90), 0);
  EXPECT_EQ(get_alert_flag(ALERT_ROLL_LEFT), 1);
  EXPECT_EQ(get_alert_flag(ALERT_ROLL_RIGHT), 1);
  acknowledge_alert();  // the two bank alerts go one at a time
  EXPECT_EQ(get_alert_flag(ALERT_ROLL_LEFT), 0);
  EXPECT_EQ(get_alert_flag(ALERT_ROLL_RIGHT), 1);
  acknowledge_alert();
  EXPECT_EQ(get_alert_flag(ALERT_ROLL_RIGHT), 0);
}

TEST_F(Acknowledge, GroupClearsAllThreeWhicheverIsSet) {
  set_alert_flag(ALERT_G_100);
  set_alert_flag(ALERT_G_90);
  set_alert_flag(ALERT_AOA_80);
  acknowledge_alert();
  EXPECT_TRUE(flags_are(0, 0, 0));
  EXPECT_EQ(get_alert_flag(ALERT_AOA_80), 1);
}

TEST_F(Acknowledge, NothingRaisedChangesNothing) {
  alerts.alert_latch[ALERT_G_80] = 1;
  acknowledge_alert();
  for (int i = 0; i < ALERT_COUNT; ++i) EXPECT_EQ(alerts.alert_flag[i], 0) << i;
  EXPECT_EQ(alerts.alert_latch[ALERT_G_80], 1);
}

TEST_F(Acknowledge, FlagAccessIgnoresIndicesOutsideTheTable) {
  set_alert_flag(-1);
  set_alert_flag(ALERT_COUNT);
  for (int i = 0; i < ALERT_COUNT; ++i) EXPECT_EQ(alerts.alert_flag[i], 0) << i;
  EXPECT_EQ(get_alert_flag(-1), 0);
  EXPECT_EQ(get_alert_flag(ALERT_COUNT), 0);
}

TEST_F(Acknowledge, InitClearsFlagsButNotLatches) {
  for (int i = 0; i < ALERT_COUNT; ++i) {
    set_alert_flag(i);
    alerts.alert_latch[i] = 1;
  }
  alerts_init();
  for (int i = 0; i < ALERT_COUNT; ++i) {
    EXPECT_EQ(alerts.alert_flag[i], 0) << i;
    EXPECT_EQ(alerts.alert_latch[i], 1) << i;
  }
}

TEST(AlertNames, NameEveryAlertInOrder) {
  const char* want[] = {"ALERT_G_80",   "ALERT_G_90",    "ALERT_G_100",     "ALERT_AOA_80",
                        "ALERT_AOA_90", "ALERT_AOA_100", "ALERT_ROLL_LEFT", "ALERT_ROLL_RIGHT"};
  for (int i = 0; i < ALERT_COUNT; ++i) EXPECT_STREQ(alert_names[i], want[i]) << i;
}

class AoaRatio : public PowerOn {};

TEST_F(AoaRatio, UnconfiguredChannelLeavesTheRatioUnscaled) {
  cfg_set(CFG_AOA_HIGH_LIM, 15);
  cfg_set(CFG_AOA_LOW_LIM, 5);
  EXPECT_FLOAT_EQ(aoa_ratio(10.0f), 0.5f);  // output still zero
  for (int i = 0; i < 5; ++i) {
    aoa_ratio(10.0f);
    filter_tick();
  }
  ASSERT_TRUE(std::isnan(filters.channel[FILTER_AOA].output));  // 0 / 0 without a time constant
  EXPECT_FLOAT_EQ(aoa_ratio(10.0f), 0.5f);
  EXPECT_FLOAT_EQ(alerts.last_aoa_ratio, 0.5f);
}

TEST_F(AoaRatio, ConfiguredChannelScalesByTheAirVectorMagnitude) {
  cfg_set(CFG_AOA_HIGH_LIM, 15);
  cfg_set(CFG_AOA_LOW_LIM, 5);
  filter_configure(FILTER_AOA, 50.0f);
  desk.air_vector_a = 0.0f;
  desk.air_vector_b = 1.2f;
  for (int i = 0; i < 3000; ++i) {
    aoa_ratio(10.0f);
    filter_tick();
  }
  EXPECT_NEAR(aoa_ratio(10.0f), 0.6f, 1e-4f);
  desk.air_vector_a = 0.6f;
  desk.air_vector_b = 0.8f;
  for (int i = 0; i < 3000; ++i) {
    aoa_ratio(10.0f);
    filter_tick();
  }
  EXPECT_NEAR(aoa_ratio(10.0f), 0.5f, 1e-4f);
  EXPECT_NEAR(alerts.last_aoa_ratio, 0.5f, 1e-4f);
}

TEST_F(AoaRatio, LimitedToZeroAndOne) {
  cfg_set(CFG_AOA_HIGH_LIM, 15);
  cfg_set(CFG_AOA_LOW_LIM, 5);
  EXPECT_EQ(aoa_ratio(100.0f), 1.0f);
  EXPECT_EQ(aoa_ratio(-100.0f), 0.0f);
  EXPECT_EQ(aoa_ratio(5.0f), 0.0f);
  EXPECT_EQ(aoa_ratio(std::nanf("")), 0.0f);
  // Limits given the wrong way round still give a ratio inside 0..1.
  cfg_set(CFG_AOA_HIGH_LIM, 5);
  cfg_set(CFG_AOA_LOW_LIM, 15);
  EXPECT_FLOAT_EQ(aoa_ratio(10.0f), 0.5f);
  EXPECT_EQ(aoa_ratio(0.0f), 1.0f);
}

// From switch-on, the angle-of-attack stages stand on every attitude frame as the steady reading
// says: none falls and rises again while the smoothing channel settles.
TEST(AoaAlertAtStartUp, StagesRiseOnceAsTheSteadyReadingSays) {
  struct row {
    float aoa;  // with the desk's air-vector magnitude 1.0933 and limits 5..15
    float magnitude_at_switch_on;
    int stage1, stage2, stage3;
  };
  const row rows[] = {
      {12.0f, 1.0933334f, 0, 0, 0},  // 0.77 of the range
      {12.6f, 1.0933334f, 1, 0, 0},  // 0.83
      {13.5f, 1.0933334f, 1, 1, 0},  // 0.93
      {15.0f, 1.0933334f, 1, 1, 1},  // above the range
      {12.6f, 0.0f, 1, 0, 0},        // no air-vector reading yet when switched on
  };
  static pixel_t frame[LAYER_PIXELS];
  for (const row& r : rows) {
    restore_power_on();
    desk.aoa = r.aoa;
    desk.air_vector_a = r.magnitude_at_switch_on;
    firmware_init();
    desk.air_vector_a = 1.0933334f;
    cfg_set_byte(CFG_DEMO_MODE, 0);
    cfg_set_byte(CFG_AOA_ALERT, 1);
    int attitude_frames = 0;
    for (int ms = 30; ms <= 14000; ms += 30) {
      while (!firmware_pass(frame)) {
      }
      if (startup_done()) {
        ++attitude_frames;
        const std::string at = "aoa " + std::to_string(r.aoa) + " at " + std::to_string(ms) + " ms";
        ASSERT_EQ(alerts.alert_flag[ALERT_AOA_80], r.stage1) << at;
        ASSERT_EQ(alerts.alert_flag[ALERT_AOA_90], r.stage2) << at;
        ASSERT_EQ(alerts.alert_flag[ALERT_AOA_100], r.stage3) << at;
      }
      if (ms % 1000 < 30) second_tick();
    }
    EXPECT_GT(attitude_frames, 100) << "the start-up screen ends within the run";
  }
}

}  // namespace
