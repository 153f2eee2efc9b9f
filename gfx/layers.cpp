// Pixel layers, colour arithmetic and the block operations.
#include "gfx/layers.h"

#include <bit>
#include <cmath>
#include <cstring>

#include "gfx/mix.h"
#include "gfx/primitives.h"

// Aligned so that the blend kernels' vector loads never straddle a cache line more than they must.
alignas(64) pixel_t top_layer[LAYER_PIXELS];
alignas(64) pixel_t base_layer[LAYER_PIXELS];
alignas(64) pixel_t aircraft_outline[LAYER_PIXELS];
pixel_t* display_frame = nullptr;
layer_tile_state layer_tiles;
layer_audit_state layer_audit;

namespace {

constexpr blend_weight_table make_blend_weights() {
  blend_weight_table table{};
  for (int a = 0; a < 256; ++a) table.t[a] = static_cast<float>(a / 255.0);
  return table;
}

inline int clamp_int(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

// Row by row: a whole layer at once would be one long string store, which costs far more on
// some targets than the same bytes in rows.
void zero_rows(pixel_t* layer) {
  for (int y = 0; y < SCREEN_H; ++y) std::memset(layer + y * SCREEN_W, 0, sizeof(pixel_t) * SCREEN_W);
}

void audit_top_layer() {
  if (!layer_audit.enabled) return;
  layer_audit.checks += 1;
  if (!top_tiles_hold()) layer_audit.failures += 1;
}

// The whole top layer blended over under into dst: the marked tiles through the blend, the rest
// (all 0x00000000, which leaves the under pixel) copied from under unless dst is under.
void blend_whole_top_layer(pixel_t* dst, const pixel_t* under) {
  audit_top_layer();
  for (int y = 0; y < SCREEN_H; ++y) {
    const std::uint32_t marked = layer_tiles.top_rows[y];
    const int row = y * SCREEN_W;
    if (dst != under) {
      for_each_tile_run(~marked & tile_bits(0, TILES_PER_ROW - 1),
                        [&](int x, int n) { std::memcpy(dst + row + x, under + row + x, sizeof(pixel_t) * n); });
    }
    for_each_tile_run(marked, [&](int x, int n) {
#if VESPER_SSE2_KERNELS
      blend_image_sse2(dst, top_layer + row + x, under, SCREEN_W, x, y, n, 1);
#else
      blend_image_portable(dst, top_layer + row + x, under, SCREEN_W, x, y, n, 1);
#endif
    });
  }
}

inline int channel(pixel_t c, int shift) { return static_cast<int>((c >> shift) & 0xFFu); }

// Keeps a channel inside its byte. With t or f inside 0..1 the value is already in range (the cap
// at 255 never triggers in practice); out-of-range weights must not spill into the next channel.
inline pixel_t channel_bits(int v, int shift) {
  if (v < 0) v = 0;
  if (v > 255) v = 255;
  return static_cast<pixel_t>(v) << shift;
}

}  // namespace

constexpr blend_weight_table blend_weights = make_blend_weights();

pixel_t mix_colour(pixel_t a, pixel_t b, float t) { return mix_colour_inline(a, b, t); }

pixel_t scale_colour(pixel_t c, float f) {
  pixel_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    out |= channel_bits(static_cast<int>(static_cast<float>(channel(c, shift)) * f), shift);
  }
  return out;
}

pixel_t add_colour(pixel_t a, pixel_t b) {
  pixel_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) out |= channel_bits(channel(a, shift) + channel(b, shift), shift);
  return out;
}

float colour_brightness(pixel_t colour) {
  // The sum is taken as a float before dividing, so a grey of 1 still counts as a little light.
  float sum = static_cast<float>(channel(colour, 16) + channel(colour, 8) + channel(colour, 0));
  return sum / 3.0f / 255.0f;
}

void mark_top_tiles(int x0, int y0, int x1, int y1) {
  if (x0 > x1 || y0 > y1) return;
  x0 = clamp_int(x0, 0, SCREEN_W - 1);
  x1 = clamp_int(x1, 0, SCREEN_W - 1);
  y0 = clamp_int(y0, 0, SCREEN_H - 1);
  y1 = clamp_int(y1, 0, SCREEN_H - 1);
  const std::uint32_t bits = tile_bits(x0 >> TILE_SHIFT, x1 >> TILE_SHIFT);
  for (int y = y0; y <= y1; ++y) layer_tiles.top_rows[y] |= bits;
}

void mark_written_box(const pixel_t* buf, float xa, float ya, float xb, float yb, float margin) {
  if (buf != top_layer) return;
  if (std::isnan(xa) || std::isnan(ya) || std::isnan(xb) || std::isnan(yb) || std::isnan(margin)) {
    mark_top_tiles(0, 0, SCREEN_W - 1, SCREEN_H - 1);
    return;
  }
  // Clamped in float first, so that far-off or infinite corners convert safely.
  auto index = [](float v) {
    constexpr float reach = 4096.0f;
    return static_cast<int>(std::floor(v < -reach ? -reach : (v > reach ? reach : v)));
  };
  const float x_lo = (xa < xb ? xa : xb) - margin;
  const float x_hi = (xa < xb ? xb : xa) + margin;
  const float y_lo = (ya < yb ? ya : yb) - margin;
  const float y_hi = (ya < yb ? yb : ya) + margin;
  mark_top_tiles(index(x_lo), index(y_lo), index(x_hi), index(y_hi));
}

