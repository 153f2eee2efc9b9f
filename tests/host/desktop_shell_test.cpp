// The window-independent parts of the desktop shell: touch areas and the release rule, keys
// and wheel, the presentation of a frame in the bezel, the artwork's agreement with the mask,
// the timers' rhythm and the command line.
#include <SDL_keycode.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "host/common/faults.h"
#include "host/desktop/bezel_art.h"
#include "host/desktop/input_map.h"
#include "host/desktop/presenter.h"
#include "host/desktop/sim_options.h"
#include "host/desktop/tick_timer.h"
#include "host/desktop/view_fit.h"

namespace {

// ---------------------------------------------------------------- touch areas

struct inclusive_area {
  touch_area area;
  int x0, x1, y0, y1;
};
// The inclusive pointer ranges of the instrument's desktop window, as its users know them.
const inclusive_area documented[] = {
    {touch_area::knob_push, 216, 249, 406, 439},    {touch_area::knob_left, 201, 229, 381, 399},
    {touch_area::knob_right, 236, 264, 381, 399},   {touch_area::left_button, 161, 191, 389, 419},
    {touch_area::right_button, 276, 306, 389, 419},
};

TEST(TouchAreas, EveryEdgeOfEveryAreaIsInsideAndOnePixelBeyondIsNot) {
  for (const inclusive_area& a : documented) {
    SCOPED_TRACE(static_cast<int>(a.area));
    const int xm = (a.x0 + a.x1) / 2;
    const int ym = (a.y0 + a.y1) / 2;
    EXPECT_EQ(touch_area_at(a.x0, a.y0), a.area);
    EXPECT_EQ(touch_area_at(a.x1, a.y0), a.area);
    EXPECT_EQ(touch_area_at(a.x0, a.y1), a.area);
    EXPECT_EQ(touch_area_at(a.x1, a.y1), a.area);
    EXPECT_EQ(touch_area_at(xm, ym), a.area);
    EXPECT_NE(touch_area_at(a.x0 - 1, ym), a.area);
    EXPECT_NE(touch_area_at(a.x1 + 1, ym), a.area);
    EXPECT_NE(touch_area_at(xm, a.y0 - 1), a.area);
    EXPECT_NE(touch_area_at(xm, a.y1 + 1), a.area);
  }
}

TEST(TouchAreas, OutlinesSurroundTheAreasExactly) {
  // Each drawn outline runs one pixel outside its area on all four sides.
  ASSERT_EQ(TOUCH_AREA_COUNT, 5);
  for (const inclusive_area& a : documented) {
    bool found = false;
    for (const touch_area_entry& e : touch_areas) {
      if (e.area != a.area) continue;
      found = true;
      EXPECT_EQ(e.outline.x, a.x0 - 1);
      EXPECT_EQ(e.outline.x + e.outline.w, a.x1 + 1);
      EXPECT_EQ(e.outline.y, a.y0 - 1);
      EXPECT_EQ(e.outline.y + e.outline.h, a.y1 + 1);
    }
    EXPECT_TRUE(found);
  }
}

TEST(TouchAreas, NothingBetweenOrAroundTheControls) {
  EXPECT_EQ(touch_area_at(232, 402), touch_area::none);  // between the turning zones and the push
  EXPECT_EQ(touch_area_at(232, 390), touch_area::none);  // between the two turning zones
  EXPECT_EQ(touch_area_at(240, 200), touch_area::none);  // on the display
  EXPECT_EQ(touch_area_at(-1, -1), touch_area::none);
  EXPECT_EQ(touch_area_at(100000, 400), touch_area::none);
}

// ---------------------------------------------------------------- pointer

TEST(Pointer, PressesSetTheirControlsAndTurningZonesGiveOneDetent) {
  pointer_state p;
  EXPECT_EQ(pointer_press(&p, 232, 422), (control_action{control_kind::knob_push, 1}));
  EXPECT_EQ(pointer_press(&p, 210, 390), (control_action{control_kind::knob_count_set, -1}));
  EXPECT_EQ(pointer_press(&p, 250, 390), (control_action{control_kind::knob_count_set, 1}));
  EXPECT_EQ(pointer_press(&p, 176, 404), (control_action{control_kind::left_button, 1}));
  EXPECT_EQ(pointer_press(&p, 291, 404), (control_action{control_kind::right_button, 1}));
  EXPECT_EQ(pointer_press(&p, 10, 10), control_action{});
}

TEST(Pointer, ReleaseInTheSameAreaLetsGo) {
  pointer_state p;
  pointer_press(&p, 176, 404);
  // Anywhere inside the area, not only where it went down.
  EXPECT_EQ(pointer_release(&p, 161, 419), (control_action{control_kind::left_button, 0}));
  pointer_press(&p, 240, 430);
  EXPECT_EQ(pointer_release(&p, 216, 406), (control_action{control_kind::knob_push, 0}));
  pointer_press(&p, 300, 395);
  EXPECT_EQ(pointer_release(&p, 300, 395), (control_action{control_kind::right_button, 0}));
}

TEST(Pointer, ReleaseElsewhereKeepsTheControlHeld) {
  pointer_state p;
  pointer_press(&p, 176, 404);
  EXPECT_EQ(pointer_release(&p, 192, 404), control_action{});  // one pixel outside
  EXPECT_EQ(pointer_release(&p, 176, 404), control_action{});  // a second release means nothing
  // Pressing and releasing in the area again lets go.
  EXPECT_EQ(pointer_press(&p, 176, 404), (control_action{control_kind::left_button, 1}));
  EXPECT_EQ(pointer_release(&p, 176, 404), (control_action{control_kind::left_button, 0}));
}

TEST(Pointer, ReleaseInAnotherAreaReleasesNeither) {
  pointer_state p;
  pointer_press(&p, 232, 422);  // knob push
  EXPECT_EQ(pointer_release(&p, 176, 404), control_action{});
  // A press outside every area cannot release a held control either.
  pointer_press(&p, 20, 600);
  EXPECT_EQ(pointer_release(&p, 232, 422), control_action{});
}

TEST(Pointer, TurningZonesDoNothingOnRelease) {
  pointer_state p;
  pointer_press(&p, 250, 390);
  EXPECT_EQ(pointer_release(&p, 250, 390), control_action{});
  pointer_press(&p, 210, 390);
  EXPECT_EQ(pointer_release(&p, 210, 390), control_action{});
}

TEST(Pointer, WindowCoordinatesScaleDownByTheZoom) {
  EXPECT_EQ(bezel_coordinate(0, 1), 0);
  EXPECT_EQ(bezel_coordinate(479, 1), 479);
  EXPECT_EQ(bezel_coordinate(1, 2), 0);
  EXPECT_EQ(bezel_coordinate(3, 2), 1);
  EXPECT_EQ(bezel_coordinate(3 * 216 + 2, 3), 216);
  EXPECT_EQ(bezel_coordinate(4 * 215 + 3, 4), 215);  // still on the outline, not in the area
  // Outside the window to the left or above (the mouse is captured while held).
  EXPECT_EQ(bezel_coordinate(-1, 2), -1);
  EXPECT_EQ(bezel_coordinate(-2, 2), -1);
  EXPECT_EQ(bezel_coordinate(-3, 2), -2);
  EXPECT_EQ(bezel_coordinate(5, 0), 5);  // a zoom below 1 is taken as 1
}

TEST(Pointer, ZoomedClickLandsInTheSameArea) {
  for (int zoom = 1; zoom <= 4; ++zoom) {
    for (const inclusive_area& a : documented) {
      // The last window pixel of the area's last bezel pixel, and the first of the one beyond.
      EXPECT_EQ(touch_area_at(bezel_coordinate(a.x1 * zoom + zoom - 1, zoom), bezel_coordinate(a.y0 * zoom, zoom)),
                a.area);
      EXPECT_NE(touch_area_at(bezel_coordinate((a.x1 + 1) * zoom, zoom), bezel_coordinate(a.y0 * zoom, zoom)), a.area);
    }
  }
}

// ---------------------------------------------------------------- wheel and keys

TEST(Wheel, OneDetentPerNotchAwayIsClockwise) {
  EXPECT_EQ(wheel_action(1, false), (control_action{control_kind::knob_turn, 1}));
  EXPECT_EQ(wheel_action(-1, false), (control_action{control_kind::knob_turn, -1}));
  EXPECT_EQ(wheel_action(3, false), (control_action{control_kind::knob_turn, 3}));
  EXPECT_EQ(wheel_action(1, true), (control_action{control_kind::knob_turn, -1}));  // "natural" scrolling
  EXPECT_EQ(wheel_action(0, false), control_action{});                              // sideways scroll
}

key_result press(std::int32_t key, std::uint16_t mod = KMOD_NONE) { return map_key(key, mod, true, false); }
key_result release(std::int32_t key, std::uint16_t mod = KMOD_NONE) { return map_key(key, mod, false, false); }
key_result repeat(std::int32_t key) { return map_key(key, KMOD_NONE, true, true); }

TEST(Keys, TurnKeysMakeOneDetentPerPressAndPerRepeat) {
  for (std::int32_t k : {SDLK_RIGHT, SDLK_UP, SDLK_PLUS, SDLK_EQUALS, SDLK_KP_PLUS}) {
    EXPECT_EQ(press(k).action, (control_action{control_kind::knob_turn, 1})) << k;
    EXPECT_EQ(repeat(k).action, (control_action{control_kind::knob_turn, 1})) << k;
    EXPECT_EQ(release(k).action, control_action{}) << k;
  }
  for (std::int32_t k : {SDLK_LEFT, SDLK_DOWN, SDLK_MINUS, SDLK_KP_MINUS}) {
    EXPECT_EQ(press(k).action, (control_action{control_kind::knob_turn, -1})) << k;
    EXPECT_EQ(release(k).action, control_action{}) << k;
  }
  // '+' typed with Shift held is still a detent, not something else.
  EXPECT_EQ(press(SDLK_EQUALS, KMOD_LSHIFT).action, (control_action{control_kind::knob_turn, 1}));
}

TEST(Keys, SwitchKeysFollowTheKeyLevelAndIgnoreRepeats) {
  const struct {
    std::int32_t key;
    control_kind kind;
  } switches[] = {{SDLK_RETURN, control_kind::knob_push}, {SDLK_KP_ENTER, control_kind::knob_push},
                  {SDLK_SPACE, control_kind::knob_push},  {SDLK_a, control_kind::left_button},
                  {SDLK_F1, control_kind::left_button},   {SDLK_d, control_kind::right_button},
                  {SDLK_F3, control_kind::right_button}};
  for (const auto& s : switches) {
    EXPECT_EQ(press(s.key).action, (control_action{s.kind, 1})) << s.key;
    EXPECT_EQ(repeat(s.key).action, control_action{}) << s.key;
    EXPECT_EQ(release(s.key).action, (control_action{s.kind, 0})) << s.key;
    EXPECT_EQ(press(s.key).command, sim_command::none);
  }
}

TEST(Keys, CommandsActOnPressOnly) {
  EXPECT_EQ(press(SDLK_F2).command, sim_command::print_state);
  EXPECT_EQ(release(SDLK_F2).command, sim_command::none);
  EXPECT_EQ(repeat(SDLK_F2).command, sim_command::none);  // holding F2 prints one line
  EXPECT_EQ(press(SDLK_F12).command, sim_command::save_picture);
  EXPECT_EQ(press(SDLK_F12, KMOD_RSHIFT).command, sim_command::save_picture_and_frame);
  EXPECT_EQ(release(SDLK_F12).command, sim_command::none);
  EXPECT_EQ(press(SDLK_ESCAPE).command, sim_command::quit);
  EXPECT_EQ(press(SDLK_p).command, sim_command::toggle_pause);
  EXPECT_EQ(press(SDLK_PAUSE).command, sim_command::toggle_pause);
  EXPECT_EQ(press(SDLK_q, KMOD_LCTRL).command, sim_command::quit);
  EXPECT_EQ(press(SDLK_q).command, sim_command::none);  // plain Q is no accident waiting to happen
  EXPECT_EQ(press(SDLK_F2).action, control_action{});
}

TEST(Keys, CtrlPlusAndMinusZoomWithoutTurningTheKnob) {
  for (std::int32_t k : {SDLK_PLUS, SDLK_EQUALS, SDLK_KP_PLUS}) {
    const key_result r = press(k, KMOD_LCTRL);
    EXPECT_EQ(r.command, sim_command::zoom_in) << k;
    EXPECT_EQ(r.action, control_action{}) << k;
  }
  EXPECT_EQ(press(SDLK_EQUALS, KMOD_LCTRL | KMOD_LSHIFT).command, sim_command::zoom_in);
  for (std::int32_t k : {SDLK_MINUS, SDLK_KP_MINUS}) {
    const key_result r = press(k, KMOD_RCTRL);
    EXPECT_EQ(r.command, sim_command::zoom_out) << k;
    EXPECT_EQ(r.action, control_action{}) << k;
  }
  EXPECT_EQ(map_key(SDLK_MINUS, KMOD_LCTRL, true, true).command, sim_command::none);  // one step per press
  // Ctrl with a switch key does not work the switch (Ctrl+A is no button press).
  EXPECT_EQ(press(SDLK_a, KMOD_LCTRL).action, control_action{});
}

TEST(Keys, OtherKeysDoNothing) {
  for (std::int32_t k : {SDLK_b, SDLK_z, SDLK_F5, SDLK_TAB, SDLK_LSHIFT}) {
    const key_result r = press(k);
    EXPECT_EQ(r.action, control_action{}) << k;
    EXPECT_EQ(r.command, sim_command::none) << k;
  }
}

// ---------------------------------------------------------------- presentation

std::uint32_t coded(int x, int y) { return 0xFF000000u | (static_cast<std::uint32_t>(y) << 12) | x; }

struct PresentFixture : ::testing::Test {
  std::vector<std::uint32_t> frame = std::vector<std::uint32_t>(MASK_W * MASK_H);
  std::vector<std::uint32_t> bezel = std::vector<std::uint32_t>(BEZEL_W * BEZEL_H, 0u);
  std::vector<std::uint32_t> mask = std::vector<std::uint32_t>(MASK_W * MASK_H, 0xFFFFFFFFu);
  std::vector<std::uint32_t> picture = std::vector<std::uint32_t>(BEZEL_W * BEZEL_H, 0x12345678u);
  void SetUp() override {
    for (int y = 0; y < MASK_H; ++y)
      for (int x = 0; x < MASK_W; ++x) frame[y * MASK_W + x] = coded(x, y);
  }
  void compose() { compose_window_picture(frame.data(), bezel.data(), mask.data(), picture.data()); }
  std::uint32_t at(int x, int y) const { return picture[y * BEZEL_W + x]; }
};

TEST_F(PresentFixture, DisplayRowsOneTo234LandAtWindowRows92To325) {
  compose();
  EXPECT_EQ(at(69, 92), coded(0, 1));
  EXPECT_EQ(at(388, 92), coded(319, 1));
  EXPECT_EQ(at(69, 325), coded(0, 234));
  EXPECT_EQ(at(388, 325), coded(319, 234));
  for (int r = 0; r < 234; ++r) {
    for (int x = 0; x < 320; ++x) {
      ASSERT_EQ(at(69 + x, 92 + r), coded(x, r + 1)) << x << "," << r;
    }
  }
  // Display row 0 and rows 235..239 are not shown; nothing spills past the rectangle.
  for (int x = 60; x < 400; ++x) {
    EXPECT_EQ(at(x, 91), 0xFF000000u) << x;
    EXPECT_EQ(at(x, 326), 0xFF000000u) << x;
  }
  for (int y = 92; y <= 325; ++y) {
    EXPECT_EQ(at(68, y), 0xFF000000u) << y;
    EXPECT_EQ(at(389, y), 0xFF000000u) << y;
  }
}

TEST_F(PresentFixture, OutsideTheMaskIsBlackWhateverTheFrameHolds) {
  std::fill(frame.begin(), frame.end(), 0xFFFFFFFFu);
  for (int x = 0; x < 320; ++x) mask[10 * MASK_W + x] = 0xFF000000u;  // display row 10 masked off
  mask[50 * MASK_W + 7] = 0xFF000000u;
  compose();
  for (int x = 0; x < 320; ++x) EXPECT_EQ(at(69 + x, 92 + 9), 0xFF000000u) << x;
  EXPECT_EQ(at(69 + 7, 92 + 49), 0xFF000000u);
  EXPECT_EQ(at(69 + 8, 92 + 49), 0xFFFFFFFFu);
  EXPECT_EQ(at(69, 92 + 10), 0xFFFFFFFFu);
}

TEST_F(PresentFixture, BezelIsOredOverTheDisplay) {
  frame[1 * MASK_W + 0] = 0xFF00F000u;
  bezel[92 * BEZEL_W + 69] = 0xFF0A000Fu;
  bezel[0] = 0xFF445566u;  // outside the display only the bezel shows
  compose();
  EXPECT_EQ(at(69, 92), 0xFF0AF00Fu);
  EXPECT_EQ(at(0, 0), 0xFF445566u);
  EXPECT_EQ(at(479, 624), 0xFF000000u);  // black background everywhere else
}

TEST_F(PresentFixture, TouchAreasAreOutlinedInGreyOnePixelWide) {
  std::fill(bezel.begin(), bezel.end(), 0xFF102030u);
  compose();
  const std::uint32_t grey = 0xFF808080u;
  // knob push (215, 405, 35, 35): both end columns and rows are drawn.
  EXPECT_EQ(at(215, 405), grey);
  EXPECT_EQ(at(250, 405), grey);
  EXPECT_EQ(at(215, 440), grey);
  EXPECT_EQ(at(250, 440), grey);
  EXPECT_EQ(at(232, 405), grey);
  EXPECT_EQ(at(215, 420), grey);
  EXPECT_EQ(at(251, 405), 0xFF102030u);
  EXPECT_EQ(at(216, 406), 0xFF102030u);  // the inside is untouched
  EXPECT_EQ(at(232, 422), 0xFF102030u);
  // The other four, by their corners.
  EXPECT_EQ(at(200, 380), grey);
  EXPECT_EQ(at(230, 400), grey);
  EXPECT_EQ(at(235, 380), grey);
  EXPECT_EQ(at(265, 400), grey);
  EXPECT_EQ(at(160, 388), grey);
  EXPECT_EQ(at(192, 420), grey);
  EXPECT_EQ(at(275, 388), grey);
  EXPECT_EQ(at(307, 420), grey);
  EXPECT_EQ(at(201, 381), 0xFF102030u);
  int outlined = 0;
  for (std::uint32_t p : picture) outlined += p == grey;
  // Perimeter pixels of rectangles w x h drawn end to end: 2 * (w + h), five of them.
  EXPECT_EQ(outlined, 2 * (35 + 35) + 2 * (30 + 20) * 2 + 2 * (32 + 32) * 2);
}

TEST_F(PresentFixture, HeldControlsAreLitTwoPixelsWideAndTheOthersStayGrey) {
  std::fill(bezel.begin(), bezel.end(), 0xFF102030u);
  const unsigned lit =
      touch_bit(static_cast<int>(touch_area::left_button)) | touch_bit(static_cast<int>(touch_area::knob_right));
  compose_window_picture(frame.data(), bezel.data(), mask.data(), picture.data(), lit);
  const std::uint32_t held = HELD_OUTLINE_COLOUR;
  struct probe {
    int x, y;
    std::uint32_t colour;
  };
  for (const probe& p : std::vector<probe>{{160, 388, held},
                                           {192, 420, held},
                                           {161, 389, held},
                                           {191, 419, held},         // left button, both rings
                                           {162, 390, 0xFF102030u},  // inside the rings
                                           {235, 380, held},
                                           {264, 399, held},  // right turning zone
                                           {275, 388, 0xFF808080u},
                                           {276, 389, 0xFF102030u},  // right button not held
                                           {215, 405, 0xFF808080u},
                                           {200, 380, 0xFF808080u}}) {
    EXPECT_EQ(at(p.x, p.y), p.colour) << p.x << "," << p.y;
  }
}

TEST(OutlineRect, ClipsAtThePictureEdges) {
  std::vector<std::uint32_t> p(10 * 10, 0);
  outline_rect(p.data(), 10, 10, -3, 7, 5, 5, 7u);
  EXPECT_EQ(p[7 * 10 + 0], 7u);
  EXPECT_EQ(p[7 * 10 + 2], 7u);
  EXPECT_EQ(p[9 * 10 + 2], 7u);  // the right side, x = 2
  EXPECT_EQ(p[8 * 10 + 1], 0u);
  int drawn = 0;
  for (std::uint32_t v : p) drawn += v == 7u;
  EXPECT_EQ(drawn, 3 + 2);  // top row x 0..2, right side at rows 8 and 9; the rest is off the picture
}

TEST(ZoomPicture, EveryPixelBecomesASquareBlock) {
  const std::uint32_t src[6] = {1, 2, 3, 4, 5, 6};  // 3 x 2
  std::vector<std::uint32_t> dst(9 * 6, 0);
  zoom_picture(src, 3, 2, 3, dst.data());
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 9; ++x) EXPECT_EQ(dst[y * 9 + x], src[(y / 3) * 3 + x / 3]) << x << "," << y;
  std::vector<std::uint32_t> same(6, 0);
  zoom_picture(src, 3, 2, 1, same.data());
  EXPECT_EQ(same, std::vector<std::uint32_t>(src, src + 6));
}

