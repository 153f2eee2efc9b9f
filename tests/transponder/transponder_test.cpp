#include "transponder/transponder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/controls.h"
#include "core/firmware.h"
#include "core/modes.h"
#include "gfx/banner.h"
#include "gfx/images.h"
#include "gfx/layers.h"
#include "host/common/desk_platform.h"
#include "settings/settings.h"
#include "settings/startup_screen.h"
#include "tests/support/power_on.h"

namespace {

class Transponder : public Started {
 protected:
  void SetUp() override {
    Started::SetUp();
    startup.startup_countdown = 0;
    cfg_set_byte(CFG_SERIAL2, 1);
    modes.field_page = 3;
  }
};

void send(const std::vector<int>& events) {
  for (int e : events) EXPECT_EQ(squawk_edit_event(e), EVT_NONE);
}

// Editor events from an open editor; the code reaches the transponder only through VFR here.
TEST_F(Transponder, EditorEvents) {
  const int CW = EVT_KNOB_CW, CCW = EVT_KNOB_CCW, KNOB = EVT_KNOB_RELEASE, RIGHT = EVT_RIGHT_RELEASE;
  struct row {
    const char* name;
    int cursor;
    int digit_edit;
    std::vector<int> events;
    const char* text;
    int cursor_after;
    int digit_edit_after;
    int mode_after;
    int code_after;
  };
  const row rows[] = {
      {"three up on the second digit", 1, 1, {CW, CW, CW}, "1500", 1, 1, 2, 4321},
      {"eight up come round again", 1, 1, {CW, CW, CW, CW, CW, CW, CW, CW}, "1200", 1, 1, 2, 4321},
      {"down from 0 wraps to 7", 2, 1, {CCW}, "1270", 2, 1, 2, 4321},
      {"down past 0 again", 0, 1, {CCW, CCW}, "7200", 0, 1, 2, 4321},
      {"cursor stops at the right end", 0, 0, {CW, CW, CW, CW, CW}, "1200", 3, 0, 2, 4321},
      {"cursor stops at the left end", 2, 0, {CCW, CCW, CCW}, "1200", 0, 0, 2, 4321},
      {"knob toggles digit edit", 3, 0, {KNOB, CW, KNOB, CCW}, "1201", 2, 0, 2, 4321},
      {"right in digit edit is VFR", 0, 1, {CW, CW, RIGHT}, "1200", 0, 0, 2, 1200},
      {"right in cursor mode: ALT to STBY", 0, 0, {RIGHT}, "1200", 0, 0, 0, 4321},
      {"right twice: ALT, STBY, ON", 0, 0, {RIGHT, RIGHT}, "1200", 0, 0, 1, 4321},
      {"right three times is ALT again", 0, 0, {RIGHT, RIGHT, RIGHT}, "1200", 0, 0, 2, 4321},
      {"other events change nothing", 1, 1, {EVT_LEFT_PRESS, EVT_KNOB_PRESS, EVT_BOTH_PRESS}, "1200", 1, 1, 2, 4321},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.name);
    SetUp();
    open_squawk_edit();
    txp.squawk_cursor = r.cursor;
    txp.squawk_digit_edit = r.digit_edit;
    txp_set_squawk(4321);  // digit changes alone send nothing
    send(r.events);
    EXPECT_STREQ(txp.squawk_text, r.text);
    EXPECT_EQ(txp.squawk_cursor, r.cursor_after);
    EXPECT_EQ(txp.squawk_digit_edit, r.digit_edit_after);
    EXPECT_EQ(txp_mode(), r.mode_after);
    EXPECT_EQ(txp_squawk(), r.code_after);
  }
}

TEST_F(Transponder, ClosedEditorPassesEventsOn) {
  for (int e : {EVT_KNOB_CW, EVT_KNOB_RELEASE, EVT_RIGHT_RELEASE}) EXPECT_EQ(squawk_edit_event(e), e);
  EXPECT_STREQ(txp.squawk_text, "1200");
  EXPECT_EQ(txp_mode(), 2);
}

