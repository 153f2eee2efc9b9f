#include "gfx/text.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

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

int advance_of(const font_record* f, char ch) {
  if (f == nullptr) return MISSING_ADVANCE;
  int i = glyph_index(*f, ch);
  return i < 0 ? MISSING_ADVANCE : glyph_width(*f, i);
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
  const float keep = COVERAGE_KEEP.t[n];
  pixel_t out = 0;
  for (int c = 0; c < 4; ++c) {
    const float v = static_cast<float>((under >> (8 * c)) & 0xFFu) * keep + ink.part[n][c];
    int iv = static_cast<int>(v);
    if (iv > 255) iv = 255;  // never reached with weights inside 0..1, kept as mix_colour keeps it
    out |= static_cast<pixel_t>(iv) << (8 * c);
  }
  return out;
}

// The ink of one colour: the colour's share of every coverage, and what each coverage leaves on a
// transparent pixel (0 * (1 - t) + c * t is c * t exactly, so that is mix_colour(0, colour, t)).
// Text comes in few colours at a time (a shadow, then the text), so a handful of inks are kept and
// the oldest is replaced.
const text_ink& ink_for(pixel_t colour) {
  for (const text_ink& ink : text_drawing.inks) {
    if (ink.ready != 0 && ink.colour == colour) return ink;
  }
  text_ink& ink = text_drawing.inks[text_drawing.next_ink];
  text_drawing.next_ink = (text_drawing.next_ink + 1) % TEXT_INKS;
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
  const int i = glyph_index(*f, ch);
  if (i < 0) return MISSING_ADVANCE;
  const int s0 = f->glyph_offsets[i];
  const int s1 = f->glyph_offsets[i + 1];
  if (buf == nullptr || width <= 0 || height <= 0) return s1 - s0;
  // The glyph clipped to the buffer once: strip columns k0..k1-1 land on screen columns from
  // x + (k0 - s0); stored rows r0..r1 land on rows y + height - r. Wide arithmetic, so that a glyph
  // placed far off the buffer is simply not drawn.
  const long long left = static_cast<long long>(x) - s0;  // screen column of strip column 0
  const int k0 = static_cast<int>(std::max<long long>(s0, -left));
  const int k1 = static_cast<int>(std::min<long long>(s1, static_cast<long long>(width) - left));
  const long long below = static_cast<long long>(y) + f->height;  // screen row of stored row 0
  const int r0 = static_cast<int>(std::max<long long>(0, below - (height - 1)));
  const int r1 = static_cast<int>(std::min<long long>(f->height, below + 1));
  if (k0 >= k1 || r0 >= r1) return s1 - s0;

  const text_ink& ink = ink_for(colour);
  const int row_bytes = f->strip_width / 2;
  auto ink_pixel = [&ink](pixel_t& p, int n) {
    p = p == COLOUR_TRANSPARENT ? ink.on_clear[n] : mix_with_ink(p, ink, n);
  };
  for (int r = r0; r < r1; ++r) {
    const std::uint8_t* strip = f->glyph_strip + r * row_bytes;
    // Screen pixel of strip column k: at[k]; taken per pixel so that no pointer leaves the buffer.
    pixel_t* const row = buf + static_cast<std::ptrdiff_t>(below - r) * width;
    // Coverage 0 leaves a pixel as it is: a byte of two empty columns is passed over whole.
    int k = k0;
    if ((k & 1) != 0) {
      const int n = strip[k >> 1] & 0x0F;
      if (n != 0) ink_pixel(row[left + k], n);
      ++k;
    }
    for (; k + 1 < k1; k += 2) {
      const std::uint8_t byte = strip[k >> 1];
      if (byte == 0) continue;
      if ((byte >> 4) != 0) ink_pixel(row[left + k], byte >> 4);
      if ((byte & 0x0F) != 0) ink_pixel(row[left + k + 1], byte & 0x0F);
    }
    if (k < k1) {
      const int n = strip[k >> 1] >> 4;
      if (n != 0) ink_pixel(row[left + k], n);
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
  for (const char* p = text; *p != '\0'; ++p) w += advance_of(f, *p);
  return w;
}

void draw_text_centred(pixel_t* buf, int width, int height, int font, int x, int y, pixel_t colour, const char* text) {
  const font_record* f = font_at(font);
  const int font_height = f != nullptr ? f->height : 0;
  draw_text(buf, width, height, font, x - text_width(font, text) / 2, y - font_height / 2, colour, text);
}

void draw_text_right(pixel_t* buf, int width, int height, int font, int x, int y, pixel_t colour, const char* text) {
  draw_text(buf, width, height, font, x - text_width(font, text), y, colour, text);
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