// ---------------------------------------------------------------- artwork

TEST(Artwork, MaskIsStrictlyBlackOrWhiteAndCoversOnlyTheShownRows) {
  for (int y = 0; y < MASK_H; ++y) {
    for (int x = 0; x < MASK_W; ++x) {
      const std::uint32_t m = display_mask[y * MASK_W + x];
      ASSERT_TRUE(m == 0xFFFFFFFFu || m == 0xFF000000u) << x << "," << y;
      if (y == 0 || y > 234) {
        ASSERT_EQ(m, 0xFF000000u) << x << "," << y;
      }
    }
  }
}

TEST(Artwork, MaskIsARectangleWithAnArchedTop) {
  auto white = [](int x, int y) { return display_mask[y * MASK_W + x] == 0xFFFFFFFFu; };
  EXPECT_TRUE(white(159, 1));  // the crown touches the first shown row
  EXPECT_TRUE(white(160, 1));
  EXPECT_FALSE(white(0, 1));  // the corners fall away under the arch
  EXPECT_FALSE(white(319, 1));
  EXPECT_TRUE(white(0, 120));  // full width below the arch
  EXPECT_TRUE(white(319, 120));
  EXPECT_TRUE(white(160, 234));
  // The arch: the first white row of each column never rises towards the sides.
  int previous_top = 0;
  for (int x = 160; x < MASK_W; ++x) {
    int top = 1;
    while (top < MASK_H && !white(x, top)) ++top;
    EXPECT_GE(top, previous_top) << x;
    previous_top = top;
  }
  EXPECT_GT(previous_top, 8);  // it is an arch, not a flat edge
  // And it is symmetric.
  for (int y = 0; y < MASK_H; ++y)
    for (int x = 0; x < MASK_W / 2; ++x) ASSERT_EQ(white(x, y), white(MASK_W - 1 - x, y)) << x << "," << y;
}