// Only a closing editor sends its code, and an opening one starts from the transponder's code.
TEST_F(Transponder, SendingOnOpenAndClose) {
  struct row {
    const char* name;
    int code_at_transponder;
    bool open_first;
    const char* edit_to;  // digits set while open (nullptr: none)
    int code_after_close;
    const char* text_after;
  };
  const row rows[] = {
      {"closing a closed editor sends nothing", 7700, false, nullptr, 7700, "1200"},
      {"opening loads the transponder's code", 7700, true, nullptr, 7700, "7700"},
      {"closing sends the edited code", 7700, true, "4512", 4512, "4512"},
      {"a code below 1000 loads with zeros", 42, true, nullptr, 42, "0042"},
      {"an unknown code keeps the page's text", -1, true, nullptr, 1200, "1200"},
      {"a code with a digit 8 keeps the text", 8888, true, nullptr, 1200, "1200"},
      {"a code past 7777 keeps the text", 10000, true, nullptr, 1200, "1200"},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.name);
    SetUp();
    txp_set_squawk(r.code_at_transponder);
    if (r.open_first) {
      open_squawk_edit();
      EXPECT_EQ(modes.squawk_edit_active, 1);
      if (r.edit_to != nullptr) std::snprintf(txp.squawk_text, sizeof txp.squawk_text, "%s", r.edit_to);
    }
    close_all_popups();
    EXPECT_EQ(modes.squawk_edit_active, 0);
    EXPECT_EQ(txp_squawk(), r.code_after_close);
    EXPECT_STREQ(txp.squawk_text, r.text_after);
  }
}

// The idle time-out closes everything every second: an edited code is sent like DONE, and with
// the editor closed a code set at the transponder survives.
TEST_F(Transponder, InactivityTimeOut) {
  open_squawk_edit();
  txp.squawk_cursor = 1;
  txp.squawk_digit_edit = 1;
  send({EVT_KNOB_CW, EVT_KNOB_CW, EVT_KNOB_CW});
  cycle.inactivity_countdown = 0;
  second_tick();
  EXPECT_EQ(modes.squawk_edit_active, 0);
  EXPECT_EQ(txp.squawk_cursor, 0);
  EXPECT_EQ(txp.squawk_digit_edit, 0);
  EXPECT_EQ(txp_squawk(), 1500);
  txp_set_squawk(7700);
  for (int s = 0; s < 5; ++s) second_tick();
  EXPECT_EQ(txp_squawk(), 7700);
}

TEST_F(Transponder, IdentAndReplyCountDown) {
  start_ident();
  for (int s = 0; s < 5; ++s) txp_ident_tick();
  start_ident();  // running: not restarted
  EXPECT_EQ(txp.ident_countdown, TXP_IDENT_SECONDS - 5);
  for (int s = 0; s < TXP_IDENT_SECONDS; ++s) txp_ident_tick();
  EXPECT_FALSE(txp_ident_active());
  EXPECT_EQ(txp.ident_countdown, 0);
  start_ident();
  EXPECT_EQ(txp.ident_countdown, TXP_IDENT_SECONDS);
}

// Pixels of the colour's hue, at any coverage: anti-aliased text mixes its colour in part.
int count_colour(const pixel_t* layer, int x0, int y0, int x1, int y1, pixel_t colour) {
  const auto channels = [](pixel_t p, float out[3]) {
    const float r = static_cast<float>((p >> 16) & 0xFF), g = static_cast<float>((p >> 8) & 0xFF),
                b = static_cast<float>(p & 0xFF);
    const float m = std::fmax(r, std::fmax(g, b));
    out[0] = m > 0 ? r / m : 0;
    out[1] = m > 0 ? g / m : 0;
    out[2] = m > 0 ? b / m : 0;
    return m;
  };
  float want[3];
  channels(colour, want);
  int n = 0;
  for (int y = y0; y <= y1; ++y) {
    for (int x = x0; x <= x1; ++x) {
      float got[3];
      if (channels(layer[y * SCREEN_W + x], got) < 120.0f) continue;
      bool same = true;
      for (int c = 0; c < 3; ++c) same = same && std::fabs(got[c] - want[c]) < 0.12f;
      n += same;
    }
  }
  return n;
}

