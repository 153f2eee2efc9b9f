#include "settings/setup_pages.h"

#include <cmath>

#include "core/controls.h"
#include "core/demo.h"
#include "core/modes.h"
#include "core/platform.h"
#include "gfx/banner.h"
#include "gfx/text.h"
#include "settings/settings.h"

setup_pages_state setup_pages;

void setup_pages_power_on() { setup_pages = setup_pages_state{}; }

namespace {

constexpr int kRowUnitFunction = 0;
constexpr int kRowFunctionLock = 1;
constexpr int kRowRollTrim = 3;
constexpr int kRowSlipTrim = 4;
constexpr int kRowOatTrim = 5;
constexpr int kRowGpsNavSrc = 16;
constexpr int kRowDemoMode = 18;
constexpr int kRowPartNum = 19;
constexpr int kRowSwPartNum = 20;
constexpr int kRowSwVersion = 21;
constexpr int kRowChecksum = 22;
constexpr int kRowAoaHigh = 27;
constexpr int kRowAoaLow = 28;
constexpr int kRowGPosLim = 30;
constexpr int kRowGNegLim = 31;
constexpr int kRowRollLim = 33;
constexpr int kLastRow = SETUP_ROW_COUNT - 1;

constexpr pixel_t kEditColour = 0xFFFF00FF;
constexpr pixel_t kInstallColour = 0xFFFFFFFF;
constexpr pixel_t kSetupColour = 0xFF06F4CE;
constexpr pixel_t kDisabledColour = 0xFF808080;
constexpr pixel_t kSetupNextColour = 0xFF00FFFF;

std::int32_t read_setting(int row) {
  const setup_row_def& def = setup_rows[row];
  return def.is_byte ? cfg_get_byte(def.setting) : cfg_get(def.setting);
}

bool row_disabled(int row) {
  if (row == kRowAoaHigh || row == kRowAoaLow) return cfg_get_byte(CFG_AOA_ALERT) == 0;
  if (row == kRowGPosLim || row == kRowGNegLim) return cfg_get_byte(CFG_G_ALERT) == 0;
  if (row == kRowRollLim) return cfg_get_byte(CFG_ROLL_ALERT) == 0;
  return false;
}

void edit_value(int row, int step) {
  if (setup_rows[row].setting < 0 || row_disabled(row)) return;
  if (row == kRowGNegLim) step = -step;  // a right turn makes the limit more negative
  // The writer checks the limits and the pair rule, stores the value, keeps the working copy in
  // step and runs the row's side effects; at a limit nothing changes.
  setup_write(row, setup_pages.copies[row] + step);
}

void move_row(int step) {
  if (step > 0 && modes.setup_row < kLastRow) modes.setup_row += 1;
  if (step < 0 && modes.setup_row > 0) modes.setup_row -= 1;
  if (cfg_get_byte(CFG_UNIT_FUNCTION) != 1) return;
  // On the directional-gyro unit the attitude rows do not apply.
  const int row = modes.setup_row;
  if (modes.install_mode) {
    if (row >= 2 && row <= 15) modes.setup_row = step > 0 ? kRowGpsNavSrc : kRowFunctionLock;
  } else {
    if (row >= 25 && row <= 33) modes.setup_row = step > 0 ? kLastRow : 24;
  }
}

// "+" before positive values.
void signed_text(int v, char*& cursor) {
  if (v > 0) *cursor++ = '+';
  append_int(v, cursor);
}

// Tenths as sign, whole part, '.', one decimal: +1.5, -0.3, 0.0.
void tenths_text(int v, char*& cursor) {
  if (v > 0) *cursor++ = '+';
  if (v < 0) *cursor++ = '-';
  const int a = v < 0 ? -v : v;
  append_int(a / 10, cursor);
  *cursor++ = '.';
  *cursor++ = static_cast<char>('0' + a % 10);
}

// "=" and the temperature the trim gives, for example "=+24.6*C".
void oat_result_text(char*& cursor) {
  float t = cfg_get_byte(CFG_DEMO_MODE) != 0 ? demo_get_oat() : read_oat();
  if (!oat_valid() || !oat_sensor_fitted()) return;
  const bool fahrenheit = cfg_get_byte(CFG_TEMP_UNITS) == 1;
  *cursor++ = '=';
  if (fahrenheit) t = t * 1.8f + 32.0f;
  if (t >= 0.1f) *cursor++ = '+';
  if (t <= -0.1f) *cursor++ = '-';
  const float a = std::fabs(t);
  const int whole = static_cast<int>(a);
  append_int(whole, cursor);
  *cursor++ = '.';
  *cursor++ = static_cast<char>('0' + static_cast<int>((a - static_cast<float>(whole)) * 10.0f) % 10);
  *cursor++ = '*';
  *cursor++ = fahrenheit ? 'F' : 'C';
}

void copy_text(const char* text, char*& cursor) {
  while (*text != '\0') *cursor++ = *text++;
}

void value_text(int row, char* out) {
  char* cursor = out;
  const setup_row_def& def = setup_rows[row];
  const int v = setup_pages.copies[row];
  if (def.options != nullptr) {
    if (v >= 0 && v < def.option_count) copy_text(def.options[v], cursor);
  } else if (row == kRowRollTrim || row == kRowSlipTrim) {
    tenths_text(v, cursor);
  } else if (row == 2 || row == kRowOatTrim || row == 6 || row == 7) {
    signed_text(v, cursor);
    if (row == kRowOatTrim && modes.setup_value_edit) oat_result_text(cursor);
  } else if (row == kRowPartNum) {
    copy_text("VSP-4410270-001", cursor);
  } else if (row == kRowSwPartNum) {
    copy_text("VSP-4410315-001", cursor);
  } else if (row == kRowSwVersion) {
    copy_text("1.0.18", cursor);
  } else if (row == kRowChecksum) {
    if (setup_pages.checksum_text[0] == '\0') {
      char* c = setup_pages.checksum_text;
      append_hex(firmware_checksum(0x08008000u, 0x080FFFFCu, 0), 4, c);
      *c = '\0';
    }
    copy_text(setup_pages.checksum_text, cursor);
  } else {
    append_int(v, cursor);
  }
  *cursor = '\0';
}

bool arrows_follow_limits(int row) {
  return (row >= 0 && row <= kRowDemoMode) || (row >= 23 && row <= 29) || row == 32 || row == kLastRow;
}

}  // namespace

