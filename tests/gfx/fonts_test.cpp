// The ten generated fonts: the fixed heights and char sets, the strip layout, digit widths the
// field layouts rely on, ink in every glyph, the degree sign and the banner's arrow heads.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "gfx/fonts/font_strips.h"
#include "gfx/text.h"
#include "tests/support/power_on.h"

namespace {

std::string printable() {
  std::string s;
  for (int c = 0x21; c <= 0x7E; ++c) s.push_back(static_cast<char>(c));
  return s;
}

std::string printable_brace_first() {
  std::string s = printable();
  std::swap(s[s.find('|')], s[s.find('}')]);
  return s;
}

struct expected_font {
  int height;
  std::string charset;
  int digit_min;
  int digit_max;
};

const std::vector<expected_font>& expected() {
  static const std::vector<expected_font> table = {
      {13, "0123456789:.-ABCDEFGHIJKLMNOPQRSTUVWXYZ%nm", 4, 8},
      {17, "0123456789+-.", 8, 8},
      {17, "0123456789+-.ABCDEFGHIJKLMNOPQRSTUVWXYZ", 8, 8},
      {21, "0123456789+-.", 12, 12},
      {29, "0123456789+,-./dkn:cf", 14, 16},
      {14, printable(), 6, 7},
      {18, printable_brace_first(), 7, 9},
      {20, "0123456789+,-.tdkn:cf", 11, 11},
      {23, "0123456789+,-./dkn:cf", 12, 12},
      {29, "0123456789+,-./dkn:cf", 15, 15},
  };
  return table;
}

int nibble(const font_record& f, int column, int top_row) {
  const int stored = f.height - 1 - top_row;
  const std::uint8_t b = f.glyph_strip[stored * (f.strip_width / 2) + column / 2];
  return column % 2 == 0 ? b >> 4 : b & 0x0F;
}

// Coverage of one glyph, rows from the top.
struct glyph_view {
  const font_record& f;
  int s0, s1;
  glyph_view(const font_record& font, char ch) : f(font) {
    const int i = glyph_index(font, ch);
    s0 = i < 0 ? 0 : font.glyph_offsets[i];
    s1 = i < 0 ? 0 : font.glyph_offsets[i + 1];
  }
  int width() const { return s1 - s0; }
  int at(int x, int y) const { return nibble(f, s0 + x, y); }
  int ink() const {
    int sum = 0;
    for (int x = 0; x < width(); ++x) {
      for (int y = 0; y < f.height; ++y) sum += at(x, y);
    }
    return sum;
  }
  int column_ink(int x) const {
    int sum = 0;
    for (int y = 0; y < f.height; ++y) sum += at(x, y);
    return sum;
  }
  int row_ink(int y) const {
    int sum = 0;
    for (int x = 0; x < width(); ++x) sum += at(x, y);
    return sum;
  }
  int first_inked_row() const {
    for (int y = 0; y < f.height; ++y) {
      if (row_ink(y) > 0) return y;
    }
    return -1;
  }
  int last_inked_row() const {
    for (int y = f.height - 1; y >= 0; --y) {
      if (row_ink(y) > 0) return y;
    }
    return -1;
  }
};

TEST(FontTable, HeightsAndCharSetsInStripOrder) {
  for (int id = 0; id < FONT_COUNT; ++id) {
    const font_record& f = font_table[id];
    EXPECT_EQ(f.height, expected()[id].height) << "font " << id;
    EXPECT_EQ(std::string(f.charset), expected()[id].charset) << "font " << id;
    EXPECT_EQ(f.reserved, 0) << "font " << id;
    EXPECT_EQ(std::string(f.charset).find(' '), std::string::npos) << "no font has a space glyph";
  }
}

TEST(FontTable, OffsetsRunFromZeroToTheEvenStripWidth) {
  for (int id = 0; id < FONT_COUNT; ++id) {
    const font_record& f = font_table[id];
    const int n = static_cast<int>(std::string(f.charset).size());
    EXPECT_EQ(f.strip_width % 2, 0) << "font " << id;
    EXPECT_EQ(f.glyph_offsets[0], 0) << "font " << id;
    for (int i = 0; i < n; ++i)
      EXPECT_LT(f.glyph_offsets[i], f.glyph_offsets[i + 1]) << "font " << id << " glyph " << i;
    EXPECT_EQ(f.glyph_offsets[n], f.strip_width) << "font " << id;
  }
}

TEST(FontTable, TheNamedStripsAreTheTablesStrips) {
  const std::uint8_t* strips[FONT_COUNT] = {font_strip_0, font_strip_1, font_strip_2, font_strip_3, font_strip_4,
                                            font_strip_5, font_strip_6, font_strip_7, font_strip_8, font_strip_9};
  for (int id = 0; id < FONT_COUNT; ++id) {
    EXPECT_EQ(font_table[id].glyph_strip, strips[id]) << "font " << id;
    EXPECT_EQ(font_table[id].strip_width, FONT_STRIP_WIDTH[id]) << "font " << id;
    EXPECT_EQ(font_table[id].height, FONT_HEIGHT[id]) << "font " << id;
  }
  EXPECT_EQ(sizeof font_strip_6, static_cast<std::size_t>(FONT_STRIP_WIDTH[6] / 2 * FONT_HEIGHT[6]));
}

TEST(FontTable, AllTenDigitsShareOneWidthWithinTheLayoutsRange) {
  for (int id = 0; id < FONT_COUNT; ++id) {
    const int w0 = glyph_view(font_table[id], '0').width();
    EXPECT_GE(w0, expected()[id].digit_min) << "font " << id;
    EXPECT_LE(w0, expected()[id].digit_max) << "font " << id;
    for (char d = '1'; d <= '9'; ++d) EXPECT_EQ(glyph_view(font_table[id], d).width(), w0) << "font " << id << " " << d;
  }
}

TEST(FontTable, EveryGlyphHasInk) {
  for (int id = 0; id < FONT_COUNT; ++id) {
    for (const char* p = font_table[id].charset; *p != '\0'; ++p) {
      EXPECT_GT(glyph_view(font_table[id], *p).ink(), 0) << "font " << id << " '" << *p << "'";
    }
  }
}

TEST(FontTable, NeighbouringDigitsNeverTouch) {
  // Between two '8's (the widest digit) there is at least one blank column.
  for (int id = 0; id < FONT_COUNT; ++id) {
    const glyph_view eight(font_table[id], '8');
    EXPECT_TRUE(eight.column_ink(0) == 0 || eight.column_ink(eight.width() - 1) == 0) << "font " << id;
  }
}

TEST(FontTable, DigitsUseMostOfTheHeight) {
  for (int id = 0; id < FONT_COUNT; ++id) {
    const glyph_view eight(font_table[id], '8');
    const int rows = eight.last_inked_row() - eight.first_inked_row() + 1;
    EXPECT_GE(rows * 10, font_table[id].height * 6) << "font " << id << ": '8' is " << rows << " rows";
  }
}

TEST(FontTable, TextFontsDrawTheStarAsADegreeRing) {
  for (int id : {5, 6}) {
    const font_record& f = font_table[id];
    const glyph_view star(f, '*');
    // High up: nothing in the lower half of the height.
    EXPECT_LT(star.last_inked_row(), f.height / 2) << "font " << id;
    // A ring: its middle is empty while the rows above and below it are inked; an asterisk's
    // arms would cross there.
    const int top = star.first_inked_row(), bottom = star.last_inked_row();
    const int mid_row = (top + bottom) / 2;
    int left = 0, right = star.width() - 1;
    while (left < star.width() && star.column_ink(left) == 0) ++left;
    while (right > 0 && star.column_ink(right) == 0) --right;
    const int mid_col = (left + right) / 2;
    EXPECT_LT(star.at(mid_col, mid_row), 8) << "font " << id;
    EXPECT_GT(star.at(mid_col, top), 0) << "font " << id;
    EXPECT_GT(star.at(mid_col, bottom), 0) << "font " << id;
  }
}

TEST(FontTable, BannerBracesAreArrowHeadsPointingOutwards) {
  const font_record& f = font_table[6];
  for (char ch : {'{', '}'}) {
    const glyph_view arrow(f, ch);
    int left_half = 0, right_half = 0;
    for (int x = 0; x < arrow.width(); ++x) (2 * x < arrow.width() ? left_half : right_half) += arrow.column_ink(x);
    // Filled: far more ink than a brace's thin stroke, and the base heavier than the point.
    EXPECT_GT(arrow.ink(), 15 * 30) << ch;
    if (ch == '{') {
      EXPECT_GT(right_half, 2 * left_half) << "'{' points left, base on the right";
    } else {
      EXPECT_GT(left_half, 2 * right_half) << "'}' points right, base on the left";
    }
    // Centred in the height, so that it sits on the banner's line-2 centre.
    const int top = arrow.first_inked_row(), bottom = arrow.last_inked_row();
    EXPECT_LE(std::abs((top + bottom) - (f.height - 1)), 1) << ch;
    // Upper and lower halves mirror each other.
    for (int y = top; y <= bottom; ++y) EXPECT_EQ(arrow.row_ink(y), arrow.row_ink(top + bottom - y)) << ch << y;
  }
}

TEST(FontTable, ArrowHeadsMirrorEachOther) {
  const glyph_view left(font_table[6], '{'), right(font_table[6], '}');
  ASSERT_EQ(left.width(), right.width());
  for (int x = 0; x < left.width(); ++x) {
    for (int y = 0; y < font_table[6].height; ++y) EXPECT_EQ(left.at(x, y), right.at(left.width() - 1 - x, y));
  }
}

// The letters of the segment fonts read as themselves: no two glyphs of the font (digits
// included) look alike, and every letter built on slanted strokes is one connected stroke rather
// than a scatter of dots.
TEST(SegmentLetters, EveryLetterIsDistinctAndSlantedLettersAreContinuous) {
  const std::string letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  for (int id : {0, 2}) {
    const font_record& f = font_table[id];
    const std::string glyphs = letters + "0123456789";
    for (std::size_t i = 0; i < letters.size(); ++i) {
      for (std::size_t j = i + 1; j < glyphs.size(); ++j) {
        const glyph_view a(f, glyphs[i]), b(f, glyphs[j]);
        int differing = 0;
        for (int x = 0; x < std::max(a.width(), b.width()); ++x) {
          for (int y = 0; y < f.height; ++y) {
            const int ca = x < a.width() ? a.at(x, y) : 0;
            const int cb = x < b.width() ? b.at(x, y) : 0;
            differing += std::abs(ca - cb) >= 8 ? 1 : 0;
          }
        }
        EXPECT_GE(differing, 3) << "font " << id << ": '" << glyphs[i] << "' and '" << glyphs[j] << "'";
      }
    }
    for (char ch : std::string("KMNVWXYZ")) {
      // Pixels of at least half coverage, gathered by 8-neighbour flood from the first one.
      const glyph_view g(f, ch);
      std::vector<int> strong;
      for (int y = 0; y < f.height; ++y) {
        for (int x = 0; x < g.width(); ++x) {
          if (g.at(x, y) >= 7) strong.push_back(y * g.width() + x);
        }
      }
      ASSERT_FALSE(strong.empty()) << ch;
      std::vector<int> seen(static_cast<std::size_t>(g.width() * f.height), 0);
      std::vector<int> stack = {strong.front()};
      seen[static_cast<std::size_t>(strong.front())] = 1;
      std::size_t reached = 0;
      while (!stack.empty()) {
        const int p = stack.back();
        stack.pop_back();
        ++reached;
        for (int dy = -1; dy <= 1; ++dy) {
          for (int dx = -1; dx <= 1; ++dx) {
            const int x = p % g.width() + dx, y = p / g.width() + dy;
            if (x < 0 || y < 0 || x >= g.width() || y >= f.height || g.at(x, y) < 7) continue;
            const auto k = static_cast<std::size_t>(y * g.width() + x);
            if (!seen[k]) seen[k] = 1, stack.push_back(static_cast<int>(k));
          }
        }
      }
      EXPECT_EQ(reached, strong.size()) << "font " << id << ": '" << ch << "' falls apart";
    }
    // Where the X's strokes cross, in the middle of its ink, the ink is strong.
    const glyph_view x(f, 'X');
    const int mid_row = (x.first_inked_row() + x.last_inked_row()) / 2;
    int centre = 0;
    for (int c = 0; c < x.width(); ++c) {
      for (int r = mid_row; r <= mid_row + 1; ++r) centre = std::max(centre, x.at(c, r));
    }
    EXPECT_GE(centre, 12) << "font " << id;
  }
}

// In the text fonts a word never runs together: whichever two glyphs stand side by side, at
// least one blank column lies between their inks.
TEST(TextFonts, NeighbouringGlyphsNeverTouch) {
  for (int id : {5, 6}) {
    const font_record& f = font_table[id];
    const std::string set = f.charset;
    std::vector<int> leading, trailing;
    for (char ch : set) {
      const glyph_view g(f, ch);
      int l = 0, t = 0;
      while (l < g.width() && g.column_ink(l) == 0) ++l;
      while (t < g.width() && g.column_ink(g.width() - 1 - t) == 0) ++t;
      leading.push_back(l);
      trailing.push_back(t);
    }
    for (std::size_t a = 0; a < set.size(); ++a) {
      for (std::size_t b = 0; b < set.size(); ++b) {
        EXPECT_GE(trailing[a] + leading[b], 1) << "font " << id << ": \"" << set[a] << set[b] << "\"";
      }
    }
  }
}

}  // namespace