// What the strip draws for each link state: texts, colours and the parts left out.
TEST_F(Transponder, StripTexts) {
  constexpr pixel_t kAmber = 0xFFFFB000;
  struct row {
    const char* name;
    int status;
    int mode;
    int code;
    const char* flight_id;
    bool ident;
    bool replying;
    float palt;
    const char* title;
    const char* squawk;
    const char* mode_text;
    const char* lower;
    const char* status_text;
    pixel_t status_colour;
    bool boxes;
    bool crossed;
  };
  const float nan = std::nanf("");
  const row rows[] = {
      {"healthy", 0, 2, 1200, "N123", false, true, 8191.0f, "N123", "1200", "ALT", "8190", "OK", COLOUR_GREEN, true,
       false},
      {"halves round away from zero", 0, 2, 1200, "N123", false, true, 8195.0f, "N123", "1200", "ALT", "8200", "OK",
       COLOUR_GREEN, true, false},
      {"negative altitude", 0, 2, 1200, "N123", false, true, -15.0f, "N123", "1200", "ALT", "-20", "OK", COLOUR_GREEN,
       true, false},
      {"no altitude number", 0, 2, 1200, "N123", false, true, nan, "N123", "1200", "ALT", "---", "OK", COLOUR_GREEN,
       true, false},
      {"leading zeros", 0, 1, 42, "", false, false, 0.0f, "TXP LINK", "0042", "ON", "", "OK", COLOUR_GREEN, true,
       false},
      {"ident shown instead of altitude", 0, 2, 7, "N1", true, true, 0.0f, "N1", "0007", "ALT", "IDT", "OK",
       COLOUR_GREEN, true, false},
      {"standby hides the lower half", 0, 0, 1200, "N123", true, true, 0.0f, "N123", "1200", "STBY", "", "OK",
       COLOUR_GREEN, false, false},
      {"time-out", 0x01, 2, 1200, "N123", true, true, 0.0f, "N123", "- - -", "- - -", "", "TMOUT", kAmber, false,
       false},
      {"failure", 0x02, 2, 1200, "N123", false, true, 100.0f, "N123", "1200", "ALT", "100", "FAIL", COLOUR_RED, true,
       false},
      {"no position", 0x04, 2, 1200, "N123", false, true, 100.0f, "N123", "1200", "ALT", "100", "NOPOS", kAmber, true,
       true},
      {"failure before no position", 0x06, 2, 1200, "N123", false, true, 100.0f, "N123", "1200", "ALT", "100", "FAIL",
       COLOUR_RED, true, true},
      {"fault", 0x80, 1, 1200, "N123", false, true, 0.0f, "N123", "1200", "ON", "", "FAULT", COLOUR_RED, true, false},
      {"a bit without a word", 0x10, 1, 1200, "N123", false, true, 0.0f, "N123", "1200", "ON", "", "FAULT", COLOUR_RED,
       true, false},
      {"code with an 8", 0, 1, 8888, "N123", false, true, 0.0f, "N123", "- - -", "ON", "", "OK", COLOUR_GREEN, true,
       false},
      {"negative code", 0, 1, -2, "N123", false, true, 0.0f, "N123", "- - -", "ON", "", "OK", COLOUR_GREEN, true,
       false},
      {"long flight id cut", 0, 1, 1200, "ABCDEFGHIJKL", false, true, 0.0f, "ABCDEFGH", "1200", "ON", "", "OK",
       COLOUR_GREEN, true, false},
      {"padded flight id", 0, 1, 1200, "N9    ", false, true, 0.0f, "N9", "1200", "ON", "", "OK", COLOUR_GREEN, true,
       false},
      {"blank flight id", 0, 1, 1200, "        ", false, true, 0.0f, "TXP LINK", "1200", "ON", "", "OK", COLOUR_GREEN,
       true, false},
      {"unknown mode", 0, 5, 1200, "N123", false, true, 0.0f, "N123", "1200", "", "", "OK", COLOUR_GREEN, true, false},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.name);
    SetUp();
    desk.txp_status = static_cast<std::uint8_t>(r.status);
    desk.txp_replying = r.replying;
    desk.txp_pressure_altitude = r.palt;
    std::snprintf(desk.txp_flight_id, sizeof desk.txp_flight_id, "%s", r.flight_id);
    txp_set_mode(r.mode);
    txp_set_squawk(r.code);
    if (r.ident) start_ident();
    clear_layer(top_layer);
    draw_transponder_strip(top_layer);
    EXPECT_STREQ(txp.drawn.title, r.title);
    EXPECT_STREQ(txp.drawn.squawk, r.squawk);
    EXPECT_STREQ(txp.drawn.mode, r.mode_text);
    EXPECT_STREQ(txp.drawn.lower, r.lower);
    EXPECT_STREQ(txp.drawn.status, r.status_text);
    EXPECT_GT(count_colour(top_layer, 240, 190, 315, 212, r.status_colour), 10);
    for (pixel_t other : {COLOUR_GREEN, kAmber, COLOUR_RED}) {
      if (other != r.status_colour) {
        EXPECT_EQ(count_colour(top_layer, 240, 190, 315, 212, other), 0);
      }
    }
    // The NIC box is an opaque copy: a pixel of its left edge is there only with the lower half.
    const image_ref box = image_lookup(IMG_POPUP_BOX);
    ASSERT_NE(box.pixels[16 * box.width + 1], 0u);
    EXPECT_EQ(top_layer[(129 + 16) * SCREEN_W + 2 + 1] == box.pixels[16 * box.width + 1], r.boxes);
    EXPECT_EQ(count_colour(top_layer, 2, 129, 56, 162, COLOUR_RED) > 20, r.crossed);
    EXPECT_EQ(count_colour(top_layer, 263, 129, 317, 162, COLOUR_RED) > 20, r.crossed);
    // A squawk shown as a code is green; the dashes are white.
    EXPECT_EQ(count_colour(top_layer, 5, 78, 80, 102, COLOUR_GREEN) > 0, r.squawk[0] != '-');
  }
}

