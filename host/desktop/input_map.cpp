#include "host/desktop/input_map.h"

#include <SDL_keycode.h>

#include "host/common/faults.h"

const touch_area_entry touch_areas[TOUCH_AREA_COUNT] = {
    {touch_area::knob_push, {215, 405, 35, 35}},    {touch_area::knob_left, {200, 380, 30, 20}},
    {touch_area::knob_right, {235, 380, 30, 20}},   {touch_area::left_button, {160, 388, 32, 32}},
    {touch_area::right_button, {275, 388, 32, 32}},
};

bool operator==(const control_action& a, const control_action& b) { return a.kind == b.kind && a.value == b.value; }

touch_area touch_area_at(int x, int y) {
  for (const touch_area_entry& e : touch_areas) {
    const touch_rect& r = e.outline;
    if (x > r.x && x < r.x + r.w && y > r.y && y < r.y + r.h) {
      return e.area;
    }
  }
  return touch_area::none;
}

control_action pointer_press(pointer_state* state, int x, int y) {
  const touch_area area = touch_area_at(x, y);
  state->pressed = area;
  switch (area) {
    case touch_area::knob_push:
      return {control_kind::knob_push, 1};
    case touch_area::knob_left:
      return {control_kind::knob_count_set, -1};
    case touch_area::knob_right:
      return {control_kind::knob_count_set, 1};
    case touch_area::left_button:
      return {control_kind::left_button, 1};
    case touch_area::right_button:
      return {control_kind::right_button, 1};
    case touch_area::none:
      break;
  }
  return {};
}

control_action pointer_release(pointer_state* state, int x, int y) {
  const touch_area pressed = state->pressed;
  state->pressed = touch_area::none;
  // Released elsewhere, the control stays held: that is how a long press is made with a mouse,
  // and how one button is kept down while the other is clicked.
  if (pressed == touch_area::none || touch_area_at(x, y) != pressed) {
    return {};
  }
  switch (pressed) {
    case touch_area::knob_push:
      return {control_kind::knob_push, 0};
    case touch_area::left_button:
      return {control_kind::left_button, 0};
    case touch_area::right_button:
      return {control_kind::right_button, 0};
    default:
      break;  // the turning zones act on the press only
  }
  return {};
}

int bezel_coordinate(int window_coordinate, int zoom) {
  if (zoom < 1) {
    zoom = 1;
  }
  const int q = window_coordinate / zoom;
  return (window_coordinate % zoom != 0 && window_coordinate < 0) ? q - 1 : q;
}

control_action wheel_action(int notches_away, bool flipped) {
  const int n = flipped ? -notches_away : notches_away;
  if (n == 0) {
    return {};
  }
  return {control_kind::knob_turn, n};
}

namespace {

bool is_plus(std::int32_t k) { return k == SDLK_PLUS || k == SDLK_EQUALS || k == SDLK_KP_PLUS; }
bool is_minus(std::int32_t k) { return k == SDLK_MINUS || k == SDLK_KP_MINUS; }

}  // namespace

