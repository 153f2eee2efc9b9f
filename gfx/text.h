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
// One mix of the ink over a drawn pixel, remembered: the same pixel under the same coverage mixes
// to the same result. coverage 0 marks an empty entry (coverage 0 is never mixed).
struct ink_mix {
  pixel_t under = 0;
  pixel_t out = 0;
  int coverage = 0;
};
inline constexpr int INK_MIXES = 128;  // a power of two

struct text_ink {
  pixel_t colour = 0;
  int ready = 0;
  float part[16][4] = {};
  pixel_t on_clear[16] = {};
  ink_mix mixes[INK_MIXES] = {};
};
inline constexpr int TEXT_INKS = 8;

// Where a glyph has ink: stored rows row0..row1-1 and columns col0..col1-1 from the glyph's first
// strip column; the rest of its cell is coverage 0, which draws nothing.
struct glyph_box {
  std::uint8_t known = 0;
  std::uint8_t row0 = 0, row1 = 0, col0 = 0, col1 = 0;
};
inline constexpr int TEXT_GLYPHS_INDEXED = 96;  // the largest char set has 94

// A rectangle of pixels, corners inclusive; empty when x1 < x0 or y1 < y0.
struct text_box {
  int x0 = 0, y0 = 0, x1 = -1, y1 = -1;
  bool empty() const { return x1 < x0 || y1 < y0; }
  bool operator==(const text_box&) const = default;
};

struct text_state {
  text_ink inks[TEXT_INKS] = {};
  // Per font, the glyph index of each 7-bit character (-1: not in the font), set up at the first
  // use of the font, and the ink boxes of its glyphs, each found at the glyph's first drawing.
  int font_indexed[FONT_COUNT] = {};
  std::int8_t glyph_of[FONT_COUNT][128] = {};
  glyph_box boxes[FONT_COUNT][TEXT_GLYPHS_INDEXED] = {};
  int next_ink = 0;  // the ink replaced next
  // While tracking, the box of every pixel a glyph may have changed (see text_track_start).
  int tracking = 0;
  text_box tracked;
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
// How far one character moves the pen: what draw_char returns for it.
int char_advance(int font, char ch);
void draw_text_centred(pixel_t* buf, int width, int height, int font, int x, int y, pixel_t colour, const char* text);
void draw_text_right(pixel_t* buf, int width, int height, int font, int x, int y, pixel_t colour, const char* text);

// Tracking of where drawing writes: between start and stop, every glyph adds the pixels it may
// have changed (its ink clipped to the buffer) to a running box, and text_track_add adds what
// other writers report; stop returns the box. A caller learns so where a group of draws wrote.
void text_track_start();
void text_track_add(int x0, int y0, int x1, int y1);
text_box text_track_stop();

void append_int(int value, char*& cursor);
void append_hex(std::uint32_t value, int nbytes, char*& cursor);
int string_length(const char* text);
float parse_decimal(const char* text);
int is_alnum_or_space(char ch);
float wrap_value(float x, float m);
