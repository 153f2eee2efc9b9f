#include "settings/setup_rows.h"

#include <cstring>

#include "core/demo.h"
#include "core/modes.h"
#include "fields/layouts.h"
#include "serial/serial_input.h"
#include "settings/settings.h"
#include "settings/setup_pages.h"

namespace {

const char* const kNoYes[] = {"NO", "YES"};
const char* const kAiDg[] = {"AI", "DG"};
const char* const kIasUnits[] = {"KTS", "MPH"};
const char* const kBaroUnits[] = {"INHG", "MB"};
const char* const kTempUnits[] = {"C", "F"};
const char* const kGpsNavSrc[] = {"NONE", "LK1 9600", "NMEA1 4800", "NMEA1 9600", "TXP LINK"};
const char* const kSerial2[] = {"NONE", "TXP LINK", "NAVBOX M"};
const char* const kDemoMode[] = {"DISABLED", "MODE 1", "MODE 2"};
const char* const kUiStyle[] = {"LEGACY", "EFIS", "VINTAGE"};
const char* const kUiFont[] = {"ARIAL", "LCD"};
const char* const kEnabled[] = {"DISABLED", "ENABLED"};

template <int N>
constexpr int count_of(const char* const (&)[N]) {
  return N;
}

constexpr int kRowAoaHigh = 27;
constexpr int kRowAoaLow = 28;
constexpr int kRowDemoMode = 18;
constexpr int kRowGpsNavSrc = 16;
constexpr int kRowUnitFunction = 0;

}  // namespace

const setup_row_def setup_rows[SETUP_ROW_COUNT] = {
    {"UNIT FUNCTION", CFG_UNIT_FUNCTION, true, 0, 1, kAiDg, count_of(kAiDg)},
    {"FUNCTION LOCK", CFG_FUNCTION_LOCK, true, 0, 1, kNoYes, count_of(kNoYes)},
    {"PITCH TRIM", CFG_PITCH_TRIM, false, -20, 20, nullptr, 0},
    {"ROLL TRIM", CFG_ROLL_TRIM, false, -50, 50, nullptr, 0},
    {"SLIP TRIM", CFG_SLIP_TRIM, false, -50, 50, nullptr, 0},
    {"OAT TRIM", CFG_OAT_TRIM, false, -200, 200, nullptr, 0},
    {"IAS TRIM", CFG_IAS_TRIM, false, -50, 50, nullptr, 0},
    {"ALT TRIM", CFG_ALT_TRIM, false, -500, 500, nullptr, 0},
    {"IAS UNITS", CFG_IAS_UNITS, true, 0, 1, kIasUnits, count_of(kIasUnits)},
    {"IAS VSO", CFG_IAS_VSO, false, 40, 299, nullptr, 0},
    {"IAS VS1", CFG_IAS_VS1, false, 40, 299, nullptr, 0},
    {"IAS VFE", CFG_IAS_VFE, false, 40, 299, nullptr, 0},
    {"IAS VNO", CFG_IAS_VNO, false, 40, 299, nullptr, 0},
    {"IAS VNE", CFG_IAS_VNE, false, 40, 299, nullptr, 0},
    {"BARO UNITS", CFG_BARO_UNITS, true, 0, 1, kBaroUnits, count_of(kBaroUnits)},
    {"TEMP UNITS", CFG_TEMP_UNITS, true, 0, 1, kTempUnits, count_of(kTempUnits)},
    {"GPS NAV SRC", CFG_GPS_NAV_SRC, true, 0, 4, kGpsNavSrc, count_of(kGpsNavSrc)},
    {"SERIAL 2", CFG_SERIAL2, true, 0, 2, kSerial2, count_of(kSerial2)},
    {"DEMO MODE", CFG_DEMO_MODE, true, 0, 2, kDemoMode, count_of(kDemoMode)},
    {"PART NUM", -1, false, 0, 0, nullptr, 0},
    {"SW PART NUM", -1, false, 0, 0, nullptr, 0},
    {"SW VERSION", -1, false, 0, 0, nullptr, 0},
    {"SW CHECKSUM", -1, false, 0, 0, nullptr, 0},
    {"UI STYLE", CFG_UI_STYLE, true, 0, 2, kUiStyle, count_of(kUiStyle)},
    {"UI FONT", CFG_UI_FONT, true, 0, 1, kUiFont, count_of(kUiFont)},
    {"AUDIO VOL", CFG_AUDIO_VOL, true, 0, 10, nullptr, 0},
    {"AOA ALERT", CFG_AOA_ALERT, true, 0, 1, kEnabled, count_of(kEnabled)},
    {"AOA HIGH LIM", CFG_AOA_HIGH_LIM, false, -30, 30, nullptr, 0},
    {"AOA LOW LIM", CFG_AOA_LOW_LIM, false, -30, 30, nullptr, 0},
    {"G ALERT", CFG_G_ALERT, true, 0, 1, kEnabled, count_of(kEnabled)},
    {"G POS LIM", CFG_G_POS_LIM, false, 2, 8, nullptr, 0},
    {"G NEG LIM", CFG_G_NEG_LIM, false, -8, -1, nullptr, 0},
    {"ROLL ALERT", CFG_ROLL_ALERT, true, 0, 1, kEnabled, count_of(kEnabled)},
    {"ROLL LIM", CFG_ROLL_LIM, true, 30, 80, nullptr, 0},
    {"TRAK STAB", CFG_TRAK_STAB, true, 0, 1, kEnabled, count_of(kEnabled)},
};

int setup_row_by_label(const char* label) {
  for (int row = 0; row < SETUP_ROW_COUNT; ++row) {
    if (std::strcmp(setup_rows[row].label, label) == 0) {
      return row;
    }
  }
  return -1;
}

int setup_row_by_setting(int setting) {
  for (int row = 0; row < SETUP_ROW_COUNT; ++row) {
    if (setup_rows[row].setting == setting) {
      return row;
    }
  }
  return -1;
}

int setup_option_value(int row, const char* text) {
  const setup_row_def& def = setup_rows[row];
  for (int i = 0; i < def.option_count; ++i) {
    if (std::strcmp(def.options[i], text) == 0) {
      return i;
    }
  }
  return -1;
}

bool setup_value_allowed(int row, int value) {
  const setup_row_def& def = setup_rows[row];
  if (def.setting < 0 || value < def.min || value > def.max) {
    return false;
  }
  // The two angle-of-attack limits keep at least two degrees between them.
  if (row == kRowAoaHigh) {
    return value >= cfg_get(CFG_AOA_LOW_LIM) + 2;
  }
  if (row == kRowAoaLow) {
    return value <= cfg_get(CFG_AOA_HIGH_LIM) - 2;
  }
  return true;
}

bool setup_write(int row, int value) {
  if (row < 0 || row >= SETUP_ROW_COUNT || !setup_value_allowed(row, value)) {
    return false;
  }
  const setup_row_def& def = setup_rows[row];
  const int before = def.is_byte ? cfg_get_byte(def.setting) : cfg_get(def.setting);
  if (def.is_byte) {
    cfg_set_byte(def.setting, value);
  } else {
    cfg_set(def.setting, value);
  }
  // The setup pages show and edit their working copy; whoever writes, it follows.
  setup_pages.copies[row] = value;
  if (row == kRowDemoMode) {
    reset_demo();
  }
  // The other unit has other slots: the field editor cannot stay open on a slot of this one.
  if (row == kRowUnitFunction && value != before) {
    close_menu();
  }
  if (row == kRowGpsNavSrc) {
    serial_select_protocol(value);
  }
  return true;
}
