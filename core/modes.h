// Mode flags of every pop-up and page, and the dispatcher that routes each control event to the
// global actions, the pop-up or page that owns the knob, and the main page.
#pragma once

struct mode_flags {
  int baro_popup_open = 0;
  int baro_adjusted = 0;
  int dg_adjust_popup_open = 0;
  int dg_adjust_adjusted = 0;
  int nav_dg_adjust_popup_open = 0;
  int nav_dg_adjust_adjusted = 0;
  int hdg_bug_popup_open = 0;
  int hdg_bug_adjusted = 0;
  int set_alt_popup_open = 0;
  int brightness_popup_open = 0;
  int squawk_edit_active = 0;
  int setup_active = 0;
  int setup_value_edit = 0;
  int setup_touched = 0;
  int setup_row = 0;
  int menu_active = 0;
  int field_editor_active = 0;
  int selected_slot = 0;
  int layout_modified = 0;
  int editor_cursor_moved = 0;
  int field_page = 0;
  int install_mode = 0;
  int install_allowed = 0;
  int attitude_alert_active = 0;
  int nav_page_style = 1;  // heading page: 1 rose, 2 HSI, 3 arc
};
extern mode_flags modes;

void dispatch_event();
bool no_popup_open();
void close_all_popups();

void modes_power_on();