// The altitude and ident values turn yellow while the transponder replies, for a second after.
TEST_F(Transponder, ReplyIndicatorColour) {
  const auto yellow_lower = [] {
    clear_layer(top_layer);
    draw_transponder_strip(top_layer);
    return count_colour(top_layer, 5, 190, 80, 212, COLOUR_YELLOW) > 0;
  };
  EXPECT_TRUE(yellow_lower());
  EXPECT_EQ(txp.reply_indicator, 1);
  desk.txp_replying = false;
  EXPECT_TRUE(yellow_lower());
  reply_indicator_tick();
  EXPECT_FALSE(yellow_lower());
  EXPECT_GT(count_colour(top_layer, 5, 190, 80, 212, COLOUR_GREEN), 0);
}

TEST_F(Transponder, AltitudeNotValidShowsDashesInWhite) {
  desk.altitude_valid = false;
  draw_transponder_strip(top_layer);
  EXPECT_STREQ(txp.drawn.lower, "---");
  EXPECT_EQ(count_colour(top_layer, 5, 190, 80, 212, COLOUR_YELLOW), 0);
  EXPECT_GT(count_colour(top_layer, 5, 190, 80, 212, COLOUR_WHITE), 0);
}

TEST_F(Transponder, SquawkBannerSetsCursorAndClearsArrows) {
  draw_squawk_edit();
  EXPECT_EQ(banner.banner_line1[0], '\0');  // closed: the banner is not touched
  open_squawk_edit();
  set_banner_left_arrow(1);
  set_banner_right_arrow(1);
  txp.squawk_cursor = 2;
  for (int digit_edit : {0, 1}) {
    txp.squawk_digit_edit = digit_edit;
    draw_squawk_edit();
    EXPECT_STREQ(banner.banner_line1, "SQUAWK");
    EXPECT_STREQ(banner.banner_line2, "1200");
    EXPECT_EQ(banner.banner_line2_style, 2);
    EXPECT_EQ(banner.banner_cursor_index, 2);
    EXPECT_EQ(banner.banner_cursor_mode, digit_edit ? 2 : 1);
    EXPECT_EQ(banner.banner_left_arrow, 0);
    EXPECT_EQ(banner.banner_right_arrow, 0);
  }
}

