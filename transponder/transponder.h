// The transponder page of field page 3: the link state the firmware sets (squawk, mode, ident),
// the squawk editor, the strip that shows what the transponder reports, and its soft keys. What
// the transponder reports back comes through the link operations of core/platform.h.
#pragma once
#include "gfx/kept_draw.h"
#include "gfx/layers.h"

// The texts of the strip as last drawn, empty where nothing was drawn; kept for the hosts'
// state reports and the tests.
inline constexpr int TXP_TITLE_MAX = 8;
struct transponder_strip_texts {
  char title[TXP_TITLE_MAX + 1] = {};
  char squawk[8] = {};
  char mode[8] = {};
  char status[8] = {};
  char lower[12] = {};  // "IDT", the PALT value or "---"
};

// The strip's captions, values and soft keys, written again while they and the pixels under
// them stay the same.
enum txp_caption_group : int {
  TXP_CAPTION_SQWK,
  TXP_CAPTION_MODE,
  TXP_CAPTION_PALT,
  TXP_CAPTION_STAT,
  TXP_CAPTION_NIC,
  TXP_CAPTION_NACP,
  TXP_CAPTIONS
};
enum txp_value_group : int {
  TXP_VALUE_TITLE,
  TXP_VALUE_SQUAWK,
  TXP_VALUE_MODE,
  TXP_VALUE_LOWER,
  TXP_VALUE_STATUS,
  TXP_VALUE_NIC,
  TXP_VALUE_NACP,
  TXP_VALUES
};
struct transponder_kept {
  kept_area<768> captions[TXP_CAPTIONS];
  kept_area<1280> values[TXP_VALUES];
  kept_area<1024> keys[2];  // left and right soft key
};

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
  transponder_strip_texts drawn;
  transponder_kept kept;
};
extern transponder_state txp;

// Status bits reported by the link.
inline constexpr int TXP_STATUS_TIMEOUT = 0x01;
inline constexpr int TXP_STATUS_FAIL = 0x02;
inline constexpr int TXP_STATUS_NO_POSITION = 0x04;
inline constexpr int TXP_STATUS_FAULT = 0x80;

inline constexpr int TXP_IDENT_SECONDS = 18;

void txp_init();
int txp_squawk();
void txp_set_squawk(int code);
int txp_mode();
void txp_set_mode(int mode);
void start_ident();
bool txp_ident_active();
void txp_ident_tick();

// True for a code of four octal digits read as a decimal number (0..7777, no digit 8 or 9).
bool squawk_code_valid(int code);

void transponder_page_init();
void open_squawk_edit();
void close_squawk_edit();
void set_vfr_squawk();
int squawk_edit_event(int event);
void reply_indicator_tick();

void draw_transponder_strip(pixel_t* layer);
void draw_squawk_edit();
void draw_transponder_soft_keys(pixel_t* layer);
// The composer forgets the strip's texts at every frame, so they stay empty on frames without it.
void transponder_strip_forget();

void transponder_power_on();
