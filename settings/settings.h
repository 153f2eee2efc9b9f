// The settings table: 106 slots of 32 bits, read whole (signed) or as their low byte, and the
// 64-entry field-layout store with its byte mirror inside the table.
#pragma once
#include <cstdint>

inline constexpr int SETTINGS_COUNT = 106;
inline constexpr int LAYOUT_STORE_COUNT = 64;

enum : int {
  CFG_FIELD_PAGE = 2,
  CFG_HDG_BUG = 3,
  CFG_SET_ALT = 5,
  CFG_DEMO_MODE = 6,
  CFG_SERIAL2 = 7,
  CFG_UNIT_FUNCTION = 12,
  CFG_FUNCTION_LOCK = 13,
  CFG_PITCH_TRIM = 14,
  CFG_ROLL_TRIM = 15,
  CFG_SLIP_TRIM = 16,
  CFG_OAT_TRIM = 17,
  CFG_IAS_TRIM = 18,
  CFG_IAS_VSO = 19,
  CFG_IAS_VS1 = 20,
  CFG_IAS_VFE = 21,
  CFG_IAS_VNO = 22,
  CFG_IAS_VNE = 23,
  CFG_ALT_TRIM = 24,
  CFG_IAS_UNITS = 25,
  CFG_BARO_UNITS = 26,
  CFG_TEMP_UNITS = 27,
  CFG_GPS_NAV_SRC = 28,
  CFG_UI_STYLE = 29,
  CFG_UI_FONT = 30,
  CFG_AUDIO_VOL = 31,
  CFG_AOA_ALERT = 32,
  CFG_AOA_HIGH_LIM = 33,
  CFG_AOA_LOW_LIM = 34,
  CFG_G_ALERT = 35,
  CFG_G_POS_LIM = 36,
  CFG_G_NEG_LIM = 37,
  CFG_ROLL_ALERT = 38,
  CFG_ROLL_LIM = 39,
  CFG_TRAK_STAB = 40,
  CFG_LAYOUT_MIRROR = 42,  // 42..105: low byte of layout store entry (idx - 42)
};

struct settings_state {
  std::int32_t settings[SETTINGS_COUNT] = {};
  std::int32_t layout_store[LAYOUT_STORE_COUNT] = {};
};
extern settings_state cfg;

std::int32_t cfg_get(int idx);
void cfg_set(int idx, std::int32_t value);
std::uint8_t cfg_get_byte(int idx);
void cfg_set_byte(int idx, std::int32_t value);
void cfg_load_defaults();

std::int32_t layout_store_get(int i);
void layout_store_set(int i, std::int32_t value);
void layout_save();
void layout_load();

// Names of the used slots, for snapshots and command lines: "CFG_DEMO_MODE" and so on.
struct setting_name {
  int idx;
  const char* name;
  bool is_byte;
};
extern const setting_name setting_names[];
extern const int setting_name_count;
int setting_index_by_name(const char* name);  // -1 when unknown

void settings_power_on();
