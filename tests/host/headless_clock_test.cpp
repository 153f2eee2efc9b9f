// The virtual clock: refreshes every 30 ms that run passes until one composes, a tick every
// 1000 ms, and the order on the milliseconds they share.
#include <gtest/gtest.h>

#include "core/controls.h"
#include "core/firmware.h"
#include "host/headless/runner.h"
#include "settings/startup_screen.h"
#include "tests/support/power_on.h"

namespace {

using headless::virtual_instrument;

class HeadlessClock : public PowerOn {};

TEST_F(HeadlessClock, TheFirstRefreshIsAt30msAndItsFirstPassComposes) {
  virtual_instrument inst;
  EXPECT_EQ(inst.now_ms(), 0);
  ASSERT_TRUE(inst.advance_to(29));
  EXPECT_EQ(inst.clock().passes, 0);
  EXPECT_EQ(inst.clock().frames, 0);
  EXPECT_EQ(inst.now_ms(), 29);
  ASSERT_TRUE(inst.advance_to(30));
  EXPECT_EQ(inst.clock().passes, 1);  // the very first pass composes
  EXPECT_EQ(inst.clock().frames, 1);
  ASSERT_TRUE(inst.advance_to(60));
  EXPECT_EQ(inst.clock().passes, 11);  // then ten passes a refresh
  EXPECT_EQ(inst.clock().frames, 2);
}

TEST_F(HeadlessClock, OneSecondHoldsThirtyThreeFramesAndOneTick) {
  virtual_instrument inst;
  ASSERT_TRUE(inst.advance_to(999));
  EXPECT_EQ(startup.startup_countdown, 8);
  EXPECT_EQ(cycle.blink_phase, 0);
  ASSERT_TRUE(inst.advance_to(1000));
  EXPECT_EQ(startup.startup_countdown, 7);
  EXPECT_EQ(cycle.blink_phase, 1);
  EXPECT_EQ(inst.clock().frames, 33);  // 30, 60, ..., 990
  EXPECT_EQ(inst.clock().passes, 1 + 32 * 10);
}

TEST_F(HeadlessClock, OnASharedMillisecondTheFrameComesBeforeTheTick) {
  virtual_instrument inst;
  int countdown_at_frame_100 = -1;
  inst.on_frame = [&](std::int64_t n) {
    if (n == 100) countdown_at_frame_100 = startup.startup_countdown;
    return true;
  };
  ASSERT_TRUE(inst.advance_to(3000));    // frame 100 and the third tick both fall on 3000 ms
  EXPECT_EQ(countdown_at_frame_100, 6);  // two ticks done when the frame was composed
  EXPECT_EQ(startup.startup_countdown, 5);
}

TEST_F(HeadlessClock, TheStartUpScreenEndsAtEightSeconds) {
  virtual_instrument inst;
  ASSERT_TRUE(inst.advance_to(7999));
  EXPECT_FALSE(startup_done());
  ASSERT_TRUE(inst.advance_to(8000));
  EXPECT_TRUE(startup_done());
}

TEST_F(HeadlessClock, TimeNeverRunsBackwards) {
  virtual_instrument inst;
  ASSERT_TRUE(inst.advance_to(500));
  const auto frames = inst.clock().frames;
  ASSERT_TRUE(inst.advance_to(100));
  EXPECT_EQ(inst.now_ms(), 500);
  EXPECT_EQ(inst.clock().frames, frames);
  ASSERT_TRUE(inst.advance_by(0));
  EXPECT_EQ(inst.clock().frames, frames);
}

TEST_F(HeadlessClock, StepRunsTheNextDueEventOnly) {
  virtual_instrument inst;
  ASSERT_TRUE(inst.step());
  EXPECT_EQ(inst.now_ms(), 30);
  ASSERT_TRUE(inst.advance_to(990));
  ASSERT_TRUE(inst.step());  // the tick at 1000 ms comes before the refresh at 1020 ms
  EXPECT_EQ(inst.now_ms(), 1000);
  EXPECT_EQ(cycle.blink_phase, 1);
  EXPECT_EQ(inst.clock().frames, 33);
}

TEST_F(HeadlessClock, AFrameCallbackThatFailsStopsTheClock) {
  virtual_instrument inst;
  inst.on_frame = [](std::int64_t n) { return n < 3; };
  EXPECT_FALSE(inst.advance_to(1000));
  EXPECT_EQ(inst.clock().frames, 3);
  EXPECT_EQ(inst.now_ms(), 90);
}

TEST_F(HeadlessClock, ATapIsReleasedAsSoonAsTheDecoderHasTakenThePress) {
  virtual_instrument inst;
  ASSERT_TRUE(inst.advance_to(9000));
  bool clock_ok = false;
  EXPECT_TRUE(headless::tap_control(inst, headless::control_id::left, headless::TAP_LIMIT_MS, &clock_ok));
  EXPECT_TRUE(clock_ok);
  EXPECT_EQ(inst.now_ms(), 9030);
  EXPECT_EQ(get_left_button(), 0);
  EXPECT_EQ(controls.left.down, 1);  // the release is for the next pass to see
}

TEST_F(HeadlessClock, ATapThatIsNeverTakenGivesUpAtItsBoundAndStillReleases) {
  virtual_instrument inst;
  // An event that can never be handed on holds the decoder: the start-up screen never ends.
  startup.startup_countdown = 1000;
  controls.pending_event = EVT_RIGHT_PRESS;
  bool clock_ok = false;
  EXPECT_FALSE(headless::tap_control(inst, headless::control_id::knob, 2000, &clock_ok));
  EXPECT_TRUE(clock_ok);
  EXPECT_EQ(inst.now_ms(), 2000);
  EXPECT_EQ(get_knob_push(), 0);
  EXPECT_EQ(controls.knob.down, 0);
}

TEST_F(HeadlessClock, ATapOfASwitchAlreadyTakenDoesNotWait) {
  virtual_instrument inst;
  ASSERT_TRUE(inst.advance_to(9000));
  set_knob_push(1);
  ASSERT_TRUE(inst.advance_to(9030));
  bool clock_ok = false;
  EXPECT_TRUE(headless::tap_control(inst, headless::control_id::knob, headless::TAP_LIMIT_MS, &clock_ok));
  EXPECT_EQ(inst.now_ms(), 9030);
  EXPECT_EQ(get_knob_push(), 0);
}

TEST_F(HeadlessClock, EachInstrumentStartsFromPowerOn) {
  {
    virtual_instrument first;
    ASSERT_TRUE(first.advance_to(5000));
    set_knob_count(3);
  }
  virtual_instrument second;
  EXPECT_EQ(startup.startup_countdown, 8);
  EXPECT_EQ(controls.knob_count, 0);
  EXPECT_EQ(cycle.present_countdown, 1);
}

}  // namespace