void open_setup() {
  modes.setup_active = 1;
  modes.setup_value_edit = 0;
  modes.setup_touched = 0;
  modes.setup_row = -1;  // no row selected: the title shows
  setup_pages.copies[kRowUnitFunction] = cfg_get_byte(CFG_UNIT_FUNCTION);
}

void reload_setup_copies() {
  modes.setup_active = 0;
  modes.setup_row = -1;
  modes.setup_touched = 0;
  for (int row = 0; row < SETUP_ROW_COUNT; ++row) {
    if (setup_rows[row].setting >= 0) setup_pages.copies[row] = read_setting(row);
  }
}

int setup_event(int event) {
  if (!modes.setup_active && !modes.setup_value_edit) return event;
  if (event == EVT_KNOB_CW || event == EVT_KNOB_CCW) {
    const int step = event == EVT_KNOB_CW ? 1 : -1;  // one per detent, whatever the knob speed
    modes.setup_touched = 1;
    if (modes.setup_value_edit) {
      edit_value(modes.setup_row, step);
    } else {
      move_row(step);
    }
  } else if (event == EVT_KNOB_RELEASE && modes.setup_row != -1) {
    modes.setup_touched = 1;
    // A disabled row never starts editing, even when a turn follows before the next frame.
    if (modes.setup_active) modes.setup_value_edit = modes.setup_value_edit || row_disabled(modes.setup_row) ? 0 : 1;
  }
  return EVT_NONE;
}

void draw_setup_pages() {
  if (!modes.setup_active) return;
  clear_banner_lines();
  const bool install = modes.install_mode != 0;
  if (modes.setup_row != -1) {
    // A turn past the end of a mode's rows is undone here.
    const int lo = install ? 0 : SETUP_FIRST_USER_ROW;
    const int hi = install ? SETUP_FIRST_USER_ROW - 1 : kLastRow;
    modes.setup_row = modes.setup_row < lo ? lo : (modes.setup_row > hi ? hi : modes.setup_row);
  }
  const pixel_t mode_colour = install ? kInstallColour : kSetupColour;
  const int row = modes.setup_row;
  if (row == -1) {
    set_banner_line1(install ? "INSTALL" : "SETUP", 0, mode_colour);
    set_banner_line2("ROT TO SEL", 0, mode_colour);
    set_banner_right_arrow(1);
    set_banner_left_arrow(0);
    return;
  }
  pixel_t colour = modes.setup_value_edit ? kEditColour : mode_colour;
  if (row_disabled(row)) {
    colour = kDisabledColour;
    modes.setup_value_edit = 0;
  }
  char text[32];
  value_text(row, text);
  set_banner_line1(setup_rows[row].label, 0, colour);
  set_banner_line2(text, row == kRowPartNum || row == kRowSwPartNum ? 3 : 0, colour);

  if (modes.setup_value_edit) {
    if (arrows_follow_limits(row)) {
      // The airspeed rows stop at 299 for the arrows as for the editing, so the right arrow goes
      // out exactly when the value can rise no further.
      const setup_row_def& def = setup_rows[row];
      const int v = setup_pages.copies[row];
      set_banner_right_arrow(v >= def.max ? 0 : 1);
      set_banner_left_arrow(v <= def.min ? 0 : 1);
    }
  } else {
    set_banner_right_arrow(row == kLastRow ? 0 : 1);
    set_banner_left_arrow(row == 0 ? 0 : 1);
  }
}

void draw_setup_soft_keys(pixel_t* top, pixel_t* /*base*/) {
  if (modes.menu_active || modes.field_editor_active || !modes.setup_active) return;
  const char* text = nullptr;
  pixel_t colour = kInstallColour;
  if (modes.setup_touched) {
    text = "DONE";
  } else if (!modes.setup_value_edit) {
    text = "NEXT";
    colour = modes.install_mode ? kInstallColour : kSetupNextColour;
  }
  if (text == nullptr) return;
  const int font = font_for_size(10);
  draw_text_centred(top, SCREEN_W, SCREEN_H, font, 61, 226, 0xFF303030, text);
  draw_text_centred(top, SCREEN_W, SCREEN_H, font, 60, 225, colour, text);
}
