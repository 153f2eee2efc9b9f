#include "fields/popups.h"

#include <cstdint>

#include "core/controls.h"
#include "core/modes.h"
#include "core/platform.h"
#include "core/slip.h"
#include "gfx/banner.h"
#include "gfx/images.h"
#include "gfx/text.h"
#include "settings/settings.h"

popups_state popups;

void popups_power_on() { popups = popups_state{}; }

// SET ALT.

void set_alt_init() {
  popups.selected_altitude = cfg_get(CFG_SET_ALT);
  modes.set_alt_popup_open = 0;
}

void open_set_alt() { modes.set_alt_popup_open = 1; }
void close_set_alt() { modes.set_alt_popup_open = 0; }
bool set_alt_popup_open() { return modes.set_alt_popup_open != 0; }
int selected_altitude() { return popups.selected_altitude; }

namespace {

void adjust_selected_altitude(int delta) {
  // Summed wide: the start value comes unchecked from the settings and may lie near the int limits.
  std::int64_t v = static_cast<std::int64_t>(popups.selected_altitude) + delta;
  v = (v / SET_ALT_STEP) * SET_ALT_STEP;
  if (v > SET_ALT_MAX) {
    v = SET_ALT_MAX;
  } else if (v < SET_ALT_MIN) {
    v = SET_ALT_MIN;
  }
  popups.selected_altitude = static_cast<int>(v);
}

void set_both_arrows(int left, int right) {
  set_banner_left_arrow(left);
  set_banner_right_arrow(right);
}

}  // namespace

int set_alt_event(int event) {
  if (!modes.set_alt_popup_open) {
    return event;
  }
  if (event == EVT_KNOB_CW) {
    adjust_selected_altitude(SET_ALT_STEP);
  } else if (event == EVT_KNOB_CCW) {
    adjust_selected_altitude(-SET_ALT_STEP);
  }
  return EVT_NONE;
}

void draw_set_alt_popup() {
  if (!modes.set_alt_popup_open) {
    return;
  }
  char text[16] = {};
  char* cursor = text;
  append_int(popups.selected_altitude, cursor);
  *cursor = '\0';
  set_banner_line1("SET ALT", 0, COLOUR_MAGENTA);
  set_banner_line2(text, 1, COLOUR_MAGENTA);
  set_both_arrows(1, 1);
}

// SET BARO.

void open_set_baro() {
  modes.baro_popup_open = 1;
  modes.baro_adjusted = 0;
}

void close_set_baro() {
  modes.baro_popup_open = 0;
  modes.baro_adjusted = 0;
}

bool baro_popup_open() { return modes.baro_popup_open != 0; }
bool baro_adjusted() { return modes.baro_adjusted != 0; }
bool baro_set_since_start() { return popups.baro_set_since_start != 0; }

int set_baro_event(int event) {
  if (!modes.baro_popup_open) {
    return event;
  }
  if (event == EVT_KNOB_CW || event == EVT_KNOB_CCW) {
    // The setting is kept in hundredths of its units; in hPa one step is a whole hectopascal.
    const int unit = cfg_get_byte(CFG_BARO_UNITS) == 1 ? 100 : 1;
    const int step = knob_step() * unit;
    adjust_baro_setting(event == EVT_KNOB_CW ? step : -step);
    popups.baro_set_since_start = 1;
    modes.baro_adjusted = 1;
  }
  return EVT_NONE;
}

void format_baro_setting(char* out) {
  char* cursor = out;
  const float setting = read_baro_setting();
  // A reading no int can hold (or not a number) is no setting at all.
  if (!(setting > -1.0e6f && setting < 1.0e6f)) {
    out[0] = out[1] = out[2] = '-';
    out[3] = '\0';
    return;
  }
  if (cfg_get_byte(CFG_BARO_UNITS) == 1) {
    const int whole = static_cast<int>(setting);
    if (whole >= 0 && whole < 1000) {
      *cursor++ = '0';
    }
    append_int(whole, cursor);
    *cursor = '\0';
    if (cursor - out > 4) {
      out[4] = '\0';
    }
    return;
  }
  // Hundredths with the point before the last two digits, padded to at least three digits so
  // that the point always has a digit in front of it (0.50, not .50), cut to five characters as
  // the BARO field cuts it. A negative setting is no setting, as in the field.
  const int hundredths = static_cast<int>(setting * 100.0f);
  if (hundredths < 0) {
    out[0] = out[1] = out[2] = '-';
    out[3] = '\0';
    return;
  }
  char digits[16] = {'0', '0'};
  char* d = digits + 2;
  append_int(hundredths, d);
  const char* first = digits + 2;
  while (d - first < 3) {
    --first;  // one of the two leading zeros
  }
  for (const char* p = first; p != d; ++p) {
    if (d - p == 2) {
      *cursor++ = '.';
    }
    *cursor++ = *p;
  }
  *cursor = '\0';
  if (cursor - out > 5) {
    out[5] = '\0';
  }
}

void draw_set_baro_popup() {
  if (!modes.baro_popup_open) {
    return;
  }
  char text[16] = {};
  format_baro_setting(text);
  set_banner_line1("SET BARO", 0, COLOUR_MAGENTA);
  set_banner_line2(text, 1, COLOUR_MAGENTA);
  set_both_arrows(1, 1);
}

// Brightness.

