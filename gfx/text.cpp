#include "gfx/text.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

#include "settings/settings.h"

text_state text_drawing;

void text_power_on() { text_drawing = text_state{}; }

namespace {

// What a character the font lacks (the space among them) advances the pen by.
constexpr int MISSING_ADVANCE = 7;

// Nominal sizes to fonts, "LCD" family and "ARIAL" family.
struct size_fonts {
  int size;
  int lcd;
  int arial;
};
constexpr size_fonts SIZE_FONTS[] = {{10, 0, 5}, {14, 2, 6}, {17, 2, 7}, {20, 3, 8}, {25, 4, 9}};

// A font id outside the table is treated as a font with no glyphs: nothing is drawn and every
// character advances as a missing one, rather than reading past the table.
const font_record* font_at(int font) {
  if (font < 0 || font >= FONT_COUNT) return nullptr;
  return &font_table[font];
}

int glyph_width(const font_record& f, int index) { return f.glyph_offsets[index + 1] - f.glyph_offsets[index]; }

// glyph_index through the font's table of 7-bit characters, filled at the font's first use.
int find_glyph(int font, const font_record& f, char ch) {
  const unsigned code = static_cast<unsigned char>(ch);
  if (code >= 128) return glyph_index(f, ch);
  std::int8_t* table = text_drawing.glyph_of[font];
  if (text_drawing.font_indexed[font] == 0) {
    for (int c = 0; c < 128; ++c) table[c] = -1;
    // Backwards, so that a character listed twice keeps its first place.
    for (int i = string_length(f.charset) - 1; i >= 0 && f.charset != nullptr; --i) {
      const unsigned c = static_cast<unsigned char>(f.charset[i]);
      if (c > 0 && c < 128 && i < 128) table[c] = static_cast<std::int8_t>(i);
    }
    text_drawing.font_indexed[font] = 1;
  }
  return table[code];
}

int advance_of(int font, const font_record* f, char ch) {
  if (f == nullptr) return MISSING_ADVANCE;
  int i = find_glyph(font, *f, ch);
  return i < 0 ? MISSING_ADVANCE : glyph_width(*f, i);
}

// The rows and columns of a glyph that hold ink, found once per glyph. A glyph the table has no
// room for is taken whole.
glyph_box ink_box(int font, const font_record& f, int index) {
  const int s0 = f.glyph_offsets[index];
  const int w = f.glyph_offsets[index + 1] - s0;
  if (index >= TEXT_GLYPHS_INDEXED || w > 255 || f.height > 255) {
    return glyph_box{1, 0, static_cast<std::uint8_t>(std::min(f.height, 255)), 0,
                     static_cast<std::uint8_t>(std::min(w, 255))};
  }
  glyph_box& box = text_drawing.boxes[font][index];
  if (box.known != 0) return box;
  const int row_bytes = f.strip_width / 2;
  int row0 = f.height, row1 = 0, col0 = w, col1 = 0;
  for (int r = 0; r < f.height; ++r) {
    const std::uint8_t* strip = f.glyph_strip + r * row_bytes;
    for (int c = 0; c < w; ++c) {
      const int k = s0 + c;
      const int n = (k & 1) == 0 ? strip[k >> 1] >> 4 : strip[k >> 1] & 0x0F;
      if (n == 0) continue;
      row0 = std::min(row0, r);
      row1 = std::max(row1, r + 1);
      col0 = std::min(col0, c);
      col1 = std::max(col1, c + 1);
    }
  }
  if (row0 >= row1) row0 = row1 = col0 = col1 = 0;  // no ink at all
  box = glyph_box{1, static_cast<std::uint8_t>(row0), static_cast<std::uint8_t>(row1), static_cast<std::uint8_t>(col0),
                  static_cast<std::uint8_t>(col1)};
  return box;
}

// Coverage nibble n mixes n*16/255 of the colour in; the sixteen fractions, in single precision.
struct coverage_fractions {
  float t[16];
  constexpr coverage_fractions() : t() {
    for (int n = 0; n < 16; ++n) t[n] = static_cast<float>(n * 16) / 255.0f;
  }
};
constexpr coverage_fractions COVERAGE;

// 1 - t for each coverage, the weight the pixel under the glyph keeps.
struct coverage_keeps {
  float t[16];
  constexpr coverage_keeps() : t() {
    for (int n = 0; n < 16; ++n) t[n] = 1.0f - COVERAGE.t[n];
  }
};
constexpr coverage_keeps COVERAGE_KEEP;

}  // namespace

