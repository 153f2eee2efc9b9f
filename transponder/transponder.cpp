#include "transponder/transponder.h"

#include <cstring>

#include "core/modes.h"

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
    txp.ident_countdown = 18;
  }
}

bool txp_ident_active() { return txp.ident_countdown != 0; }

void txp_ident_tick() {
  if (txp.ident_countdown != 0) {
    txp.ident_countdown -= 1;
  }
}

namespace {

int code_of_squawk_text() {
  int code = 0;
  for (int i = 0; i < 4; ++i) {
    code = code * 10 + (txp.squawk_text[i] - '0');
  }
  return code;
}

void set_squawk_text(const char* digits) { std::memcpy(txp.squawk_text, digits, sizeof txp.squawk_text); }

}  // namespace

void transponder_page_init() {
  modes.squawk_edit_active = 0;
  set_squawk_text("1200");
  txp.squawk_cursor = 0;
  txp.squawk_digit_edit = 0;
  txp.reply_indicator = 0;
}

void open_squawk_edit() {
  modes.squawk_edit_active = 1;
  txp_set_squawk(code_of_squawk_text());
}

void close_squawk_edit() {
  modes.squawk_edit_active = 0;
  txp.squawk_digit_edit = 0;
  txp.squawk_cursor = 0;
  txp_set_squawk(code_of_squawk_text());
}

void set_vfr_squawk() {
  set_squawk_text("1200");
  txp_set_squawk(1200);
}

void reply_indicator_tick() {
  if (txp.reply_indicator > 0) {
    txp.reply_indicator -= 1;
  }
}
