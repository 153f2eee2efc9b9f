// The tile bookkeeping of the top layer: what writers mark, what the clear and the whole-layer
// blends do with the marks, and the check that a region marked clear is clear.
#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <vector>

#include "gfx/images.h"
#include "gfx/layers.h"
#include "gfx/primitives.h"
#include "gfx/text.h"
#include "tests/support/power_on.h"

namespace {

class LayerTiles : public PowerOn {};

int marked_tile_count() {
  int n = 0;
  for (std::uint32_t row : layer_tiles.top_rows) n += std::popcount(row);
  return n;
}

int inked_pixels() {
  int n = 0;
  for (int i = 0; i < LAYER_PIXELS; ++i) n += top_layer[i] != 0;
  return n;
}

// Every writer, called on the top layer as the pages call it and at the edges where clipping and
// clamping decide what is written. Each must leave every written pixel inside a marked tile.
struct writer_case {
  const char* name;
  std::function<void()> draw;
};

const std::uint8_t grey4[4 * 3] = {0xF1, 0x2F, 0x8F, 0xF8, 0x11, 0x11, 0xFF, 0xFF, 0x0F, 0xF0, 0xAA, 0x55};
const pixel_t small[3 * 2] = {0xFFFFFFFF, 0x80FF0000, 0x00000000, 0x01000001, 0xFF00FF00, 0x7F7F7F7F};

const std::vector<writer_case>& writer_cases() {
  static const std::vector<writer_case> cases = {
      {"put_pixel at the last pixel", [] { put_pixel(top_layer, 320, 240, 319, 239, COLOUR_RED); }},
      {"put_pixel_unchecked on a tile edge", [] { put_pixel_unchecked(top_layer, 320, 240, 16, 0, COLOUR_RED); }},
      {"fill_rect at the right edge", [] { fill_rect(top_layer, 310, 100, 10, 3, COLOUR_GREEN); }},
      {"fill_layer", [] { fill_layer(top_layer, 320, 240, 0x01020304); }},
      {"copy_image", [] { copy_image(top_layer, small, 320, 240, 15, 7, 3, 2); }},
      {"blend_image in place", [] { blend_image(top_layer, small, top_layer, 320, 240, 317, 238, 3, 2); }},
      {"draw_hspan from x = -2", [] { draw_hspan(top_layer, 320, 240, -2, 5, 239, COLOUR_WHITE); }},
      {"draw_hspan wholly right of the screen", [] { draw_hspan(top_layer, 320, 240, 400, 350, 7, COLOUR_WHITE); }},
      {"draw_hspan on a row beyond the screen", [] { draw_hspan(top_layer, 320, 240, 30, 40, 300, COLOUR_WHITE); }},
      {"fill_box with its corners swapped", [] { fill_box(top_layer, 320, 240, 50, 239, 31, 236, COLOUR_CYAN); }},
      {"dim_box over a filled layer",
       [] {
         fill_layer(top_layer, 320, 240, COLOUR_WHITE);
         clear_layer(top_layer);
         fill_rect(top_layer, 0, 0, 40, 40, COLOUR_WHITE);
         dim_box(top_layer, 320, 240, -5, -5, 20, 20, 0.5);
       }},
      {"fill_disc across the corner", [] { fill_disc(top_layer, 320, 240, 318, 238, 6, COLOUR_BLUE); }},
      {"draw_line_aa steep near the left edge",
       [] { draw_line_aa(top_layer, 320, 240, -0.6f, 3.0f, 1.2f, 230.0f, COLOUR_WHITE); }},
      {"draw_line_aa shallow just above the screen",
       [] { draw_line_aa(top_layer, 320, 240, -30.0f, -0.4f, 300.0f, 2.7f, COLOUR_WHITE); }},
      {"draw_line_aa shallow just below the screen",
       [] { draw_line_aa(top_layer, 320, 240, 10.0f, 239.6f, 330.0f, 241.5f, COLOUR_WHITE); }},
      {"draw_line_aa through the whole screen",
       [] { draw_line_aa(top_layer, 320, 240, -100.0f, 300.0f, 400.0f, -50.0f, COLOUR_YELLOW); }},
      {"draw_image_rotated at the top edge",
       [] {
         image_transform t{};
         rotate_matrix(t, 0.7f);
         const image_ref img = image_lookup(IMG_ROLL_POINTER);
         draw_image_rotated(top_layer, 320, 240, img.pixels, img.width, img.height, 150.0f, 2.0f, t, 1.0f);
       }},
      {"draw_image_transformed stored, scaled down",
       [] {
         image_transform t{};
         scale_matrix(t, 0.5f);
         rotate_matrix(t, -2.0f);
         const image_ref img = image_lookup(IMG_FAIL_FLAG);
         draw_image_transformed(top_layer, 320, 240, img.pixels, img.width, img.height, 300.0f, 200.0f, t, 0.0f);
       }},
      {"stamp_image_transformed twice",
       [] {
         const float xs[2] = {10.5f, 250.25f};
         const float ys[2] = {230.0f, 5.0f};
         image_transform t{};
         rotate_matrix(t, 0.3f);
         stamp_image_transformed(top_layer, 320, 240, small, 3, 2, xs, ys, t, 1, 2);
       }},
      {"blit_image_clipped from x = -2", [] { blit_image_clipped(top_layer, 320, 240, small, 3, 2, -2, 238); }},
      {"draw_grey4_image at the bottom right", [] { draw_grey4_image(top_layer, 320, 240, grey4, 4, 3, 318, 238); }},
      {"draw_alpha4_image on the last row",
       [] { draw_alpha4_image(top_layer, 320, 240, grey4, 4, 3, 100, 238, COLOUR_RED); }},
      {"draw_rgb444_image",
       [] {
         const std::uint16_t words[4] = {0x0FFF, 0x0F00, 0x00F0, 0x000F};
         draw_rgb444_image(top_layer, 320, 240, words, 2, 2, 47, 0);
       }},
      {"draw_text from x = -2", [] { draw_text(top_layer, 320, 240, 5, -2, 225, COLOUR_WHITE, "W8"); }},
      {"draw_text_right at the edge", [] { draw_text_right(top_layer, 320, 240, 7, 320, 100, COLOUR_WHITE, "88"); }},
      {"blend_catalogue_image", [] { blend_catalogue_image(top_layer, IMG_BOTTOM_MASK, 0, 213); }},
  };
  return cases;
}

TEST_F(LayerTiles, EveryWriterMarksWhatItWritesAndTheClearTakesItAllAway) {
  for (const writer_case& c : writer_cases()) {
    restore_power_on();
    c.draw();
    ASSERT_GT(inked_pixels(), 0) << c.name << " drew nothing: the case proves nothing";
    EXPECT_TRUE(top_tiles_hold()) << c.name << " wrote outside its marks";
    clear_layer(top_layer);
    EXPECT_EQ(inked_pixels(), 0) << c.name;
    EXPECT_EQ(marked_tile_count(), 0) << c.name;
  }
}

TEST_F(LayerTiles, WritersIntoOtherBuffersMarkNothing) {
  std::vector<pixel_t> image(320 * 240);
  fill_rect(image.data(), 0, 0, 320, 240, COLOUR_WHITE);
  draw_line_aa(image.data(), 320, 240, 0.0f, 0.0f, 319.0f, 239.0f, COLOUR_RED);
  draw_text(image.data(), 320, 240, 5, 10, 10, COLOUR_WHITE, "A");
  fill_layer(base_layer, 320, 240, COLOUR_WHITE);
  put_pixel(aircraft_outline, 320, 240, 5, 5, COLOUR_WHITE);
  EXPECT_EQ(marked_tile_count(), 0);
}

// The marking itself: which tiles of which rows a rectangle marks, at and beyond the edges.
TEST_F(LayerTiles, MarksAreTheClampedRectangleInWholeTiles) {
  constexpr float nan = std::numeric_limits<float>::quiet_NaN();
  constexpr float inf = std::numeric_limits<float>::infinity();
  struct mark_case {
    const char* name;
    std::function<void()> mark;
    int y0, y1;          // rows expected marked (y0 > y1: none)
    std::uint32_t bits;  // the same tiles in each of them
  };
  const mark_case cases[] = {
      {"one pixel", [] { mark_top_tiles(17, 3, 17, 3); }, 3, 3, 0x2u},
      {"a tile's last and the next's first column", [] { mark_top_tiles(15, 0, 16, 0); }, 0, 0, 0x3u},
      {"clipped at x = -2 and y = 239", [] { mark_top_tiles(-2, 239, 3, 300); }, 239, 239, 0x1u},
      {"the 320-pixel edge", [] { mark_top_tiles(304, 10, 400, 11); }, 10, 11, 0x80000u},
      {"wholly beyond the right edge", [] { mark_top_tiles(330, 5, 340, 5); }, 5, 5, 0x80000u},
      {"rows beyond the screen", [] { mark_top_tiles(0, 250, 15, 260); }, 239, 239, 0x1u},
      {"empty", [] { mark_top_tiles(10, 5, 9, 5); }, 1, 0, 0},
      {"the whole screen", [] { mark_top_tiles(-1000, -1000, 1000, 1000); }, 0, 239, 0xFFFFFu},
      {"another buffer", [] { mark_written(base_layer, 0, 0, 319, 239); }, 1, 0, 0},
      {"a float box with its margin", [] { mark_written_box(top_layer, 40.5f, 20.0f, 20.0f, 10.2f, 2.0f); }, 8, 22,
       0x6u},
      {"a float box at infinity", [] { mark_written_box(top_layer, -inf, 3.0f, inf, 3.0f, 0.0f); }, 3, 3, 0xFFFFFu},
      {"a float box with no number", [] { mark_written_box(top_layer, nan, 3.0f, 4.0f, 3.0f, 0.0f); }, 0, 239,
       0xFFFFFu},
  };
  for (const mark_case& c : cases) {
    restore_power_on();
    c.mark();
    for (int y = 0; y < SCREEN_H; ++y) {
      const std::uint32_t want = y >= c.y0 && y <= c.y1 ? c.bits : 0u;
      ASSERT_EQ(layer_tiles.top_rows[y], want) << c.name << ", row " << y;
    }
  }
}

// The check the audit runs: any ink outside the marks fails it, wherever it is.
TEST_F(LayerTiles, TheCheckFindsInkOutsideTheMarks) {
  struct ink_case {
    int mark_x0, mark_x1, mark_y;  // one marked run of one row
    int x, y;                      // one pixel written by hand
    bool holds;
  };
  const ink_case cases[] = {
      {0, 15, 0, 15, 0, true},         {0, 15, 0, 16, 0, false},         {16, 31, 5, 15, 5, false},
      {304, 319, 239, 319, 239, true}, {304, 319, 238, 319, 239, false}, {0, 319, 7, 0, 8, false},
      {0, 319, 7, 319, 7, true},
  };
  for (const ink_case& c : cases) {
    restore_power_on();
    mark_top_tiles(c.mark_x0, c.mark_y, c.mark_x1, c.mark_y);
    top_layer[c.y * SCREEN_W + c.x] = 0x00000001;  // even an invisible pixel is ink to the clear
    EXPECT_EQ(top_tiles_hold(), c.holds) << c.x << "," << c.y;
  }
}

// Blending the whole top layer works on the marked tiles only; with every unmarked pixel zero the
// result is the full blend's, in place (a merge) and into a third buffer (the frame).
TEST_F(LayerTiles, WholeLayerBlendsMatchTheFullBlend) {
  std::mt19937 rng(77);
  for (int round = 0; round < 4; ++round) {
    restore_power_on();
    std::vector<pixel_t> base(LAYER_PIXELS);
    for (pixel_t& p : base) p = static_cast<pixel_t>(rng());
    for (int y = 0; y < SCREEN_H; ++y) {
      // Rounds 0..2 mark a growing share of tiles; round 3 marks every tile of every row.
      const std::uint32_t bits = round == 3 ? 0xFFFFFu : static_cast<std::uint32_t>(rng()) & 0xFFFFFu;
      for (int k = 0; k < TILES_PER_ROW; ++k) {
        if ((bits >> k & 1u) == 0 || (round < 3 && static_cast<int>(rng() % 3) > round)) continue;
        mark_top_tiles(k * TILE_W, y, k * TILE_W + TILE_W - 1, y);
        for (int x = k * TILE_W; x < (k + 1) * TILE_W; ++x) {
          const pixel_t alpha = static_cast<pixel_t>(rng() % 4 == 0 ? 0 : rng() % 256) << 24;
          top_layer[y * SCREEN_W + x] = alpha | (static_cast<pixel_t>(rng()) & 0xFFFFFFu);
        }
      }
    }
    ASSERT_TRUE(top_tiles_hold());
    std::vector<pixel_t> want(LAYER_PIXELS);
    blend_image_reference(want.data(), top_layer, base.data(), SCREEN_W, SCREEN_H, 0, 0, SCREEN_W, SCREEN_H);

    std::vector<pixel_t> frame(LAYER_PIXELS, 0xCDCDCDCD);
    std::copy(base.begin(), base.end(), base_layer);
    blend_image(frame.data(), top_layer, base_layer, SCREEN_W, SCREEN_H, 0, 0, SCREEN_W, SCREEN_H);
    for (int i = 0; i < LAYER_PIXELS; ++i) ASSERT_EQ(frame[i], want[i]) << "frame, round " << round << ", " << i;

    blend_image(base_layer, top_layer, base_layer, SCREEN_W, SCREEN_H, 0, 0, SCREEN_W, SCREEN_H);
    for (int i = 0; i < LAYER_PIXELS; ++i) ASSERT_EQ(base_layer[i], want[i]) << "merge, round " << round << ", " << i;
  }
}

TEST_F(LayerTiles, TheAuditCountsEveryClearAndWholeLayerBlend) {
  layer_audit = layer_audit_state{true, 0, 0};
  fill_rect(top_layer, 3, 3, 5, 5, COLOUR_WHITE);
  blend_image(base_layer, top_layer, base_layer, SCREEN_W, SCREEN_H, 0, 0, SCREEN_W, SCREEN_H);
  top_layer[200 * SCREEN_W + 200] = COLOUR_WHITE;  // unmarked: the next check fails
  clear_layer(top_layer);
  const layer_audit_state seen = layer_audit;
  layer_audit = layer_audit_state{};
  EXPECT_EQ(seen.checks, 2);
  EXPECT_EQ(seen.failures, 1);
}

}  // namespace

