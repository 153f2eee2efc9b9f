// Text drawing and measuring, the font choice by nominal size, and the number utilities.
#include "gfx/text.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "settings/settings.h"
#include "tests/support/power_on.h"

namespace {

int width_of(int font, char ch) {
  const font_record& f = font_table[font];
  int i = glyph_index(f, ch);
  return i < 0 ? -1 : f.glyph_offsets[i + 1] - f.glyph_offsets[i];
}

int nibble(const font_record& f, int column, int stored_row) {
  std::uint8_t b = f.glyph_strip[stored_row * (f.strip_width / 2) + column / 2];
  return column % 2 == 0 ? b >> 4 : b & 0x0F;
}

struct canvas {
  int w, h;
  std::vector<pixel_t> px;
  canvas(int width, int height, pixel_t fill)
      : w(width), h(height), px(static_cast<std::size_t>(width) * height, fill) {}
  pixel_t at(int x, int y) const { return px[static_cast<std::size_t>(y) * w + x]; }
  bool row_touched(int y, pixel_t fill) const {
    for (int x = 0; x < w; ++x) {
      if (at(x, y) != fill) return true;
    }
    return false;
  }
};

using FontForSize = PowerOn;

TEST_F(FontForSize, LcdAndArialFamiliesByNominalSize) {
  cfg_set_byte(CFG_UI_FONT, 1);
  EXPECT_EQ(font_for_size(10), 0);
  EXPECT_EQ(font_for_size(14), 2);
  EXPECT_EQ(font_for_size(17), 2);
  EXPECT_EQ(font_for_size(20), 3);
  EXPECT_EQ(font_for_size(25), 4);
  cfg_set_byte(CFG_UI_FONT, 0);
  EXPECT_EQ(font_for_size(10), 5);
  EXPECT_EQ(font_for_size(14), 6);
  EXPECT_EQ(font_for_size(17), 7);
  EXPECT_EQ(font_for_size(20), 8);
  EXPECT_EQ(font_for_size(25), 9);
}

TEST_F(FontForSize, AnyOtherSettingValueIsArialAndAnyOtherSizeIsFontZero) {
  cfg_set_byte(CFG_UI_FONT, 2);
  EXPECT_EQ(font_for_size(17), 7);
  for (int font_setting : {0, 1}) {
    cfg_set_byte(CFG_UI_FONT, font_setting);
    for (int size : {12, 0, -10, 11, 26, 1000}) EXPECT_EQ(font_for_size(size), 0) << size;
  }
}

TEST_F(FontForSize, ReadsTheSettingAtEveryCall) {
  cfg_set_byte(CFG_UI_FONT, 1);
  EXPECT_EQ(font_for_size(17), 2);
  cfg_set_byte(CFG_UI_FONT, 0);
  EXPECT_EQ(font_for_size(17), 7);
}

using Glyphs = PowerOn;

TEST_F(Glyphs, IndexIsTheFirstPlaceInTheCharsetOrMinusOne) {
  EXPECT_EQ(glyph_index(font_table[5], '!'), 0);
  EXPECT_EQ(glyph_index(font_table[5], '~'), 93);
  EXPECT_EQ(glyph_index(font_table[5], '|'), '|' - '!');
  // Font 6 keeps '}' before '|'.
  EXPECT_EQ(glyph_index(font_table[6], '{'), 90);
  EXPECT_EQ(glyph_index(font_table[6], '}'), 91);
  EXPECT_EQ(glyph_index(font_table[6], '|'), 92);
  EXPECT_EQ(glyph_index(font_table[1], 'A'), -1);
  EXPECT_EQ(glyph_index(font_table[5], ' '), -1);
  EXPECT_EQ(glyph_index(font_table[5], '\0'), -1);
}

TEST_F(Glyphs, DrawCharReturnsTheWidthOrSevenForAMissingCharacter) {
  canvas c(40, 30, COLOUR_BLACK);
  EXPECT_EQ(draw_char(c.px.data(), c.w, c.h, 5, 2, 2, COLOUR_WHITE, 'W'), width_of(5, 'W'));
  canvas blank(40, 30, COLOUR_BLACK);
  EXPECT_EQ(draw_char(blank.px.data(), blank.w, blank.h, 1, 2, 2, COLOUR_WHITE, 'Q'), 7);
  EXPECT_EQ(draw_char(blank.px.data(), blank.w, blank.h, 5, 2, 2, COLOUR_WHITE, ' '), 7);
  EXPECT_EQ(blank.px, canvas(40, 30, COLOUR_BLACK).px) << "a missing character draws nothing";
}

TEST_F(Glyphs, EveryStripPixelLandsWhereTheStorageOrderSays) {
  // Font 6's 'g' has a descender and a bowl: the bottom-up rows and the nibble order both show.
  const int font = 6;
  const font_record& f = font_table[font];
  const int i = glyph_index(f, 'g');
  const int s0 = f.glyph_offsets[i], s1 = f.glyph_offsets[i + 1];
  canvas c(40, 40, COLOUR_BLACK);
  const int x = 7, y = 5;
  draw_char(c.px.data(), c.w, c.h, font, x, y, COLOUR_WHITE, 'g');
  for (int k = s0; k < s1; ++k) {
    for (int r = 0; r < f.height; ++r) {
      const float t = static_cast<float>(nibble(f, k, r) * 16) / 255.0f;
      EXPECT_EQ(c.at(x + k - s0, y + f.height - r), mix_colour(COLOUR_BLACK, COLOUR_WHITE, t)) << k << "," << r;
    }
  }
}

TEST_F(Glyphs, FullCoverageMixes240Of255AndZeroCoverageLeavesThePixel) {
  // Find a fully covered and an empty pixel of font 5's '|'.
  const font_record& f = font_table[5];
  const int i = glyph_index(f, '|');
  int full_k = -1, full_r = -1, empty_k = -1, empty_r = -1;
  for (int k = f.glyph_offsets[i]; k < f.glyph_offsets[i + 1]; ++k) {
    for (int r = 0; r < f.height; ++r) {
      if (nibble(f, k, r) == 15 && full_k < 0) full_k = k, full_r = r;
      if (nibble(f, k, r) == 0 && empty_k < 0) empty_k = k, empty_r = r;
    }
  }
  ASSERT_GE(full_k, 0);
  ASSERT_GE(empty_k, 0);
  const int s0 = f.glyph_offsets[i];
  canvas black(20, 20, COLOUR_BLACK);
  draw_char(black.px.data(), black.w, black.h, 5, 0, 0, COLOUR_WHITE, '|');
  EXPECT_EQ(black.at(full_k - s0, f.height - full_r), 0xFFF0F0F0u);
  EXPECT_EQ(black.at(empty_k - s0, f.height - empty_r), COLOUR_BLACK);
  // On a transparent layer the alpha is mixed too: the text is left partly transparent.
  canvas clear(20, 20, COLOUR_TRANSPARENT);
  draw_char(clear.px.data(), clear.w, clear.h, 5, 0, 0, COLOUR_WHITE, '|');
  EXPECT_EQ(clear.at(full_k - s0, f.height - full_r), 0xF0F0F0F0u);
}

TEST_F(Glyphs, TextAtRowZeroPaintsRowsOneToTheFontHeightOnly) {
  const pixel_t fill = 0xFF102030;
  canvas c(200, 30, fill);
  // '|' and 'g' reach the bottom row, '|' and 'T' come near the top.
  draw_text(c.px.data(), c.w, c.h, 5, 0, 0, COLOUR_WHITE, "|gT(j)");
  EXPECT_FALSE(c.row_touched(0, fill));
  EXPECT_TRUE(c.row_touched(14, fill));
  for (int y = 15; y < c.h; ++y) EXPECT_FALSE(c.row_touched(y, fill)) << y;
}

TEST_F(Glyphs, DrawingIsClippedToTheBufferAtEveryEdge) {
  // The same text drawn half off a small buffer, and whole in a big one shifted by (20, 20):
  // the small buffer must hold exactly the overlapping part, and nothing outside it is touched.
  const char* text = "W8|g";
  const int font = 6;
  for (auto [x, y] : {std::pair{-6, -9}, std::pair{10, 8}, std::pair{-30, 3}, std::pair{5, -25}}) {
    std::vector<pixel_t> small(16 * 12 + 64, COLOUR_BLACK);
    const pixel_t guard = 0xDEADBEEF;
    for (int g = 16 * 12; g < 16 * 12 + 64; ++g) small[g] = guard;
    canvas big(80, 80, COLOUR_BLACK);
    draw_text(small.data(), 16, 12, font, x, y, COLOUR_WHITE, text);
    draw_text(big.px.data(), big.w, big.h, font, x + 20, y + 20, COLOUR_WHITE, text);
    for (int yy = 0; yy < 12; ++yy) {
      for (int xx = 0; xx < 16; ++xx) ASSERT_EQ(small[yy * 16 + xx], big.at(xx + 20, yy + 20)) << xx << "," << yy;
    }
    for (int g = 16 * 12; g < 16 * 12 + 64; ++g) ASSERT_EQ(small[g], guard);
  }
}

TEST_F(Glyphs, DrawCharEqualsThePlainRuleForEveryFontOnAnyBackgroundAtEveryEdge) {
  // Every glyph of every font, placed whole, half off and just off each edge of a small buffer,
  // over backgrounds mixing transparent and arbitrary pixels, in more colours than draw_char keeps
  // inks for: the result must be the plain per-pixel mix, and nothing outside the buffer changes.
  constexpr int W = 14, H = 11, GUARD = 40;
  // More colours than draw_char keeps inks for, so that inks are replaced while drawing.
  const pixel_t colours[] = {COLOUR_WHITE,   COLOUR_SHADOW,      COLOUR_SHADOW_SOFT, 0x01FF8040,
                             COLOUR_GREEN,   COLOUR_TRANSPARENT, 0x7F123456,         0xFFFFFFFE,
                             COLOUR_MAGENTA, COLOUR_TEAL,        0x80808080};
  std::uint32_t seed = 12345;
  auto next = [&] { return seed = seed * 1664525u + 1013904223u; };
  int drawn = 0, colour_index = 0;
  for (int font = 0; font < FONT_COUNT; ++font) {
    const font_record& f = font_table[font];
    for (const char* p = f.charset; *p != '\0'; ++p) {
      const int w = width_of(font, *p);
      for (int x : {-w, -w + 1, -1, 0, 3, W - w, W - 2, W}) {
        for (int y : {-f.height - 1, -f.height, -3, -1, 0, H - f.height - 1, H - 3, H - 1}) {
          std::vector<pixel_t> fast(W * H + GUARD), plain;
          for (pixel_t& px : fast) px = (next() >> 28) < 8 ? COLOUR_TRANSPARENT : next();
          plain = fast;
          const pixel_t colour = colours[colour_index++ % std::size(colours)];
          ASSERT_EQ(draw_char(fast.data(), W, H, font, x, y, colour, *p), w);
          draw_char_reference(plain.data(), W, H, font, x, y, colour, *p);
          ASSERT_EQ(fast, plain) << "font " << font << " '" << *p << "' at " << x << "," << y << " colour " << std::hex
                                 << colour;
          ++drawn;
        }
      }
    }
  }
  EXPECT_GT(drawn, 10000);
}

TEST(GlyphMix, NoCoverageMixesAChannelPast255) {
  // draw_char leaves out mix_colour's cap at 255, which holds only if no channel sum reaches 256.
  float highest = 0.0f;
  for (int n = 1; n < 16; ++n) {
    const float t = static_cast<float>(n * 16) / 255.0f;
    for (int ca = 0; ca < 256; ++ca) {
      for (int cb = 0; cb < 256; ++cb) {
        highest = std::max(highest, static_cast<float>(ca) * (1.0f - t) + static_cast<float>(cb) * t);
      }
    }
  }
  EXPECT_LT(highest, 256.0f);
}

TEST_F(Glyphs, ColoursThatTakeOverAnotherColoursInkMixAfresh) {
  // The same glyph over the same pixels in one colour after another, more colours than inks are
  // kept: nothing remembered for one colour may come back for another.
  for (int round = 0; round < 2; ++round) {
    for (pixel_t colour = 0xFF000010; colour < 0xFF000010 + 3 * TEXT_INKS; ++colour) {
      canvas fast(20, 20, 0xFF204060), plain(20, 20, 0xFF204060);
      draw_char(fast.px.data(), fast.w, fast.h, 6, 2, 0, colour * 0x01010101u, 'W');
      draw_char_reference(plain.px.data(), plain.w, plain.h, 6, 2, 0, colour * 0x01010101u, 'W');
      ASSERT_EQ(fast.px, plain.px) << std::hex << colour;
    }
  }
}

TEST_F(Glyphs, TextOverlappingItsShadowEqualsThePlainRule) {
  // The usual drop shadow: the text's pixels land on the shadow's, the case that must mix.
  for (int font : {0, 4, 5, 9}) {
    canvas fast(120, 40, COLOUR_TRANSPARENT), plain(120, 40, COLOUR_TRANSPARENT);
    int xf = 2, xp = 2;
    for (const char* p = "-12.5:80"; *p != '\0'; ++p) {
      draw_char(fast.px.data(), fast.w, fast.h, font, xf + 1, 4, COLOUR_SHADOW_SOFT, *p);
      xf += draw_char(fast.px.data(), fast.w, fast.h, font, xf, 3, COLOUR_GREEN, *p);
      draw_char_reference(plain.px.data(), plain.w, plain.h, font, xp + 1, 4, COLOUR_SHADOW_SOFT, *p);
      xp += draw_char_reference(plain.px.data(), plain.w, plain.h, font, xp, 3, COLOUR_GREEN, *p);
    }
    EXPECT_EQ(fast.px, plain.px) << font;
  }
}

TEST_F(Glyphs, AGlyphPlacedAtTheEndsOfTheIntRangeDrawsNothing) {
  // Pen positions near the int limits (a text running on far past the buffer): the glyph lies far
  // off it and must neither be drawn nor wrap round onto it.
  for (auto [x, y] : {std::pair{INT_MAX - 3, 2}, std::pair{INT_MIN, 2}, std::pair{2, INT_MAX - 3},
                      std::pair{2, INT_MIN}, std::pair{INT_MIN + 1, INT_MIN + 1}}) {
    canvas c(30, 30, COLOUR_BLACK);
    EXPECT_EQ(draw_char(c.px.data(), c.w, c.h, 9, x, y, COLOUR_WHITE, '8'), width_of(9, '8'));
    EXPECT_EQ(c.px, canvas(30, 30, COLOUR_BLACK).px) << x << "," << y;
  }
}

TEST_F(Glyphs, AFontIdOutsideTheTableDrawsNothingAndAdvancesAsMissing) {
  canvas c(30, 30, COLOUR_BLACK);
  EXPECT_EQ(draw_char(c.px.data(), c.w, c.h, 10, 0, 0, COLOUR_WHITE, '8'), 7);
  EXPECT_EQ(draw_char(c.px.data(), c.w, c.h, -1, 0, 0, COLOUR_WHITE, '8'), 7);
  EXPECT_EQ(text_width(12, "123"), 21);
  draw_text_centred(c.px.data(), c.w, c.h, 42, 15, 15, COLOUR_WHITE, "88");
  EXPECT_EQ(c.px, canvas(30, 30, COLOUR_BLACK).px);
}

using Measuring = PowerOn;

TEST_F(Measuring, WidthSumsGlyphWidthsWithSevenForASpace) {
  EXPECT_EQ(text_width(5, "A B"), width_of(5, 'A') + 7 + width_of(5, 'B'));
  EXPECT_EQ(text_width(5, ""), 0);
  EXPECT_EQ(text_width(5, nullptr), 0);
  // Font 1 has no letters: each advances 7, as drawing does.
  EXPECT_EQ(text_width(1, "AB1"), 7 + 7 + width_of(1, '1'));
}

TEST_F(Measuring, EveryCharacterOfEveryFontAdvancesByItsGlyphOrSeven) {
  for (int font = 0; font < FONT_COUNT; ++font) {
    for (int c = 1; c < 256; ++c) {
      const char text[2] = {static_cast<char>(c), '\0'};
      const int i = glyph_index(font_table[font], text[0]);
      const int expected = i < 0 ? 7 : font_table[font].glyph_offsets[i + 1] - font_table[font].glyph_offsets[i];
      ASSERT_EQ(text_width(font, text), expected) << font << " " << c;
    }
  }
}

TEST_F(Measuring, DrawTextAdvancesAsTextWidthMeasures) {
  // Drawing a text then one more glyph at x + text_width must equal drawing the joined text.
  canvas joined(200, 40, COLOUR_BLACK), parts(200, 40, COLOUR_BLACK);
  draw_text(joined.px.data(), joined.w, joined.h, 6, 3, 4, COLOUR_WHITE, "Ab 9{x");
  draw_text(parts.px.data(), parts.w, parts.h, 6, 3, 4, COLOUR_WHITE, "Ab 9{");
  draw_char(parts.px.data(), parts.w, parts.h, 6, 3 + text_width(6, "Ab 9{"), 4, COLOUR_WHITE, 'x');
  EXPECT_EQ(joined.px, parts.px);
}

// A text of the given width made of font 5 glyphs and spaces, found by search.
std::string text_of_width(int font, int target) {
  const std::string cs = font_table[font].charset;
  for (char a : cs) {
    for (char b : cs) {
      for (int spaces = 0; spaces < 3; ++spaces) {
        std::string s = std::string(1, a) + std::string(static_cast<std::size_t>(spaces), ' ') + b;
        if (text_width(font, s.c_str()) == target) return s;
      }
    }
  }
  return {};
}

TEST_F(Measuring, CentredTextOfOddWidthStartsHalfAWidthLeftRoundedTowardZero) {
  const std::string text = text_of_width(5, 25);
  ASSERT_FALSE(text.empty());
  canvas centred(320, 60, COLOUR_BLACK), plain(320, 60, COLOUR_BLACK);
  draw_text_centred(centred.px.data(), centred.w, centred.h, 5, 160, 30, COLOUR_WHITE, text.c_str());
  // 25 / 2 = 12 and 14 / 2 = 7.
  draw_text(plain.px.data(), plain.w, plain.h, 5, 148, 23, COLOUR_WHITE, text.c_str());
  EXPECT_EQ(centred.px, plain.px);
  // Font 0 is 13 rows: 13 / 2 = 6.
  canvas c0(320, 60, COLOUR_BLACK), p0(320, 60, COLOUR_BLACK);
  draw_text_centred(c0.px.data(), c0.w, c0.h, 0, 160, 30, COLOUR_WHITE, "12");
  draw_text(p0.px.data(), p0.w, p0.h, 0, 160 - text_width(0, "12") / 2, 24, COLOUR_WHITE, "12");
  EXPECT_EQ(c0.px, p0.px);
}

TEST_F(Measuring, RightAlignedTextEndsAtX) {
  canvas right(320, 40, COLOUR_BLACK), plain(320, 40, COLOUR_BLACK);
  draw_text_right(right.px.data(), right.w, right.h, 7, 300, 5, COLOUR_GREEN, "-12.5");
  draw_text(plain.px.data(), plain.w, plain.h, 7, 300 - text_width(7, "-12.5"), 5, COLOUR_GREEN, "-12.5");
  EXPECT_EQ(right.px, plain.px);
}

// ---- Number and character utilities

std::string written(char* start, const char* cursor) {
  return std::string(start, static_cast<std::size_t>(cursor - start));
}

TEST(AppendInt, NegativeNumbersGetASignAndNoTerminator) {
  char buf[16];
  std::memset(buf, 'X', sizeof buf);
  char* cur = buf;
  append_int(-205, cur);
  EXPECT_EQ(written(buf, cur), "-205");
  EXPECT_EQ(buf[4], 'X');
}

TEST(AppendInt, ZeroIsWrittenWithATerminatorUnderTheCursor) {
  char buf[16];
  std::memset(buf, 'X', sizeof buf);
  char* cur = buf;
  append_int(0, cur);
  EXPECT_EQ(cur, buf + 1);
  EXPECT_EQ(buf[0], '0');
  EXPECT_EQ(*cur, '\0');
}

TEST(AppendInt, AppendsAfterEarlierTextAndCoversTheWholeIntRange) {
  char buf[32];
  std::memset(buf, 'X', sizeof buf);
  char* cur = buf;
  append_int(7, cur);
  append_int(1000, cur);
  append_int(INT_MAX, cur);
  append_int(INT_MIN, cur);
  EXPECT_EQ(written(buf, cur), "710002147483647-2147483648");
}

TEST(AppendHex, UpperCaseDigitsOfTheLowBytesWithoutTerminator) {
  char buf[16];
  std::memset(buf, 'X', sizeof buf);
  char* cur = buf;
  append_hex(0x1A2B, 2, cur);
  EXPECT_EQ(written(buf, cur), "1A2B");
  EXPECT_EQ(buf[4], 'X');
  append_hex(0x1A2B, 1, cur);
  append_hex(0xDEADBEEF, 4, cur);
  EXPECT_EQ(written(buf, cur), "1A2B2BDEADBEEF");
  char* before = cur;
  append_hex(0xFF, 0, cur);
  EXPECT_EQ(cur, before);
}

TEST(StringLength, CountsUpToTheTerminator) {
  EXPECT_EQ(string_length(""), 0);
  EXPECT_EQ(string_length("SET BARO"), 8);
  EXPECT_EQ(string_length(nullptr), 0);
}

TEST(ParseDecimal, SignDigitsAndFraction) {
  EXPECT_FLOAT_EQ(parse_decimal("-12.50"), -12.5f);
  EXPECT_FLOAT_EQ(parse_decimal("3.1,4"), 3.1f);
  EXPECT_EQ(parse_decimal("5-3"), 0.0f);
  EXPECT_FLOAT_EQ(parse_decimal("42"), 42.0f);
  EXPECT_FLOAT_EQ(parse_decimal("0.001"), 0.001f);
}

TEST(ParseDecimal, FurtherPointsAreIgnoredAndOtherCharactersEndTheNumber) {
  EXPECT_FLOAT_EQ(parse_decimal("1.2.3"), 1.23f);
  EXPECT_FLOAT_EQ(parse_decimal("4807.038,N"), 4807.038f);
  EXPECT_FLOAT_EQ(parse_decimal("7 8"), 7.0f);
  EXPECT_EQ(parse_decimal(""), 0.0f);
  EXPECT_EQ(parse_decimal("abc"), 0.0f);
  EXPECT_EQ(parse_decimal("--5"), 0.0f);
  EXPECT_EQ(parse_decimal("-"), 0.0f);
  EXPECT_FLOAT_EQ(parse_decimal(".5"), 0.5f);
}

TEST(ParseDecimal, AccumulatesInSinglePrecision) {
  // The fraction as the firmware adds it: place values 0.1f, 0.01f, ... each from the last.
  float place = 1.0f, sum = 2.0f;
  for (int d : {6, 7, 5}) {
    place = place / 10.0f;
    sum = sum + static_cast<float>(d) * place;
  }
  EXPECT_EQ(parse_decimal("2.675"), sum);
}

TEST(IsAlnumOrSpace, LettersDigitsAndSpaceOnly) {
  for (char c : std::string("09AZaz m5Q")) EXPECT_EQ(is_alnum_or_space(c), 1) << c;
  for (char c : std::string("/:@[`{-._\t")) EXPECT_EQ(is_alnum_or_space(c), 0) << c;
  EXPECT_EQ(is_alnum_or_space('\0'), 0);
  EXPECT_EQ(is_alnum_or_space(static_cast<char>(0xC9)), 0);
}

TEST(WrapValue, BringsAnglesIntoZeroToM) {
  EXPECT_EQ(wrap_value(-30.0f, 360.0f), 330.0f);
  EXPECT_EQ(wrap_value(360.0f, 360.0f), 360.0f);
  EXPECT_EQ(wrap_value(725.0f, 360.0f), 5.0f);
  EXPECT_EQ(wrap_value(0.0f, 360.0f), 0.0f);
  EXPECT_EQ(wrap_value(-360.0f, 360.0f), 0.0f);
  EXPECT_EQ(wrap_value(720.0f, 360.0f), 360.0f);
  EXPECT_EQ(wrap_value(-0.5f, 360.0f), 359.5f);
  EXPECT_EQ(wrap_value(-725.25f, 360.0f), 354.75f);
}

TEST(WrapValue, FarOutOfRangeAnglesEndInRangeAsStepsWould) {
  // Stepping 360 at a time: 36000 -> 360 (a multiple stays m), 36005 -> 5, -35995 -> 5.
  EXPECT_EQ(wrap_value(36000.0f, 360.0f), 360.0f);
  EXPECT_EQ(wrap_value(36005.0f, 360.0f), 5.0f);
  EXPECT_EQ(wrap_value(-35995.0f, 360.0f), 5.0f);
  // So large that subtracting 360 no longer changes the float: must still finish, in range.
  const float huge = wrap_value(1.0e12f, 360.0f);
  EXPECT_GE(huge, 0.0f);
  EXPECT_LE(huge, 360.0f);
}

TEST(WrapValue, AModulusOrAngleThatCannotWrapComesBackUnchanged) {
  EXPECT_EQ(wrap_value(725.0f, 0.0f), 725.0f);
  EXPECT_EQ(wrap_value(-5.0f, -360.0f), -5.0f);
  EXPECT_TRUE(std::isnan(wrap_value(NAN, 360.0f)));
  EXPECT_EQ(wrap_value(INFINITY, 360.0f), INFINITY);
  EXPECT_EQ(wrap_value(-INFINITY, 360.0f), -INFINITY);
}

}  // namespace
