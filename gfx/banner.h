// The two-line banner at the bottom of the screen through which pop-ups, menus and setup pages
// show a title and a value. Cleared before and drawn after the pop-ups of every frame.
#pragma once
#include "gfx/kept_draw.h"
#include "gfx/layers.h"

inline constexpr int BANNER_TEXT_MAX = 15;

struct banner_state {
  char banner_line1[BANNER_TEXT_MAX + 1] = {};
  char banner_line2[BANNER_TEXT_MAX + 1] = {};
  pixel_t banner_line1_colour = 0;
  pixel_t banner_line2_colour = 0;
  int banner_line1_style = 0;
  int banner_line2_style = 0;
  int banner_left_arrow = 0;
  int banner_right_arrow = 0;
  int banner_cursor_index = 0;
  int banner_cursor_mode = 0;
  // The arrows and the lines over the banner's back, written again while they and the pixels
  // under them stay the same.
  kept_area<512> arrows_kept[2];
  kept_area<6144> lines_kept;
};
extern banner_state banner;

void set_banner_line1(const char* text, int style, pixel_t colour);
void set_banner_line2(const char* text, int style, pixel_t colour);
void set_banner_right_arrow(int flag);
void set_banner_left_arrow(int flag);
void set_banner_cursor_index(int i);
void set_banner_cursor_mode(int m);
void clear_banner_lines();
void banner_cursor_clear();  // start-up: the digit cursor state cleared
void draw_banner(pixel_t* top);

void banner_power_on();
