#include "transponder/transponder.h"

#include <cmath>
#include <cstring>

#include "core/controls.h"
#include "core/modes.h"
#include "core/platform.h"
#include "gfx/banner.h"
#include "gfx/images.h"
#include "gfx/primitives.h"
#include "gfx/text.h"
#include "settings/settings.h"

transponder_state txp;

void transponder_power_on() { txp = transponder_state{}; }

void txp_init() {
  txp.ident_countdown = 0;
  txp.mode = 2;
  txp.squawk_code = 1200;
}

int txp_squawk() { return txp.squawk_code; }
void txp_set_squawk(int code) { txp.squawk_code = code; }
int txp_mode() { return txp.mode; }
void txp_set_mode(int mode) { txp.mode = mode; }

void start_ident() {
  if (txp.ident_countdown == 0) {
    txp.ident_countdown = TXP_IDENT_SECONDS;
  }
}

bool txp_ident_active() { return txp.ident_countdown != 0; }

void txp_ident_tick() {
  if (txp.ident_countdown != 0) {
    txp.ident_countdown -= 1;
  }
}

bool squawk_code_valid(int code) {
  if (code < 0 || code > 7777) return false;
  for (int rest = code; rest != 0; rest /= 10) {
    if (rest % 10 > 7) return false;
  }
  return true;
}

namespace {

// No named colour is amber; this one matches the amber alert box.
constexpr pixel_t kAmber = 0xFFFFB000;

int code_of_squawk_text() {
  int code = 0;
  for (int i = 0; i < 4; ++i) {
    code = code * 10 + (txp.squawk_text[i] - '0');
  }
  return code;
}

void set_squawk_text(const char* digits) { std::memcpy(txp.squawk_text, digits, sizeof txp.squawk_text); }

// Four digits with leading zeros; the caller has checked the code.
void four_digits(int code, char* out) {
  for (int i = 3; i >= 0; --i) {
    out[i] = static_cast<char>('0' + code % 10);
    code /= 10;
  }
  out[4] = '\0';
}

void copy_text(char* dst, std::size_t size, const char* src) {
  std::size_t i = 0;
  for (; src != nullptr && src[i] != '\0' && i + 1 < size; ++i) dst[i] = src[i];
  dst[i] = '\0';
}

void step_digit(int delta) {
  char& digit = txp.squawk_text[txp.squawk_cursor];
  digit = static_cast<char>('0' + ((digit - '0') + delta + 8) % 8);
}

void draw_caption(pixel_t* layer, int group, int x, int y, const char* text) {
  const int font = font_for_size(10);
  kept_key key;
  key.add_int(font).add_int(x).add_int(y).add_text(text);
  draw_kept(&txp.kept.captions[group], layer, key, [&] {
    draw_text_centred(layer, SCREEN_W, SCREEN_H, font, x + 1, y + 1, COLOUR_SHADOW, text);
    draw_text_centred(layer, SCREEN_W, SCREEN_H, font, x, y, COLOUR_WHITE, text);
  });
}

void draw_value(pixel_t* layer, int group, int size, int x, int y, pixel_t colour, const char* text) {
  const int font = font_for_size(size);
  kept_key key;
  key.add_int(font).add_int(x).add_int(y).add(colour).add_text(text);
  draw_kept(&txp.kept.values[group], layer, key,
            [&] { draw_text_centred(layer, SCREEN_W, SCREEN_H, font, x, y, colour, text); });
}

// The flight id as a title: at most eight characters, the blanks a transponder pads it with
// dropped, and the link's name when nothing is left.
void title_text(char* out) {
  copy_text(out, TXP_TITLE_MAX + 1, txp_flight_id());
  for (int n = string_length(out); n > 0 && out[n - 1] == ' '; --n) out[n - 1] = '\0';
  if (out[0] == '\0') copy_text(out, TXP_TITLE_MAX + 1, "TXP LINK");
}

struct status_look {
  const char* text;
  pixel_t colour;
};

// Healthy is green, a lost or unplaced link amber, a failed transponder red; status bits this
// page has no word for still mean something is wrong.
status_look status_of(int s) {
  if (s == 0) return {"OK", COLOUR_GREEN};
  if (s & TXP_STATUS_TIMEOUT) return {"TMOUT", kAmber};
  if (s & TXP_STATUS_FAIL) return {"FAIL", COLOUR_RED};
  if (s & TXP_STATUS_NO_POSITION) return {"NOPOS", kAmber};
  return {"FAULT", COLOUR_RED};
}

// The pressure altitude to the nearest ten feet; false for a reading that is no number.
bool pressure_altitude_text(char* out) {
  const float tens = read_pressure_altitude() / 10.0f;
  if (!(std::fabs(tens) < 2.0e8f)) return false;
  char* cursor = out;
  append_int(static_cast<int>(std::round(tens)) * 10, cursor);
  *cursor = '\0';
  return true;
}

void draw_integrity_box(pixel_t* layer, int box_x, int value_x, int caption_group, int value_group, const char* caption,
                        int value) {
  draw_caption(layer, caption_group, value_x, 122, caption);
  const image_ref box = image_lookup(IMG_POPUP_BOX);
  if (box.pixels != nullptr) {
    copy_image(layer, box.pixels, SCREEN_W, SCREEN_H, box_x, 129, box.width, box.height);
  }
  flush_display();
  char text[8];
  char* cursor = text;
  append_int(value, cursor);
  *cursor = '\0';
  draw_value(layer, value_group, 17, value_x, 145, COLOUR_GREEN, text);
}

void cross_out(pixel_t* layer, float x) {
  for (float dx = 0.0f; dx <= 1.0f; dx += 1.0f) {
    draw_line_aa(layer, SCREEN_W, SCREEN_H, x + dx, 132.0f, x + 47.0f + dx, 159.0f, COLOUR_RED);
  }
  for (float dx = 0.0f; dx <= 1.0f; dx += 1.0f) {
    draw_line_aa(layer, SCREEN_W, SCREEN_H, x + dx, 159.0f, x + 47.0f + dx, 132.0f, COLOUR_RED);
  }
}

}  // namespace