bool top_tiles_hold() {
  for (int y = 0; y < SCREEN_H; ++y) {
    const std::uint32_t marked = layer_tiles.top_rows[y];
    for (int x = 0; x < SCREEN_W; ++x) {
      if ((marked >> (x >> TILE_SHIFT) & 1u) == 0 && top_layer[y * SCREEN_W + x] != 0) return false;
    }
  }
  return true;
}

void put_pixel(pixel_t* buf, int width, int height, int x, int y, pixel_t colour) {
  if (x < 0 || y < 0 || x >= width || y >= height) return;
  mark_written_pixel(buf, x, y);
  buf[y * width + x] = colour;
}

void put_pixel_unchecked(pixel_t* buf, int width, int, int x, int y, pixel_t colour) {
  mark_written_pixel(buf, x, y);
  buf[y * width + x] = colour;
}

pixel_t get_pixel(const pixel_t* buf, int width, int height, int x, int y) {
  if (x < 0 || y < 0 || x >= width || y >= height) return COLOUR_TRANSPARENT;
  return buf[y * width + x];
}

pixel_t get_pixel_unchecked(const pixel_t* buf, int width, int, int x, int y) { return buf[y * width + x]; }

void clear_layer(pixel_t* layer) {
  if (layer != top_layer) {
    zero_rows(layer);
    return;
  }
  audit_top_layer();
  for (int y = 0; y < SCREEN_H; ++y) {
    pixel_t* row = top_layer + y * SCREEN_W;
    for_each_tile_run(layer_tiles.top_rows[y], [&](int x, int n) { std::memset(row + x, 0, sizeof(pixel_t) * n); });
    layer_tiles.top_rows[y] = 0;
  }
}

void fill_layer(pixel_t* buf, int width, int height, pixel_t colour) {
  for (int y = 0; y < height; ++y) draw_hspan(buf, width, height, 0, width - 1, y, colour);
}

void fill_rect(pixel_t* buf, int x, int y, int w, int h, pixel_t colour) {
  if (w <= 0 || h <= 0) return;
  mark_written(buf, x, y, x + w - 1, y + h - 1);
  for (int j = 0; j < h; ++j) fill_row(buf + (y + j) * SCREEN_W + x, w, colour);
}

void copy_image(pixel_t* dst, const pixel_t* src, int stride, int, int x, int y, int w, int h) {
  if (w <= 0 || h <= 0) return;
  mark_written(dst, x, y, x + w - 1, y + h - 1);
  for (int j = 0; j < h; ++j) std::memmove(dst + (y + j) * stride + x, src + j * w, sizeof(pixel_t) * w);
}

void blend_image(pixel_t* dst, const pixel_t* src, const pixel_t* under, int stride, int, int x, int y, int w, int h) {
  if (src == top_layer && stride == SCREEN_W && x == 0 && y == 0 && w == SCREEN_W && h == SCREEN_H &&
      dst != top_layer && under != top_layer) {
    blend_whole_top_layer(dst, under);
    return;
  }
  if (w <= 0 || h <= 0) return;
  mark_written(dst, x, y, x + w - 1, y + h - 1);
#if VESPER_SSE2_KERNELS
  blend_image_sse2(dst, src, under, stride, x, y, w, h);
#else
  blend_image_portable(dst, src, under, stride, x, y, w, h);
#endif
}

void blend_image_reference(pixel_t* dst, const pixel_t* src, const pixel_t* under, int stride, int, int x, int y, int w,
                           int h) {
  if (w <= 0 || h <= 0) return;
  for (int j = 0; j < h; ++j) {
    for (int i = 0; i < w; ++i) {
      pixel_t s = src[j * w + i];
      int p = (y + j) * stride + (x + i);
      float t = static_cast<float>(static_cast<double>(s >> 24) / 255.0);
      dst[p] = mix_colour_reference(under[p], s, t);
    }
  }
}

void copy_to_display(const pixel_t* layer) {
  if (display_frame == nullptr) return;
  std::memcpy(display_frame, layer, sizeof(pixel_t) * LAYER_PIXELS);
}

// The frame is shown by the host once the composing pass returns; nothing has to be pushed here.
void flush_display() {}

void merge_twice_in_place(pixel_t* dst, const pixel_t* src, int x, int y, int w) {
  mark_written(dst, x, y, x + w - 1, y);
#if VESPER_SSE2_KERNELS
  blend_image_sse2_twice(dst, src, SCREEN_W, x, y, w, 1);
#else
  blend_image_portable(dst, src, dst, SCREEN_W, x, y, w, 1);
  blend_image_portable(dst, src, dst, SCREEN_W, x, y, w, 1);
#endif
}

void merge_vignetted_run(const vignette_merge_run& run, int n) {
#if VESPER_SSE2_KERNELS
  merge_vignetted_sse2(run, n);
#else
  merge_vignetted_portable(run, n);
#endif
}

void merge_top_layer_twice(pixel_t* dst) {
  audit_top_layer();
  for (int y = 0; y < SCREEN_H; ++y) {
    const int row = y * SCREEN_W;
    for_each_tile_run(layer_tiles.top_rows[y],
                      [&](int x, int n) { merge_twice_in_place(dst, top_layer + row + x, x, y, n); });
  }
}

void layers_power_on() {
  zero_rows(top_layer);
  zero_rows(base_layer);
  zero_rows(aircraft_outline);
  layer_tiles = layer_tile_state{};
  display_frame = nullptr;
}
