// The attitude picture's saved work: the one-pass sky and ground against the plain two-pass fill,
// and the pictures kept between frames, which must be drawn again whenever an input changes.
#include <algorithm>
#include <cmath>
#include <vector>

#include "attitude/attitude.h"
#include "gfx/images.h"
#include "gfx/primitives.h"
#include "host/common/desk_platform.h"
#include "settings/settings.h"
#include "tests/support/power_on.h"

namespace {

constexpr float DEG = 0.017453292f;

// The plain fill: ground over the whole layer, then the sky's spans and rectangle over it.
void sky_ground_two_pass(pixel_t* base, float roll, float pf) {
  const float c = attitude.roll_cos, s = attitude.roll_sin, h = 2.0f * pf;
  float x0 = -320.0f * c - h * s, y0 = -320.0f * s + h * c, x1 = 320.0f * c - h * s, y1 = 320.0f * s + h * c;
  const pixel_t sky = attitude.adi_sky_colour;
  fill_rect(base, 0, 0, SCREEN_W, SCREEN_H, attitude.adi_ground_colour);
  clip_line(x0, y0, x1, y1, -160, 160, 140, -140);
  const int top = static_cast<int>(std::min(y0, y1) + 121.0f);
  const int bottom = static_cast<int>(std::max(y0, y1) + 120.0f);
  const float sx0 = x0 + 160.0f, sy0 = y0 + 140.0f, dx = (x1 + 160.0f) - sx0, dy = (y1 + 140.0f) - sy0;
  if (static_cast<int>(std::fabs(dy)) >= 1) {
    const bool x_major = static_cast<int>(std::fabs(dx)) > static_cast<int>(std::fabs(dy));
    const float k = x_major ? dy / dx : dx / dy;
    const int n = static_cast<int>(x_major ? dx : dy);
    const int step = (x_major ? dx : dy) > 0.0f ? 1 : -1;
    const int last = !x_major && static_cast<int>(sy0 + static_cast<float>(n)) == 0 ? n + step : n;
    for (int j = 0; j != last; j += step) {
      const float fj = static_cast<float>(j);
      const int x = static_cast<int>(x_major ? sx0 + fj : sx0 + fj * k);
      const int y = static_cast<int>(x_major ? sy0 + fj * k : sy0 + fj);
      if (y >= SCREEN_H) continue;
      if (roll < 0.0f) draw_hspan(base, SCREEN_W, SCREEN_H, 0, x_major ? x - 1 : x, y, sky);
      if (roll > 0.0f) draw_hspan(base, SCREEN_W, SCREEN_H, x, 319, y, sky);
    }
  }
  const bool upright = roll > -90.0f && roll < 90.0f;
  if (top + 20 > 0 && upright && !(std::min(y0, y1) <= -140.0f)) {
    fill_rect(base, 0, 0, SCREEN_W, std::min(top + 21, SCREEN_H), sky);
  }
  if (bottom - 1 < 219 && !upright) fill_rect(base, 0, bottom + 19, SCREEN_W, 221 - bottom, sky);
}

class AttitudeReuse : public Started {
 protected:
  void SetUp() override {
    Started::SetUp();
    cfg_set_byte(CFG_DEMO_MODE, 0);
  }
  static void turn_to(float roll) {
    attitude.attitude_roll = roll;
    attitude.roll_sin = static_cast<float>(std::sin(static_cast<double>(roll * DEG)));
    attitude.roll_cos = static_cast<float>(std::cos(static_cast<double>(roll * DEG)));
  }
  static std::vector<pixel_t> draw_top(float roll, float pitch) {
    desk.roll = -roll;
    desk.pitch = pitch;
    clear_layer(top_layer);
    clear_layer(base_layer);
    draw_attitude(top_layer, base_layer);
    return {top_layer, top_layer + LAYER_PIXELS};
  }
};

// Every roll in steps that land on and beside the axes and diagonals, every fill pitch in half
// degrees, and a few pitches near the limits: the layers must be equal pixel for pixel, including
// over stale contents (the one-pass fill must write every pixel).
TEST_F(AttitudeReuse, OnePassSkyAndGroundEqualsTheTwoPassFill) {
  static pixel_t want[LAYER_PIXELS];
  const float pitches[] = {-50.0f, -49.7f, -31.25f, -12.0f, -0.5f, 0.0f, 0.26f, 7.0f, 18.4f, 24.9f, 25.0f};
  int compared = 0;
  for (float roll = -180.0f; roll <= 180.0f; roll += 2.25f) {
    for (const float pf : pitches) {
      for (const float r : {roll, roll + 0.01f, std::nextafter(roll, 0.0f)}) {
        if (r > 180.0f) continue;
        attitude.adi_sky_colour = 0xFF3878A8;
        attitude.adi_ground_colour = 0xFF603C04;
        turn_to(r);
        std::fill(want, want + LAYER_PIXELS, 0x12345678u);
        std::fill(base_layer, base_layer + LAYER_PIXELS, 0x87654321u);
        sky_ground_two_pass(want, r, pf);
        draw_sky_ground(base_layer, r, pf);
        ASSERT_TRUE(std::equal(want, want + LAYER_PIXELS, base_layer)) << "roll " << r << " pitch " << pf;
        ++compared;
      }
    }
  }
  EXPECT_GT(compared, 4000);
}

// The roll mark is drawn into its scratch once; power-on forgets it, so a scratch that was
// overwritten in between is drawn afresh, and the frames are those of a fresh start.
TEST_F(AttitudeReuse, RollMarkIsDrawnOnceAndAgainAfterPowerOn) {
  EXPECT_FALSE(attitude.mark_ready);
  const std::vector<pixel_t> first = draw_top(12.0f, 3.0f);
  ASSERT_TRUE(attitude.mark_ready);
  const std::vector<pixel_t> scratch(attitude.mark_scratch, attitude.mark_scratch + 32 * 32);
  EXPECT_TRUE(std::any_of(scratch.begin(), scratch.end(), [](pixel_t p) { return p != 0; }));
  std::fill(std::begin(attitude.mark_scratch), std::end(attitude.mark_scratch), 0xFFFF0000u);
  draw_top(-20.0f, 1.0f);
  EXPECT_NE(attitude.mark_scratch[0], scratch[0]) << "the kept picture is used as it stands";
  attitude_power_on();
  EXPECT_FALSE(attitude.mark_ready);
  EXPECT_EQ(draw_top(12.0f, 3.0f), first);
  EXPECT_TRUE(std::equal(scratch.begin(), scratch.end(), attitude.mark_scratch));
}

// The picture does not depend on what was drawn before it: the same attitude after a run of
// others gives the same top layer as straight after power-on.
TEST_F(AttitudeReuse, KeptPicturesNeverChangeTheFrame) {
  const float rolls[] = {0.0f, 12.5f, -33.0f, 95.0f, -170.0f};
  const float pitches[] = {0.0f, 4.0f, -17.0f, 22.0f};
  for (const float roll : rolls) {
    for (const float pitch : pitches) {
      attitude_power_on();
      const std::vector<pixel_t> fresh = draw_top(roll, pitch);
      draw_top(roll + 40.0f, -pitch);
      draw_top(roll, pitch + 10.0f);
      EXPECT_EQ(draw_top(roll, pitch), fresh) << roll << " " << pitch;
    }
  }
}

}  // namespace
