#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

#include "attitude/attitude.h"
#include "core/controls.h"
#include "core/demo.h"
#include "core/firmware.h"
#include "core/modes.h"
#include "gfx/images.h"
#include "settings/settings.h"
#include "settings/startup_screen.h"
#include "tests/support/power_on.h"
#include "transponder/transponder.h"

// Counts every heap allocation of this test program, so a test can prove that a stretch of
// firmware work makes none.
namespace {
std::atomic<long> allocations{0};
}  // namespace

void* operator new(std::size_t size) {
  ++allocations;
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

class Cycle : public Started {
 protected:
  std::vector<pixel_t> frame = std::vector<pixel_t>(LAYER_PIXELS, 0);
  // Runs one refresh: passes until one composes; returns how many passes that took.
  int refresh() {
    int n = 1;
    while (!firmware_pass(frame.data())) ++n;
    return n;
  }
  void skip_startup() { startup.startup_countdown = 0; }
  pixel_t at(int x, int y) const { return frame[static_cast<std::size_t>(y) * SCREEN_W + x]; }
};

TEST_F(Cycle, FirstPassComposesThenEveryTenth) {
  EXPECT_TRUE(firmware_pass(frame.data()));
  for (int frame_no = 0; frame_no < 5; ++frame_no) {
    for (int i = 0; i < 9; ++i) EXPECT_FALSE(firmware_pass(frame.data()));
    EXPECT_TRUE(firmware_pass(frame.data()));
  }
}

TEST_F(Cycle, FirstTwoFramesStartFromClearBuffers) {
  EXPECT_EQ(cycle.initial_clear_count, 2);
  std::fill(frame.begin(), frame.end(), 0xFF123456u);
  top_layer[0] = 0xFFFFFFFF;
  refresh();
  EXPECT_EQ(cycle.initial_clear_count, 1);
  refresh();
  EXPECT_EQ(cycle.initial_clear_count, 0);
  refresh();
  EXPECT_EQ(cycle.initial_clear_count, 0);
}

TEST_F(Cycle, StartUpScreenWhateverTheUnitAndDemoStillSteps) {
  cfg_set_byte(CFG_UNIT_FUNCTION, 1);
  refresh();
  EXPECT_EQ(startup.startup_fade, 0x01010101u);
  for (int i = 0; i < 300; ++i) refresh();
  EXPECT_EQ(startup.startup_fade, 0xFFFFFFFFu);  // stops at opaque white, never wraps
  EXPECT_FALSE(startup_done());
  // The demo motion stepped once per composed frame: 301 steps from reset.
  const demo_state after = demo;
  demo_power_on();
  for (int i = 0; i < 301; ++i) demo_motion_step();
  EXPECT_EQ(after.demo_roll, demo.demo_roll);
  EXPECT_EQ(after.demo_pitch, demo.demo_pitch);
  EXPECT_EQ(after.demo_alt, demo.demo_alt);
}

TEST_F(Cycle, StartUpScreenShowsTheLogoAndTheDemoBadge) {
  refresh();
  const image_ref logo = image_lookup(IMG_STARTUP_LOGO);
  // The logo is opaque and drawn at (68, 50) with its own size.
  EXPECT_EQ(at(68 + logo.width / 2, 50 + logo.height / 2) >> 24, 0xFFu);
  EXPECT_EQ(at(5, 230), 0u);
}

TEST_F(Cycle, SecondTickTogglesBlinkAndCountsDown) {
  txp.ident_countdown = 2;
  txp.reply_indicator = 1;
  for (int s = 1; s <= 9; ++s) {
    second_tick();
    EXPECT_EQ(cycle.blink_phase, s % 2);
    EXPECT_EQ(startup.startup_countdown, std::max(0, 8 - s));
  }
  EXPECT_TRUE(startup_done());
  EXPECT_EQ(txp.ident_countdown, 0);
  EXPECT_EQ(txp.reply_indicator, 0);
}

TEST_F(Cycle, AttitudeUnitFollowsUnitFunctionAtEveryFrame) {
  skip_startup();
  refresh();
  EXPECT_EQ(cycle.unit_function, 0);
  cfg_set_byte(CFG_UNIT_FUNCTION, 1);
  refresh();
  EXPECT_EQ(cycle.unit_function, 1);
}

TEST_F(Cycle, BottomMaskWithEveryStyleOnTheAttitudeUnitButOnlyLegacyAndVintageOnDgPageThree) {
  skip_startup();
  const image_ref mask = image_lookup(IMG_BOTTOM_MASK);
  ASSERT_EQ(mask.pixels[static_cast<std::size_t>(mask.height - 1) * mask.width] >> 24, 0xFFu);
  cfg_set_byte(CFG_UI_STYLE, 1);
  refresh();
  refresh();
  EXPECT_EQ(at(0, 237), mask.pixels[static_cast<std::size_t>(24) * mask.width] | 0xFF000000u);
  cfg_set_byte(CFG_UNIT_FUNCTION, 1);
  modes.field_page = 3;
  refresh();
  EXPECT_EQ(at(0, 237), attitude.adi_ground_colour);  // no mask on this page with EFIS
}

TEST_F(Cycle, PassesAndTicksMakeNoHeapAllocation) {
  refresh();
  skip_startup();
  for (int i = 0; i < 3; ++i) refresh();
  const long before = allocations.load();
  for (int s = 0; s < 40; ++s) {
    for (int f = 0; f < 33; ++f) {
      if (f == 5) set_knob_count(1);
      if (f == 10) set_left_button(1);
      if (f == 12) set_left_button(0);
      refresh();
    }
    cfg_set_byte(CFG_UNIT_FUNCTION, static_cast<int>(s % 3 == 0));
    cfg_set_byte(CFG_UI_STYLE, s % 3);
    second_tick();
  }
  EXPECT_EQ(allocations.load(), before);
}

}  // namespace