TEST(Artwork, BezelIsBlackExactlyWhereTheMaskLetsTheDisplayThrough) {
  // Over the presentation rectangle: black bezel pixels are the opening, nothing more, nothing
  // less; so the display is neither cut off nor framed by a black seam.
  for (int r = 0; r < 234; ++r) {
    for (int x = 0; x < 320; ++x) {
      const bool open = display_mask[(r + 1) * MASK_W + x] == 0xFFFFFFFFu;
      const std::uint32_t b = bezel_picture[(92 + r) * BEZEL_W + 69 + x];
      ASSERT_EQ(b == 0xFF000000u, open) << x << "," << r;
    }
  }
}

TEST(Artwork, BezelIsOpaqueAndHasAFaceAroundTheOpening) {
  long dark = 0;
  for (std::uint32_t p : bezel_picture) {
    ASSERT_EQ(p >> 24, 0xFFu);
    dark += (p & 0xFFFFFF) == 0;
  }
  // The opening is the only black: the rest of the picture is panel and face.
  long opening = 0;
  for (std::uint32_t m : display_mask) opening += m == 0xFFFFFFFFu;
  EXPECT_EQ(dark, opening);
}

TEST(Artwork, FacePictureIsTheBezelsFaceWithoutThePanel) {
  // Inside its rounded rim the face is drawn the same in both pictures.
  for (int y = 40; y < FACE_H - 40; ++y) {
    for (int x = 40; x < FACE_W - 40; ++x) {
      ASSERT_EQ(face_picture[y * FACE_W + x], bezel_picture[(y + FACE_Y) * BEZEL_W + x + FACE_X]) << x << "," << y;
    }
  }
  // Its corners, outside the rim, are not panel but empty.
  EXPECT_EQ(face_picture[0], 0xFF000000u);
  EXPECT_NE(bezel_picture[FACE_Y * BEZEL_W + FACE_X], 0xFF000000u);
}

