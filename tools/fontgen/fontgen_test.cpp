// The font generator: the description language and its errors, the strip layout rules, the
// failures that must stop a build, the drawn arrow heads, the degree substitution and packing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/fontgen/font_description.h"
#include "tools/fontgen/strips.h"

namespace fontgen {
namespace {

const std::string SANS = "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf";
const std::string SEG7 = "/usr/share/fonts/truetype/dseg/DSEG7Classic-Bold.ttf";

std::string faces() { return "face sans " + SANS + " native35\nface seg7 " + SEG7 + " snap\n"; }

// One font, id 0, with the given body lines.
std::string one_font(const std::string& body) { return faces() + "font 0\n" + body + "end\n"; }

built_font build_one(const std::string& body) {
  std::vector<built_font> fonts = build_fonts(parse_description(one_font(body), "test"));
  return fonts.at(0);
}

int width_of(const built_font& f, char ch) {
  std::size_t i = f.charset.find(ch);
  return f.offsets[i + 1] - f.offsets[i];
}

// Coverage of glyph ch at column x, row y (from the top).
int at(const built_font& f, char ch, int x, int y) { return f.strip.at(f.offsets[f.charset.find(ch)] + x, y); }

int column_ink(const built_font& f, char ch, int x) {
  int s = 0;
  for (int y = 0; y < f.height; ++y) s += at(f, ch, x, y);
  return s;
}

// The message of the build_error a call throws, or "" if it throws none.
template <typename F>
std::string error_of(F&& f) {
  try {
    f();
  } catch (const build_error& e) {
    return e.what();
  }
  return "";
}

std::string parse_error(const std::string& text) {
  return error_of([&] { parse_description(text, "fonts.txt"); });
}

std::string build_error_of(const std::string& body) {
  return error_of([&] { build_one(body); });
}

const std::string DIGITS_13 = "height 14\ncharset 0123456789\ndigits 7 6 7\nglyphs sans 13 11\n";

// ---- The description

TEST(Description, ReadsFacesFontsAndTheirSettings) {
  description d = parse_description(faces() +
                                        "# a comment line\n"
                                        "font 1\nheight 18 # rows\ncharset printable\nswap } |\ndigits 9 7 9\n"
                                        "glyphs sans 16 15\nfrom seg7 12 10 0123456789\nmap * U+00B0\n"
                                        "arrow { left 8 12\npad 1 2 .\ntight 0 1 :\ncell -\nend\n"
                                        "font 0\nheight 13\ncharset 0123456789ab#c\ndigits 7 4 8\nglyphs sans 12 12\n"
                                        "baseline 10\nend\n",
                                    "fonts.txt");
  ASSERT_EQ(d.faces.size(), 2u);
  EXPECT_EQ(d.faces[1].hint, hinting::snap);
  ASSERT_EQ(d.fonts.size(), 2u);
  // Sorted by id.
  const font_desc& f0 = d.fonts[0];
  EXPECT_EQ(f0.charset, "0123456789ab#c") << "a '#' inside a word is not a comment";
  EXPECT_EQ(f0.baseline, 10);
  const font_desc& f1 = d.fonts[1];
  EXPECT_EQ(f1.id, 1);
  EXPECT_EQ(f1.height, 18);
  EXPECT_EQ(f1.charset.size(), 94u);
  EXPECT_EQ(f1.charset.substr(90), "{}|~");
  EXPECT_EQ(f1.digit_cell, 9);
  EXPECT_EQ(source_of(f1, '7').face, "seg7");
  EXPECT_EQ(source_of(f1, '7').em_width, 10.0);
  EXPECT_EQ(source_of(f1, 'A').face, "sans");
  EXPECT_EQ(source_of(f1, '*').codepoint, 0xB0u);
  EXPECT_EQ(source_of(f1, '*').face, "sans");
  EXPECT_EQ(source_of(f1, '{').shape, shape_kind::arrow_left);
  EXPECT_EQ(f1.pads.at('.').right, 2);
  EXPECT_FALSE(f1.pads.at('.').tight);
  EXPECT_TRUE(f1.pads.at(':').tight);
  EXPECT_EQ(f1.in_digit_cell, "-");
}

TEST(Description, MistakesAreReportedWithTheirLine) {
  // The faces take lines 1 and 2; the font starts on line 3.
  const std::string head = faces() + "font 0\nheight 14\ncharset 0123456789\ndigits 7 6 7\nglyphs sans 13 13\n";
  EXPECT_NE(parse_error(head + "colour red\nend\n").find("fonts.txt:8: unknown keyword 'colour'"), std::string::npos);
  EXPECT_NE(parse_error(head + "from sans 13 13 +\nend\n").find(":8: '+' is not in the charset"), std::string::npos);
  EXPECT_NE(parse_error(head + "pad 1 1 x\nend\n").find(":8: 'x' is not in the charset"), std::string::npos);
  EXPECT_NE(parse_error(head + "height 0\nend\n").find(":8: 0 is outside 1..255"), std::string::npos);
  EXPECT_NE(parse_error(head + "from sans big 13 0\nend\n").find(":8: 'big' is not a number"), std::string::npos);
  EXPECT_NE(parse_error(head + "map 0 B0\nend\n").find(":8: 'B0' is not a code point"), std::string::npos);
  EXPECT_NE(parse_error(head + "swap 0 Q\nend\n").find(":8: swap of a character not in the charset"),
            std::string::npos);
  EXPECT_NE(parse_error(head + "arrow 0 up 8 12\nend\n").find(":8: arrow direction"), std::string::npos);
  EXPECT_NE(parse_error(head + "glyphs mono 13 13\nend\n").find(":8: no face named 'mono'"), std::string::npos);
  EXPECT_NE(parse_error(head + "face x " + SANS + "\nend\n").find(":8: 'face' inside a font"), std::string::npos);
  EXPECT_NE(parse_error(head).find("font 0 has no 'end'"), std::string::npos);
  EXPECT_NE(parse_error(faces() + "height 3\n").find(":3: 'height' outside a font"), std::string::npos);
  EXPECT_NE(parse_error(faces() + "face sans x.ttf\n").find(":3: face 'sans' declared twice"), std::string::npos);
  EXPECT_NE(parse_error(faces() + "face x x.ttf sharp\n").find(":3: unknown hinting 'sharp'"), std::string::npos);
}

TEST(Description, AFontMustBeComplete) {
  auto font = [](const std::string& body) { return faces() + "font 0\n" + body + "end\n"; };
  EXPECT_NE(parse_error(font("charset 0123456789\ndigits 7 6 7\nglyphs sans 13 13\n")).find("has no height"),
            std::string::npos);
  EXPECT_NE(parse_error(font("height 14\ncharset 012345678\ndigits 7 6 7\nglyphs sans 13 13\n")).find("lacks digit 9"),
            std::string::npos);
  EXPECT_NE(parse_error(font("height 14\ncharset 0123456789\ndigits 7 6 7\n")).find("has no 'glyphs' line"),
            std::string::npos);
  EXPECT_NE(parse_error(font("height 14\ncharset 0123456789\nglyphs sans 13 13\n")).find("has no 'digits' line"),
            std::string::npos);
  EXPECT_NE(parse_error(font("height 14\ncharset 01234567899\n")).find("charset repeats a character"),
            std::string::npos);
  EXPECT_NE(parse_error(font("height 14\ncharset 0123456789\ndigits 7 6 5\n")).find("5 is outside 6..255"),
            std::string::npos);
  EXPECT_NE(parse_error(font("height 14\ncharset 0123456789\ndigits 7 6 7\nglyphs sans 13 13\ncell 5\n"))
                .find("digits always have the digit cell"),
            std::string::npos);
}

TEST(Description, FontIdsRunFromZeroWithoutGapsOrRepeats) {
  const std::string body = "height 14\ncharset 0123456789\ndigits 7 6 7\nglyphs sans 13 13\nend\n";
  EXPECT_NE(parse_error(faces() + "font 0\n" + body + "font 2\n" + body).find("without gaps"), std::string::npos);
  EXPECT_NE(parse_error(faces() + "font 0\n" + body + "font 0\n" + body).find("font 0 described twice"),
            std::string::npos);
  EXPECT_NE(parse_error(faces()).find("no fonts described"), std::string::npos);
  EXPECT_EQ(parse_error(faces() + "font 1\n" + body + "font 0\n" + body), "");
}

// ---- Building strips

TEST(Strips, DigitsShareTheCellAndOffsetsRunToTheEvenStripWidth) {
  const built_font f = build_one(DIGITS_13 + "charset 0123456789.-\n");
  ASSERT_EQ(f.charset, "0123456789.-");
  for (char d = '0'; d <= '9'; ++d) EXPECT_EQ(width_of(f, d), 7) << d;
  ASSERT_EQ(f.offsets.size(), f.charset.size() + 1);
  EXPECT_EQ(f.offsets.front(), 0);
  EXPECT_EQ(f.offsets.back(), f.strip.width);
  EXPECT_EQ(f.strip.width % 2, 0);
  EXPECT_EQ(f.strip.height, 14);
}

TEST(Strips, AnOddTotalGetsOneBlankColumnOnTheLastGlyph) {
  // The same last glyph with one more blank column: exactly one of the two totals is odd.
  const built_font a = build_one(DIGITS_13 + "charset 0123456789|\ntight 0 0 |\n");
  const built_font b = build_one(DIGITS_13 + "charset 0123456789|\ntight 0 1 |\n");
  EXPECT_EQ(a.strip.width % 2, 0);
  EXPECT_EQ(b.strip.width % 2, 0);
  EXPECT_EQ(width_of(a, '|') % 2, 0) << "digits take 70 columns, so the last glyph makes up the parity";
  EXPECT_EQ(width_of(b, '|') % 2, 0);
  EXPECT_EQ(std::abs(width_of(b, '|') - width_of(a, '|')), 2);
  // The padding column is blank.
  const built_font& padded = width_of(a, '|') > width_of(b, '|') ? a : b;
  EXPECT_EQ(column_ink(padded, '|', width_of(padded, '|') - 1), 0);
}

TEST(Strips, TightGlyphsAreTheirInkPlusTheGivenColumns) {
  const built_font loose = build_one(DIGITS_13 + "charset 0123456789.\n");
  const built_font tight = build_one(DIGITS_13 + "charset 0123456789.\ntight 2 2 .\n");
  int ink_cols = 0;
  for (int x = 0; x < width_of(loose, '.'); ++x) ink_cols += column_ink(loose, '.', x) > 0 ? 1 : 0;
  // Ten digits of 7 are even, so the point is the parity glyph: it may carry one more column.
  EXPECT_GE(width_of(tight, '.'), ink_cols + 4);
  EXPECT_LE(width_of(tight, '.'), ink_cols + 5);
  EXPECT_EQ(column_ink(tight, '.', 0) + column_ink(tight, '.', 1), 0);
  EXPECT_GT(column_ink(tight, '.', 2), 0);
}

TEST(Strips, SignsInTheDigitCellGetTheDigitWidth) {
  const built_font f = build_one(DIGITS_13 + "charset 0123456789+-\ncell +-\n");
  EXPECT_EQ(width_of(f, '+'), 7);
  EXPECT_EQ(width_of(f, '-'), 7);
}

TEST(Strips, SegmentDigitsKeepTheirPlacesInTheCell) {
  // A segment '1' lights the right-hand segments: it stays on the right, where the '8' has its
  // right edge, instead of being centred.
  const built_font f = build_one("height 17\ncharset 0123456789\ndigits 8 8 8\nglyphs seg7 16 9.5\n");
  int right_of_8 = -1, right_of_1 = -1;
  for (int x = 0; x < 8; ++x) {
    if (column_ink(f, '8', x) > 0) right_of_8 = x;
    if (column_ink(f, '1', x) > 0) right_of_1 = x;
  }
  EXPECT_EQ(right_of_1, right_of_8);
  EXPECT_EQ(column_ink(f, '1', 0) + column_ink(f, '1', 1) + column_ink(f, '1', 2), 0);
}

TEST(Strips, ArrowHeadsAreDrawnShapesPointingTheirWay) {
  const built_font f = build_one(
      "height 18\ncharset 0123456789{}\ndigits 9 7 9\nglyphs sans 16 15\narrow { left 8 12\n"
      "arrow } right 8 12\n");
  // Ink box plus a clear column each side (the last glyph may carry the parity column).
  EXPECT_EQ(width_of(f, '{'), 10);
  EXPECT_GE(width_of(f, '}'), 10);
  EXPECT_EQ(column_ink(f, '{', 0), 0);
  EXPECT_EQ(column_ink(f, '{', 9), 0);
  // The point is thin and the base tall.
  EXPECT_LT(column_ink(f, '{', 1), column_ink(f, '{', 8));
  EXPECT_GT(column_ink(f, '}', 1), column_ink(f, '}', 8));
  // The base is filled: 12 rows of nearly full coverage.
  int full = 0;
  for (int y = 0; y < 18; ++y) full += at(f, '{', 8, y) >= 14 ? 1 : 0;
  EXPECT_GE(full, 10);
  // Centred in the 18 rows: rows 3..14.
  EXPECT_EQ(at(f, '{', 8, 2), 0);
  EXPECT_GT(at(f, '{', 8, 3), 0);
  EXPECT_GT(at(f, '{', 8, 14), 0);
  EXPECT_EQ(at(f, '{', 8, 15), 0);
}

TEST(Strips, MappedStarTakesTheDegreeSignsPixels) {
  const built_font star = build_one(DIGITS_13 + "charset 0123456789*\n");
  const built_font degree = build_one(DIGITS_13 + "charset 0123456789*\nmap * U+00B0\n");
  // An asterisk's arms cross in its middle; the degree ring is hollow there.
  auto middle = [](const built_font& f) {
    int top = -1, bottom = -1, left = -1, right = -1;
    const int w = width_of(f, '*');
    for (int y = 0; y < f.height; ++y) {
      for (int x = 0; x < w; ++x) {
        if (at(f, '*', x, y) == 0) continue;
        if (top < 0) top = y;
        bottom = y;
        if (left < 0 || x < left) left = x;
        if (x > right) right = x;
      }
    }
    return at(f, '*', (left + right) / 2, (top + bottom) / 2);
  };
  EXPECT_GE(middle(star), 8);
  EXPECT_LT(middle(degree), 8);
}

// ---- What must stop the build

TEST(Failures, AMissingTypefaceFileIsNamed) {
  const std::string text = "face gone /nonexistent/Gone.ttf\nfont 0\n" +
                           std::string("height 14\ncharset 0123456789\n") + "digits 7 6 7\nglyphs gone 13 13\nend\n";
  const std::string e = error_of([&] { build_fonts(parse_description(text, "t")); });
  EXPECT_NE(e.find("/nonexistent/Gone.ttf"), std::string::npos) << e;
  EXPECT_NE(e.find("missing"), std::string::npos) << e;
}

TEST(Failures, ACharacterTheFaceLacks) {
  // The seven-segment face has no '+'.
  const std::string e = build_error_of("height 17\ncharset 0123456789+\ndigits 8 8 8\nglyphs seg7 16 9.5\n");
  EXPECT_NE(e.find("'+'"), std::string::npos) << e;
  EXPECT_NE(e.find("has no glyph"), std::string::npos) << e;
}

TEST(Failures, DigitWidthOutsideItsRange) {
  const std::string e = build_error_of("height 14\ncharset 0123456789\ndigits 9 6 7\nglyphs sans 13 13\n");
  EXPECT_NE(e.find("9 columns wide"), std::string::npos) << e;
  EXPECT_NE(e.find("6..7"), std::string::npos) << e;
}

TEST(Failures, ADigitTooWideForItsCell) {
  const std::string e = build_error_of("height 14\ncharset 0123456789\ndigits 4 4 8\nglyphs sans 13 13\n");
  EXPECT_NE(e.find("does not fit the 4-column digit cell"), std::string::npos) << e;
}

TEST(Failures, GlyphsTallerThanTheFont) {
  const std::string e = build_error_of("height 14\ncharset 0123456789g\ndigits 12 6 12\nglyphs sans 17 11\n");
  EXPECT_NE(e.find("but the font is 14 rows high"), std::string::npos) << e;
  const std::string cut =
      build_error_of("height 14\ncharset 0123456789\ndigits 7 6 7\nglyphs sans 13 11\nbaseline 4\n");
  EXPECT_NE(cut.find("baseline 4 cuts"), std::string::npos) << cut;
}

TEST(Failures, AShapeTallerThanTheFont) {
  const std::string e = build_error_of(DIGITS_13 + "charset 0123456789{\narrow { left 8 20\n");
  EXPECT_NE(e.find("taller than the font"), std::string::npos) << e;
}

// ---- Storage and generated sources

TEST(Output, PackingIsTwoPixelsAByteHighNibbleLeftBottomRowFirst) {
  coverage_image im{4, 2, {1, 2, 3, 4, 5, 6, 7, 8}};
  const std::vector<std::uint8_t> bytes = pack(im);
  EXPECT_EQ(bytes, (std::vector<std::uint8_t>{0x56, 0x78, 0x12, 0x34}));
}

TEST(Output, SourcesDeclareTheTableAndTheNamedStrips) {
  const built_font f = build_one(
      "height 14\ncharset printable\ndigits 7 6 7\nglyphs sans 13 13\n"
      "from sans 13 11 0123456789\n");
  const std::string src = source_text({f}, "gfx/fonts/fonts.txt");
  const std::string hdr = header_text({f}, "gfx/fonts/fonts.txt");
  EXPECT_NE(src.find("const std::uint8_t font_strip_0[" + std::to_string(f.strip.width / 2 * 14) + "]"),
            std::string::npos);
  EXPECT_NE(src.find("const font_record font_table[FONT_COUNT]"), std::string::npos);
  EXPECT_NE(src.find("{font_strip_0, " + std::to_string(f.strip.width) + ", 14, 0, font_charset_0, font_offsets_0}"),
            std::string::npos);
  // The quote and the backslash of the char set are escaped.
  EXPECT_NE(src.find("\"!\\\"#$%&"), std::string::npos);
  EXPECT_NE(src.find("[\\\\]^_"), std::string::npos);
  EXPECT_NE(hdr.find("inline constexpr int FONT_STRIP_WIDTH[1] = {" + std::to_string(f.strip.width) + "};"),
            std::string::npos);
  EXPECT_NE(hdr.find("inline constexpr int FONT_HEIGHT[1] = {14};"), std::string::npos);
  EXPECT_NE(hdr.find("extern const std::uint8_t font_strip_0["), std::string::npos);
  EXPECT_NE(hdr.find("#pragma once"), std::string::npos);
}

// ---- Segment glyphs and air

// A 9-column cell, ink box 1..7 x 1..12, one-pixel strokes on pixel centres.
const std::string GEOMETRY =
    "geometry g\ncolumns L 1.5 C 4.5 R 7.5\nrows T 1.5 M 6.5 B 12.5\nstrokes 1 1 1.3\nbox 1 1 7 12\nadvance 9\nend\n"
    "shape H LT LB / RT RB / LM RM\nshape Q LT RT / LT LQ\n";

built_font build_segments(const std::string& chars) {
  const std::string text =
      faces() + GEOMETRY + "font 0\n" + DIGITS_13 + "charset 0123456789" + chars + "\nsegments g " + chars + "\nend\n";
  return build_fonts(parse_description(text, "test")).at(0);
}

// Straight strokes on pixel centres fill whole pixels and nothing outside the box; the slanted
// strokes of the real fonts are checked with those fonts.
TEST(Segments, StraightStrokesFillWholePixels) {
  const built_font f = build_segments("H");
  EXPECT_EQ(width_of(f, 'H'), 10) << "the advance of 9 and the parity column";
  for (int y = 0; y < 13; ++y) {
    const int want = y >= 1 && y <= 12 ? 15 : 0;
    EXPECT_EQ(at(f, 'H', 1, y) + at(f, 'H', 7, y), 2 * want) << y;
  }
  for (int x = 1; x <= 7; ++x) EXPECT_EQ(at(f, 'H', x, 6), 15) << x;
  EXPECT_EQ(at(f, 'H', 4, 3) + column_ink(f, 'H', 0) + column_ink(f, 'H', 8), 0);
}

TEST(Segments, MistakesAreReported) {
  struct row {
    std::string text;
    std::string message;
  };
  const std::string font = "font 0\n" + DIGITS_13;
  const row rows[] = {
      {GEOMETRY + font + "segments h H\nend\n", "no geometry named 'h'"},
      {GEOMETRY + font + "charset 0123456789Z\nsegments g Z\nend\n", "no shape for 'Z'"},
      {GEOMETRY + "shape K LT RT / LB\n", "a stroke needs two nodes"},
      {GEOMETRY + "shape K LT LMM\n", "node 'LMM' is not a column name and a row name"},
      {"geometry g\ncolumns L 1\nrows T 1\nadvance 9\nend\n", "geometry 'g' has no 'box' line"},
      {"geometry g\ncolumns L 1\nrows T 1\nbox 1 1 7 12\nadvance 6\nend\n", "does not hold its box"},
      {"geometry g\nstrokes 1 0 1\n", "stroke widths must be positive"},
  };
  for (const row& r : rows) {
    const std::string e = parse_error(faces() + r.text);
    EXPECT_NE(e.find(r.message), std::string::npos) << r.message << " | got: " << e;
  }
  // A node the geometry does not name is found when the glyph is drawn.
  const std::string e = error_of([] { build_segments("Q"); });
  EXPECT_NE(e.find("geometry 'g' has no node 'LQ'"), std::string::npos) << e;
}

TEST(Air, EveryGlyphKeepsBlankColumnsBeforeItsInk) {
  // Capitals of a sans face touch their cell edges; with air they never touch a neighbour.
  const std::string body =
      "height 14\ncharset printable\ndigits 7 6 7\nglyphs sans 13 13\nfrom sans 13 11 0123456789\n";
  const built_font bare = build_one(body);
  const built_font aired = build_one(body + "air 1\n");
  auto leading = [](const built_font& f, char ch) {
    int n = 0;
    while (n < width_of(f, ch) && column_ink(f, ch, n) == 0) ++n;
    return n;
  };
  int touching_before = 0;
  for (char ch : bare.charset) touching_before += leading(bare, ch) == 0 ? 1 : 0;
  EXPECT_GT(touching_before, 0) << "the face alone has glyphs inked in their first column";
  auto trailing = [](const built_font& f, char ch) {
    int n = 0;
    while (n < width_of(f, ch) && column_ink(f, ch, width_of(f, ch) - 1 - n) == 0) ++n;
    return n;
  };
  int shifted = 0;
  for (char ch : aired.charset) {
    EXPECT_GE(leading(aired, ch), 1) << ch;
    // A glyph with blank columns at its end moves its ink into them and keeps its width.
    if (leading(bare, ch) == 0 && trailing(bare, ch) > 0 && ch != aired.charset.back()) {
      EXPECT_EQ(width_of(aired, ch), width_of(bare, ch)) << ch;
      ++shifted;
    }
    EXPECT_LE(width_of(aired, ch) - width_of(bare, ch), ch == aired.charset.back() ? 2 : 1) << ch;
  }
  EXPECT_GT(shifted, 0) << "the face has glyphs to move";
  // A digit cell too narrow to leave the air stops the build.
  const std::string e = build_error_of("height 14\ncharset 0123456789\ndigits 6 6 7\nglyphs sans 13 11\nair 2\n");
  EXPECT_NE(e.find("blank columns at the left of its digit cell"), std::string::npos) << e;
}

}  // namespace
}  // namespace fontgen
