// The transponder link state (squawk, mode, ident) and the transponder page's squawk editor state.
#pragma once

struct transponder_state {
  // Link.
  int squawk_code = 1200;
  int mode = 2;  // 0 "STBY", 1 "ON", 2 "ALT"
  int ident_countdown = 0;
  // Page.
  char squawk_text[5] = {'1', '2', '0', '0', '\0'};
  int squawk_cursor = 0;
  int squawk_digit_edit = 0;
  int reply_indicator = 0;
};
extern transponder_state txp;

void txp_init();
int txp_squawk();
void txp_set_squawk(int code);
int txp_mode();
void txp_set_mode(int mode);
void start_ident();
bool txp_ident_active();
void txp_ident_tick();

void transponder_page_init();
void open_squawk_edit();
void close_squawk_edit();
void set_vfr_squawk();
void reply_indicator_tick();

void transponder_power_on();
