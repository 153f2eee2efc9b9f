#include "settings/settings.h"

#include <cstring>

#include "core/modes.h"
#include "fields/layouts.h"

settings_state cfg;

void settings_power_on() { cfg = settings_state{}; }

std::int32_t cfg_get(int idx) { return cfg.settings[idx]; }

void cfg_set(int idx, std::int32_t value) { cfg.settings[idx] = value; }

std::uint8_t cfg_get_byte(int idx) { return static_cast<std::uint8_t>(cfg.settings[idx] & 0xFF); }

void cfg_set_byte(int idx, std::int32_t value) { cfg.settings[idx] = value & 0xFF; }

void cfg_load_defaults() {
  cfg_set_byte(CFG_DEMO_MODE, 1);
  cfg_set_byte(CFG_SERIAL2, 1);
  cfg_set(CFG_IAS_VSO, 60);
  cfg_set(CFG_IAS_VS1, 50);
  cfg_set(CFG_IAS_VFE, 100);
  cfg_set(CFG_IAS_VNO, 150);
  cfg_set(CFG_IAS_VNE, 175);
  cfg_set_byte(CFG_IAS_UNITS, 0);
  cfg_set_byte(CFG_BARO_UNITS, 0);
  cfg_set_byte(CFG_GPS_NAV_SRC, 2);
  cfg_set_byte(CFG_AUDIO_VOL, 5);
  cfg_set_byte(CFG_AOA_ALERT, 0);
  cfg_set(CFG_AOA_HIGH_LIM, 15);
  cfg_set(CFG_AOA_LOW_LIM, 5);
  cfg_set_byte(CFG_G_ALERT, 0);
  cfg_set(CFG_G_POS_LIM, 2);
  cfg_set(CFG_G_NEG_LIM, -2);
  cfg_set_byte(CFG_ROLL_ALERT, 0);
  cfg_set_byte(CFG_ROLL_LIM, 35);
}

std::int32_t layout_store_get(int i) { return cfg.layout_store[i]; }

void layout_store_set(int i, std::int32_t value) {
  cfg.layout_store[i] = value;
  cfg_set_byte(CFG_LAYOUT_MIRROR + i, value);
}

void layout_save() {
  for (int p = 0; p < FIELD_PAGES; ++p) {
    for (int s = 0; s < AI_SLOTS; ++s) {
      layout_store_set(AI_SLOTS * p + s, fields.layout_ai[p][s]);
    }
  }
  for (int p = 0; p < FIELD_PAGES; ++p) {
    for (int s = 0; s < DG_SLOTS; ++s) {
      layout_store_set(FIELD_PAGES * AI_SLOTS + DG_SLOTS * p + s, fields.layout_dg[p][s]);
    }
  }
}

void layout_load() {
  modes.menu_active = 0;
  modes.field_editor_active = 0;
  modes.selected_slot = 0;
  modes.layout_modified = 0;
  modes.editor_cursor_moved = 0;
  modes.field_page = cfg_get(CFG_FIELD_PAGE);
  for (int p = 0; p < FIELD_PAGES; ++p) {
    for (int s = 0; s < AI_SLOTS; ++s) {
      fields.layout_ai[p][s] = static_cast<std::uint16_t>(layout_store_get(AI_SLOTS * p + s));
    }
    for (int s = 0; s < DG_SLOTS; ++s) {
      fields.layout_dg[p][s] = static_cast<std::uint16_t>(layout_store_get(FIELD_PAGES * AI_SLOTS + DG_SLOTS * p + s));
    }
  }
}

const setting_name setting_names[] = {
    {CFG_FIELD_PAGE, "CFG_FIELD_PAGE", false},
    {CFG_HDG_BUG, "CFG_HDG_BUG", false},
    {CFG_SET_ALT, "CFG_SET_ALT", false},
    {CFG_DEMO_MODE, "CFG_DEMO_MODE", true},
    {CFG_SERIAL2, "CFG_SERIAL2", true},
    {CFG_UNIT_FUNCTION, "CFG_UNIT_FUNCTION", true},
    {CFG_FUNCTION_LOCK, "CFG_FUNCTION_LOCK", true},
    {CFG_PITCH_TRIM, "CFG_PITCH_TRIM", false},
    {CFG_ROLL_TRIM, "CFG_ROLL_TRIM", false},
    {CFG_SLIP_TRIM, "CFG_SLIP_TRIM", false},
    {CFG_OAT_TRIM, "CFG_OAT_TRIM", false},
    {CFG_IAS_TRIM, "CFG_IAS_TRIM", false},
    {CFG_IAS_VSO, "CFG_IAS_VSO", false},
    {CFG_IAS_VS1, "CFG_IAS_VS1", false},
    {CFG_IAS_VFE, "CFG_IAS_VFE", false},
    {CFG_IAS_VNO, "CFG_IAS_VNO", false},
    {CFG_IAS_VNE, "CFG_IAS_VNE", false},
    {CFG_ALT_TRIM, "CFG_ALT_TRIM", false},
    {CFG_IAS_UNITS, "CFG_IAS_UNITS", true},
    {CFG_BARO_UNITS, "CFG_BARO_UNITS", true},
    {CFG_TEMP_UNITS, "CFG_TEMP_UNITS", true},
    {CFG_GPS_NAV_SRC, "CFG_GPS_NAV_SRC", true},
    {CFG_UI_STYLE, "CFG_UI_STYLE", true},
    {CFG_UI_FONT, "CFG_UI_FONT", true},
    {CFG_AUDIO_VOL, "CFG_AUDIO_VOL", true},
    {CFG_AOA_ALERT, "CFG_AOA_ALERT", true},
    {CFG_AOA_HIGH_LIM, "CFG_AOA_HIGH_LIM", false},
    {CFG_AOA_LOW_LIM, "CFG_AOA_LOW_LIM", false},
    {CFG_G_ALERT, "CFG_G_ALERT", true},
    {CFG_G_POS_LIM, "CFG_G_POS_LIM", false},
    {CFG_G_NEG_LIM, "CFG_G_NEG_LIM", false},
    {CFG_ROLL_ALERT, "CFG_ROLL_ALERT", true},
    {CFG_ROLL_LIM, "CFG_ROLL_LIM", true},
    {CFG_TRAK_STAB, "CFG_TRAK_STAB", true},
};
const int setting_name_count = static_cast<int>(sizeof setting_names / sizeof setting_names[0]);

int setting_index_by_name(const char* name) {
  for (int i = 0; i < setting_name_count; ++i) {
    if (std::strcmp(setting_names[i].name, name) == 0) {
      return setting_names[i].idx;
    }
  }
  return -1;
}