int font_for_size(int size) {
  const bool lcd = cfg_get_byte(CFG_UI_FONT) == 1;
  for (const size_fonts& s : SIZE_FONTS) {
    if (s.size == size) return lcd ? s.lcd : s.arial;
  }
  return 0;
}

int glyph_index(const font_record& font, char ch) {
  if (ch == '\0' || font.charset == nullptr) return -1;
  for (int i = 0; font.charset[i] != '\0'; ++i) {
    if (font.charset[i] == ch) return i;
  }
  return -1;
}

namespace {

// The colour channels of a pixel as floats, and the pixel put back together from four truncated
// channel values; the same steps as mix_colour, so that a glyph mixed here is mixed exactly as there.
inline pixel_t mix_with_ink(pixel_t under, const text_ink& ink, int n) {
  // No clamp at 255 as mix_colour has: with t = n * 16 / 255 the sum stays below 256 for every
  // pair of channel values (a test goes through them all).
  const float keep = COVERAGE_KEEP.t[n];
  const float* part = ink.part[n];
  const auto b = static_cast<pixel_t>(static_cast<float>(under & 0xFFu) * keep + part[0]);
  const auto g = static_cast<pixel_t>(static_cast<float>((under >> 8) & 0xFFu) * keep + part[1]);
  const auto r = static_cast<pixel_t>(static_cast<float>((under >> 16) & 0xFFu) * keep + part[2]);
  const auto a = static_cast<pixel_t>(static_cast<float>(under >> 24) * keep + part[3]);
  return b | (g << 8) | (r << 16) | (a << 24);
}

// Text is mostly drawn over its own shadow, so the pixels under a glyph take few values, the same
// frame after frame: the mixes are looked up before they are worked out.
inline pixel_t mix_remembered(pixel_t under, text_ink& ink, int n) {
  ink_mix& m = ink.mixes[((under + static_cast<pixel_t>(n)) * 2654435761u) >> 25 & (INK_MIXES - 1)];
  if (m.coverage == n && m.under == under) return m.out;
  m.under = under;
  m.coverage = n;
  m.out = mix_with_ink(under, ink, n);
  return m.out;
}

// The ink of one colour: the colour's share of every coverage, and what each coverage leaves on a
// transparent pixel (0 * (1 - t) + c * t is c * t exactly, so that is mix_colour(0, colour, t)).
// Text comes in few colours at a time (a shadow, then the text), so a handful of inks are kept and
// the oldest is replaced.
text_ink& ink_for(pixel_t colour) {
  for (text_ink& ink : text_drawing.inks) {
    if (ink.ready != 0 && ink.colour == colour) return ink;
  }
  text_ink& ink = text_drawing.inks[text_drawing.next_ink];
  text_drawing.next_ink = (text_drawing.next_ink + 1) % TEXT_INKS;
  ink = text_ink{};
  ink.colour = colour;
  ink.ready = 1;
  for (int n = 0; n < 16; ++n) {
    for (int c = 0; c < 4; ++c) ink.part[n][c] = static_cast<float>((colour >> (8 * c)) & 0xFFu) * COVERAGE.t[n];
    ink.on_clear[n] = mix_colour(COLOUR_TRANSPARENT, colour, COVERAGE.t[n]);
  }
  return ink;
}

}  // namespace

