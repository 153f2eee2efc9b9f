#include "gfx/kept_draw.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr pixel_t CLEAR_ROW[SCREEN_W] = {};

int box_width(const text_box& b) { return b.empty() ? 0 : b.x1 - b.x0 + 1; }
int box_area(const text_box& b) { return b.empty() ? 0 : box_width(b) * (b.y1 - b.y0 + 1); }

const pixel_t* row_at(const pixel_t* layer, const text_box& b, int y) { return layer + y * SCREEN_W + b.x0; }

bool region_clear(const pixel_t* layer, const text_box& b) {
  if (b.empty()) return true;
  // Outside the top layer's marked tiles every pixel is 0: rows whose tiles under the box are
  // unmarked need no look.
  const std::uint32_t tiles = tile_bits(b.x0 >> TILE_SHIFT, b.x1 >> TILE_SHIFT);
  const bool tracked = layer == top_layer;
  const std::size_t bytes = sizeof(pixel_t) * box_width(b);
  for (int y = b.y0; y <= b.y1; ++y) {
    if (tracked && (layer_tiles.top_rows[y] & tiles) == 0) continue;
    if (std::memcmp(row_at(layer, b, y), CLEAR_ROW, bytes) != 0) return false;
  }
  return true;
}

bool region_equals(const pixel_t* layer, const text_box& b, const pixel_t* held) {
  const int w = box_width(b);
  for (int y = b.y0; y <= b.y1; ++y, held += w) {
    if (std::memcmp(row_at(layer, b, y), held, sizeof(pixel_t) * w) != 0) return false;
  }
  return true;
}

void region_out(const pixel_t* layer, const text_box& b, pixel_t* held) {
  const int w = box_width(b);
  for (int y = b.y0; y <= b.y1; ++y, held += w) std::memcpy(held, row_at(layer, b, y), sizeof(pixel_t) * w);
}

void region_in(pixel_t* layer, const text_box& b, const pixel_t* held) {
  const int w = box_width(b);
  for (int y = b.y0; y <= b.y1; ++y, held += w) {
    std::memcpy(layer + y * SCREEN_W + b.x0, held, sizeof(pixel_t) * w);
  }
}

}  // namespace

kept_key& kept_key::add(std::uint32_t v) {
  if (count < 0) return *this;
  if (count == KEPT_KEY_WORDS) {
    count = -1;
    return *this;
  }
  word[count++] = v;
  return *this;
}

kept_key& kept_key::add_text(const char* text) {
  const int n = string_length(text);
  add_int(n);
  for (int i = 0; i < n; i += 4) {
    std::uint32_t w = 0;
    for (int j = 0; j < 4 && i + j < n; ++j)
      w |= static_cast<std::uint32_t>(static_cast<unsigned char>(text[i + j])) << (8 * j);
    add(w);
  }
  return *this;
}

bool kept_key::operator==(const kept_key& o) const {
  return count >= 0 && count == o.count && std::equal(word, word + count, o.word);
}

bool kept_begin(kept_head& h, pixel_t* store, int capacity, pixel_t* layer, const kept_key& key) {
  h.recording = 0;
  h.nested = 0;
  if (text_drawing.tracking != 0) {
    // Inside another group: drawn plainly, and its writes stay in the outer group's box.
    h.nested = 1;
    h.stage = KEPT_NONE;
    return false;
  }
  const bool same = h.stage != KEPT_NONE && h.layer == layer && h.key == key;
  if (!same) {
    h.stage = KEPT_NONE;
    h.layer = layer;
    h.key = key;
    text_track_start();
    return false;
  }
  const int area = box_area(h.box);
  if (h.stage == KEPT_HELD) {
    const bool under_same = h.before_clear != 0 ? region_clear(layer, h.box) : region_equals(layer, h.box, store);
    if (under_same) {
      region_in(layer, h.box, store + (h.before_clear != 0 ? 0 : area));
      mark_written(layer, h.box.x0, h.box.y0, h.box.x1, h.box.y1);
      h.replays += 1;
      return true;
    }
  }
  // The same inputs again: drawn, and held if the rectangle fits the store.
  if (area <= capacity && region_clear(layer, h.box)) {
    h.before_clear = 1;
    h.recording = 1;
  } else if (2 * area <= capacity) {
    region_out(layer, h.box, store);
    h.before_clear = 0;
    h.recording = 1;
  }
  text_track_start();
  return false;
}

void kept_end(kept_head& h, pixel_t* store, int capacity, pixel_t* layer) {
  if (h.nested != 0) {
    h.nested = 0;
    return;
  }
  text_box b = text_track_stop();
  // Writers report what they may have written; only the screen can hold it.
  b.x0 = std::max(b.x0, 0);
  b.y0 = std::max(b.y0, 0);
  b.x1 = std::min(b.x1, SCREEN_W - 1);
  b.y1 = std::min(b.y1, SCREEN_H - 1);
  if (b.empty()) b = text_box{};
  const int area = box_area(b);
  if (h.recording != 0 && b == h.box && (h.before_clear != 0 ? area : 2 * area) <= capacity) {
    region_out(layer, b, store + (h.before_clear != 0 ? 0 : area));
    h.stage = KEPT_HELD;
  } else {
    h.box = b;
    h.stage = KEPT_SEEN;
  }
  h.recording = 0;
}
