#include "core/slip.h"

#include <algorithm>
#include <cmath>

#include "core/demo.h"
#include "core/filters.h"
#include "core/modes.h"
#include "core/platform.h"
#include "gfx/images.h"
#include "settings/settings.h"

slip_state slip;

namespace {

constexpr int SLIP_STEP = 3;      // pixels per frame while sliding
constexpr int SLIP_RAISED = -37;  // target offset while anything is open
constexpr float SLIP_FILTER_K = 75.0f;
constexpr float BALL_TRAVEL = 42.0f;  // pixels either side of the centre

void slide() {
  const int target = no_popup_open() ? 0 : SLIP_RAISED;
  if (slip.slip_offset < target) {
    slip.slip_offset += SLIP_STEP;
    if (slip.slip_offset > target) {
      slip.slip_offset -= SLIP_STEP;  // never overshoot downwards: rests on the step below
    }
  } else if (slip.slip_offset > target) {
    slip.slip_offset -= SLIP_STEP;
  }
}

float lateral_value() {
  const float trim = static_cast<float>(cfg_get(CFG_SLIP_TRIM)) / 10.0f;
  if (cfg_get_byte(CFG_DEMO_MODE) == 1) {
    return trim + demo_get_slip();
  }
  if (sensors_valid()) {
    // A reading that is not a number is taken as none: it would stay in the smoothing filter for
    // good and leave the ball without a place.
    const float lateral = sensor_lateral();
    if (std::isfinite(lateral)) return trim + lateral;
  }
  return 0.0f;
}

void blend_at(pixel_t* layer, int entry, int x, int y) {
  const image_ref img = image_lookup(entry);
  blend_image(layer, img.pixels, layer, SCREEN_W, SCREEN_H, x, y, img.width, img.height);
}

void copy_at(pixel_t* layer, int entry, int x, int y) {
  const image_ref img = image_lookup(entry);
  copy_image(layer, img.pixels, SCREEN_W, SCREEN_H, x, y, img.width, img.height);
}

}  // namespace

void slip_power_on() { slip = slip_state{}; }

void slip_init() {
  filter_configure(FILTER_SLIP, SLIP_FILTER_K);
  slip.slip_offset = 0;
}

void draw_slip_indicator(pixel_t* top, pixel_t* base) {
  slide();
  slip.slip_value = lateral_value();

  blend_at(base, IMG_SLIP_TUBE, 160 - 100 / 2, 206 + slip.slip_offset);

  slip.slip_value = std::clamp(slip.slip_value, -10.0f, 10.0f);
  float f = filter_feed(FILTER_SLIP, slip.slip_value / 7.0f * 47.0f);
  f = std::clamp(f, -BALL_TRAVEL, BALL_TRAVEL);

  // The ball image is 16 wide and sits in the 100-pixel tube at x = 110.
  const int x = static_cast<int>(f + 110.0f + 50.0f - 8.0f) + 2;
  const int y = 209 + slip.slip_offset;
  // Truncation, not rounding: the half ball shows in the upper half of each pixel step.
  const bool half = static_cast<int>(f + 0.5f) > static_cast<int>(f);  // NOLINT(bugprone-incorrect-roundings)
  blend_at(top, half ? IMG_SLIP_BALL_HALF : IMG_SLIP_BALL, x, y);

  copy_at(top, IMG_SLIP_MARKER, 146, 211 + slip.slip_offset);
  copy_at(top, IMG_SLIP_MARKER, 174, 211 + slip.slip_offset);
}
