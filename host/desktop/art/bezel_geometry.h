// Where things are on the bezel picture and what shape the display opening has. The artwork
// generator, the presenter and the tests all read this one description, so the opening in the
// bezel, the display mask and the place where the display is copied cannot drift apart.
#pragma once

inline constexpr int BEZEL_W = 480;
inline constexpr int BEZEL_H = 625;
inline constexpr int MASK_W = 320;
inline constexpr int MASK_H = 240;
// The instrument face on its own, without the panel around it.
inline constexpr int FACE_W = 450;
inline constexpr int FACE_H = 550;
// Where the face sits inside the bezel picture.
inline constexpr int FACE_X = 5;
inline constexpr int FACE_Y = 30;

// Display rows FIRST_SHOWN_ROW .. FIRST_SHOWN_ROW + SHOWN_ROWS - 1 appear in the window, the first
// of them at (PRESENT_X, PRESENT_Y). Row 0 and the last five rows lie under the bezel.
inline constexpr int PRESENT_X = 69;
inline constexpr int PRESENT_Y = 92;
inline constexpr int FIRST_SHOWN_ROW = 1;
inline constexpr int SHOWN_ROWS = 234;

// The opening is the shown rows, full width, with an arched top edge (a circle of radius
// ARCH_RADIUS whose chord is the display width and whose crown touches the first shown row) and
// rounded bottom corners.
inline constexpr double ARCH_SAGITTA = 16.0;
inline constexpr double ARCH_RADIUS = (MASK_W * MASK_W / 4.0 + ARCH_SAGITTA * ARCH_SAGITTA) / (2.0 * ARCH_SAGITTA);
inline constexpr double ARCH_CENTRE_X = MASK_W / 2.0;
inline constexpr double ARCH_CENTRE_Y = FIRST_SHOWN_ROW + ARCH_RADIUS;
inline constexpr double BOTTOM_CORNER_RADIUS = 8.0;

// True when display pixel (x, y) is visible through the opening; decided at the pixel centre, so
// the mask is strictly black or white (it is AND-ed into the frame, where grey would tint).
constexpr bool display_opening_contains(int x, int y) {
  if (x < 0 || x >= MASK_W || y < FIRST_SHOWN_ROW || y >= FIRST_SHOWN_ROW + SHOWN_ROWS) {
    return false;
  }
  const double px = x + 0.5;
  const double py = y + 0.5;
  const double ax = px - ARCH_CENTRE_X;
  const double ay = py - ARCH_CENTRE_Y;
  if (ax * ax + ay * ay > ARCH_RADIUS * ARCH_RADIUS) {
    return false;
  }
  const double bottom = FIRST_SHOWN_ROW + SHOWN_ROWS;
  const double r = BOTTOM_CORNER_RADIUS;
  double cx = -1.0;
  if (px < r) {
    cx = r;
  } else if (px > MASK_W - r) {
    cx = MASK_W - r;
  }
  if (cx >= 0.0 && py > bottom - r) {
    const double dx = px - cx;
    const double dy = py - (bottom - r);
    return dx * dx + dy * dy <= r * r;
  }
  return true;
}

// The bezel picture's coordinates of display pixel (x, y).
constexpr int bezel_x_of_display(int x) { return PRESENT_X + x; }
constexpr int bezel_y_of_display(int y) { return PRESENT_Y + y - FIRST_SHOWN_ROW; }

// Centres of the drawn controls (bezel coordinates); the touch areas around them are in
// host/desktop/input_map.cpp.
inline constexpr double KNOB_CX = 232.5;
inline constexpr double KNOB_CY = 422.5;
inline constexpr double LEFT_BUTTON_CX = 176.0;
inline constexpr double RIGHT_BUTTON_CX = 291.0;
inline constexpr double BUTTON_CY = 404.0;
