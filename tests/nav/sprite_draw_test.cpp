#include "nav/sprite_draw.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "gfx/images.h"
#include "gfx/text.h"
#include "nav/nav_draw.h"

namespace {

// A screen of varied pixels, so that a pixel the plain draw overwrites with a clear sample and the
// fast one leaves alone (or the other way round) shows.
std::vector<pixel_t> busy_layer() {
  std::vector<pixel_t> layer(LAYER_PIXELS);
  std::uint32_t s = 12345u;
  for (pixel_t& p : layer) {
    s = s * 1664525u + 1013904223u;
    p = s;
  }
  return layer;
}

struct source {
  const char* name;
  std::vector<pixel_t> pixels;
  int w;
  int h;
};

std::vector<source> sources() {
  std::vector<source> out;
  std::vector<pixel_t> cell(16 * 16, COLOUR_TRANSPARENT);
  draw_text(cell.data(), 16, 16, 6, 4, 2, 0xFFB0B0B0, "33");
  out.push_back({"label cell", cell, 16, 16});
  for (const int entry : {IMG_HEADING_BUG, IMG_BEARING_POINTER, IMG_WAYPOINT_STAR}) {
    const image_ref img = image_lookup(entry);
    out.push_back({image_name[entry], std::vector<pixel_t>(img.pixels, img.pixels + img.width * img.height), img.width,
                   img.height});
  }
  std::vector<pixel_t> solid(7 * 5);
  for (int i = 0; i < 7 * 5; ++i) solid[i] = 0xFF000000u | static_cast<pixel_t>(i * 0x070B13);
  out.push_back({"opaque odd", solid, 7, 5});
  return out;
}

image_transform turned(float degrees, float k) {
  image_transform t{1.0f, 0.0f, 0.0f, 1.0f, k};
  rotate_matrix(t, degrees * -0.017453292f);
  return t;
}

// Every source, over turns including the exact quarters, scales, blends and positions inside,
// across each edge and wholly off the screen: the fast draw leaves the same screen as the plain one.
TEST(SpriteDraw, EqualsThePlainTransformedDraw) {
  struct place {
    float x;
    float y;
  };
  const place places[] = {{160.3f, 120.7f}, {0.5f, 60.2f},    {318.9f, 13.4f},  {77.1f, -6.6f}, {200.0f, 236.25f},
                          {-30.0f, 100.0f}, {400.0f, 100.0f}, {160.0f, -50.0f}, {NAN, 120.0f},  {12.0f, INFINITY}};
  const float angles[] = {0.0f, 90.0f, -90.0f, 180.0f, 33.7f, 211.05f, -0.02f, 359.99f, 45.0f};
  const float scales[] = {1.0f, 1.1f, 0.79f, 2.5f};
  const float blends[] = {1.0f, 0.5f, 0.0f, -1.0f};
  const std::vector<pixel_t> start = busy_layer();
  int cases = 0;
  for (const source& s : sources()) {
    for (const place& p : places) {
      for (const float a : angles) {
        for (const float k : scales) {
          for (const float b : blends) {
            if (b != 1.0f && k != 1.0f) continue;  // the blends on natural size only, to keep it quick
            const image_transform t = turned(a, k);
            std::vector<pixel_t> plain = start;
            std::vector<pixel_t> fast = start;
            draw_image_rotated(plain.data(), SCREEN_W, SCREEN_H, s.pixels.data(), s.w, s.h, p.x, p.y, t, b);
            sprite_draw_rotated(fast.data(), s.pixels.data(), s.w, s.h, p.x, p.y, t, b);
            ASSERT_EQ(plain, fast) << s.name << " at " << p.x << "," << p.y << " turned " << a << " scale " << k
                                   << " blend " << b;
            ++cases;
          }
        }
      }
    }
  }
  EXPECT_GT(cases, 500);
}

// The unrotated draw with its own origin (as the arc's waypoint ring uses it), on fine sub-pixel
// steps where the edge columns come and go.
TEST(SpriteDraw, EqualsThePlainDrawOnSubPixelSteps) {
  const source s = sources()[0];
  const std::vector<pixel_t> start = busy_layer();
  for (int i = 0; i < 40; ++i) {
    const float x = 100.0f + static_cast<float>(i) * 0.025f;
    const float y = 50.0f - static_cast<float>(i) * 0.0375f;
    for (const float k : {1.0f, 0.79f}) {
      const image_transform t{1.0f, 0.0f, 0.0f, 1.0f, k};
      std::vector<pixel_t> plain = start;
      std::vector<pixel_t> fast = start;
      draw_image_transformed(plain.data(), SCREEN_W, SCREEN_H, s.pixels.data(), s.w, s.h, x, y, t, 1.0f);
      sprite_draw_transformed(fast.data(), s.pixels.data(), s.w, s.h, x, y, t, 1.0f);
      ASSERT_EQ(plain, fast) << "at " << x << "," << y << " scale " << k;
    }
  }
}

}  // namespace

