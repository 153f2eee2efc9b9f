// The adjustment pop-ups (SET ALT, SET BARO, brightness) that write the bottom banner while open,
// and the status badge in the lower right corner shown while nothing is open.
#pragma once
#include "gfx/kept_draw.h"
#include "gfx/layers.h"

inline constexpr int SET_ALT_MIN = 1000;
inline constexpr int SET_ALT_MAX = 25000;
inline constexpr int SET_ALT_STEP = 100;

struct popups_state {
  int selected_altitude = 0;  // feet
  int baro_set_since_start = 0;
  int brightness_auto = 0;
  int brightness_level = 0;  // 0..100
  // The status badge as the last frame drew it, for anyone who looks from outside.
  int badge_shown = 0;
  char badge_text[8] = {};
  pixel_t badge_colour = 0;
  int badge_icon = 0;
  int badge_strip = 0;
  // The badge with its text and icon, and the brightness pop-up's keys, written again while they
  // and the pixels under them stay the same.
  kept_area<3072> badge_kept;
  kept_area<1024> brightness_keys_kept[2];
};
extern popups_state popups;

// SET ALT.
void set_alt_init();
void open_set_alt();
void close_set_alt();
bool set_alt_popup_open();
int selected_altitude();
void draw_set_alt_popup();
int set_alt_event(int event);

// SET BARO.
void open_set_baro();
void close_set_baro();
bool baro_popup_open();
bool baro_adjusted();
bool baro_set_since_start();
void draw_set_baro_popup();
int set_baro_event(int event);
// The stored setting as the BARO field and SET BARO show it ("29.92", "1013"); at least 16 bytes.
void format_baro_setting(char* out);

// Brightness.
void open_brightness();
void close_brightness();
bool brightness_popup_open();
int brightness_level();
bool brightness_is_auto();
void draw_brightness_popup();
void draw_brightness_soft_keys(pixel_t* layer);
int brightness_event(int event);

void draw_status_badge(pixel_t* layer);

void popups_power_on();
