// Small images turned and scaled onto a screen layer, pixel for pixel as draw_image_transformed
// and draw_image_rotated draw them, at a fraction of their work: only the rows and columns the
// image can reach are visited, and a sample whose four source pixels are all transparent is not
// interpolated. The heading pages draw a dozen such images every frame.
#pragma once
#include "gfx/layers.h"
#include "gfx/primitives.h"

// The screen rectangle a draw may have written (inclusive; empty when x1 < x0 or y1 < y0).
struct pixel_box {
  int x0;
  int y0;
  int x1;
  int y1;
};

// As draw_image_transformed(layer, SCREEN_W, SCREEN_H, src, w, h, ox, oy, t, blend); returns the
// window it looked at.
pixel_box sprite_draw_transformed(pixel_t* layer, const pixel_t* src, int w, int h, float ox, float oy,
                                  const image_transform& t, float blend);

// As draw_image_rotated(layer, SCREEN_W, SCREEN_H, src, w, h, x, y, t, blend).
pixel_box sprite_draw_rotated(pixel_t* layer, const pixel_t* src, int w, int h, float x, float y,
                              const image_transform& t, float blend);
