// Kept groups of draws: written again from what they last wrote only while their key and the
// pixels under them are those of the last time; every frame equals the group drawn afresh.
#include "gfx/kept_draw.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "gfx/text.h"
#include "tests/support/power_on.h"

namespace {

struct group {
  int font;
  int x;
  int y;
  pixel_t colour;
  const char* text;
};

kept_key key_of(const group& g) {
  kept_key k;
  k.add_int(g.font).add_int(g.x).add_int(g.y).add(g.colour).add_text(g.text);
  return k;
}

// A caption as the strip draws it: its shadow, then the text over it.
void draw_plain(pixel_t* layer, const group& g) {
  draw_text_centred(layer, SCREEN_W, SCREEN_H, g.font, g.x + 1, g.y + 1, COLOUR_SHADOW, g.text);
  draw_text_centred(layer, SCREEN_W, SCREEN_H, g.font, g.x, g.y, g.colour, g.text);
}

bool draw_kept(kept_head& h, pixel_t* store, int capacity, pixel_t* layer, const group& g) {
  if (kept_begin(h, store, capacity, layer, key_of(g))) return true;
  draw_plain(layer, g);
  kept_end(h, store, capacity, layer);
  return false;
}

// What lies under the group before it is drawn.
enum under { CLEAR, PICTURE, PICTURE_DOT_IN_BOX, CLEAR_DOT_AT_BOX_CORNER, CLEAR_DOT_BESIDE_BOX };

void prepare(pixel_t* layer, under u, const text_box& box) {
  clear_layer(layer);
  if (u == PICTURE || u == PICTURE_DOT_IN_BOX) {
    for (int i = 0; i < LAYER_PIXELS; ++i) layer[i] = 0xFF000000u | static_cast<pixel_t>(i * 2654435761u >> 8);
    mark_written(layer, 0, 0, SCREEN_W - 1, SCREEN_H - 1);
  }
  pixel_t* dot = nullptr;
  if (u == PICTURE_DOT_IN_BOX) dot = &layer[(box.y0 + box.y1) / 2 * SCREEN_W + (box.x0 + box.x1) / 2];
  if (u == CLEAR_DOT_AT_BOX_CORNER) dot = &layer[box.y1 * SCREEN_W + box.x0];
  if (u == CLEAR_DOT_BESIDE_BOX) dot = &layer[box.y0 * SCREEN_W + box.x1 + 1];
  if (dot != nullptr) {
    *dot ^= 0x01010101u;
    mark_written_pixel(layer, static_cast<int>((dot - layer) % SCREEN_W), static_cast<int>((dot - layer) / SCREEN_W));
  }
}

using KeptDraw = PowerOn;

// Frame after frame into the top layer; each row changes one thing and says whether the group
// must come from what was kept. The first time inputs are seen and the second time they are
// drawn; only from the third is the result copied.
TEST_F(KeptDraw, CopiedOnlyWhileKeyAndPixelsUnderAreThoseLastDrawnOver) {
  const group base{5, 100, 100, COLOUR_LIGHT_GREY, "SALT"};
  struct row {
    const char* change;
    group g;
    under u;
    bool copied;
  };
  group other_text = base, other_colour = base, other_font = base, other_x = base, other_y = base, same_len = base;
  other_text.text = "SAL";
  same_len.text = "SALU";
  other_colour.colour = COLOUR_WHITE;
  other_font.font = 6;
  other_x.x = 101;
  other_y.y = 99;
  const row rows[] = {
      {"first", base, CLEAR, false},
      {"second", base, CLEAR, false},
      {"third", base, CLEAR, true},
      {"again", base, CLEAR, true},
      {"a pixel beside the box does not matter", base, CLEAR_DOT_BESIDE_BOX, true},
      {"a pixel at the box's corner", base, CLEAR_DOT_AT_BOX_CORNER, false},
      {"held over that pixel", base, CLEAR_DOT_AT_BOX_CORNER, true},
      {"clear again", base, CLEAR, false},
      {"held over clear", base, CLEAR, true},
      {"over a picture", base, PICTURE, false},
      {"held over the picture", base, PICTURE, true},
      {"one picture pixel under the box changed", base, PICTURE_DOT_IN_BOX, false},
      {"held over it", base, PICTURE_DOT_IN_BOX, true},
      {"shorter text", other_text, CLEAR, false},
      {"shorter text again", other_text, CLEAR, false},
      {"shorter text held", other_text, CLEAR, true},
      {"text of the same length", same_len, CLEAR, false},
      {"", same_len, CLEAR, false},
      {"", same_len, CLEAR, true},
      {"colour", other_colour, CLEAR, false},
      {"", other_colour, CLEAR, false},
      {"", other_colour, CLEAR, true},
      {"font", other_font, CLEAR, false},
      {"", other_font, CLEAR, false},
      {"", other_font, CLEAR, true},
      {"x", other_x, CLEAR, false},
      {"", other_x, CLEAR, false},
      {"y", other_y, CLEAR, false},
      {"", other_y, CLEAR, false},
      {"", other_y, CLEAR, true},
      {"back to the first inputs", base, CLEAR, false},
  };
  static kept_area<1024> area;
  area = kept_area<1024>{};
  static pixel_t expected[LAYER_PIXELS];
  text_box box;
  int n = 0;
  for (const row& r : rows) {
    SCOPED_TRACE(testing::Message() << "row " << n++ << " " << r.change);
    prepare(top_layer, r.u, box);
    std::copy(top_layer, top_layer + LAYER_PIXELS, expected);
    draw_plain(expected, r.g);
    EXPECT_EQ(draw_kept(area.head, area.store, 1024, top_layer, r.g), r.copied);
    EXPECT_TRUE(std::equal(top_layer, top_layer + LAYER_PIXELS, expected));
    EXPECT_TRUE(top_tiles_hold());
    box = area.head.box;
    EXPECT_FALSE(box.empty());
  }
}

TEST_F(KeptDraw, TheSameKeyOnAnotherLayerIsDrawnThere) {
  const group g{5, 40, 200, COLOUR_GREEN, "GL"};
  static kept_area<1024> area;
  area = kept_area<1024>{};
  static pixel_t expected[LAYER_PIXELS];
  pixel_t* const layers[] = {top_layer, top_layer, top_layer, base_layer, base_layer, base_layer, top_layer};
  const bool copied[] = {false, false, true, false, false, true, false};
  for (int i = 0; i < 7; ++i) {
    SCOPED_TRACE(i);
    clear_layer(top_layer);
    std::fill(base_layer, base_layer + LAYER_PIXELS, COLOUR_BLUE);
    std::copy(layers[i], layers[i] + LAYER_PIXELS, expected);
    draw_plain(expected, g);
    EXPECT_EQ(draw_kept(area.head, area.store, 1024, layers[i], g), copied[i]);
    EXPECT_TRUE(std::equal(layers[i], layers[i] + LAYER_PIXELS, expected));
  }
}

// The store holds the result alone over a clear layer and the pixels under it as well over a
// picture: a store of exactly the group's rectangle keeps it over clear pixels only, and a
// smaller one never.
TEST_F(KeptDraw, AGroupLargerThanItsStoreIsAlwaysDrawn) {
  const group g{9, 160, 120, COLOUR_WHITE, "8888"};
  static kept_area<4096> probe;
  probe = kept_area<4096>{};
  for (int i = 0; i < 2; ++i) {
    clear_layer(top_layer);
    draw_kept(probe.head, probe.store, 4096, top_layer, g);
  }
  const text_box b = probe.head.box;
  const int area = (b.x1 - b.x0 + 1) * (b.y1 - b.y0 + 1);
  struct row {
    int capacity;
    under u;
    bool copied_third_time;
  };
  const row rows[] = {{area, CLEAR, true},
                      {area - 1, CLEAR, false},
                      {2 * area, PICTURE, true},
                      {2 * area - 1, PICTURE, false},
                      {area, PICTURE, false}};
  static pixel_t expected[LAYER_PIXELS];
  static pixel_t store[4096];
  for (const row& r : rows) {
    SCOPED_TRACE(testing::Message() << "capacity " << r.capacity << " under " << r.u);
    kept_head h;
    for (int frame = 0; frame < 4; ++frame) {
      prepare(top_layer, r.u, b);
      std::copy(top_layer, top_layer + LAYER_PIXELS, expected);
      draw_plain(expected, g);
      EXPECT_EQ(draw_kept(h, store, r.capacity, top_layer, g), frame >= 2 && r.copied_third_time);
      EXPECT_TRUE(std::equal(top_layer, top_layer + LAYER_PIXELS, expected));
    }
  }
}

// A group begun inside another is drawn plainly, and its pixels belong to the outer group: when
// the outer one is copied, the inner one comes with it.
TEST_F(KeptDraw, AGroupInsideAnotherIsPartOfIt) {
  static kept_area<4096> outer;
  static kept_area<1024> inner;
  outer = kept_area<4096>{};
  inner = kept_area<1024>{};
  const group a{5, 60, 60, COLOUR_WHITE, "ALT"};
  const group b{5, 60, 80, COLOUR_YELLOW, "BARO"};
  static pixel_t expected[LAYER_PIXELS];
  for (int frame = 0; frame < 4; ++frame) {
    SCOPED_TRACE(frame);
    clear_layer(top_layer);
    std::fill(expected, expected + LAYER_PIXELS, 0);
    draw_plain(expected, a);
    draw_plain(expected, b);
    const bool copied = kept_begin(outer, top_layer, key_of(a));
    EXPECT_EQ(copied, frame >= 2);
    if (!copied) {
      draw_plain(top_layer, a);
      EXPECT_FALSE(draw_kept(inner.head, inner.store, 1024, top_layer, b));
      kept_end(outer, top_layer);
    }
    EXPECT_TRUE(std::equal(top_layer, top_layer + LAYER_PIXELS, expected));
    EXPECT_TRUE(top_tiles_hold());
  }
  EXPECT_GE(outer.head.box.y1, 80);  // the inner text's rows are in the outer box
}

// A reading drawn glyph by glyph over a box, shadow first as the readouts draw it: the glyphs
// whose inputs and surroundings stayed are copied, the rest drawn, and the result is always the
// text drawn whole. Only the first three glyphs have areas; a fourth is always drawn.
TEST_F(KeptDraw, ReadingsKeepTheGlyphsThatStayed) {
  struct row {
    const char* text;
    int copied;  // glyphs copied, shadow and text together
  };
  const row rows[] = {
      {"123", 0}, {"123", 0}, {"123", 6},  {"124", 4},  {"124", 4},  {"124", 6},  {"134", 4},
      {"134", 4}, {"134", 6}, {"1345", 6}, {"1345", 6}, {"1---", 2}, {"1---", 2}, {"1---", 6},
  };
  static kept_area<640> glyphs[2][3];
  for (auto& side : glyphs)
    for (auto& g : side) g = kept_area<640>{};
  static pixel_t expected[LAYER_PIXELS];
  const int font = 9;
  int n = 0;
  for (const row& r : rows) {
    SCOPED_TRACE(testing::Message() << "row " << n++ << " " << r.text);
    clear_layer(top_layer);
    for (int y = 100; y < 140; ++y)
      for (int x = 10; x < 100; ++x) top_layer[y * SCREEN_W + x] = 0xFF202020u + static_cast<pixel_t>(x & 7);
    mark_written(top_layer, 10, 100, 99, 139);
    std::copy(top_layer, top_layer + LAYER_PIXELS, expected);
    draw_text(expected, SCREEN_W, SCREEN_H, font, 21, 106, COLOUR_SHADOW, r.text);
    draw_text(expected, SCREEN_W, SCREEN_H, font, 20, 105, COLOUR_WHITE, r.text);
    int before = 0;
    for (auto& side : glyphs)
      for (auto& g : side) before += g.head.replays;
    draw_text_kept(glyphs[0], 3, top_layer, font, 21, 106, COLOUR_SHADOW, r.text);
    draw_text_kept(glyphs[1], 3, top_layer, font, 20, 105, COLOUR_WHITE, r.text);
    int after = 0;
    for (auto& side : glyphs)
      for (auto& g : side) after += g.head.replays;
    EXPECT_EQ(after - before, r.copied);
    EXPECT_TRUE(std::equal(top_layer, top_layer + LAYER_PIXELS, expected));
    EXPECT_TRUE(top_tiles_hold());
  }
}

// Keys differ whenever what went into them differs, texts included at any length.
TEST(KeptKey, EqualOnlyForTheSameWordsAndTexts) {
  const auto ints = [](std::initializer_list<int> v) {
    kept_key k;
    for (int i : v) k.add_int(i);
    return k;
  };
  const auto texts = [](std::initializer_list<const char*> v) {
    kept_key k;
    for (const char* t : v) k.add_text(t);
    return k;
  };
  struct row {
    kept_key a, b;
    bool equal;
  };
  kept_key too_long;
  for (int i = 0; i <= KEPT_KEY_WORDS; ++i) too_long.add_int(i);
  kept_key full;
  for (int i = 0; i < KEPT_KEY_WORDS; ++i) full.add_int(i);
  const row rows[] = {
      {ints({1, 2}), ints({1, 2}), true},
      {ints({1, 2}), ints({2, 1}), false},
      {ints({1}), ints({1, 0}), false},
      {ints({}), ints({}), true},
      {texts({"ABCD"}), texts({"ABCD"}), true},
      {texts({"ABCD"}), texts({"ABCE"}), false},
      {texts({"ABCDE"}), texts({"ABCDF"}), false},
      {texts({"ABC"}), texts({"ABCD"}), false},
      {texts({"AB", "C"}), texts({"A", "BC"}), false},
      {texts({""}), texts({""}), true},
      {texts({""}), ints({}), false},
      {texts({"---"}), texts({"---"}), true},
      {full, full, true},
      {too_long, too_long, false},
  };
  int n = 0;
  for (const row& r : rows) {
    EXPECT_EQ(r.a == r.b, r.equal) << "row " << n;
    EXPECT_EQ(r.b == r.a, r.equal) << "row " << n++;
  }
}

}  // namespace