void open_brightness() { modes.brightness_popup_open = 1; }
void close_brightness() { modes.brightness_popup_open = 0; }
bool brightness_popup_open() { return modes.brightness_popup_open != 0; }
int brightness_level() { return popups.brightness_level; }
bool brightness_is_auto() { return popups.brightness_auto != 0; }

int brightness_event(int event) {
  if (!modes.brightness_popup_open) {
    return event;
  }
  const int step = knob_step();
  if (event == EVT_KNOB_CW) {
    if (popups.brightness_level <= 100 - step) {
      popups.brightness_level += step;  // a turn that would pass 100 does nothing
    }
  } else if (event == EVT_KNOB_CCW) {
    if (popups.brightness_level >= 0) {
      popups.brightness_level -= step;
    }
  } else if (event == EVT_LEFT_RELEASE) {
    popups.brightness_auto = !popups.brightness_auto;
  }
  if (popups.brightness_level < 0) {
    popups.brightness_level = 0;
  } else if (popups.brightness_level > 100) {
    popups.brightness_level = 100;
  }
  return EVT_NONE;
}

void draw_brightness_popup() {
  if (!modes.brightness_popup_open) {
    return;
  }
  if (popups.brightness_auto) {
    set_banner_line1("AUTO BRT", 0, COLOUR_WHITE);
    set_banner_line2("", 0, COLOUR_WHITE);
    set_both_arrows(0, 0);
    return;
  }
  char text[16] = {};
  char* cursor = text;
  append_int(popups.brightness_level, cursor);
  *cursor = '\0';
  set_banner_line1("MANUAL BRT", 0, COLOUR_MAGENTA);
  set_banner_line2(text, 0, COLOUR_MAGENTA);
  set_both_arrows(popups.brightness_level == 0 ? 0 : 1, popups.brightness_level == 100 ? 0 : 1);
}

namespace {

void draw_soft_key(pixel_t* layer, kept_area<1024>& area, int font, int x, const char* text) {
  kept_key key;
  key.add_int(font).add_int(x).add_text(text);
  draw_kept(&area, layer, key, [&] {
    draw_text_centred(layer, SCREEN_W, SCREEN_H, font, x + 1, 226, COLOUR_SHADOW, text);
    draw_text_centred(layer, SCREEN_W, SCREEN_H, font, x, 225, COLOUR_TEAL, text);
  });
}

// A catalogue image blended into a layer, its place reported to the group being drawn.
void blend_tracked(pixel_t* layer, int entry, int x, int y) {
  const image_ref img = image_lookup(entry);
  text_track_add(x, y, x + img.width - 1, y + img.height - 1);
  blend_catalogue_image(layer, entry, x, y);
}

}  // namespace

void draw_brightness_soft_keys(pixel_t* layer) {
  if (!modes.brightness_popup_open) {
    return;
  }
  const int font = font_for_size(10);
  draw_soft_key(layer, popups.brightness_keys_kept[0], font, 60, "MODE");
  draw_soft_key(layer, popups.brightness_keys_kept[1], font, 260, "DONE");
}

// Status badge.

namespace {

void set_badge_text(const char* text, pixel_t colour) {
  char* out = popups.badge_text;
  for (int i = 0; text[i] != '\0' && i < static_cast<int>(sizeof popups.badge_text) - 1; ++i) {
    *out++ = text[i];
  }
  *out = '\0';
  popups.badge_colour = colour;
}

}  // namespace

void draw_status_badge(pixel_t* layer) {
  popups.badge_shown = 0;
  if (!no_popup_open()) {
    return;
  }
  popups.badge_shown = 1;
  const int font = font_for_size(10);
  const int state = status_badge_state();
  int x = 268;
  int y = 226;
  if (state == 2) {
    const float percent = status_badge_percent();
    // The badge has room for three digits; a reading beyond them (or not a number) must not
    // reach an int conversion that cannot hold it.
    int whole = 0;
    if (percent >= 1000.0f) {
      whole = 999;
    } else if (percent > -100.0f) {
      whole = static_cast<int>(percent);
    }
    char text[16] = {};
    char* cursor = text;
    append_int(whole, cursor);
    *cursor++ = '%';
    *cursor = '\0';
    set_badge_text(text, COLOUR_WHITE);
    x = whole < 100 ? 271 : 268;
    y = 225;
  } else if (state == 1) {
    set_badge_text("TEST", COLOUR_YELLOW);
  } else {
    set_badge_text("FAIL", COLOUR_RED);
  }
  popups.badge_icon = status_icon_visible() ? 1 : 0;
  kept_key key;
  key.add_int(font)
      .add_int(x)
      .add_int(y)
      .add(popups.badge_colour)
      .add_int(popups.badge_icon)
      .add_text(popups.badge_text);
  draw_kept(&popups.badge_kept, layer, key, [&] {
    blend_tracked(layer, IMG_STATUS_BADGE, 250, 216);
    flush_display();
    draw_text_centred(layer, SCREEN_W, SCREEN_H, font, x, y, popups.badge_colour, popups.badge_text);
    if (popups.badge_icon) {
      blend_tracked(layer, IMG_POWER_ICON, 292, 220);
    }
  });
  popups.badge_strip = status_strip_visible() ? 1 : 0;
  if (popups.badge_strip) {
    blend_catalogue_image(layer, IMG_ON_BATTERY, 126, 186 + slip.slip_offset);
  }
}
