// The angle-of-attack indexer: ten bars lit from the bottom by the ratio, short marks for the
// dark ones, and its label.
#include "attitude/alerts.h"
#include "core/demo.h"
#include "core/filters.h"
#include "gfx/images.h"
#include "host/common/desk_platform.h"
#include "settings/settings.h"
#include "tests/attitude/helpers.h"
#include "tests/support/power_on.h"

namespace {

struct bar_spot {
  int x, y, w, h;
  int x0, x1, row;
};
// Bottom to top: where each bar's picture goes and the mark left when it is dark.
constexpr bar_spot bars[10] = {
    {78, 193, 28, 7, 91, 95, 192},  {72, 185, 28, 7, 86, 91, 184},  {69, 172, 27, 12, 82, 88, 176},
    {67, 163, 28, 12, 77, 84, 166}, {65, 151, 26, 13, 74, 82, 154}, {64, 138, 26, 13, 73, 82, 142},
    {65, 123, 26, 15, 73, 83, 128}, {66, 109, 29, 15, 76, 87, 114}, {72, 93, 31, 16, 82, 95, 99},
    {78, 77, 33, 16, 90, 104, 85},
};

bool inside_other_bar(int k, int x, int y) {
  for (int o = 0; o < 10; ++o) {
    if (o == k) continue;
    const bar_spot& b = bars[o];
    if (x >= b.x && x < b.x + b.w && y >= b.y && y < b.y + b.h) return true;
  }
  return false;
}

class AoaIndexer : public Started {
 protected:
  void SetUp() override {
    Started::SetUp();
    cfg_set_byte(CFG_DEMO_MODE, 0);
    cfg_set(CFG_AOA_HIGH_LIM, 15);
    cfg_set(CFG_AOA_LOW_LIM, 5);
    // Freshly configured and not yet ticked: the channel gives 0 and the ratio is unscaled.
    filter_configure(FILTER_AOA, 50.0f);
  }

  void draw() {
    clear_layer(top_layer);
    clear_layer(base_layer);
    draw_aoa_indexer(top_layer, base_layer, COLOUR_WHITE);
  }

  // The bar's picture is on the layer: every pixel of its rectangle that no other bar overlaps
  // equals the picture, and at least one of them is not transparent.
  static bool lit(int k) {
    const image_ref img = image_lookup(IMG_AOA_BAR_0 + k);
    const bar_spot& b = bars[k];
    int inked = 0;
    for (int j = 0; j < img.height; ++j) {
      for (int i = 0; i < img.width; ++i) {
        if (inside_other_bar(k, b.x + i, b.y + j)) continue;
        const pixel_t want = img.pixels[j * img.width + i];
        if (pixel_at(top_layer, b.x + i, b.y + j) != want) return false;
        inked += want != 0 ? 1 : 0;
      }
    }
    return inked > 0;
  }

  static bool dark(int k, pixel_t colour) {
    const bar_spot& b = bars[k];
    for (int x = b.x0; x <= b.x1; ++x) {
      if (pixel_at(top_layer, x, b.row) != colour) return false;
    }
    return true;
  }

  // Number of lit bars, checking that they are the lowest ones and the rest carry the mark.
  static int lit_count(pixel_t unlit = COLOUR_GREY) {
    int n = 0;
    while (n < 10 && lit(n)) ++n;
    for (int k = n; k < 10; ++k) {
      if (!dark(k, unlit)) return -1;
    }
    return n;
  }
};

TEST_F(AoaIndexer, BarImagesHaveTheSizesOfTheirPlaces) {
  for (int k = 0; k < 10; ++k) {
    const image_ref img = image_lookup(IMG_AOA_BAR_0 + k);
    EXPECT_EQ(img.width, bars[k].w) << k;
    EXPECT_EQ(img.height, bars[k].h) << k;
  }
}

TEST_F(AoaIndexer, HalfRatioLightsTheFiveLowestBars) {
  desk.aoa = 10.0f;
  draw();
  EXPECT_EQ(lit_count(), 5);
  desk.aoa = 9.9f;
  draw();
  EXPECT_EQ(lit_count(), 4);
}

TEST_F(AoaIndexer, FullRatioLightsAll) {
  desk.aoa = 15.0f;
  draw();
  EXPECT_EQ(lit_count(), 10);
}

// Only half and full scale are compared in single precision: 7/10 as a float lies just below the
// decimal 0.7, so the seventh bar stays dark at exactly 70 %.
TEST_F(AoaIndexer, OtherStepsCompareAgainstTheDecimalValue) {
  desk.aoa = 12.0f;
  draw();
  EXPECT_EQ(lit_count(), 6);
  desk.aoa = 12.01f;
  draw();
  EXPECT_EQ(lit_count(), 7);
}

TEST_F(AoaIndexer, EqualLimitsLightNothing) {
  cfg_set(CFG_AOA_HIGH_LIM, 8);
  cfg_set(CFG_AOA_LOW_LIM, 8);
  desk.aoa = 20.0f;
  draw();
  EXPECT_EQ(lit_count(), 0);
}

TEST_F(AoaIndexer, AngleIsLimitedToThirtyEitherWay) {
  cfg_set(CFG_AOA_HIGH_LIM, 40);
  cfg_set(CFG_AOA_LOW_LIM, 0);
  desk.aoa = 100.0f;  // read as 30: ratio 0.75
  draw();
  EXPECT_EQ(lit_count(), 7);
  cfg_set(CFG_AOA_HIGH_LIM, 0);
  cfg_set(CFG_AOA_LOW_LIM, -40);
  desk.aoa = -100.0f;  // read as -30: ratio 0.25
  draw();
  EXPECT_EQ(lit_count(), 2);
}

TEST_F(AoaIndexer, PositiveChannelOutputScalesTheRatio) {
  filters.channel[FILTER_AOA].output = 2.0f;
  desk.aoa = 7.5f;  // 0.25 doubled
  draw();
  EXPECT_EQ(lit_count(), 5);
}

TEST_F(AoaIndexer, VintageMarksDarkBarsInGold) {
  cfg_set_byte(CFG_UI_STYLE, 2);
  desk.aoa = 5.0f;
  draw();
  EXPECT_EQ(lit_count(COLOUR_GOLD), 0);
}

TEST_F(AoaIndexer, LabelIsDrawnEvenWithoutASource) {
  desk.aoa_available = false;
  desk.aoa = 15.0f;
  draw();
  EXPECT_TRUE(any_pixel_in(base_layer, 80, 195, 112, 216));
  EXPECT_FALSE(any_pixel_in(top_layer, 0, 0, SCREEN_W - 1, SCREEN_H - 1));
  EXPECT_FALSE(any_pixel_in(base_layer, 60, 70, 120, 190));  // the label layer holds no bars
}

TEST_F(AoaIndexer, DemoModeDrawsTheDemoAngleWithoutASource) {
  desk.aoa_available = false;
  cfg_set_byte(CFG_DEMO_MODE, 1);
  demo.demo_pitch = 10.0f;  // the demo's angle of attack follows its pitch
  desk.aoa = 0.0f;
  draw();
  EXPECT_EQ(lit_count(), 5);
}

}  // namespace
