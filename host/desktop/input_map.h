// What the mouse, the wheel and the keyboard do to the instrument's controls, independent of the
// window system: the five touch areas of the bezel, the rule that a release counts only where
// the press was made, and the key bindings.
#pragma once
#include <cstdint>
#include <string>

enum class touch_area : int { none = 0, knob_push, knob_left, knob_right, left_button, right_button };

// An outline as drawn: columns x..x+w and rows y..y+h. The touch area is what lies strictly
// inside it.
struct touch_rect {
  int x, y, w, h;
};

struct touch_area_entry {
  touch_area area;
  touch_rect outline;
};
inline constexpr int TOUCH_AREA_COUNT = 5;
extern const touch_area_entry touch_areas[TOUCH_AREA_COUNT];

// The area under bezel point (x, y), or none.
touch_area touch_area_at(int x, int y);

// One change to the instrument's inputs.
enum class control_kind : int {
  none = 0,
  knob_push,       // level in value
  left_button,     // level in value
  right_button,    // level in value
  knob_count_set,  // replace the detent count with value (the drawn knob zones)
  knob_turn,       // add value detents to those not yet taken (wheel and keys)
};
struct control_action {
  control_kind kind = control_kind::none;
  int value = 0;
};
bool operator==(const control_action& a, const control_action& b);

struct pointer_state {
  touch_area pressed = touch_area::none;  // where the left button went down
};

// Left mouse button down / up at bezel point (x, y).
control_action pointer_press(pointer_state* state, int x, int y);
control_action pointer_release(pointer_state* state, int x, int y);

// Window-pixel to bezel-pixel coordinate at a whole zoom factor (rounds towards minus infinity,
// so points left of or above the window never land on pixel 0).
int bezel_coordinate(int window_coordinate, int zoom);

// Mouse wheel: one detent per notch, away from the user is clockwise.
control_action wheel_action(int notches_away, bool flipped);

// What a key does besides the controls.
enum class sim_command : int {
  none = 0,
  quit,
  zoom_in,
  zoom_out,
  save_picture,
  save_picture_and_frame,
  print_state,
  toggle_pause,
  toggle_fault,  // the fault in key_result::fault
  clear_faults,
};
struct key_result {
  control_action action;
  sim_command command = sim_command::none;
  int fault = -1;  // toggle_fault: which fault (an index of the fault table)
};

// Faults are switched with the digit keys: 1..9 the first nine of the fault table, Shift+1..9
// the next nine, 0 clears them all. The key of a fault, as the help text names it.
std::string fault_key_name(int fault);

// keycode: an SDL key code (SDLK_...); modifiers: SDL key modifier bits (KMOD_...). Auto-repeated
// presses turn the knob again but do nothing else.
key_result map_key(std::int32_t keycode, std::uint16_t modifiers, bool pressed, bool repeat);

// The turning zone a key stands for while it is down (arrows, + and - without Ctrl), else none.
touch_area key_turn_area(std::int32_t keycode, std::uint16_t modifiers);

// The key list for --help.
extern const char* const key_help;
