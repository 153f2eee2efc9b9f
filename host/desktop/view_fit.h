// Where the bezel picture goes in a window of any size, and how big the window may start: the
// picture is drawn at the largest whole zoom that fits, centred, and shrunk smoothly only when
// even zoom 1 is too big for the screen.
#pragma once
#include <cstdint>

// The largest whole zoom from 1 to `wanted` whose window fits the available area; 0 when not even
// zoom 1 fits.
int fitting_zoom(int wanted, int available_w, int available_h);

struct picture_place {
  int x = 0;  // left edge of the picture in the window
  int y = 0;  // top edge
  int w = 0;  // shown size
  int h = 0;
  int zoom = 1;  // whole zoom of the picture, 0 when it is shrunk below its own size
};

// The picture in a window of w x h: the largest whole zoom that fits, centred; below the
// picture's own size, the largest size with its proportions (at least one pixel each way).
picture_place place_picture(int window_w, int window_h);

// A window coordinate on the shown picture to the bezel picture's coordinate (rounding towards
// minus infinity, so points left of or above the picture never land on its first pixel).
int to_bezel(int window_coordinate, int offset, int shown_size, int bezel_size);

// Nearest-neighbour scaling of a w x h picture to dw x dh (any sizes).
void scale_picture(const std::uint32_t* src, int w, int h, std::uint32_t* dst, int dw, int dh);