void transponder_page_init() {
  modes.squawk_edit_active = 0;
  set_squawk_text("1200");
  txp.squawk_cursor = 0;
  txp.squawk_digit_edit = 0;
  txp.reply_indicator = 0;
}

void open_squawk_edit() {
  // Start from the code the transponder has, which may have been set at the transponder itself.
  if (squawk_code_valid(txp_squawk())) {
    four_digits(txp_squawk(), txp.squawk_text);
  }
  modes.squawk_edit_active = 1;
  txp_set_squawk(code_of_squawk_text());
}

void close_squawk_edit() {
  const bool was_open = modes.squawk_edit_active != 0;
  modes.squawk_edit_active = 0;
  txp.squawk_digit_edit = 0;
  txp.squawk_cursor = 0;
  // Everything closes every idle second and at every page change; only a closing editor sends
  // its code, so a code set at the transponder is not overwritten.
  if (was_open) {
    txp_set_squawk(code_of_squawk_text());
  }
}

void set_vfr_squawk() {
  set_squawk_text("1200");
  txp_set_squawk(1200);
}

int squawk_edit_event(int event) {
  if (!modes.squawk_edit_active) return event;
  switch (event) {
    case EVT_KNOB_CW:
      if (txp.squawk_digit_edit) {
        step_digit(+1);
      } else if (txp.squawk_cursor < 3) {
        txp.squawk_cursor += 1;
      }
      break;
    case EVT_KNOB_CCW:
      if (txp.squawk_digit_edit) {
        step_digit(-1);
      } else if (txp.squawk_cursor > 0) {
        txp.squawk_cursor -= 1;
      }
      break;
    case EVT_KNOB_RELEASE:
      txp.squawk_digit_edit = txp.squawk_digit_edit ? 0 : 1;
      break;
    case EVT_RIGHT_RELEASE:
      if (txp.squawk_digit_edit) {
        txp.squawk_digit_edit = 0;
        set_vfr_squawk();
      } else {
        const int m = txp_mode();
        txp_set_mode(m + 1 > 2 ? 0 : m + 1);
      }
      break;
    default:
      break;
  }
  return EVT_NONE;
}

void reply_indicator_tick() {
  if (txp.reply_indicator > 0) {
    txp.reply_indicator -= 1;
  }
}

void transponder_strip_forget() { txp.drawn = transponder_strip_texts{}; }

