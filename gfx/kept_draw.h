// Groups of draws written again from what they last wrote. A group (a caption with its shadow, a
// value, a badge) whose inputs are those of the last frame, drawn over the same pixels as then,
// comes out as it did then: its rectangle is copied back instead of drawn. The rectangle is
// learnt from where the group's glyphs (and the writes it reports) landed; the pixels under it
// are compared before the copy, so the group may sit on a cleared layer or on a picture.
//
//   draw_kept(&area, layer, key, [&] { ... draw the group ... });
//
// (or kept_begin and kept_end around the drawing).
// Inputs that change every frame cost the key's comparison only: a group is kept once the same
// inputs come twice running. Groups do not nest: one begun inside another is simply drawn.
#pragma once
#include <cstdint>

#include "gfx/layers.h"
#include "gfx/text.h"

inline constexpr int KEPT_KEY_WORDS = 24;

// Everything a group's pixels depend on besides the pixels under it: what it draws (a tag), its
// fonts, places, colours and texts. A key too long for its words never matches.
struct kept_key {
  std::uint32_t word[KEPT_KEY_WORDS] = {};
  int count = 0;  // -1 once too long
  kept_key& add(std::uint32_t v);
  kept_key& add_int(int v) { return add(static_cast<std::uint32_t>(v)); }
  // The length, then the characters four to a word.
  kept_key& add_text(const char* text);
  bool operator==(const kept_key& o) const;
};

enum kept_stage : int {
  KEPT_NONE = 0,  // nothing known
  KEPT_SEEN = 1,  // the key was drawn once: its rectangle is known
  KEPT_HELD = 2,  // the pixels under and after the group are held
};

struct kept_head {
  int stage = KEPT_NONE;
  const pixel_t* layer = nullptr;
  kept_key key;
  text_box box;          // where the group wrote
  int before_clear = 0;  // the pixels under it were all 0 (then only the result is held)
  int recording = 0;     // between begin and end: the result is to be held
  int nested = 0;        // between begin and end: begun inside another group
  int replays = 0;       // groups copied back, for tests and measurements
};

// The store holds the pixels after the group, preceded by those under it unless they were clear:
// a rectangle of up to N pixels over a clear layer, N / 2 over a picture.
template <int N>
struct kept_area {
  kept_head head;
  pixel_t store[N] = {};
};

// True when the group was copied back (and its tiles marked): the caller draws nothing. False:
// the caller draws the group and then calls kept_end. The layer is SCREEN_W x SCREEN_H.
bool kept_begin(kept_head& h, pixel_t* store, int capacity, pixel_t* layer, const kept_key& key);
void kept_end(kept_head& h, pixel_t* store, int capacity, pixel_t* layer);

template <int N>
bool kept_begin(kept_area<N>& a, pixel_t* layer, const kept_key& key) {
  return kept_begin(a.head, a.store, N, layer, key);
}
template <int N>
void kept_end(kept_area<N>& a, pixel_t* layer) {
  kept_end(a.head, a.store, N, layer);
}

// The group drawn by draw(), or copied back from what area kept; with no area simply drawn.
template <int N, typename Draw>
void draw_kept(kept_area<N>* area, pixel_t* layer, const kept_key& key, Draw draw) {
  if (area == nullptr) {
    draw();
    return;
  }
  if (kept_begin(*area, layer, key)) return;
  draw();
  kept_end(*area, layer);
}

// A text drawn as draw_text draws it, glyph by glyph, each of its first `count` glyphs kept in an
// area of its own: a reading whose leading digits stay while the last one moves copies those back.
// The glyphs are drawn in the order draw_text draws them, so overlapping neighbours come out alike.
template <int N>
void draw_text_kept(kept_area<N>* areas, int count, pixel_t* layer, int font, int x, int y, pixel_t colour,
                    const char* text) {
  if (text == nullptr) return;
  for (int i = 0; text[i] != '\0'; ++i) {
    const char ch = text[i];
    kept_key key;
    key.add_int(font).add_int(x).add_int(y).add(colour).add_int(ch);
    draw_kept(i < count ? &areas[i] : nullptr, layer, key,
              [&] { draw_char(layer, SCREEN_W, SCREEN_H, font, x, y, colour, ch); });
    x += char_advance(font, ch);
  }
}
