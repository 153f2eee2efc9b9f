// Anti-aliased strip fonts, text drawing and measuring, and the small text and number utilities
// shared by the pages and the serial input.
#pragma once
#include <cstdint>

#include "gfx/layers.h"

struct font_record {
  const std::uint8_t* glyph_strip;  // 4-bit coverage, rows bottom-up, high nibble = even column
  int strip_width;                  // always even
  int height;
  int reserved;              // always 0
  const char* charset;       // glyphs in strip order
  const int* glyph_offsets;  // one more entry than the char set has characters
};

inline constexpr int FONT_COUNT = 10;
extern const font_record font_table[FONT_COUNT];

// A colour prepared for drawing glyphs: its channels times each coverage's fraction, and the pixel
// each coverage leaves where the layer is transparent.
struct text_ink {
  pixel_t colour = 0;
  int ready = 0;
  float part[16][4] = {};
  pixel_t on_clear[16] = {};
};
inline constexpr int TEXT_INKS = 4;

struct text_state {
  text_ink inks[TEXT_INKS] = {};
  int next_ink = 0;  // the ink replaced next
};
extern text_state text_drawing;
void text_power_on();

int font_for_size(int size);
int glyph_index(const font_record& font, char ch);
int draw_char(pixel_t* buf, int width, int height, int font, int x, int y, pixel_t colour, char ch);
// The glyph drawn pixel by pixel with get_pixel, mix_colour and put_pixel, every pixel of the glyph
// mixed: the plain rule draw_char must match.
int draw_char_reference(pixel_t* buf, int width, int height, int font, int x, int y, pixel_t colour, char ch);
void draw_text(pixel_t* buf, int width, int height, int font, int x, int y, pixel_t colour, const char* text);
int text_width(int font, const char* text);
void draw_text_centred(pixel_t* buf, int width, int height, int font, int x, int y, pixel_t colour, const char* text);
void draw_text_right(pixel_t* buf, int width, int height, int font, int x, int y, pixel_t colour, const char* text);

void append_int(int value, char*& cursor);
void append_hex(std::uint32_t value, int nbytes, char*& cursor);
int string_length(const char* text);
float parse_decimal(const char* text);
int is_alnum_or_space(char ch);
float wrap_value(float x, float m);