void draw_transponder_strip(pixel_t* layer) {
  transponder_strip_texts& drawn = txp.drawn;
  drawn = transponder_strip_texts{};
  const int s = txp_status_bits();
  const int m = txp_mode();
  const bool timed_out = (s & TXP_STATUS_TIMEOUT) != 0;

  title_text(drawn.title);
  draw_value(layer, TXP_VALUE_TITLE, 10, 160, 60, COLOUR_WHITE, drawn.title);

  draw_caption(layer, TXP_CAPTION_SQWK, 45, 70, "SQWK");
  const int code = txp_squawk();
  pixel_t squawk_colour = COLOUR_WHITE;
  if (timed_out || !squawk_code_valid(code)) {
    copy_text(drawn.squawk, sizeof drawn.squawk, "- - -");
  } else {
    four_digits(code, drawn.squawk);
    squawk_colour = COLOUR_GREEN;
  }
  draw_value(layer, TXP_VALUE_SQUAWK, 20, 40, 90, squawk_colour, drawn.squawk);

  draw_caption(layer, TXP_CAPTION_MODE, 270, 70, "MODE");
  static constexpr const char* kModeNames[] = {"STBY", "ON", "ALT"};
  if (timed_out) {
    copy_text(drawn.mode, sizeof drawn.mode, "- - -");
    draw_value(layer, TXP_VALUE_MODE, 14, 280, 90, COLOUR_WHITE, drawn.mode);
  } else if (m >= 0 && m <= 2) {
    copy_text(drawn.mode, sizeof drawn.mode, kModeNames[m]);
    draw_value(layer, TXP_VALUE_MODE, 14, 280, 90, COLOUR_GREEN, drawn.mode);
  }

  const bool lower_half = m != 0 && !timed_out;
  if (lower_half) {
    if (txp_replying()) txp.reply_indicator = 1;
    const pixel_t vc = txp.reply_indicator != 0 ? COLOUR_YELLOW : COLOUR_GREEN;
    if (txp_ident_active()) {
      copy_text(drawn.lower, sizeof drawn.lower, "IDT");
      draw_value(layer, TXP_VALUE_LOWER, 14, 40, 200, vc, drawn.lower);
    } else if (m == 2) {
      draw_caption(layer, TXP_CAPTION_PALT, 35, 180, "PALT");
      if (altitude_valid() && pressure_altitude_text(drawn.lower)) {
        draw_value(layer, TXP_VALUE_LOWER, 14, 40, 200, vc, drawn.lower);
      } else {
        copy_text(drawn.lower, sizeof drawn.lower, "---");
        draw_value(layer, TXP_VALUE_LOWER, 14, 40, 200, COLOUR_WHITE, drawn.lower);
      }
    }
  }

  draw_caption(layer, TXP_CAPTION_STAT, 280, 180, "STAT");
  const status_look status = status_of(s);
  copy_text(drawn.status, sizeof drawn.status, status.text);
  draw_value(layer, TXP_VALUE_STATUS, 14, 275, 200, status.colour, drawn.status);

  if (lower_half) {
    draw_integrity_box(layer, 2, 30, TXP_CAPTION_NIC, TXP_VALUE_NIC, "NIC", txp_nic());
    draw_integrity_box(layer, 263, 291, TXP_CAPTION_NACP, TXP_VALUE_NACP, "NACp", txp_nacp());
    if (s & TXP_STATUS_NO_POSITION) {
      cross_out(layer, 5.0f);
      cross_out(layer, 266.0f);
    }
  }
}

void draw_squawk_edit() {
  if (!modes.squawk_edit_active) return;
  set_banner_cursor_index(txp.squawk_cursor);
  set_banner_cursor_mode(txp.squawk_digit_edit ? 2 : 1);
  // The digit cursor marks the place; arrows left by an earlier pop-up would mislead.
  set_banner_left_arrow(0);
  set_banner_right_arrow(0);
  set_banner_line1("SQUAWK", 0, COLOUR_MAGENTA);
  set_banner_line2(txp.squawk_text, 2, COLOUR_MAGENTA);
}

void draw_transponder_soft_keys(pixel_t* layer) {
  if (modes.brightness_popup_open || modes.field_page != 3 || cfg_get_byte(CFG_SERIAL2) != 1) return;
  const int font = font_for_size(10);
  auto key = [&](int x, int y, const char* text) {
    kept_key k;
    k.add_int(font).add_int(x).add_int(y).add_text(text);
    draw_kept(&txp.kept.keys[x < SCREEN_W / 2 ? 0 : 1], layer, k, [&] {
      draw_text_centred(layer, SCREEN_W, SCREEN_H, font, x + 1, y + 1, COLOUR_SHADOW, text);
      draw_text_centred(layer, SCREEN_W, SCREEN_H, font, x, y, COLOUR_WHITE, text);
    });
  };
  if (modes.squawk_edit_active) {
    key(60, 225, "DONE");
    key(250, 226, txp.squawk_digit_edit ? "VFR" : "MODE");
  } else {
    key(60, 225, "IDENT");
  }
}