int draw_char(pixel_t* buf, int width, int height, int font, int x, int y, pixel_t colour, char ch) {
  const font_record* f = font_at(font);
  if (f == nullptr) return MISSING_ADVANCE;
  const int i = find_glyph(font, *f, ch);
  if (i < 0) return MISSING_ADVANCE;
  const int s0 = f->glyph_offsets[i];
  const int s1 = f->glyph_offsets[i + 1];
  // The glyph's box in wide arithmetic, held inside int (the marks clamp it to the screen).
  const auto narrow = [](long long v) {
    return static_cast<int>(std::clamp<long long>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
  };
  mark_written(buf, x, narrow(y + 1LL), narrow(static_cast<long long>(x) + (s1 - s0) - 1),
               narrow(static_cast<long long>(y) + f->height));
  if (buf == nullptr || width <= 0 || height <= 0) return s1 - s0;
  // The glyph's ink clipped to the buffer once: strip columns k0..k1-1 land on screen columns from
  // x + (k0 - s0); stored rows r0..r1-1 land on rows y + height - r. Wide arithmetic, so that a
  // glyph placed far off the buffer is simply not drawn.
  const glyph_box box = ink_box(font, *f, i);
  const long long left = static_cast<long long>(x) - s0;  // screen column of strip column 0
  const long long k0_wide = std::max<long long>(s0 + box.col0, -left);
  const long long k1_wide = std::min<long long>(s0 + box.col1, static_cast<long long>(width) - left);
  const long long below = static_cast<long long>(y) + f->height;  // screen row of stored row 0
  const long long r0_wide = std::max<long long>(box.row0, below - (height - 1));
  const long long r1_wide = std::min<long long>(box.row1, below + 1);
  if (k0_wide >= k1_wide || r0_wide >= r1_wide) return s1 - s0;
  // Inside the glyph's own strip columns and rows from here, so they fit an int.
  const int k0 = static_cast<int>(k0_wide);
  const int k1 = static_cast<int>(k1_wide);
  const int r0 = static_cast<int>(r0_wide);
  const int r1 = static_cast<int>(r1_wide);
  if (text_drawing.tracking != 0) {
    text_track_add(static_cast<int>(left + k0), static_cast<int>(below - (r1 - 1)), static_cast<int>(left + k1 - 1),
                   static_cast<int>(below - r0));
  }

  text_ink& ink = ink_for(colour);
  const int row_bytes = f->strip_width / 2;
  auto ink_pixel = [&ink](pixel_t& p, int n) {
    p = p == COLOUR_TRANSPARENT ? ink.on_clear[n] : mix_remembered(p, ink, n);
  };
  for (int r = r0; r < r1; ++r) {
    const std::uint8_t* strip = f->glyph_strip + r * row_bytes;
    pixel_t* const row = buf + static_cast<std::ptrdiff_t>(below - r) * width;
    // Coverage 0 leaves a pixel as it is: a byte of two empty columns is passed over whole.
    int k = k0;
    if ((k & 1) != 0) {
      const int n = strip[k >> 1] & 0x0F;
      if (n != 0) ink_pixel(row[left + k], n);
      ++k;
    }
    // From here k is even: one byte holds the next two columns.
    pixel_t* d = row + (left + k);
    const std::uint8_t* b = strip + (k >> 1);
    for (int pairs = (k1 - k) >> 1; pairs > 0; --pairs, ++b, d += 2) {
      const unsigned byte = *b;
      if (byte == 0) continue;
      if ((byte >> 4) != 0) ink_pixel(d[0], static_cast<int>(byte >> 4));
      if ((byte & 0x0Fu) != 0) ink_pixel(d[1], static_cast<int>(byte & 0x0Fu));
    }
    if (((k1 - k) & 1) != 0) {
      const int n = *b >> 4;
      if (n != 0) ink_pixel(*d, n);
    }
  }
  return s1 - s0;
}

int draw_char_reference(pixel_t* buf, int width, int height, int font, int x, int y, pixel_t colour, char ch) {
  const font_record* f = font_at(font);
  if (f == nullptr) return MISSING_ADVANCE;
  const int i = glyph_index(*f, ch);
  if (i < 0) return MISSING_ADVANCE;
  const int s0 = f->glyph_offsets[i];
  const int s1 = f->glyph_offsets[i + 1];
  const int row_bytes = f->strip_width / 2;
  for (int r = 0; r < f->height; ++r) {
    const std::uint8_t* row = f->glyph_strip + r * row_bytes;
    for (int k = s0; k < s1; ++k) {
      const std::uint8_t byte = row[k / 2];
      const int n = (k % 2 == 0) ? byte >> 4 : byte & 0x0F;
      const int sx = x + (k - s0);
      const int sy = y + f->height - r;
      put_pixel(buf, width, height, sx, sy, mix_colour(get_pixel(buf, width, height, sx, sy), colour, COVERAGE.t[n]));
    }
  }
  return s1 - s0;
}

void draw_text(pixel_t* buf, int width, int height, int font, int x, int y, pixel_t colour, const char* text) {
  if (text == nullptr) return;
  for (const char* p = text; *p != '\0'; ++p) x += draw_char(buf, width, height, font, x, y, colour, *p);
}

int text_width(int font, const char* text) {
  if (text == nullptr) return 0;
  const font_record* f = font_at(font);
  int w = 0;
  for (const char* p = text; *p != '\0'; ++p) w += advance_of(font, f, *p);
  return w;
}

int char_advance(int font, char ch) { return advance_of(font, font_at(font), ch); }

void draw_text_centred(pixel_t* buf, int width, int height, int font, int x, int y, pixel_t colour, const char* text) {
  const font_record* f = font_at(font);
  const int font_height = f != nullptr ? f->height : 0;
  draw_text(buf, width, height, font, x - text_width(font, text) / 2, y - font_height / 2, colour, text);
}

void draw_text_right(pixel_t* buf, int width, int height, int font, int x, int y, pixel_t colour, const char* text) {
  draw_text(buf, width, height, font, x - text_width(font, text), y, colour, text);
}

void text_track_start() {
  text_drawing.tracking = 1;
  text_drawing.tracked = text_box{};
}

void text_track_add(int x0, int y0, int x1, int y1) {
  if (text_drawing.tracking == 0 || x1 < x0 || y1 < y0) return;
  text_box& b = text_drawing.tracked;
  if (b.empty()) {
    b = text_box{x0, y0, x1, y1};
    return;
  }
  b.x0 = std::min(b.x0, x0);
  b.y0 = std::min(b.y0, y0);
  b.x1 = std::max(b.x1, x1);
  b.y1 = std::max(b.y1, y1);
}

text_box text_track_stop() {
  text_drawing.tracking = 0;
  return text_drawing.tracked;
}

void append_int(int value, char*& cursor) {
  if (value == 0) {
    *cursor++ = '0';
    *cursor = '\0';
    return;
  }
  // The magnitude in unsigned arithmetic, so that the most negative int prints too.
  std::uint32_t magnitude = static_cast<std::uint32_t>(value);
  if (value < 0) {
    *cursor++ = '-';
    magnitude = 0u - magnitude;
  }
  char digits[10];
  int n = 0;
  while (magnitude != 0) {
    digits[n++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  }
  while (n > 0) *cursor++ = digits[--n];
}

void append_hex(std::uint32_t value, int nbytes, char*& cursor) {
  static constexpr char HEX[] = "0123456789ABCDEF";
  for (int i = 2 * nbytes - 1; i >= 0; --i) {
    // Bytes above the four a value has are zero.
    const int shift = 4 * i;
    *cursor++ = shift < 32 ? HEX[(value >> shift) & 0xF] : '0';
  }
}

int string_length(const char* text) {
  if (text == nullptr) return 0;
  int n = 0;
  while (text[n] != '\0') ++n;
  return n;
}

float parse_decimal(const char* text) {
  if (text == nullptr) return 0.0f;
  const bool negative = text[0] == '-';
  float sum = 0.0f;
  float place = 1.0f;
  bool fraction = false;
  for (const char* p = negative ? text + 1 : text; *p != '\0'; ++p) {
    const char c = *p;
    if (c >= '0' && c <= '9') {
      const float digit = static_cast<float>(c - '0');
      if (fraction) {
        place = place / 10.0f;
        sum = sum + digit * place;
      } else {
        sum = sum * 10.0f + digit;
      }
    } else if (c == '.') {
      fraction = true;
    } else if (c == '-') {
      return 0.0f;  // a sign inside the number: not a number
    } else {
      break;
    }
  }
  return negative ? -sum : sum;
}

int is_alnum_or_space(char ch) {
  return (ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || ch == ' ' ? 1 : 0;
}

float wrap_value(float x, float m) {
  // A modulus that is not a positive number, or an angle that is not finite, cannot be brought
  // into range: both come back as they are instead of looping for ever.
  if (!(m > 0.0f) || !std::isfinite(m) || !std::isfinite(x)) return x;
  // Far out of range, one exact remainder stands for the many steps (which would also stop
  // changing x once m is below its precision). A positive multiple of m stays m, as stepping
  // down would leave it.
  if (std::fabs(x) > 64.0f * m) {
    const float r = std::fmod(x, m);
    x = (r == 0.0f && x > 0.0f) ? m : r;
  }
  while (x < 0.0f) x += m;
  while (x > m) x -= m;
  return x;
}