// ---- Catalogue images blended over their visible columns, and the vignette's table

TEST(CatalogueRows, HoldEveryVisiblePixelOfEveryImage) {
  for (int e = 0; e < IMAGE_COUNT; ++e) {
    const image_ref img = image_lookup(e);
    for (int y = 0; y < img.height; ++y) {
      const int first = image_rows[e][2 * y];
      const int end = image_rows[e][2 * y + 1];
      for (int x = 0; x < img.width; ++x) {
        const bool visible = (img.pixels[y * img.width + x] >> 24) != 0;
        ASSERT_EQ(visible && (x < first || x >= end), false) << image_name[e] << " row " << y << " column " << x;
      }
      if (first < end) {
        EXPECT_NE(img.pixels[y * img.width + first] >> 24, 0u) << image_name[e] << " row " << y;
        EXPECT_NE(img.pixels[y * img.width + end - 1] >> 24, 0u) << image_name[e] << " row " << y;
      }
    }
  }
}

// The vignette blended twice, and every catalogue image, must give what the plain blend of the
// whole image gives: over a clear top layer, over a drawn one, and over a layer that is not tracked.
TEST_F(LayerTiles, CatalogueBlendsMatchThePlainBlendOfTheWholeImage) {
  std::mt19937 rng(5);
  auto scribble = [&rng](pixel_t* layer) {
    for (int k = 0; k < 40; ++k) {
      const int x = static_cast<int>(rng() % 300), y = static_cast<int>(rng() % 230);
      const pixel_t colour = static_cast<pixel_t>(rng());
      fill_rect(layer, x, y, 1 + static_cast<int>(rng() % 20), 1 + static_cast<int>(rng() % 10), colour);
    }
  };
  struct layer_case {
    const char* name;
    pixel_t* layer;
    bool drawn;
  };
  const layer_case layers[] = {
      {"clear top", top_layer, false}, {"drawn top", top_layer, true}, {"drawn base", base_layer, true}};
  struct image_case {
    int entry, x, y;
    bool twice;
  };
  const image_case images[] = {{IMG_STYLE_VIGNETTE, 0, 0, true},
                               {IMG_BOTTOM_MASK, 0, 213, false},
                               {IMG_ROLL_POINTER, 146, 30, false},
                               {IMG_STATUS_BADGE, 281, 222, false},
                               {IMG_POPUP_BOX, 0, 0, false}};
  for (const layer_case& l : layers) {
    for (const image_case& c : images) {
      restore_power_on();
      if (l.drawn) scribble(l.layer);
      const image_ref img = image_lookup(c.entry);
      std::vector<pixel_t> want(l.layer, l.layer + LAYER_PIXELS);
      for (int k = 0; k < (c.twice ? 2 : 1); ++k)
        blend_image_reference(want.data(), img.pixels, want.data(), SCREEN_W, SCREEN_H, c.x, c.y, img.width,
                              img.height);
      if (c.twice) {
        blend_vignette_twice(l.layer);
      } else {
        blend_catalogue_image(l.layer, c.entry, c.x, c.y);
      }
      for (int i = 0; i < LAYER_PIXELS; ++i)
        ASSERT_EQ(l.layer[i], want[i]) << l.name << ", " << image_name[c.entry] << ", pixel " << i;
      EXPECT_TRUE(top_tiles_hold()) << l.name << ", " << image_name[c.entry];
    }
  }
}

