// Turns one composed display frame into the window's picture: the frame through the display
// mask, framed by the bezel, with the touch areas outlined; and scales pictures by whole factors.
#pragma once
#include <cstdint>

#include "host/desktop/art/bezel_geometry.h"

inline constexpr std::uint32_t TOUCH_OUTLINE_COLOUR = 0xFF808080;
// A control that is held (by the mouse, a key, or a click whose release slipped outside its area)
// has its outline lit, two pixels wide, so the user sees why the instrument acts as it does.
inline constexpr std::uint32_t HELD_OUTLINE_COLOUR = 0xFFFFD020;

// Bit of a touch area in a set of lit areas.
constexpr unsigned touch_bit(int area) { return 1u << area; }
inline constexpr int WINDOW_PICTURE_PIXELS = BEZEL_W * BEZEL_H;

// frame: 320 x 240 as the firmware composed it (left untouched). picture: BEZEL_W x BEZEL_H.
// lit: touch_bit of every held area.
void compose_window_picture(const std::uint32_t* frame, const std::uint32_t* bezel, const std::uint32_t* mask,
                            std::uint32_t* picture, unsigned lit = 0);

// Outlines a rectangle 1 pixel wide covering columns x..x+w and rows y..y+h (both ends included),
// clipped to the picture.
void outline_rect(std::uint32_t* picture, int picture_w, int picture_h, int x, int y, int w, int h,
                  std::uint32_t colour);

// Nearest-neighbour enlargement by a whole factor: dst is (w * zoom) x (h * zoom).
void zoom_picture(const std::uint32_t* src, int w, int h, int zoom, std::uint32_t* dst);
