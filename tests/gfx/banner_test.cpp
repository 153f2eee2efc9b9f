// The bottom banner: its setters and clearing, and what draw_banner puts on the top layer for
// each line style, the arrows and the digit-edit cursor.
#include "gfx/banner.h"

#include <cstring>
#include <string>
#include <vector>

#include "gfx/images.h"
#include "gfx/primitives.h"
#include "gfx/text.h"
#include "tests/support/power_on.h"

namespace {

class Banner : public PowerOn {
 protected:
  void SetUp() override {
    PowerOn::SetUp();
    clear_layer(top_layer);
  }

  // The top layer as the banner should leave it: the background copied at (94, 194), then
  // whatever the test draws on top.
  std::vector<pixel_t> with_background() {
    std::vector<pixel_t> ref(LAYER_PIXELS, COLOUR_TRANSPARENT);
    const image_ref back = image_lookup(IMG_BANNER_BACK);
    copy_image(ref.data(), back.pixels, SCREEN_W, SCREEN_H, 94, 194, back.width, back.height);
    return ref;
  }
  std::vector<pixel_t> drawn() { return std::vector<pixel_t>(top_layer, top_layer + LAYER_PIXELS); }
};

pixel_t at(const std::vector<pixel_t>& px, int x, int y) { return px[static_cast<std::size_t>(y) * SCREEN_W + x]; }

TEST_F(Banner, EmptyLinesDrawNothingEvenWithArrowsAndCursorSet) {
  set_banner_left_arrow(1);
  set_banner_right_arrow(1);
  set_banner_cursor_mode(2);
  set_banner_line1("", 0, COLOUR_WHITE);
  set_banner_line2("", 2, COLOUR_WHITE);
  draw_banner(top_layer);
  EXPECT_EQ(drawn(), std::vector<pixel_t>(LAYER_PIXELS, COLOUR_TRANSPARENT));
}

TEST_F(Banner, BackgroundIsTheBannerImageAndNothingOutsideIt) {
  const image_ref back = image_lookup(IMG_BANNER_BACK);
  ASSERT_EQ(back.width, 132);
  ASSERT_EQ(back.height, 40);
  set_banner_line1("AUTO BRT", 0, COLOUR_WHITE);
  set_banner_line2("80", 0, COLOUR_GREEN);
  set_banner_left_arrow(1);
  set_banner_right_arrow(1);
  draw_banner(top_layer);
  const std::vector<pixel_t> px = drawn();
  for (int y = 0; y < SCREEN_H; ++y) {
    for (int x = 0; x < SCREEN_W; ++x) {
      const bool inside = x >= 94 && x < 94 + 132 && y >= 194 && y < 194 + 40;
      if (!inside) {
        ASSERT_EQ(at(px, x, y), COLOUR_TRANSPARENT) << x << "," << y;
      }
    }
  }
  // A corner well away from the texts is the image's own pixel.
  EXPECT_EQ(at(px, 94, 194), back.pixels[0]);
  EXPECT_EQ(at(px, 94 + 131, 194 + 39), back.pixels[132 * 40 - 1]);
}

TEST_F(Banner, LineOneSitsLowerWhenItIsAlone) {
  set_banner_line1("SET BARO", 0, COLOUR_WHITE);
  draw_banner(top_layer);
  std::vector<pixel_t> alone = with_background();
  draw_text_centred(alone.data(), SCREEN_W, SCREEN_H, 5, 160, 214, COLOUR_WHITE, "SET BARO");
  EXPECT_EQ(drawn(), alone);

  // A line 2 of an unknown style draws nothing, but its text still moves line 1 up.
  clear_layer(top_layer);
  set_banner_line2("29.92", 9, COLOUR_GREEN);
  draw_banner(top_layer);
  std::vector<pixel_t> upper = with_background();
  draw_text_centred(upper.data(), SCREEN_W, SCREEN_H, 5, 160, 204, COLOUR_WHITE, "SET BARO");
  EXPECT_EQ(drawn(), upper);
}

TEST_F(Banner, LineOneStylesChooseFontsFiveAndSix) {
  set_banner_line1("DG ADJ", 1, COLOUR_CYAN);
  draw_banner(top_layer);
  std::vector<pixel_t> ref = with_background();
  draw_text_centred(ref.data(), SCREEN_W, SCREEN_H, 6, 160, 214, COLOUR_CYAN, "DG ADJ");
  EXPECT_EQ(drawn(), ref);

  clear_layer(top_layer);
  set_banner_line1("DG ADJ", 2, COLOUR_CYAN);
  draw_banner(top_layer);
  EXPECT_EQ(drawn(), with_background()) << "an unknown style draws no text";
}

TEST_F(Banner, LineTwoStylesChooseTheirFonts) {
  const struct {
    int style;
    int font;
  } cases[] = {{0, 6}, {1, 7}, {3, 5}};
  for (auto c : cases) {
    clear_layer(top_layer);
    set_banner_line1("", 0, COLOUR_WHITE);
    set_banner_line2("1013", c.style, COLOUR_MAGENTA);
    draw_banner(top_layer);
    std::vector<pixel_t> ref = with_background();
    draw_text_centred(ref.data(), SCREEN_W, SCREEN_H, c.font, 160, 222, COLOUR_MAGENTA, "1013");
    EXPECT_EQ(drawn(), ref) << "style " << c.style;
  }
  clear_layer(top_layer);
  set_banner_line2("1013", 4, COLOUR_MAGENTA);
  draw_banner(top_layer);
  EXPECT_EQ(drawn(), with_background()) << "an unknown style draws no text";
}

TEST_F(Banner, ArrowsAreFontSixBracesInLineTwoColour) {
  set_banner_line1("MANUAL BRT", 0, COLOUR_WHITE);
  set_banner_line2("5", 9, COLOUR_RED);
  set_banner_left_arrow(1);
  draw_banner(top_layer);
  std::vector<pixel_t> ref = with_background();
  draw_text_centred(ref.data(), SCREEN_W, SCREEN_H, 5, 160, 204, COLOUR_WHITE, "MANUAL BRT");
  draw_text_centred(ref.data(), SCREEN_W, SCREEN_H, 6, 105, 223, COLOUR_RED, "{");
  EXPECT_EQ(drawn(), ref);

  clear_layer(top_layer);
  set_banner_left_arrow(0);
  set_banner_right_arrow(1);
  draw_banner(top_layer);
  ref = with_background();
  draw_text_centred(ref.data(), SCREEN_W, SCREEN_H, 5, 160, 204, COLOUR_WHITE, "MANUAL BRT");
  draw_text_centred(ref.data(), SCREEN_W, SCREEN_H, 6, 215, 223, COLOUR_RED, "}");
  EXPECT_EQ(drawn(), ref);
}

// ---- Setters

TEST_F(Banner, LinesAreCutToFifteenCharacters) {
  set_banner_line1("ABCDEFGHIJKLMNOPQRST", 1, COLOUR_GREEN);
  EXPECT_EQ(std::string(banner.banner_line1), "ABCDEFGHIJKLMNO");
  EXPECT_EQ(banner.banner_line1[15], '\0');
  EXPECT_EQ(banner.banner_line1_style, 1);
  EXPECT_EQ(banner.banner_line1_colour, COLOUR_GREEN);
  // A shorter text leaves nothing of the longer one behind.
  set_banner_line1("XY", 0, COLOUR_RED);
  for (int i = 2; i <= BANNER_TEXT_MAX; ++i) EXPECT_EQ(banner.banner_line1[i], '\0') << i;
  set_banner_line2("0123456789ABCDEF", 2, COLOUR_CYAN);
  EXPECT_EQ(std::string(banner.banner_line2), "0123456789ABCDE");
  EXPECT_EQ(banner.banner_line2_style, 2);
  set_banner_line2(nullptr, 0, COLOUR_CYAN);
  EXPECT_EQ(banner.banner_line2[0], '\0');
}

TEST_F(Banner, ClearingEmptiesTheTextsOnly) {
  set_banner_line1("SETUP", 1, COLOUR_GREEN);
  set_banner_line2("1200", 2, COLOUR_CYAN);
  set_banner_left_arrow(1);
  set_banner_right_arrow(1);
  set_banner_cursor_index(3);
  set_banner_cursor_mode(1);
  clear_banner_lines();
  for (int i = 0; i <= BANNER_TEXT_MAX; ++i) {
    EXPECT_EQ(banner.banner_line1[i], '\0');
    EXPECT_EQ(banner.banner_line2[i], '\0');
  }
  EXPECT_EQ(banner.banner_line1_style, 1);
  EXPECT_EQ(banner.banner_line2_style, 2);
  EXPECT_EQ(banner.banner_line1_colour, COLOUR_GREEN);
  EXPECT_EQ(banner.banner_line2_colour, COLOUR_CYAN);
  EXPECT_EQ(banner.banner_left_arrow, 1);
  EXPECT_EQ(banner.banner_right_arrow, 1);
  EXPECT_EQ(banner.banner_cursor_index, 3);
  EXPECT_EQ(banner.banner_cursor_mode, 1);
}

TEST_F(Banner, CursorClearAndPowerOn) {
  set_banner_line1("SETUP", 1, COLOUR_GREEN);
  set_banner_cursor_index(3);
  set_banner_cursor_mode(2);
  banner_cursor_clear();
  EXPECT_EQ(banner.banner_cursor_index, 0);
  EXPECT_EQ(banner.banner_cursor_mode, 0);
  EXPECT_EQ(std::string(banner.banner_line1), "SETUP");
  set_banner_left_arrow(1);
  banner_power_on();
  EXPECT_EQ(banner.banner_line1[0], '\0');
  EXPECT_EQ(banner.banner_line1_style, 0);
  EXPECT_EQ(banner.banner_line1_colour, 0u);
  EXPECT_EQ(banner.banner_left_arrow, 0);
}

// ---- The digit-edit form

class DigitEdit : public Banner {
 protected:
  int digit = 0, cell = 0, w2 = 0;
  void show(const char* code, int index, int mode) {
    clear_layer(top_layer);
    set_banner_line1("SQUAWK", 0, COLOUR_WHITE);
    set_banner_line2(code, 2, COLOUR_MAGENTA);
    set_banner_cursor_index(index);
    set_banner_cursor_mode(mode);
    draw_banner(top_layer);
    digit = text_width(7, "1");
    cell = digit + 5;
    w2 = text_width(7, code);
  }
  // Where the cursor cell of character i starts, for a text of n characters.
  int cell_x(int i, int n) const { return i * cell - (n * 5) / 2 - w2 / 2 + 157; }
  // The reference: background, line 1, and every character spaced 5 apart in line-1 colour.
  std::vector<pixel_t> plain_form(const char* code) {
    std::vector<pixel_t> ref = with_background();
    draw_text_centred(ref.data(), SCREEN_W, SCREEN_H, 5, 160, 204, COLOUR_WHITE, "SQUAWK");
    const int n = static_cast<int>(std::strlen(code));
    int x = 160 - w2 / 2 - (n * 5) / 2;
    for (int i = 0; i < n; ++i) {
      const char ch[2] = {code[i], '\0'};
      draw_text(ref.data(), SCREEN_W, SCREEN_H, 7, x, 213, COLOUR_WHITE, ch);
      x += text_width(7, ch) + 5;
    }
    return ref;
  }
};

TEST_F(DigitEdit, CharactersAreSpacedFiveApartInLineOneColourWithoutACursor) {
  show("1200", 1, 0);
  EXPECT_EQ(drawn(), plain_form("1200"));
}

TEST_F(DigitEdit, AnIndexPastTheTextShowsNoCursor) {
  show("1200", 4, 2);
  EXPECT_EQ(drawn(), plain_form("1200"));
  show("1200", -1, 1);
  EXPECT_EQ(drawn(), plain_form("1200"));
}

TEST_F(DigitEdit, FilledCursorIsALineOneBoxWithTheCharacterInBlack) {
  show("7700", 2, 2);
  const std::vector<pixel_t> px = drawn();
  const int x0 = cell_x(2, 4);
  // The box covers columns x0 .. x0 + cell - 1 and rows 213 .. 232.
  EXPECT_EQ(at(px, x0, 213), COLOUR_WHITE);
  EXPECT_EQ(at(px, x0 + cell - 1, 213), COLOUR_WHITE);
  EXPECT_EQ(at(px, x0, 232), COLOUR_WHITE);
  EXPECT_NE(at(px, x0 - 1, 213), COLOUR_WHITE);
  EXPECT_NE(at(px, x0 + cell, 213), COLOUR_WHITE);
  EXPECT_NE(at(px, x0, 233), COLOUR_WHITE);
  // The character on it is dark: some pixels inside are nearly black.
  int dark = 0;
  for (int y = 214; y < 233; ++y) {
    for (int x = x0; x < x0 + cell; ++x) dark += (at(px, x, y) & 0x00FFFFFF) < 0x202020 ? 1 : 0;
  }
  EXPECT_GT(dark, 10);
  // Everything left of the cell is the plain form.
  const std::vector<pixel_t> plain = plain_form("7700");
  for (int y = 194; y < 234; ++y) {
    for (int x = 94; x < x0; ++x) ASSERT_EQ(at(px, x, y), at(plain, x, y)) << x << "," << y;
  }
}

TEST_F(DigitEdit, TheCellStartsThreePixelsBeforeItsDigit) {
  // With equal-width digits the cell of digit i begins 3 pixels left of that digit.
  show("1234", 0, 2);
  const int first_x = 160 - w2 / 2 - (4 * 5) / 2;
  EXPECT_EQ(cell_x(0, 4), first_x - 3);
  EXPECT_EQ(at(drawn(), first_x - 3, 213), COLOUR_WHITE);
  EXPECT_NE(at(drawn(), first_x - 4, 213), COLOUR_WHITE);
  show("1234", 3, 2);
  EXPECT_EQ(at(drawn(), first_x - 3 + 3 * cell, 213), COLOUR_WHITE);
}

TEST_F(DigitEdit, OutlineCursorDrawsFourLinesAroundTheCellAndKeepsTheCharacterColour) {
  show("7700", 1, 1);
  const std::vector<pixel_t> outlined = drawn();
  const std::vector<pixel_t> plain = plain_form("7700");
  const int x0 = cell_x(1, 4);
  // The top and bottom edges at the middle of the cell, and the side edges half-way down, are lit.
  EXPECT_NE(at(outlined, x0 + cell / 2, 213), at(plain, x0 + cell / 2, 213));
  EXPECT_NE(at(outlined, x0 + cell / 2, 233), at(plain, x0 + cell / 2, 233));
  EXPECT_NE(at(outlined, x0, 223), at(plain, x0, 223));
  EXPECT_NE(at(outlined, x0 + cell, 223), at(plain, x0 + cell, 223));
  // Inside the outline the character is as it would be without a cursor.
  for (int y = 215; y < 232; ++y) {
    for (int x = x0 + 2; x < x0 + cell - 1; ++x) ASSERT_EQ(at(outlined, x, y), at(plain, x, y)) << x << "," << y;
  }
  // The other cells are untouched.
  for (int y = 194; y < 234; ++y) {
    for (int x = 94; x < x0 - 1; ++x) ASSERT_EQ(at(outlined, x, y), at(plain, x, y)) << x << "," << y;
  }
}

}  // namespace