TEST(Artwork, ControlsAreDrawnWhereTheyAreTouched) {
  // The centre of each area is on a drawn control, which is lighter than the face around it.
  auto brightness = [](std::uint32_t p) {
    return static_cast<int>(((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF));
  };
  auto b = [&](int x, int y) { return brightness(bezel_picture[y * BEZEL_W + x]); };
  const int face = b(120, 460);
  EXPECT_GT(b(176, 398), face + 30);  // left button cap, upper (lit) half
  EXPECT_GT(b(291, 398), face + 30);
  EXPECT_GT(b(222, 412), face + 30);  // knob cap's lit edge
  // The turning arrows in both turning zones.
  int left_arrow = 0, right_arrow = 0;
  for (int y = 381; y <= 399; ++y) {
    for (int x = 201; x <= 229; ++x) left_arrow = std::max(left_arrow, b(x, y));
    for (int x = 236; x <= 264; ++x) right_arrow = std::max(right_arrow, b(x, y));
  }
  EXPECT_GT(left_arrow, 3 * 180);
  EXPECT_GT(right_arrow, 3 * 180);
}

// ---------------------------------------------------------------- timers

TEST(TickTimer, FirstDeadlineIsOnePeriodAfterStart) {
  tick_timer t;
  t.start(1000, 30, 3);
  EXPECT_EQ(t.ms_until_due(1000), 30u);
  EXPECT_EQ(t.take_due(1029), 0);
  EXPECT_EQ(t.ms_until_due(1029), 1u);
  EXPECT_EQ(t.take_due(1030), 1);
  EXPECT_EQ(t.ms_until_due(1030), 30u);
}

TEST(TickTimer, LateWakeUpsKeepTheGridAndCatchUp) {
  tick_timer t;
  t.start(0, 30, 3);
  EXPECT_EQ(t.take_due(37), 1);  // 7 ms late: the next deadline is still 60, not 67
  EXPECT_EQ(t.next_ms, 60u);
  EXPECT_EQ(t.take_due(125), 3);  // 60, 90 and 120 were all due
  EXPECT_EQ(t.next_ms, 150u);
  EXPECT_EQ(t.ms_until_due(200), 0u);
}

TEST(TickTimer, FarBehindTakesTheLimitAndRestartsFromNow) {
  tick_timer t;
  t.start(0, 1000, 5);
  EXPECT_EQ(t.take_due(60000), 5);
  EXPECT_EQ(t.next_ms, 61000u);
  EXPECT_EQ(t.take_due(60999), 0);
}

TEST(TickTimer, NoDriftOverAnHourOfJitteryWakeUps) {
  tick_timer t;
  t.start(0, 30, 3);
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> late(0, 12);
  std::uint64_t now = 0;
  long ticks = 0;
  while (now < 3600000) {
    now += t.ms_until_due(now) + late(rng);
    ticks += t.take_due(now);
  }
  // Exactly one tick per whole period elapsed, however late each wake-up was.
  EXPECT_EQ(ticks, static_cast<long>(now / 30));
}

TEST(TickTimer, ZeroPeriodAndLimitAreMadeSafe) {
  tick_timer t;
  t.start(5, 0, 0);
  EXPECT_EQ(t.period_ms, 1u);
  EXPECT_EQ(t.max_catch_up, 1);
  EXPECT_EQ(t.take_due(100), 1);
}

// ---------------------------------------------------------------- fitting the screen

TEST(ViewFit, StartingZoomIsTheLargestThatFitsTheUsableArea) {
  struct fit_case {
    int wanted, w, h, zoom;
  };
  for (const fit_case& c : std::vector<fit_case>{{1, 1920, 1080, 1},
                                                 {4, 1920, 1080, 1},  // 625 x 2 rows do not fit 1080
                                                 {4, 1920, 1250, 2},
                                                 {4, 1919, 1875, 3},
                                                 {4, 1920, 2500, 4},
                                                 {2, 4000, 4000, 2},
                                                 {3, 1439, 1875, 2},  // one column short of zoom 3
                                                 {1, 480, 625, 1},
                                                 {1, 479, 625, 0},
                                                 {1, 480, 624, 0},
                                                 {4, 0, 0, 0}}) {
    EXPECT_EQ(fitting_zoom(c.wanted, c.w, c.h), c.zoom) << c.wanted << " in " << c.w << "x" << c.h;
  }
}

TEST(ViewFit, PictureTakesTheLargestWholeZoomCentredOrShrinksKeepingItsShape) {
  struct place_case {
    int window_w, window_h;
    picture_place expected;
  };
  for (const place_case& c : std::vector<place_case>{
           {480, 625, {0, 0, 480, 625, 1}},
           {700, 700, {110, 37, 480, 625, 1}},
           {960, 1250, {0, 0, 960, 1250, 2}},
           {1500, 1260, {270, 5, 960, 1250, 2}},  // zoom 3 would need 1875 rows
           {1441, 1876, {0, 0, 1440, 1875, 3}},   // the odd pixel goes to the right and bottom
           {240, 1000, {0, 344, 240, 312, 0}},    // the width limits: 625 * 240 / 480 = 312.5
           {1000, 125, {452, 0, 96, 125, 0}},     // the height limits
           {1, 1, {0, 0, 1, 1, 0}},
       }) {
    const picture_place p = place_picture(c.window_w, c.window_h);
    const std::string where = std::to_string(c.window_w) + "x" + std::to_string(c.window_h);
    EXPECT_EQ(p.x, c.expected.x) << where;
    EXPECT_EQ(p.y, c.expected.y) << where;
    EXPECT_EQ(p.w, c.expected.w) << where;
    EXPECT_EQ(p.h, c.expected.h) << where;
    EXPECT_EQ(p.zoom, c.expected.zoom) << where;
  }
}

TEST(ViewFit, ClicksOnAPlacedPictureLandInTheirAreasAtEveryScale) {
  for (const auto& [w, h] : std::vector<std::pair<int, int>>{{480, 625}, {700, 700}, {1500, 1300}, {300, 400}}) {
    const picture_place p = place_picture(w, h);
    for (const inclusive_area& a : documented) {
      // The window pixel whose centre lies over the area's centre, and the window's corner.
      const int cx = p.x + ((a.x0 + a.x1) / 2 * p.w + p.w / 2) / BEZEL_W;
      const int cy = p.y + ((a.y0 + a.y1) / 2 * p.h + p.h / 2) / BEZEL_H;
      EXPECT_EQ(touch_area_at(to_bezel(cx, p.x, p.w, BEZEL_W), to_bezel(cy, p.y, p.h, BEZEL_H)), a.area)
          << w << "x" << h;
    }
    // Left of and above the picture is off it, never its first column or row.
    if (p.x > 0) {
      EXPECT_LT(to_bezel(p.x - 1, p.x, p.w, BEZEL_W), 0);
    }
    if (p.y > 0) {
      EXPECT_LT(to_bezel(p.y - 1, p.y, p.h, BEZEL_H), 0);
    }
    EXPECT_EQ(to_bezel(p.x + p.w, p.x, p.w, BEZEL_W), BEZEL_W);
  }
}

TEST(ViewFit, ScalingPicksTheNearestSourcePixel) {
  const std::vector<std::uint32_t> src = {1, 2, 3, 4, 5, 6};  // 3 x 2
  std::vector<std::uint32_t> up(6 * 4);
  scale_picture(src.data(), 3, 2, up.data(), 6, 4);
  std::vector<std::uint32_t> zoomed(6 * 4);
  zoom_picture(src.data(), 3, 2, 2, zoomed.data());
  EXPECT_EQ(up, zoomed);  // a whole factor is the same as the zoom
  std::vector<std::uint32_t> down(2 * 1);
  scale_picture(src.data(), 3, 2, down.data(), 2, 1);
  EXPECT_EQ(down, (std::vector<std::uint32_t>{1, 2}));
}

TEST(Keys, TurnKeysLightTheirTurningZoneWhileDown) {
  EXPECT_EQ(key_turn_area(SDLK_RIGHT, 0), touch_area::knob_right);
  EXPECT_EQ(key_turn_area(SDLK_KP_PLUS, 0), touch_area::knob_right);
  EXPECT_EQ(key_turn_area(SDLK_DOWN, KMOD_LSHIFT), touch_area::knob_left);
  EXPECT_EQ(key_turn_area(SDLK_MINUS, KMOD_LCTRL), touch_area::none);  // zoom, not the knob
  EXPECT_EQ(key_turn_area(SDLK_a, 0), touch_area::none);
}

// ---------------------------------------------------------------- command line

bool parse(std::vector<const char*> args, sim_options* o, std::string* e) {
  args.insert(args.begin(), "vesper-sim");
  return parse_sim_options(static_cast<int>(args.size()), args.data(), o, e);
}

TEST(Options, DefaultsAndZoom) {
  sim_options o;
  std::string e;
  ASSERT_TRUE(parse({}, &o, &e));
  EXPECT_EQ(o.zoom, 1);
  EXPECT_FALSE(o.help);
  EXPECT_TRUE(o.serial_devices.empty());
  ASSERT_TRUE(parse({"--zoom", "3"}, &o, &e));
  EXPECT_EQ(o.zoom, 3);
  ASSERT_TRUE(parse({"--zoom=4"}, &o, &e));
  EXPECT_EQ(o.zoom, 4);
  ASSERT_TRUE(parse({"--zoom=2", "--zoom=1"}, &o, &e));
  EXPECT_EQ(o.zoom, 1);  // the last one counts
}

TEST(Options, BadZoomIsRefusedWithAReason) {
  for (const char* bad : {"0", "5", "-1", "2.5", "", "x", "1x", "99999999999"}) {
    sim_options o;
    std::string e;
    EXPECT_FALSE(parse({"--zoom", bad}, &o, &e)) << bad;
    EXPECT_NE(e.find("zoom"), std::string::npos) << bad;
  }
  sim_options o;
  std::string e;
  EXPECT_FALSE(parse({"--zoom"}, &o, &e));
  EXPECT_NE(e.find("needs a value"), std::string::npos);
}

TEST(Options, UnknownOptionsAndStrayArgumentsAreRefused) {
  sim_options o;
  std::string e;
  EXPECT_FALSE(parse({"--bogus"}, &o, &e));
  EXPECT_NE(e.find("--bogus"), std::string::npos);
  EXPECT_FALSE(parse({"file.txt"}, &o, &e));
  EXPECT_NE(e.find("file.txt"), std::string::npos);
  EXPECT_FALSE(parse({"--zoomy=2"}, &o, &e));  // no prefix matching
  EXPECT_TRUE(parse({"-h"}, &o, &e));
  EXPECT_TRUE(o.help);
  EXPECT_TRUE(parse({"--help", "--zoom", "2"}, &o, &e));
  EXPECT_TRUE(o.help);
}

TEST(Options, SerialDevicesForAllPortsOrOne) {
  sim_options o;
  std::string e;
  ASSERT_TRUE(parse({"--serial", "/dev/ttyS0", "--serial=2=/dev/ttyACM1", "--serial", "/dev/odd=name"}, &o, &e));
  ASSERT_EQ(o.serial_devices.size(), 3u);
  EXPECT_EQ(o.serial_devices[0], (std::pair<int, std::string>{0, "/dev/ttyS0"}));
  EXPECT_EQ(o.serial_devices[1], (std::pair<int, std::string>{2, "/dev/ttyACM1"}));
  EXPECT_EQ(o.serial_devices[2], (std::pair<int, std::string>{0, "/dev/odd=name"}));
  EXPECT_FALSE(parse({"--serial", "100=/dev/ttyS0"}, &o, &e));
  EXPECT_FALSE(parse({"--serial", "0=/dev/ttyS0"}, &o, &e));
  EXPECT_FALSE(parse({"--serial", "2="}, &o, &e));
  EXPECT_FALSE(parse({"--serial", ""}, &o, &e));
  EXPECT_FALSE(parse({"--serial"}, &o, &e));
}

TEST(Options, SensorValuesAreCheckedAtOnceAndKeptInOrder) {
  sim_options o;
  std::string e;
  ASSERT_TRUE(parse({"--sensor", "ias=120", "--sensor=altitude_valid=off"}, &o, &e)) << e;
  ASSERT_EQ(o.sensors.size(), 2u);
  EXPECT_STREQ(o.sensors[0].sensor->name, "ias");
  EXPECT_EQ(o.sensors[0].number, 120.0f);
  EXPECT_STREQ(o.sensors[1].sensor->name, "altitude_valid");
  EXPECT_FALSE(o.sensors[1].flag);
  EXPECT_FALSE(parse({"--sensor", "nosuch=1"}, &o, &e));
  EXPECT_NE(e.find("unknown sensor 'nosuch'"), std::string::npos) << e;
  EXPECT_FALSE(parse({"--sensor", "ias=fast"}, &o, &e));
  EXPECT_FALSE(parse({"--sensor"}, &o, &e));
}

TEST(Options, SetsAreKeptInOrderForTheCaller) {
  sim_options o;
  std::string e;
  ASSERT_TRUE(parse({"--set", "UNIT FUNCTION=DG", "--set=UI STYLE=EFIS", "--zoom", "2"}, &o, &e)) << e;
  EXPECT_EQ(o.sets, (std::vector<std::string>{"UNIT FUNCTION=DG", "UI STYLE=EFIS"}));
  EXPECT_FALSE(parse({"--set"}, &o, &e));
}

TEST(Options, UsageListsOptionsAndKeys) {
  const std::string u = sim_usage();
  for (const char* must : {"--zoom", "--serial", "--sensor", "--set", "vertical_speed_valid", "--help", "F2", "F12",
                           "Escape", "Ctrl+'+'", "wheel", "/dev/ttyUSB0"}) {
    EXPECT_NE(u.find(must), std::string::npos) << must;
  }
}

}  // namespace