// The vignette merged with the top layer in one pass, painting the sky and ground as it goes, leaves
// the base exactly as painting them, blending the vignette twice into the top layer and merging
// the whole layer would: over sky and ground split by tilted horizons (one ground run per row
// reaching either edge, or in the middle), for each look's colours in turn, for the attitude
// unit's rows and the gyro unit's.
TEST_F(LayerTiles, VignetteMergeEqualsTheVignetteThenTheMerge) {
  std::mt19937 rng(9);
  const pixel_t colours[][2] = {{0xFF3878A8, 0xFF603C04}, {0xFF505060, 0xFF000000}, {0xFF3878A8, 0xFF603C04}};
  for (const int rows : {SCREEN_H, 213, 0}) {
    restore_power_on();
    int shape = 0;
    for (const auto& c : colours) {
      clear_layer(top_layer);
      horizon_rows horizon;
      for (int y = 0; y < SCREEN_H; ++y) {
        const int edge = std::clamp(7 * y - 600, -1, SCREEN_W);
        horizon.sky_to[y] = static_cast<std::int16_t>(shape == 1 ? std::min(edge, SCREEN_W - 1) : -1);
        horizon.sky_from[y] =
            static_cast<std::int16_t>(shape == 0 ? std::max(edge, 0) : (shape == 1 ? SCREEN_W : 100 + y / 3));
      }
      shape += 1;
      for (int y = 0; y < SCREEN_H; ++y) base_layer[y * SCREEN_W + 5] = 0x12345678;  // painted over
      for (int k = 0; k < 30; ++k) {
        const int x = static_cast<int>(rng() % 310), y = static_cast<int>(rng() % 235);
        const pixel_t ink = static_cast<pixel_t>(rng());
        fill_rect(top_layer, x, y, 1 + static_cast<int>(rng() % 12), 1 + static_cast<int>(rng() % 4), ink);
      }
      std::vector<pixel_t> painted(LAYER_PIXELS);
      paint_horizon_rows(painted.data(), horizon, c[0], c[1]);
      for (int y = 0; y < SCREEN_H; ++y) {
        for (int x = 0; x < SCREEN_W; ++x) {
          const bool sky = x <= horizon.sky_to[y] || x >= std::max<int>(horizon.sky_from[y], horizon.sky_to[y] + 1);
          ASSERT_EQ(painted[y * SCREEN_W + x], sky ? c[0] : c[1]) << "row " << y << ", column " << x;
        }
      }
      std::vector<pixel_t> top(top_layer, top_layer + LAYER_PIXELS);
      std::vector<pixel_t> want = painted;
      blend_image_reference(want.data(), top.data(), want.data(), SCREEN_W, SCREEN_H, 0, 0, SCREEN_W, SCREEN_H);
      const image_ref v = image_lookup(IMG_STYLE_VIGNETTE);
      for (int k = 0; k < 2; ++k)
        blend_image_reference(top.data(), v.pixels, top.data(), SCREEN_W, SCREEN_H, 0, 0, SCREEN_W, SCREEN_H);
      const int merged = rows * SCREEN_W;
      blend_image_reference(want.data(), top.data(), want.data(), SCREEN_W, rows, 0, 0, SCREEN_W, rows);

      merge_vignette(base_layer, horizon, c[0], c[1], rows);
      for (int i = 0; i < LAYER_PIXELS; ++i) {
        ASSERT_EQ(base_layer[i], want[i]) << "rows " << rows << ", pixel " << i;
        ASSERT_EQ(top_layer[i], i < merged ? 0u : top[i]) << "rows " << rows << ", top pixel " << i;
      }
      for (int y = 0; y < rows; ++y) ASSERT_EQ(layer_tiles.top_rows[y], 0u) << "row " << y;
      EXPECT_TRUE(top_tiles_hold()) << "rows " << rows;
    }
  }
}
