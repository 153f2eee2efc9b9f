// Drawing primitives: spans, boxes, the anti-aliased two-pixel line, the line clipper, the
// square-visibility test, the 2 x 2 image transform and bilinear-sampled transformed images.
#pragma once
#include "gfx/layers.h"

struct image_transform {
  float m00 = 1.0f;
  float m01 = 0.0f;
  float m10 = 0.0f;
  float m11 = 1.0f;
  float inv_scale = 1.0f;
};

// mix_colour(under, over, t) for a finite weight t, inlined for the drawing loops: the same
// single-precision operations in the same order, plus the shortcuts that provably give the same
// bits (weight 0 keeps the under pixel, weight 1 gives the over pixel, and over a clear pixel the
// under channel's product is 0, so only the over channel's product remains).
inline pixel_t blend_pixel(pixel_t under, pixel_t over, float t) {
  if (t == 0.0f) return under;
  if (t == 1.0f) return over;
  pixel_t out = 0;
  if (under == 0 && t > 0.0f && t < 1.0f) {
    if (over == 0) return 0;
    for (int shift = 0; shift < 32; shift += 8) {
      out |= static_cast<pixel_t>(static_cast<int>(static_cast<float>((over >> shift) & 0xFFu) * t)) << shift;
    }
    return out;
  }
  for (int shift = 0; shift < 32; shift += 8) {
    int v = static_cast<int>(static_cast<float>((under >> shift) & 0xFFu) * (1.0f - t) +
                             static_cast<float>((over >> shift) & 0xFFu) * t);
    if (v < 0) v = 0;
    if (v > 255) v = 255;
    out |= static_cast<pixel_t>(v) << shift;
  }
  return out;
}

// Sets n pixels from p on (none when n <= 0), several at a time.
inline void fill_row(pixel_t* p, int n, pixel_t colour) {
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    p[i] = colour;
    p[i + 1] = colour;
    p[i + 2] = colour;
    p[i + 3] = colour;
    p[i + 4] = colour;
    p[i + 5] = colour;
    p[i + 6] = colour;
    p[i + 7] = colour;
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
