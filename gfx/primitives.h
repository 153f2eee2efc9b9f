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
