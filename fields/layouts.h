// Data-field layouts of both unit functions, the presence flags the field strip reports to the
// dispatcher, and the main page's menu and page-cycling operations.
#pragma once
#include <cstdint>

inline constexpr int FIELD_PAGES = 4;
inline constexpr int AI_SLOTS = 9;
inline constexpr int DG_SLOTS = 7;

struct field_layout_state {
  std::uint16_t layout_ai[FIELD_PAGES][AI_SLOTS] = {};
  std::uint16_t layout_dg[FIELD_PAGES][DG_SLOTS] = {};
  int field_hosts_baro = 0;
  int field_hosts_dg_adjust = 0;
  int field_hosts_hdg_bug = 0;
  int field_hosts_set_alt = 0;
};
extern field_layout_state fields;

void layout_defaults();

void open_menu();
void close_menu();
int main_page_event(int event);

// Allowed field ids of a slot (bit n = id n), narrowed when demo mode is off by the missing GPS
// source and the missing temperature probe.
std::uint32_t slot_allowed_mask(int unit, int slot);
void layout_fixup();
// The editor's slot brought inside the current unit's slots (the unit may change under it).
void keep_selected_slot_in_unit();

void fields_power_on();
