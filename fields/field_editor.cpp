#include "fields/field_editor.h"

#include <cstdint>

#include "core/firmware.h"
#include "core/modes.h"
#include "fields/field_ids.h"
#include "fields/field_strip.h"
#include "fields/layouts.h"
#include "gfx/banner.h"
#include "gfx/text.h"

const char* const field_editor_labels[FIELD_ID_COUNT] = {
    "-NONE-",    "GPS TRK",  "DG HDG",   nullptr,   "HDG ROSE", "GPS HSI",  "GPS ARC", nullptr,
    nullptr,     "IAS",      "BARO ALT", "AOA",     "V TREND",  "G LOAD",   "G LOAD",  "HDG",
    "BUS VOLTS", "SET ALT",  "VERT SPD", "GLOAD",   nullptr,    "OAT",      "TAS",     "DALT",
    "GPS WPT",   "GPS DIST", "GPS GS",   "GPS TRK", "GPS XTE",  "GPS DTRK", "GPS BRG", "BARO",
};

namespace {

int selected_id() {
  if (cycle.unit_function == 1) {
    return fields.layout_dg[current_field_page()][modes.selected_slot];
  }
  return fields.layout_ai[current_field_page()][modes.selected_slot];
}

void draw_soft_key(pixel_t* layer, int x, int y, pixel_t colour, const char* text) {
  const int font = font_for_size(10);
  kept_key key;
  key.add_int(font).add_int(x).add_int(y).add(colour).add_text(text);
  auto& area = field_strip.soft_keys_kept[x < SCREEN_W / 2 ? 0 : 1];
  draw_kept(&area, layer, key, [&] {
    draw_text_centred(layer, SCREEN_W, SCREEN_H, font, x + 1, y + 1, COLOUR_SHADOW, text);
    draw_text_centred(layer, SCREEN_W, SCREEN_H, font, x, y, colour, text);
  });
}

}  // namespace

void draw_field_editor() {
  if (!modes.menu_active) {
    return;
  }
  keep_selected_slot_in_unit();
  if (!modes.field_editor_active) {
    set_banner_left_arrow(1);
    set_banner_right_arrow(1);
    if (modes.editor_cursor_moved) {
      set_banner_line1("PUSH TO", 0, COLOUR_GREEN);
      set_banner_line2("CHANGE", 0, COLOUR_GREEN);
    } else {
      set_banner_line1("EDIT FIELDS", 0, COLOUR_GREEN);
      set_banner_line2("SEL FIELD", 0, COLOUR_GREEN);
    }
    return;
  }
  const int cur = selected_id();
  set_banner_line1("DISPLAY", 0, COLOUR_GREY);
  if (cur >= 0 && cur < FIELD_ID_COUNT && field_editor_labels[cur] != nullptr) {
    set_banner_line2(field_editor_labels[cur], 0, COLOUR_MAGENTA);
  }
  // The arrow flags come from the field strip, which knows the coupled BARO slot.
}

void draw_soft_key_menu(pixel_t* layer) {
  if (modes.dg_adjust_popup_open || modes.nav_dg_adjust_popup_open || modes.baro_popup_open ||
      modes.hdg_bug_popup_open || modes.brightness_popup_open || modes.set_alt_popup_open || modes.setup_active) {
    return;  // those draw their own keys, or none
  }
  const bool editor_open = modes.menu_active || modes.field_editor_active;
  if (!editor_open && !modes.layout_modified && modes.field_page != 3) {
    draw_soft_key(layer, 60, 225, COLOUR_WHITE, "MENU");
  }
  if (editor_open && !modes.layout_modified && modes.field_page != 3) {
    draw_soft_key(layer, 60, 225, COLOUR_GREEN, "NEXT");
  }
  if (!editor_open) {
    if (modes.field_page == 3) {
      if (!modes.squawk_edit_active) {
        draw_soft_key(layer, 238, 226, COLOUR_WHITE, "AI");
      }
    } else {
      const char label[4] = {static_cast<char>('1' + modes.field_page), ':', '3', '\0'};
      draw_soft_key(layer, 238, 225, COLOUR_WHITE, label);
    }
  }
  if (editor_open && modes.layout_modified) {
    draw_soft_key(layer, 60, 225, COLOUR_WHITE, "DONE");
  }
}
