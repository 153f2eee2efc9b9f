// The slip indicator: sliding out of the banner's way, the value sources, the smoothed ball
// position and the half-pixel ball.
#include "core/slip.h"

#include <cmath>

#include "core/demo.h"
#include "core/filters.h"
#include "core/modes.h"
#include "gfx/images.h"
#include "host/common/desk_platform.h"
#include "settings/settings.h"
#include "tests/attitude/helpers.h"
#include "tests/support/power_on.h"

namespace {

class Slip : public Started {
 protected:
  void SetUp() override {
    Started::SetUp();
    cfg_set_byte(CFG_DEMO_MODE, 0);
  }

  // One composed frame's worth: the indicator drawn, then the ten passes that tick the filters.
  void frame() {
    clear_layer(top_layer);
    clear_layer(base_layer);
    draw_slip_indicator(top_layer, base_layer);
    for (int i = 0; i < 10; ++i) filter_tick();
  }

  // The ball's x on the top layer, -1 if neither ball picture is found. The reference lines are
  // copied over the ball afterwards, so their columns are not compared.
  static int ball_x(int* which = nullptr) {
    const int y = 209 + slip.slip_offset;
    for (int x = 100; x <= 210; ++x) {
      for (int entry : {IMG_SLIP_BALL, IMG_SLIP_BALL_HALF}) {
        if (opaque_pixels_match(top_layer, entry, x, y, 146, 147, 174, 175)) {
          if (which) *which = entry;
          return x;
        }
      }
    }
    return -1;
  }
};

TEST_F(Slip, InitConfiguresTheFilterAndHomesTheIndicator) {
  slip.slip_offset = -20;
  filters.channel[FILTER_SLIP].acc = 500.0f;
  slip_init();
  EXPECT_EQ(slip.slip_offset, 0);
  EXPECT_EQ(filters.channel[FILTER_SLIP].k, 75.0f);
  EXPECT_EQ(filters.channel[FILTER_SLIP].acc, 0.0f);
}

TEST_F(Slip, SlidesUpThreePixelsAFrameAndBack) {
  modes.baro_popup_open = 1;
  for (int i = 1; i <= 13; ++i) {
    frame();
    EXPECT_EQ(slip.slip_offset, -3 * i) << i;
  }
  for (int i = 0; i < 5; ++i) {
    frame();
    EXPECT_EQ(slip.slip_offset, -39);  // rests one step beyond -37
  }
  // The whole indicator moved: the reference lines are copied at their raised place.
  const image_ref marker = image_lookup(IMG_SLIP_MARKER);
  EXPECT_EQ(pixel_at(top_layer, 146, 211 - 39), marker.pixels[0]);
  EXPECT_EQ(pixel_at(top_layer, 174, 211 - 39), marker.pixels[0]);
  // The glass tube is translucent: it is found by its rectangle on the base layer.
  EXPECT_TRUE(any_pixel_in(base_layer, 110, 167, 209, 191));
  EXPECT_FALSE(any_pixel_in(base_layer, 0, 192, SCREEN_W - 1, SCREEN_H - 1));

  modes.baro_popup_open = 0;
  for (int i = 1; i <= 13; ++i) {
    frame();
    EXPECT_EQ(slip.slip_offset, -39 + 3 * i) << i;
  }
  frame();
  EXPECT_EQ(slip.slip_offset, 0);
  EXPECT_TRUE(any_pixel_in(base_layer, 110, 206, 209, 230));
  EXPECT_FALSE(any_pixel_in(base_layer, 0, 0, SCREEN_W - 1, 205));
}

TEST_F(Slip, ClosingHalfwayReturnsExactlyHome) {
  modes.menu_active = 1;
  for (int i = 0; i < 5; ++i) frame();
  EXPECT_EQ(slip.slip_offset, -15);
  modes.menu_active = 0;
  for (int i = 0; i < 5; ++i) frame();
  EXPECT_EQ(slip.slip_offset, 0);
  frame();
  EXPECT_EQ(slip.slip_offset, 0);
}

TEST_F(Slip, ValueComesFromDemoSensorOrNothingWithTrim) {
  cfg_set(CFG_SLIP_TRIM, -15);  // tenths
  desk.lateral = 1.0f;
  frame();
  EXPECT_FLOAT_EQ(slip.slip_value, -0.5f);

  cfg_set_byte(CFG_DEMO_MODE, 1);
  demo.demo_slip_acc = 20.0f;  // the demo reader returns acc / 10
  frame();
  EXPECT_FLOAT_EQ(slip.slip_value, -1.5f + 2.0f);

  // Without valid sensors (and without the demo) there is no value, and no trim either.
  cfg_set_byte(CFG_DEMO_MODE, 0);
  desk.sensors_valid = false;
  frame();
  EXPECT_EQ(slip.slip_value, 0.0f);
}

TEST_F(Slip, ReadingThatIsNotANumberLeavesTheBallCentred) {
  desk.lateral = std::nanf("");
  for (int i = 0; i < 20; ++i) frame();
  EXPECT_EQ(slip.slip_value, 0.0f);
  EXPECT_EQ(filters.channel[FILTER_SLIP].output, 0.0f);
  EXPECT_EQ(ball_x(), 154);
  // The filter was not poisoned: a good reading moves the ball again.
  desk.lateral = 12.0f;
  for (int i = 0; i < 150; ++i) frame();
  EXPECT_EQ(ball_x(), 196);
}

TEST_F(Slip, LargeValueSettlesTheBallAtTheEndOfItsTravel) {
  desk.lateral = 12.0f;
  for (int i = 0; i < 150; ++i) frame();
  EXPECT_EQ(slip.slip_value, 10.0f);  // limited
  // 10 / 7 * 47 = 67.1 pixels, held to 42: x = trunc(42 + 152) + 2.
  EXPECT_EQ(ball_x(), 196);

  desk.lateral = -12.0f;
  for (int i = 0; i < 150; ++i) frame();
  EXPECT_EQ(ball_x(), 112);
}

TEST_F(Slip, InvalidSensorsLetTheBallDriftBackToTheCentre) {
  desk.lateral = 12.0f;
  for (int i = 0; i < 150; ++i) frame();
  ASSERT_EQ(ball_x(), 196);
  desk.sensors_valid = false;
  frame();
  int last = ball_x();
  EXPECT_EQ(last, 196);  // the filter answers with last tick's output first
  bool moved = false;
  for (int i = 0; i < 200; ++i) {
    frame();
    const int x = ball_x();
    ASSERT_NE(x, -1);
    EXPECT_LE(x, last);
    moved = moved || x < last;
    last = x;
  }
  EXPECT_TRUE(moved);
  EXPECT_EQ(last, 154);
}

// The ball picture is chosen by whether f rounds up; x follows trunc(f + 152) + 2. The filter's
// output is what filter_feed returns, so setting it places the ball directly.
TEST_F(Slip, HalfBallForPositionsThatRoundUp) {
  struct caseof {
    float f;
    int x;
    int entry;
  };
  const caseof cases[] = {
      {10.5f, 164, IMG_SLIP_BALL_HALF}, {10.4f, 164, IMG_SLIP_BALL}, {0.0f, 154, IMG_SLIP_BALL},
      {-1.3f, 152, IMG_SLIP_BALL_HALF}, {-1.7f, 152, IMG_SLIP_BALL}, {-0.3f, 153, IMG_SLIP_BALL},
      {41.9f, 195, IMG_SLIP_BALL_HALF}, {80.0f, 196, IMG_SLIP_BALL},
  };
  for (const caseof& c : cases) {
    filters.channel[FILTER_SLIP].output = c.f;
    clear_layer(top_layer);
    clear_layer(base_layer);
    draw_slip_indicator(top_layer, base_layer);
    int which = -1;
    EXPECT_EQ(ball_x(&which), c.x) << c.f;
    EXPECT_EQ(which, c.entry) << c.f;
  }
}

TEST_F(Slip, ReferenceLinesAreCopiedOverTheBall) {
  filters.channel[FILTER_SLIP].output = -8.0f;  // ball at x = 146, under the left line
  clear_layer(top_layer);
  clear_layer(base_layer);
  draw_slip_indicator(top_layer, base_layer);
  const image_ref marker = image_lookup(IMG_SLIP_MARKER);
  for (int j = 0; j < marker.height; ++j) {
    for (int i = 0; i < marker.width; ++i) {
      EXPECT_EQ(pixel_at(top_layer, 146 + i, 211 + j), marker.pixels[j * marker.width + i]);
      EXPECT_EQ(pixel_at(top_layer, 174 + i, 211 + j), marker.pixels[j * marker.width + i]);
    }
  }
}

}  // namespace
