// Turns one composed display frame into the window's picture: the frame through the display
// mask, framed by the bezel, with the touch areas outlined; and scales pictures by whole factors.
#pragma once
#include <cstdint>

#include "host/desktop/art/bezel_geometry.h"

inline constexpr std::uint32_t TOUCH_OUTLINE_COLOUR = 0xFF808080;
inline constexpr int WINDOW_PICTURE_PIXELS = BEZEL_W * BEZEL_H;

// frame: 320 x 240 as the firmware composed it (left untouched). picture: BEZEL_W x BEZEL_H.
void compose_window_picture(const std::uint32_t* frame, const std::uint32_t* bezel, const std::uint32_t* mask,
                            std::uint32_t* picture);

// Outlines a rectangle 1 pixel wide covering columns x..x+w and rows y..y+h (both ends included),
// clipped to the picture.
void outline_rect(std::uint32_t* picture, int picture_w, int picture_h, int x, int y, int w, int h,
                  std::uint32_t colour);

// Nearest-neighbour enlargement by a whole factor: dst is (w * zoom) x (h * zoom).
void zoom_picture(const std::uint32_t* src, int w, int h, int zoom, std::uint32_t* dst);
