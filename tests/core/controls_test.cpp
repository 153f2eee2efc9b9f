#include "core/controls.h"

#include <vector>

#include "core/firmware.h"
#include "core/modes.h"
#include "settings/settings.h"
#include "tests/support/power_on.h"

namespace {

// Runs the decoder for one pass and takes its event, as the dispatcher would.
int pass() {
  decode_controls();
  const int e = controls.pending_event;
  controls.pending_event = EVT_NONE;
  return e;
}

// Runs n passes and returns the events made, with the pass number (1-based) of each.
std::vector<std::pair<int, int>> passes(int n) {
  std::vector<std::pair<int, int>> made;
  for (int i = 1; i <= n; ++i) {
    const int e = pass();
    if (e != EVT_NONE) made.emplace_back(i, e);
  }
  return made;
}

class Decoder : public PowerOn {
 protected:
  void SetUp() override {
    PowerOn::SetUp();
    cfg_load_defaults();
    controls_init();
  }
};

TEST_F(Decoder, ShortKnobPressGivesPressThenRelease) {
  set_knob_push(1);
  EXPECT_EQ(pass(), EVT_KNOB_PRESS);
  EXPECT_EQ(pass(), EVT_NONE);
  EXPECT_EQ(pass(), EVT_NONE);
  set_knob_push(0);
  EXPECT_EQ(pass(), EVT_KNOB_RELEASE);
  EXPECT_EQ(pass(), EVT_NONE);
}

TEST_F(Decoder, KnobHeldHundredPassesGivesLongAndNoRelease) {
  set_knob_push(1);
  ASSERT_EQ(pass(), EVT_KNOB_PRESS);
  const auto made = passes(150);
  ASSERT_EQ(made.size(), 1u);
  EXPECT_EQ(made[0], std::make_pair(100, static_cast<int>(EVT_KNOB_LONG)));
  set_knob_push(0);
  EXPECT_EQ(pass(), EVT_NONE);
  // The swallowed release cleared the suppression: the next short press releases normally.
  set_knob_push(1);
  EXPECT_EQ(pass(), EVT_KNOB_PRESS);
  set_knob_push(0);
  EXPECT_EQ(pass(), EVT_KNOB_RELEASE);
}

TEST_F(Decoder, LeftLongAtHundredRightLongAtHundredTwenty) {
  set_left_button(1);
  ASSERT_EQ(pass(), EVT_LEFT_PRESS);
  auto made = passes(130);
  ASSERT_EQ(made.size(), 1u);
  EXPECT_EQ(made[0], std::make_pair(100, static_cast<int>(EVT_LEFT_LONG)));
  set_left_button(0);
  EXPECT_EQ(pass(), EVT_NONE);

  set_right_button(1);
  ASSERT_EQ(pass(), EVT_RIGHT_PRESS);
  made = passes(130);
  ASSERT_EQ(made.size(), 1u);
  EXPECT_EQ(made[0], std::make_pair(120, static_cast<int>(EVT_RIGHT_LONG)));
}

TEST_F(Decoder, TwoButtonHoldAndRelease) {
  set_left_button(1);
  EXPECT_EQ(pass(), EVT_LEFT_PRESS);
  set_right_button(1);
  EXPECT_EQ(pass(), EVT_BOTH_PRESS);
  set_left_button(0);
  EXPECT_EQ(pass(), EVT_NONE);  // releasing one button makes no event
  set_right_button(0);
  EXPECT_EQ(pass(), EVT_BOTH_RELEASE);
  EXPECT_TRUE(passes(20).empty());  // no left or right release afterwards
  EXPECT_EQ(controls.both_held, 0);
}

TEST_F(Decoder, BothHeldLongPressesFollowInKnobLeftRightOrder) {
  set_left_button(1);
  set_right_button(1);
  EXPECT_EQ(pass(), EVT_BOTH_PRESS);
  const auto made = passes(200);
  ASSERT_EQ(made.size(), 2u);
  EXPECT_EQ(made[0], std::make_pair(100, static_cast<int>(EVT_LEFT_LONG)));
  // The right count does not advance in the pass in which the left one fires, so its long
  // press comes 21 passes after the left one.
  EXPECT_EQ(made[1], std::make_pair(121, static_cast<int>(EVT_RIGHT_LONG)));
  set_left_button(0);
  set_right_button(0);
  EXPECT_EQ(pass(), EVT_BOTH_RELEASE);
}

TEST_F(Decoder, SimultaneousEdgesAreTakenOnePerPass) {
  set_knob_push(1);
  set_left_button(1);
  EXPECT_EQ(pass(), EVT_KNOB_PRESS);
  EXPECT_EQ(pass(), EVT_LEFT_PRESS);
  EXPECT_EQ(pass(), EVT_NONE);
}

TEST_F(Decoder, KnobTurnWaitsBehindAButtonEvent) {
  set_right_button(1);
  set_knob_count(2);
  EXPECT_EQ(pass(), EVT_RIGHT_PRESS);
  EXPECT_EQ(controls.knob_count, 2);  // waiting
  EXPECT_EQ(pass(), EVT_KNOB_CW);
  EXPECT_EQ(knob_step(), 4);
}

TEST_F(Decoder, KnobStepAccelerates) {
  set_knob_count(1);
  EXPECT_EQ(pass(), EVT_KNOB_CW);
  EXPECT_EQ(knob_step(), 1);
  set_knob_count(-3);
  EXPECT_EQ(pass(), EVT_KNOB_CCW);
  EXPECT_EQ(knob_step(), 6);
  set_knob_count(15);
  EXPECT_EQ(pass(), EVT_KNOB_CW);
  EXPECT_EQ(knob_step(), 20);
  EXPECT_EQ(controls.last_knob_raw, 20);  // the cap is stored back
  set_knob_count(10);
  pass();
  EXPECT_EQ(knob_step(), 20);
}

TEST_F(Decoder, PendingEventStopsDecodingAndCounting) {
  set_knob_push(1);
  decode_controls();
  ASSERT_EQ(controls.pending_event, EVT_KNOB_PRESS);
  set_knob_count(1);
  for (int i = 0; i < 300; ++i) decode_controls();  // never consumed
  EXPECT_EQ(controls.pending_event, EVT_KNOB_PRESS);
  EXPECT_EQ(controls.knob.hold_count, 0);
  EXPECT_EQ(controls.knob_count, 1);
}

TEST_F(Decoder, PressEdgeRestartsHoldOfASwitchStillHeld) {
  set_knob_push(1);
  pass();
  passes(50);
  set_left_button(1);
  EXPECT_EQ(pass(), EVT_LEFT_PRESS);
  // Both counts restarted: the knob's long press is 100 passes after the left press, and it
  // comes first because the knob is counted before the left button.
  const auto made = passes(100);
  ASSERT_FALSE(made.empty());
  EXPECT_EQ(made[0], std::make_pair(100, static_cast<int>(EVT_KNOB_LONG)));
}

TEST_F(PowerOn, SwitchHeldAtStartUpMakesNoPressButReleases) {
  cfg_load_defaults();
  set_left_button(1);
  controls_init();
  EXPECT_EQ(pass(), EVT_NONE);
  set_left_button(0);
  EXPECT_EQ(pass(), EVT_LEFT_RELEASE);
}

TEST_F(PowerOn, InitCopiesUnitFunctionAndAllowsInstall) {
  cfg_load_defaults();
  cfg_set_byte(CFG_UNIT_FUNCTION, 1);
  cycle.blink_phase = 1;
  controls_init();
  EXPECT_EQ(cycle.unit_function, 1);
  EXPECT_EQ(cycle.blink_phase, 0);
  EXPECT_EQ(modes.install_allowed, 1);
}

TEST_F(Decoder, EventLogCountsEveryEventMade) {
  set_knob_count(1);
  pass();
  set_knob_count(-1);
  pass();
  set_knob_count(1);
  pass();
  EXPECT_EQ(controls_event_log.counts[EVT_KNOB_CW], 2);
  EXPECT_EQ(controls_event_log.counts[EVT_KNOB_CCW], 1);
  EXPECT_EQ(controls_event_log.total, 3);
  EXPECT_EQ(controls_event_log.last_event, EVT_KNOB_CW);
}

}  // namespace