key_result map_key(std::int32_t keycode, std::uint16_t modifiers, bool pressed, bool repeat) {
  key_result r;
  const bool ctrl = (modifiers & KMOD_CTRL) != 0;
  const bool shift = (modifiers & KMOD_SHIFT) != 0;
  if (ctrl) {
    // Ctrl+'+' / Ctrl+'-' size the window; Ctrl+Q quits. Nothing here touches the controls.
    if (pressed && !repeat) {
      if (is_plus(keycode)) {
        r.command = sim_command::zoom_in;
      } else if (is_minus(keycode)) {
        r.command = sim_command::zoom_out;
      } else if (keycode == SDLK_q) {
        r.command = sim_command::quit;
      }
    }
    return r;
  }
  // Knob turns: one detent per press, and again for every auto-repeat while the key is held.
  if (keycode == SDLK_RIGHT || keycode == SDLK_UP || is_plus(keycode)) {
    if (pressed) {
      r.action = {control_kind::knob_turn, 1};
    }
    return r;
  }
  if (keycode == SDLK_LEFT || keycode == SDLK_DOWN || is_minus(keycode)) {
    if (pressed) {
      r.action = {control_kind::knob_turn, -1};
    }
    return r;
  }
  if (repeat) {
    return r;  // a held switch stays at its level; repeats change nothing
  }
  if (keycode >= SDLK_1 && keycode <= SDLK_9) {
    const int fault = static_cast<int>(keycode - SDLK_1) + (shift ? 9 : 0);
    if (pressed && fault < FAULT_COUNT) {
      r.command = sim_command::toggle_fault;
      r.fault = fault;
    }
    return r;
  }
  if (keycode == SDLK_0) {
    if (pressed) r.command = sim_command::clear_faults;
    return r;
  }
  const int level = pressed ? 1 : 0;
  switch (keycode) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
    case SDLK_SPACE:
      r.action = {control_kind::knob_push, level};
      break;
    case SDLK_a:
    case SDLK_F1:
      r.action = {control_kind::left_button, level};
      break;
    case SDLK_d:
    case SDLK_F3:
      r.action = {control_kind::right_button, level};
      break;
    case SDLK_F2:
      if (pressed) r.command = sim_command::print_state;
      break;
    case SDLK_F12:
      if (pressed) r.command = shift ? sim_command::save_picture_and_frame : sim_command::save_picture;
      break;
    case SDLK_p:
    case SDLK_PAUSE:
      if (pressed) r.command = sim_command::toggle_pause;
      break;
    case SDLK_ESCAPE:
      if (pressed) r.command = sim_command::quit;
      break;
    default:
      break;
  }
  return r;
}

touch_area key_turn_area(std::int32_t keycode, std::uint16_t modifiers) {
  if ((modifiers & KMOD_CTRL) != 0) return touch_area::none;
  if (keycode == SDLK_RIGHT || keycode == SDLK_UP || is_plus(keycode)) return touch_area::knob_right;
  if (keycode == SDLK_LEFT || keycode == SDLK_DOWN || is_minus(keycode)) return touch_area::knob_left;
  return touch_area::none;
}

std::string fault_key_name(int fault) {
  if (fault < 0 || fault >= FAULT_COUNT || fault >= 18) return "";
  return (fault < 9 ? "" : "Shift+") + std::to_string(fault % 9 + 1);
}

const char* const key_help =
    "Mouse (left button) on the drawn controls:\n"
    "  knob centre            push the knob (held while the button is down)\n"
    "  left / right of the knob's top\n"
    "                         turn the knob one detent counter-clockwise / clockwise\n"
    "  left / right button    press the button\n"
    "  Releasing the mouse outside the area it was pressed in leaves the control held; press and\n"
    "  release in the area again to let go (this makes long presses and two-button presses).\n"
    "  A held control has its outline lit in yellow.\n"
    "  Mouse wheel            turn the knob, one detent per notch (away from you = clockwise)\n"
    "Keys:\n"
    "  Right, Up, +           knob one detent clockwise (repeats while held)\n"
    "  Left, Down, -          knob one detent counter-clockwise (repeats while held)\n"
    "  Enter, Space           push the knob (held while the key is down)\n"
    "  A, F1                  left button (held while the key is down)\n"
    "  D, F3                  right button (held while the key is down)\n"
    "  F2                     print one line of instrument state on standard output\n"
    "  F12                    save the window picture as vesper-sim-NNN.png in the current directory\n"
    "  Shift+F12              also save the display frame as composed, vesper-sim-NNN-display.png\n"
    "  P, Pause               stop / restart the instrument's clock (the picture holds; the title\n"
    "                         says \"paused\")\n"
    "  Ctrl+'+', Ctrl+'-'     larger / smaller window (zoom 1..4, as far as the screen allows);\n"
    "                         a window resized by hand shows the largest whole zoom that fits\n"
    "  Escape, Ctrl+Q         quit (so does closing the window)\n";