namespace {

// The label as drawn without any cache: its cell made afresh and turned by the plain draw.
std::vector<pixel_t> plain_label(int card_angle, float x, float y, float degrees, pixel_t colour) {
  std::vector<pixel_t> cell(16 * 16, COLOUR_TRANSPARENT);
  char text[4] = {};
  if (card_angle % 90 == 0) {
    text[0] = "NESW"[card_angle / 90];
  } else {
    char* cursor = text;
    append_int(card_angle / 10, cursor);
  }
  draw_text(cell.data(), 16, 16, 6, 8 - text_width(6, text) / 2, 8 - font_table[6].height / 2, colour, text);
  std::vector<pixel_t> layer = busy_layer();
  image_transform t{1.0f, 0.0f, 0.0f, 1.0f, 1.0f};
  rotate_matrix(t, degrees * -0.017453292f);
  draw_image_rotated(layer.data(), SCREEN_W, SCREEN_H, cell.data(), 16, 16, x, y, t, 1.0f);
  return layer;
}

// One cache through a sequence of labels: every change of colour or label draws the new one,
// and going back to an earlier colour does not bring back a stale cell.
TEST(SpriteDraw, CardLabelCacheFollowsItsInputs) {
  struct step {
    int card_angle;
    pixel_t colour;
    float degrees;
  };
  const step steps[] = {{30, 0xFFB0B0B0, 12.5f}, {30, 0xFFB0B0B0, 13.0f},   {30, COLOUR_GOLD, 13.0f},
                        {30, 0xFFB0B0B0, 13.0f}, {60, 0xFFB0B0B0, 40.0f},   {0, 0x80B0B0B0, -3.0f},
                        {0, 0x7FB0B0B0, -3.0f},  {270, COLOUR_GOLD, 90.0f}, {330, 0, 0.0f},
                        {45, COLOUR_WHITE, 7.0f}};  // not a card label: drawn, never kept
  card_label_cache cache;
  for (const step& s : steps) {
    std::vector<pixel_t> layer = busy_layer();
    draw_card_label(cache, layer.data(), s.card_angle, 150.25f, 60.5f, s.degrees, s.colour);
    if (s.card_angle % 30 == 0) {
      EXPECT_EQ(layer, plain_label(s.card_angle, 150.25f, 60.5f, s.degrees, s.colour))
          << s.card_angle << " in " << std::hex << s.colour;
    }
  }
  // The odd angle wrote into no slot: the 30 label is still the grey one drawn before.
  std::vector<pixel_t> layer = busy_layer();
  draw_card_label(cache, layer.data(), 30, 150.25f, 60.5f, 13.0f, 0xFFB0B0B0);
  EXPECT_EQ(layer, plain_label(30, 150.25f, 60.5f, 13.0f, 0xFFB0B0B0));
}

TEST(SpriteDraw, TintCacheFollowsImageAndColour) {
  struct step {
    int entry;
    pixel_t colour;
  };
  const step steps[] = {{IMG4_DOT_RING, COLOUR_GREY},        {IMG4_DOT_RING, COLOUR_GREY},
                        {IMG4_DOT_RING, COLOUR_GOLD},        {IMG4_COURSE_ARROW, COLOUR_GOLD},
                        {IMG4_COURSE_ARROW, COLOUR_MAGENTA}, {IMG4_DOT_RING, COLOUR_MAGENTA}};
  tint_cache cache;
  for (const step& s : steps) {
    const image4_ref img = image4_lookup(s.entry);
    std::vector<pixel_t> fresh(img.width * img.height);
    tint_image4(fresh.data(), s.entry, s.colour);
    const pixel_t* kept = tinted_image4(cache, s.entry, s.colour);
    EXPECT_EQ(std::vector<pixel_t>(kept, kept + img.width * img.height), fresh) << s.entry << " " << s.colour;
  }
}

}  // namespace

