// Drawing primitives: spans, boxes, the anti-aliased two-pixel line, the line clipper, the
// square-visibility test, the 2 x 2 image transform and bilinear-sampled transformed images.
#pragma once
#include <cstdint>
#include <cstring>

#include "gfx/layers.h"
#include "gfx/mix.h"

struct image_transform {
  float m00 = 1.0f;
  float m01 = 0.0f;
  float m10 = 0.0f;
  float m11 = 1.0f;
  float inv_scale = 1.0f;
};

// Red, green and blue all equal, as in every grey and white picture and line.
inline bool rgb_grey(pixel_t p) { return (p & 0xFFFFFFu) == (p & 0xFFu) * 0x010101u; }

// mix_colour(under, over, t), inlined for the drawing loops: the same single-precision operations
// on each channel, plus the shortcuts that provably give the same bits. Weight 0 keeps the under
// pixel and weight 1 gives the over pixel. Where the four-lane mix is enabled it does the rest;
// the plain rule takes two more: over a clear pixel the under channel's product is 0, so only the
// over channel's product remains; and where both pixels are grey the three colour channels are the
// same computation, done once.
[[gnu::always_inline]] inline pixel_t blend_pixel(pixel_t under, pixel_t over, float t) {
  if (t == 0.0f) return under;
  if (t == 1.0f) return over;
#if VESPER_SSE2_KERNELS
  return mix_colour_sse2(under, over, t);
#else
  const bool grey = rgb_grey(under) && rgb_grey(over);
  if (under == 0 && t > 0.0f && t < 1.0f) {
    if (over == 0) return 0;
    const pixel_t alpha = static_cast<pixel_t>(static_cast<int>(static_cast<float>(over >> 24) * t)) << 24;
    if (grey) return alpha | static_cast<pixel_t>(static_cast<int>(static_cast<float>(over & 0xFFu) * t)) * 0x010101u;
    pixel_t out = alpha;
    for (int shift = 0; shift < 24; shift += 8) {
      out |= static_cast<pixel_t>(static_cast<int>(static_cast<float>((over >> shift) & 0xFFu) * t)) << shift;
    }
    return out;
  }
  const pixel_t alpha = mix_channel_bits(under >> 24, over >> 24, t) << 24;
  if (grey) return alpha | mix_channel_bits(under & 0xFFu, over & 0xFFu, t) * 0x010101u;
  pixel_t out = alpha;
  for (int shift = 0; shift < 24; shift += 8) {
    out |= mix_channel_bits((under >> shift) & 0xFFu, (over >> shift) & 0xFFu, t) << shift;
  }
  return out;
#endif
}

// Sets n pixels from p on (none when n <= 0), two at a time: both halves of the double word hold
// the same colour, so the byte order does not matter.
inline void fill_row(pixel_t* p, int n, pixel_t colour) {
  const std::uint64_t pair = static_cast<std::uint64_t>(colour) << 32 | colour;
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    std::memcpy(p + i, &pair, sizeof pair);
    std::memcpy(p + i + 2, &pair, sizeof pair);
    std::memcpy(p + i + 4, &pair, sizeof pair);
    std::memcpy(p + i + 6, &pair, sizeof pair);
  }
  for (; i < n; ++i) p[i] = colour;
}

void draw_hspan(pixel_t* buf, int stride, int height, int x0, int x1, int y, pixel_t colour);
void fill_box(pixel_t* buf, int width, int height, int x0, int y0, int x1, int y1, pixel_t colour);
void dim_box(pixel_t* buf, int width, int height, int x0, int y0, int x1, int y1, double factor);
void fill_disc(pixel_t* buf, int width, int height, int cx, int cy, int r, pixel_t colour);
void clamp_rect_to_screen(int& x0, int& y0, int& x1, int& y1);
void draw_line_aa(pixel_t* buf, int width, int height, float x0, float y0, float x1, float y1, pixel_t colour);
int clip_line(float& x0, float& y0, float& x1, float& y1, int xmin, int xmax, int ymax, int ymin);
int box_visible(float x, float y, int xmin, int xmax, int ymin, int ymax, int size);
void rotate_matrix(image_transform& t, float angle);
void scale_matrix(image_transform& t, float s);
void transform_point(const image_transform& t, float& x, float& y);
pixel_t sample_bilinear(const pixel_t* src, int width, int height, float x, float y);
void draw_image_transformed(pixel_t* dst, int dst_w, int dst_h, const pixel_t* src, int src_w, int src_h, float ox,
                            float oy, const image_transform& t, float blend);
void draw_image_rotated(pixel_t* dst, int dst_w, int dst_h, const pixel_t* src, int src_w, int src_h, float ox,
                        float oy, const image_transform& t, float blend);
void stamp_image_transformed(pixel_t* dst, int dst_w, int dst_h, const pixel_t* src, int src_w, int src_h,
                             const float* offsets_x, const float* offsets_y, const image_transform& t, int additive,
                             int count);
