#include "fields/widgets.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/firmware.h"
#include "tests/support/power_on.h"

namespace {

using Widgets = Started;

// The tape's two arcs: rows at the ends and the middle of the table, where the circle about
// (160, 142) is at its widest and narrowest.
TEST_F(Widgets, TapeArcsFollowTheirCircles) {
  struct row {
    int i;
    float outer, inner;
  };
  const row rows[] = {
      {75, 53.0f, 56.0f},                                               // d = 0: 160 - 107, 160 - 104
      {0, 160.0f - std::sqrt(5824.0f), 160.0f - std::sqrt(5191.0f)},    // d = -75
      {149, 160.0f - std::sqrt(5973.0f), 160.0f - std::sqrt(5340.0f)},  // d = 74
  };
  for (const row& r : rows) {
    EXPECT_FLOAT_EQ(widgets.tape_outer_x[r.i], r.outer) << r.i;
    EXPECT_FLOAT_EQ(widgets.tape_inner_x[r.i], r.inner) << r.i;
  }
}

TEST_F(Widgets, StartUpClearsTheLatch) {
  widgets.airspeed_above_vso = 1;
  firmware_init();
  EXPECT_EQ(widgets.airspeed_above_vso, 0);
}

}  // namespace