// ---------------------------------------------------------------- faults

TEST(FaultKeys, DigitsToggleFaultsInTableOrderAndZeroClears) {
  struct row {
    std::int32_t key;
    std::uint16_t mod;
    int fault;  // -1: no fault
    sim_command command;
  };
  const row rows[] = {
      {SDLK_1, KMOD_NONE, 0, sim_command::toggle_fault},   {SDLK_2, KMOD_NONE, 1, sim_command::toggle_fault},
      {SDLK_1, KMOD_LSHIFT, 9, sim_command::toggle_fault}, {SDLK_0, KMOD_NONE, -1, sim_command::clear_faults},
      {SDLK_1, KMOD_LCTRL, -1, sim_command::none},  // Ctrl keys are the window's
  };
  for (const row& r : rows) {
    const key_result k = press(r.key, r.mod);
    const bool exists = r.fault < FAULT_COUNT;
    EXPECT_EQ(k.command, exists ? r.command : sim_command::none) << r.key << " " << r.mod;
    EXPECT_EQ(k.fault, exists ? r.fault : -1) << r.key << " " << r.mod;
    EXPECT_EQ(k.action, control_action{});
    EXPECT_EQ(release(r.key, r.mod).command, sim_command::none);
    EXPECT_EQ(map_key(r.key, r.mod, true, true).command, sim_command::none);  // holding toggles once
  }
  // Every fault has a key, and the keys are all different.
  std::set<std::string> names;
  for (int i = 0; i < FAULT_COUNT; ++i) names.insert(fault_key_name(i));
  EXPECT_EQ(names.size(), static_cast<std::size_t>(FAULT_COUNT));
  EXPECT_EQ(names.count(""), 0u);
  EXPECT_EQ(fault_key_name(FAULT_COUNT), "");
}

TEST(FaultKeys, FaultOptionAndHelp) {
  sim_options o;
  std::string e;
  ASSERT_TRUE(parse({"--fault", "txp_timeout", "--fault=sensors_invalid"}, &o, &e)) << e;
  EXPECT_EQ(o.faults, (std::vector<int>{find_fault("txp_timeout"), find_fault("sensors_invalid")}));
  EXPECT_FALSE(parse({"--fault", "txp_sleepy"}, &o, &e));
  EXPECT_NE(e.find("unknown fault 'txp_sleepy'"), std::string::npos) << e;
  EXPECT_NE(e.find("txp_not_replying"), std::string::npos) << e;
  EXPECT_FALSE(parse({"--fault"}, &o, &e));
  const std::string help = sim_usage();
  for (int i = 0; i < FAULT_COUNT; ++i) {
    const std::string line = "  " + fault_key_name(i);
    const std::size_t at = help.find(line + std::string(11 - line.size(), ' ') + fault_table[i].name);
    EXPECT_NE(at, std::string::npos) << fault_table[i].name;
  }
}
