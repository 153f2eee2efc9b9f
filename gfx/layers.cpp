// Pixel layers, colour arithmetic and the block operations.
#include "gfx/layers.h"

#include <cstring>

#include "gfx/primitives.h"

// Aligned so that the blend kernels' vector loads never straddle a cache line more than they must.
alignas(64) pixel_t top_layer[LAYER_PIXELS];
alignas(64) pixel_t base_layer[LAYER_PIXELS];
alignas(64) pixel_t aircraft_outline[LAYER_PIXELS];
pixel_t* display_frame = nullptr;

namespace {

constexpr blend_weight_table make_blend_weights() {
  blend_weight_table table{};
  for (int a = 0; a < 256; ++a) table.t[a] = static_cast<float>(a / 255.0);
  return table;
}

inline int channel(pixel_t c, int shift) { return static_cast<int>((c >> shift) & 0xFFu); }

// Keeps a channel inside its byte. With t or f inside 0..1 the value is already in range (the cap
// at 255 never triggers in practice); out-of-range weights must not spill into the next channel.
inline pixel_t channel_bits(int v, int shift) {
  if (v < 0) v = 0;
  if (v > 255) v = 255;
  return static_cast<pixel_t>(v) << shift;
}

// One channel of the mix: single precision, truncated toward zero. The two products and the sum
// are rounded separately (no fused multiply-add), which is what makes every blend path agree.
inline int mix_channel(int ca, int cb, float t) {
  float v = static_cast<float>(ca) * (1.0f - t) + static_cast<float>(cb) * t;
  return static_cast<int>(v);
}

}  // namespace

constexpr blend_weight_table blend_weights = make_blend_weights();

pixel_t mix_colour(pixel_t a, pixel_t b, float t) {
  pixel_t out = 0;
  for (int shift = 0; shift < 32; shift += 8)
    out |= channel_bits(mix_channel(channel(a, shift), channel(b, shift), t), shift);
  return out;
}

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

void put_pixel(pixel_t* buf, int width, int height, int x, int y, pixel_t colour) {
  if (x < 0 || y < 0 || x >= width || y >= height) return;
  buf[y * width + x] = colour;
}

void put_pixel_unchecked(pixel_t* buf, int width, int, int x, int y, pixel_t colour) { buf[y * width + x] = colour; }

pixel_t get_pixel(const pixel_t* buf, int width, int height, int x, int y) {
  if (x < 0 || y < 0 || x >= width || y >= height) return COLOUR_TRANSPARENT;
  return buf[y * width + x];
}

pixel_t get_pixel_unchecked(const pixel_t* buf, int width, int, int x, int y) { return buf[y * width + x]; }

void clear_layer(pixel_t* layer) { std::memset(layer, 0, sizeof(pixel_t) * LAYER_PIXELS); }

void fill_layer(pixel_t* buf, int width, int height, pixel_t colour) {
  for (int y = 0; y < height; ++y) draw_hspan(buf, width, height, 0, width - 1, y, colour);
}

void fill_rect(pixel_t* buf, int x, int y, int w, int h, pixel_t colour) {
  if (w <= 0 || h <= 0) return;
  for (int j = 0; j < h; ++j) fill_row(buf + (y + j) * SCREEN_W + x, w, colour);
}

void copy_image(pixel_t* dst, const pixel_t* src, int stride, int, int x, int y, int w, int h) {
  if (w <= 0 || h <= 0) return;
  for (int j = 0; j < h; ++j) std::memmove(dst + (y + j) * stride + x, src + j * w, sizeof(pixel_t) * w);
}

void blend_image(pixel_t* dst, const pixel_t* src, const pixel_t* under, int stride, int, int x, int y, int w, int h) {
#if defined(__SSE2__)
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
      dst[p] = mix_colour(under[p], s, t);
    }
  }
}

void copy_to_display(const pixel_t* layer) {
  if (display_frame == nullptr) return;
  std::memcpy(display_frame, layer, sizeof(pixel_t) * LAYER_PIXELS);
}

// The frame is shown by the host once the composing pass returns; nothing has to be pushed here.
void flush_display() {}

void layers_power_on() {
  clear_layer(top_layer);
  clear_layer(base_layer);
  clear_layer(aircraft_outline);
  display_frame = nullptr;
}
