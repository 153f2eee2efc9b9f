// The window's mouse, wheel and keys as the firmware's control decoder sees them: the actions of
// the pointer mapping applied to a started instrument, then passes run as the window runs them.
#include <SDL_keycode.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/controls.h"
#include "core/firmware.h"
#include "core/modes.h"
#include "gfx/layers.h"
#include "host/desktop/control_bridge.h"
#include "host/desktop/input_map.h"
#include "host/desktop/presenter.h"
#include "settings/settings.h"
#include "settings/setup_rows.h"
#include "settings/startup_screen.h"
#include "tests/support/power_on.h"

namespace {

pixel_t frame[LAYER_PIXELS];

class WindowControls : public Started {
 protected:
  void SetUp() override {
    Started::SetUp();
    // Past the start-up screen, while events are dispatched and cleared pass by pass.
    for (int s = 0; s < 8; ++s) second_tick();
    reset_deferred_releases();
  }
  // Passes as the window runs them, each followed by the release of a click the decoder has taken.
  void passes(int n) {
    for (int i = 0; i < n; ++i) {
      firmware_pass(frame);
      settle_deferred_releases();
    }
  }
  void click(int x, int y) {
    apply_control_action(pointer_press(&pointer, x, y));
    passes(3);
    apply_control_action(pointer_release(&pointer, x, y));
    passes(3);
  }
  long count(int code) const { return controls_event_log.counts[code]; }
  pointer_state pointer;
};

TEST_F(WindowControls, ClickOnTheKnobsRightZoneMakesExactlyOneClockwiseDetentOfStepOne) {
  apply_control_action(pointer_press(&pointer, 250, 390));
  passes(1);
  EXPECT_EQ(controls_event_log.last_event, EVT_KNOB_CW);
  EXPECT_EQ(knob_step(), 1);
  apply_control_action(pointer_release(&pointer, 250, 390));
  passes(20);
  EXPECT_EQ(count(EVT_KNOB_CW), 1);
  EXPECT_EQ(count(EVT_KNOB_CCW), 0);
  EXPECT_EQ(controls.knob_count, 0);
}

TEST_F(WindowControls, ClickFasterThanAPassStillPressesAndReleases) {
  // Pressed and released between two passes: the release waits until the press has been taken.
  apply_control_action(pointer_press(&pointer, 176, 404));
  apply_control_action(pointer_release(&pointer, 176, 404));
  EXPECT_EQ(get_left_button(), 1);
  passes(1);
  EXPECT_EQ(count(EVT_LEFT_PRESS), 1);
  EXPECT_EQ(get_left_button(), 0);
  passes(1);
  EXPECT_EQ(count(EVT_LEFT_RELEASE), 1);
  EXPECT_EQ(count(EVT_LEFT_LONG), 0);
}

TEST_F(WindowControls, QuickTapDuringTheStartUpScreenIsTakenWhenItEnds) {
  startup.startup_countdown = 3;
  apply_control_action(pointer_press(&pointer, 232, 422));
  apply_control_action(pointer_release(&pointer, 232, 422));
  passes(200);
  EXPECT_EQ(get_knob_push(), 0);  // taken at once: the pending press holds the rest
  EXPECT_EQ(count(EVT_KNOB_PRESS), 1);
  for (int s = 0; s < 3; ++s) second_tick();
  passes(3);
  EXPECT_EQ(count(EVT_KNOB_RELEASE), 1);
}

TEST_F(WindowControls, ClickOnTheLeftZoneTurnsCounterClockwise) {
  click(205, 385);
  EXPECT_EQ(count(EVT_KNOB_CCW), 1);
  EXPECT_EQ(count(EVT_KNOB_CW), 0);
}

TEST_F(WindowControls, TwoClicksBetweenPassesCountAsOneDetentAsOnTheInstrumentsHost) {
  // Each click replaces the detent count; the decoder takes it at the next pass.
  apply_control_action(pointer_press(&pointer, 250, 390));
  apply_control_action(pointer_release(&pointer, 250, 390));
  apply_control_action(pointer_press(&pointer, 250, 390));
  apply_control_action(pointer_release(&pointer, 250, 390));
  passes(5);
  EXPECT_EQ(count(EVT_KNOB_CW), 1);
  EXPECT_EQ(knob_step(), 1);
}

TEST_F(WindowControls, WheelNotchesBetweenPassesAddUpAndSpeedTheKnob) {
  for (int i = 0; i < 3; ++i) apply_control_action(wheel_action(1, false));
  passes(1);
  EXPECT_EQ(count(EVT_KNOB_CW), 1);
  EXPECT_EQ(knob_step(), 6);  // three detents in one pass
  apply_control_action(wheel_action(1, false));
  apply_control_action(wheel_action(-1, false));
  passes(5);
  EXPECT_EQ(count(EVT_KNOB_CW), 1);  // there and back again before a pass: no turn
  EXPECT_EQ(count(EVT_KNOB_CCW), 0);
}

TEST_F(WindowControls, QueuedDetentsAreBounded) {
  for (int i = 0; i < 1000; ++i) apply_control_action(wheel_action(-1, false));
  EXPECT_EQ(controls.knob_count, -MAX_QUEUED_DETENTS);
  passes(1);
  EXPECT_EQ(count(EVT_KNOB_CCW), 1);
  EXPECT_EQ(knob_step(), 20);
}

TEST_F(WindowControls, KnobPushClickMakesPressThenRelease) {
  click(232, 422);
  EXPECT_EQ(count(EVT_KNOB_PRESS), 1);
  EXPECT_EQ(count(EVT_KNOB_RELEASE), 1);
  EXPECT_EQ(get_knob_push(), 0);
}

TEST_F(WindowControls, LeftButtonReleasedOutsideStaysHeldAndLongPressFollows) {
  apply_control_action(pointer_press(&pointer, 176, 404));
  passes(2);
  apply_control_action(pointer_release(&pointer, 400, 600));
  passes(LEFT_LONG_PASSES + 10);
  EXPECT_EQ(get_left_button(), 1);
  EXPECT_EQ(count(EVT_LEFT_PRESS), 1);
  EXPECT_EQ(count(EVT_LEFT_LONG), 1);
  EXPECT_EQ(count(EVT_LEFT_RELEASE), 0);
  // Pressed and released in its area again, it lets go (the long press swallowed the release).
  click(176, 404);
  EXPECT_EQ(get_left_button(), 0);
  EXPECT_EQ(count(EVT_LEFT_RELEASE), 0);
  EXPECT_EQ(count(EVT_LEFT_PRESS), 1);
}

TEST_F(WindowControls, HeldLeftButtonAndAClickOnTheRightMakeATwoButtonPress) {
  apply_control_action(pointer_press(&pointer, 176, 404));
  passes(2);
  apply_control_action(pointer_release(&pointer, 10, 10));
  click(291, 404);
  EXPECT_EQ(count(EVT_BOTH_PRESS), 1);
  EXPECT_EQ(get_left_button(), 1);
  EXPECT_EQ(get_right_button(), 0);
  click(176, 404);
  EXPECT_EQ(count(EVT_BOTH_RELEASE), 1);
  EXPECT_EQ(count(EVT_LEFT_RELEASE), 0);
  EXPECT_EQ(count(EVT_RIGHT_RELEASE), 0);
}

TEST_F(WindowControls, KeysWorkTheSwitchesByLevel) {
  apply_control_action(map_key(SDLK_RETURN, KMOD_NONE, true, false).action);
  passes(3);
  apply_control_action(map_key(SDLK_RETURN, KMOD_NONE, true, true).action);  // auto-repeat
  passes(3);
  apply_control_action(map_key(SDLK_RETURN, KMOD_NONE, false, false).action);
  passes(3);
  EXPECT_EQ(count(EVT_KNOB_PRESS), 1);
  EXPECT_EQ(count(EVT_KNOB_RELEASE), 1);
  apply_control_action(map_key(SDLK_d, KMOD_NONE, true, false).action);
  passes(RIGHT_LONG_PASSES + 5);
  EXPECT_EQ(count(EVT_RIGHT_LONG), 1);
  apply_control_action(map_key(SDLK_d, KMOD_NONE, false, false).action);
  passes(3);
  EXPECT_EQ(get_right_button(), 0);
}

TEST_F(WindowControls, StateLineShowsLevelsAndEventCounts) {
  click(250, 390);
  apply_control_action(pointer_press(&pointer, 176, 404));
  passes(2);
  sim_counters c;
  c.passes = 1234;
  c.frames = 123;
  c.seconds = 9;
  const std::string line = format_state_line(c);
  EXPECT_EQ(line.rfind("state: ", 0), 0u) << line;
  for (const char* part : {" startup=0 ", " paused=0 ", " passes=1234 ", " frames=123 ", " seconds=9 ", " left=1 ",
                           " right=0 ", " knob_push=0 ", " knob_count=0 ", " EVT_KNOB_CW=1 ", " EVT_KNOB_CCW=0",
                           " EVT_LEFT_PRESS=1 ", " events=2 ", " last=EVT_LEFT_PRESS "}) {
    EXPECT_NE(line.find(part), std::string::npos) << part << " in " << line;
  }
  EXPECT_EQ(line.find('\n'), std::string::npos);
}

TEST_F(WindowControls, StateLineNamesUnitPageWhatIsOpenAndTheSetupRow) {
  struct view_case {
    const char* name;
    void (*arrange)();
    std::vector<const char*> parts;
  };
  const std::vector<view_case> cases = {
      {"start", [] {}, {" unit=AI ", " page=0 ", " open=none ", " setup_row=none"}},
      {"dg page 2",
       [] {
         cfg_set(CFG_UNIT_FUNCTION, 1);
         modes.field_page = 2;
       },
       {" unit=DG ", " page=2 "}},
      {"menu", [] { modes.menu_active = 1; }, {" open=MENU "}},
      {"baro and brightness",
       [] {
         modes.baro_popup_open = 1;
         modes.brightness_popup_open = 1;
       },
       {" open=SET_BARO+BRT "}},
      {"install row",
       [] {
         modes.setup_active = 1;
         modes.install_mode = 1;
         modes.setup_row = 3;
       },
       {" open=INSTALL ", " setup_row=3:"}},
      {"setup title",
       [] {
         modes.setup_active = 1;
         modes.setup_row = -1;
       },
       {" open=SETUP ", " setup_row=none"}},
  };
  for (const view_case& c : cases) {
    modes_power_on();
    cfg_set(CFG_UNIT_FUNCTION, 0);
    c.arrange();
    const std::string line = format_state_line(sim_counters{});
    for (const char* part : c.parts)
      EXPECT_NE(line.find(part), std::string::npos) << c.name << ": " << part << " in " << line;
  }
  // The row is named by its label, blanks as '_'.
  modes.setup_active = 1;
  modes.setup_row = 3;
  std::string label = setup_rows[3].label;
  std::replace(label.begin(), label.end(), ' ', '_');
  EXPECT_NE(format_state_line(sim_counters{}).find(" setup_row=3:" + label), std::string::npos);
  modes_power_on();
}

TEST_F(WindowControls, HeldSwitchesAreTheLevelsTheFirmwareReads) {
  EXPECT_EQ(held_switch_areas(), 0u);
  // A left click whose release slipped outside keeps the button held, so it stays lit.
  apply_control_action(pointer_press(&pointer, 176, 404));
  passes(3);
  apply_control_action(pointer_release(&pointer, 420, 600));
  passes(3);
  apply_control_action(map_key(SDLK_RETURN, KMOD_NONE, true, false).action);
  EXPECT_EQ(held_switch_areas(),
            touch_bit(static_cast<int>(touch_area::left_button)) | touch_bit(static_cast<int>(touch_area::knob_push)));
  apply_control_action(map_key(SDLK_RETURN, KMOD_NONE, false, false).action);
  passes(3);
  EXPECT_EQ(held_switch_areas(), touch_bit(static_cast<int>(touch_area::left_button)));
}

TEST_F(Started, StateLineCountsDownTheStartUpScreen) {
  second_tick();
  const std::string line = format_state_line(sim_counters{});
  EXPECT_NE(line.find(" startup=7 "), std::string::npos) << line;
}

}  // namespace