// One pass of input handling without drawing.
void step(int n = 1) {
  for (int i = 0; i < n; ++i) {
    decode_controls();
    dispatch_event();
  }
}
void tap(void (*set)(int)) {
  set(1);
  step();
  set(0);
  step();
}

void turn(int detents) {
  set_knob_count(detents);
  step();
}

// The buttons and knob on page 3 reach the page and its editor.
TEST_F(Transponder, RoutesOnPageThree) {
  tap(set_left_button);  // IDENT, not the menu
  EXPECT_EQ(modes.menu_active, 0);
  EXPECT_EQ(txp.ident_countdown, TXP_IDENT_SECONDS);
  tap(set_knob_push);  // opens the editor on the cursor
  EXPECT_EQ(modes.squawk_edit_active, 1);
  tap(set_knob_push);  // digit edit
  turn(1);
  EXPECT_STREQ(txp.squawk_text, "2200");
  tap(set_right_button);  // VFR: 1200 and back to the cursor, no page change
  EXPECT_EQ(modes.field_page, 3);
  EXPECT_STREQ(txp.squawk_text, "1200");
  EXPECT_EQ(txp.squawk_digit_edit, 0);
  turn(1);  // cursor to the second digit
  tap(set_knob_push);
  turn(1);
  tap(set_knob_push);
  EXPECT_EQ(txp_squawk(), 1200);  // not sent yet
  tap(set_right_button);          // MODE: ALT to STBY
  EXPECT_EQ(txp_mode(), 0);
  tap(set_left_button);  // DONE sends the code
  EXPECT_EQ(modes.squawk_edit_active, 0);
  EXPECT_EQ(txp_squawk(), 1300);
  EXPECT_EQ(modes.menu_active, 0);
  EXPECT_EQ(txp.ident_countdown, TXP_IDENT_SECONDS);  // DONE is no second ident
  tap(set_right_button);                              // editor closed: the next page
  EXPECT_EQ(modes.field_page, 0);
}

TEST_F(Transponder, LeftLongSetsVfrWhenIdle) {
  std::snprintf(txp.squawk_text, sizeof txp.squawk_text, "4512");
  txp_set_squawk(4512);
  set_left_button(1);
  step(101);
  EXPECT_STREQ(txp.squawk_text, "1200");
  EXPECT_EQ(txp_squawk(), 1200);
}

// Soft keys: IDENT on the idle page; DONE with MODE or VFR in the editor; nothing elsewhere.
TEST_F(Transponder, SoftKeys) {
  struct row {
    const char* name;
    int page;
    int serial2;
    bool editor;
    int digit_edit;
    bool brightness;
    bool left_key;
    bool right_key;
  };
  const row rows[] = {
      {"idle page", 3, 1, false, 0, false, true, false},   {"editor", 3, 1, true, 0, false, true, true},
      {"editor, digit", 3, 1, true, 1, false, true, true}, {"other page", 2, 1, false, 0, false, false, false},
      {"no link", 3, 0, false, 0, false, false, false},    {"brightness open", 3, 1, true, 0, true, false, false},
  };
  std::vector<pixel_t> mode_key, vfr_key;
  for (const row& r : rows) {
    SCOPED_TRACE(r.name);
    SetUp();
    modes.field_page = r.page;
    cfg_set_byte(CFG_SERIAL2, r.serial2);
    if (r.editor) open_squawk_edit();
    txp.squawk_digit_edit = r.digit_edit;
    modes.brightness_popup_open = r.brightness ? 1 : 0;
    clear_layer(top_layer);
    draw_transponder_soft_keys(top_layer);
    EXPECT_EQ(count_colour(top_layer, 30, 215, 90, 235, COLOUR_WHITE) > 0, r.left_key);
    EXPECT_EQ(count_colour(top_layer, 220, 215, 280, 235, COLOUR_WHITE) > 0, r.right_key);
    if (r.right_key) {
      std::vector<pixel_t>& key = r.digit_edit ? vfr_key : mode_key;
      key.assign(top_layer + 215 * SCREEN_W, top_layer + 236 * SCREEN_W);
    }
  }
  EXPECT_NE(mode_key, vfr_key);  // the right key's word follows digit edit
}

}  // namespace