namespace {

// Sparse tops: nothing, single pixels at both ends of a row and in the corners, a clear-alpha pixel
// that is not zero, a full row, scattered marks: the row-by-row merge equals the whole-layer blend.
TEST(MergeDrawnTop, EqualsTheWholeLayerBlend) {
  struct mark {
    int x;
    int y;
    pixel_t colour;
  };
  const std::vector<std::vector<mark>> tops = {
      {},
      {{0, 0, 0x80FF0000}},
      {{319, 239, 0x40FFFFFF}},
      {{0, 100, 0xFF00FF00}, {319, 100, 0x7F123456}},
      {{7, 5, 0x00ABCDEF}},  // clear by its alpha, but not zero
      {{8, 5, 0x01010101}, {15, 5, 0xFEFEFEFE}, {16, 6, 0x80808080}, {311, 6, 0x80808080}},
      {{160, 120, 0xFFFFFFFF}, {100, 30, 0x33000000}, {250, 200, 0xCC00FFFF}},
  };
  for (std::size_t k = 0; k < tops.size(); ++k) {
    std::vector<pixel_t> top(LAYER_PIXELS, COLOUR_TRANSPARENT);
    for (const mark& m : tops[k]) top[m.y * SCREEN_W + m.x] = m.colour;
    if (k == 6) {
      for (int x = 0; x < SCREEN_W; ++x) top[77 * SCREEN_W + x] = 0x90000000u + static_cast<pixel_t>(x);
    }
    std::vector<pixel_t> whole = busy_layer();
    blend_image(whole.data(), top.data(), whole.data(), SCREEN_W, SCREEN_H, 0, 0, SCREEN_W, SCREEN_H);
    // Untracked, the whole layer is searched; tracked, only the marks, each just its own pixel
    // (or the full row), with a stray mark over clear pixels besides.
    drawn_rows untracked;
    drawn_rows tracked;
    drawn_rows_begin(tracked, top.data());
    for (const mark& m : tops[k]) drawn_rows_mark(tracked, top.data(), m.x, m.y, m.x, m.y);
    drawn_rows_mark(tracked, top.data(), -50, 77, 400, 77);
    drawn_rows_mark(tracked, top.data(), 200, 150, 230, 190);
    drawn_rows_mark(tracked, nullptr, 0, 0, 319, 239);  // another layer: no mark
    for (const drawn_rows* rows : {&untracked, &tracked}) {
      std::vector<pixel_t> merged = busy_layer();
      merge_drawn_top(merged.data(), top.data(), *rows);
      EXPECT_EQ(whole, merged) << "top " << k << (rows == &tracked ? " tracked" : "");
    }
  }
}

}  // namespace

namespace {

// One kept draw through a sequence of inputs, each over a different screen: the same inputs are
// repeated from what was kept, and any change of image, version, position or turn draws afresh.
TEST(SpriteDraw, KeptDrawRepeatsOnlyUnchangedInputs) {
  std::vector<source> all = sources();
  const source& cell = all[0];
  const source& bug = all[1];
  std::vector<pixel_t> other_cell = cell.pixels;
  struct step {
    const source* s;
    std::uint32_t version;
    float x;
    float y;
    float degrees;
    bool edit;  // change the image's pixels (and version) before this step
  };
  const float x1 = std::nextafter(150.0f, 200.0f);
  const step steps[] = {{&cell, 1, 150.0f, 60.0f, 20.0f, false}, {&cell, 1, 150.0f, 60.0f, 20.0f, false},
                        {&cell, 1, 150.0f, 60.0f, 20.0f, false}, {&cell, 1, 150.0f, 60.0f, 20.0f, false},
                        {&cell, 1, x1, 60.0f, 20.0f, false},     {&cell, 1, x1, 60.0f, 20.5f, false},
                        {&cell, 2, x1, 60.0f, 20.5f, false},     {&cell, 2, x1, 60.0f, 20.5f, false},
                        {&cell, 3, x1, 60.0f, 20.5f, true},      {&cell, 3, x1, 60.0f, 20.5f, false},
                        {&bug, 3, x1, 60.0f, 20.5f, false},      {&cell, 3, 5.0f, 238.0f, 300.0f, false},
                        {&cell, 2, 5.0f, 238.0f, 300.0f, false}};
  sprite_kept kept;
  std::vector<pixel_t> pixels = cell.pixels;
  std::uint32_t seed = 1;
  for (const step& st : steps) {
    if (st.edit) pixels[8 * 16 + 8] ^= 0xFF00FF00u;
    const std::vector<pixel_t>& src = st.s == &cell ? pixels : st.s->pixels;
    std::vector<pixel_t> plain = busy_layer();
    for (pixel_t& p : plain) p ^= seed;  // a different screen under every step
    seed = seed * 3 + 0x01010101u;
    std::vector<pixel_t> fast = plain;
    const image_transform t = turned(st.degrees, 1.0f);
    draw_image_rotated(plain.data(), SCREEN_W, SCREEN_H, src.data(), st.s->w, st.s->h, st.x, st.y, t, 1.0f);
    sprite_draw_rotated_kept(fast.data(), src.data(), st.s->w, st.s->h, st.x, st.y, t, st.version, kept);
    ASSERT_EQ(plain, fast) << st.s->name << " at " << st.x << "," << st.y << " turned " << st.degrees;
  }
}

}  // namespace
