#include "gfx/banner.h"

#include "gfx/images.h"
#include "gfx/primitives.h"
#include "gfx/text.h"

banner_state banner;

namespace {

constexpr int BANNER_X = 94;
constexpr int BANNER_Y = 194;
constexpr int CENTRE_X = 160;
constexpr int LINE1_Y_TWO_LINES = 204;
constexpr int LINE1_Y_ALONE = 214;
constexpr int LINE2_Y = 222;
constexpr int ARROW_Y = 223;
constexpr int LEFT_ARROW_X = 105;
constexpr int RIGHT_ARROW_X = 215;
constexpr int ARROW_FONT = 6;  // its '{' and '}' are filled arrow heads

// The digit-edit form: font 7 with 5 extra pixels after every character, the cursor cell rows.
constexpr int EDIT_FONT = 7;
constexpr int EDIT_GAP = 5;
constexpr int EDIT_TOP = 213;
constexpr int EDIT_BOTTOM = 233;

void copy_line(char* line, const char* text) {
  int i = 0;
  if (text != nullptr) {
    for (; i < BANNER_TEXT_MAX && text[i] != '\0'; ++i) line[i] = text[i];
  }
  for (; i <= BANNER_TEXT_MAX; ++i) line[i] = '\0';
}

void draw_edit_line(pixel_t* top) {
  const char* text = banner.banner_line2;
  const pixel_t colour = banner.banner_line1_colour;
  const int w2 = text_width(EDIT_FONT, text);
  const int n = string_length(text);
  const int cell = text_width(EDIT_FONT, "1") + EDIT_GAP;
  const int cursor = banner.banner_cursor_index;
  const int cell_x = cursor * cell - (n * EDIT_GAP) / 2 - w2 / 2 + (CENTRE_X - 3);
  // Only a character of the text can carry the cursor; an index past the text shows none.
  const int mode = (cursor >= 0 && cursor < n) ? banner.banner_cursor_mode : 0;

  int x = CENTRE_X - w2 / 2 - (n * EDIT_GAP) / 2;
  for (int i = 0; i < n; ++i) {
    const char ch[2] = {text[i], '\0'};
    pixel_t c = colour;
    if (i == cursor && mode == 2) {
      text_track_add(cell_x, EDIT_TOP, cell_x + cell - 1, EDIT_BOTTOM - 1);
      fill_box(top, SCREEN_W, SCREEN_H, cell_x, EDIT_TOP, cell_x + cell, EDIT_BOTTOM, colour);
      c = COLOUR_BLACK;
    }
    draw_text(top, SCREEN_W, SCREEN_H, EDIT_FONT, x, EDIT_TOP, c, ch);
    x += text_width(EDIT_FONT, ch) + EDIT_GAP;
  }
  if (mode == 1) {
    const float x0 = static_cast<float>(cell_x), x1 = static_cast<float>(cell_x + cell);
    const float y0 = static_cast<float>(EDIT_TOP), y1 = static_cast<float>(EDIT_BOTTOM);
    // Anti-aliased lines reach a pixel beyond their ends and either side.
    text_track_add(cell_x - 2, EDIT_TOP - 2, cell_x + cell + 2, EDIT_BOTTOM + 2);
    draw_line_aa(top, SCREEN_W, SCREEN_H, x0, y0, x1, y0, colour);
    draw_line_aa(top, SCREEN_W, SCREEN_H, x1, y0, x1, y1, colour);
    draw_line_aa(top, SCREEN_W, SCREEN_H, x1, y1, x0, y1, colour);
    draw_line_aa(top, SCREEN_W, SCREEN_H, x0, y1, x0, y0, colour);
  }
}

}  // namespace

void set_banner_line1(const char* text, int style, pixel_t colour) {
  copy_line(banner.banner_line1, text);
  banner.banner_line1_style = style;
  banner.banner_line1_colour = colour;
}

void set_banner_line2(const char* text, int style, pixel_t colour) {
  copy_line(banner.banner_line2, text);
  banner.banner_line2_style = style;
  banner.banner_line2_colour = colour;
}

void set_banner_right_arrow(int flag) { banner.banner_right_arrow = flag; }
void set_banner_left_arrow(int flag) { banner.banner_left_arrow = flag; }
void set_banner_cursor_index(int i) { banner.banner_cursor_index = i; }
void set_banner_cursor_mode(int m) { banner.banner_cursor_mode = m; }

void clear_banner_lines() {
  for (int i = 0; i < BANNER_TEXT_MAX; ++i) {
    banner.banner_line1[i] = '\0';
    banner.banner_line2[i] = '\0';
  }
}

void banner_cursor_clear() {
  banner.banner_cursor_index = 0;
  banner.banner_cursor_mode = 0;
}

void draw_banner(pixel_t* top) {
  const bool has_line1 = banner.banner_line1[0] != '\0';
  const bool has_line2 = banner.banner_line2[0] != '\0';
  if (!has_line1 && !has_line2) return;

  const image_ref back = image_lookup(IMG_BANNER_BACK);
  if (back.pixels != nullptr) {
    copy_image(top, back.pixels, SCREEN_W, SCREEN_H, BANNER_X, BANNER_Y, back.width, back.height);
  }

  const pixel_t arrow_colour = banner.banner_line2_colour;
  const auto arrow = [&](kept_area<512>& area, int x, const char* glyph) {
    kept_key key;
    key.add(arrow_colour).add_int(x);
    draw_kept(&area, top, key,
              [&] { draw_text_centred(top, SCREEN_W, SCREEN_H, ARROW_FONT, x, ARROW_Y, arrow_colour, glyph); });
  };
  if (banner.banner_left_arrow) arrow(banner.arrows_kept[0], LEFT_ARROW_X, "{");
  if (banner.banner_right_arrow) arrow(banner.arrows_kept[1], RIGHT_ARROW_X, "}");

  // The lines: everything they depend on is in the key.
  kept_key key;
  key.add_int(has_line2 ? 1 : 0)
      .add_int(banner.banner_line1_style)
      .add(banner.banner_line1_colour)
      .add_text(banner.banner_line1)
      .add_int(banner.banner_line2_style)
      .add(banner.banner_line2_colour)
      .add_text(banner.banner_line2);
  if (banner.banner_line2_style == 2) key.add_int(banner.banner_cursor_index).add_int(banner.banner_cursor_mode);
  draw_kept(&banner.lines_kept, top, key, [&] {
    const int line1_y = has_line2 ? LINE1_Y_TWO_LINES : LINE1_Y_ALONE;
    const int line1_font = banner.banner_line1_style == 0 ? 5 : banner.banner_line1_style == 1 ? 6 : -1;
    if (line1_font >= 0) {
      draw_text_centred(top, SCREEN_W, SCREEN_H, line1_font, CENTRE_X, line1_y, banner.banner_line1_colour,
                        banner.banner_line1);
    }

    switch (banner.banner_line2_style) {
      case 0:
        draw_text_centred(top, SCREEN_W, SCREEN_H, 6, CENTRE_X, LINE2_Y, banner.banner_line2_colour,
                          banner.banner_line2);
        break;
      case 1:
        draw_text_centred(top, SCREEN_W, SCREEN_H, 7, CENTRE_X, LINE2_Y, banner.banner_line2_colour,
                          banner.banner_line2);
        break;
      case 3:
        draw_text_centred(top, SCREEN_W, SCREEN_H, 5, CENTRE_X, LINE2_Y, banner.banner_line2_colour,
                          banner.banner_line2);
        break;
      case 2:
        draw_edit_line(top);
        break;
      default:
        break;
    }
  });
}

void banner_power_on() { banner = {}; }
