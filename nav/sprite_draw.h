// Small images turned and scaled onto a screen layer, pixel for pixel as draw_image_transformed
// and draw_image_rotated draw them, at a fraction of their work: only the rows and columns the
// image can reach are visited, and a sample whose four source pixels are all transparent is not
// interpolated. The heading pages draw a dozen such images every frame.
#pragma once
#include <cstdint>

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

// What a draw of weight 1 wrote: such a draw stores each pixel's sample whatever was under it, so
// writing the same values again repeats it exactly while its inputs (the image and its version,
// position and transform) stay the same.
inline constexpr int SPRITE_KEPT_MAX = 720;  // a 24 x 24 image at any turn
struct sprite_kept {
  bool valid = false;
  const pixel_t* src = nullptr;
  std::uint32_t version = 0;
  int w = 0;
  int h = 0;
  std::uint32_t key[7] = {};  // the bits of ox, oy and the transform
  pixel_box box{0, 0, -1, -1};
  int first = 0;  // layer index of the first pixel written; the offsets count from it
  int count = 0;
  std::uint16_t offset[SPRITE_KEPT_MAX] = {};
  pixel_t value[SPRITE_KEPT_MAX] = {};
};

// As sprite_draw_rotated(layer, src, w, h, x, y, t, 1.0f), repeated from `kept` when src, version,
// size, position and transform are those it last drew with (and it could keep them all). What is
// drawn is kept only when the same inputs come twice running, so moving images pay nothing.
pixel_box sprite_draw_rotated_kept(pixel_t* layer, const pixel_t* src, int w, int h, float x, float y,
                                   const image_transform& t, std::uint32_t version, sprite_kept& kept);
