#include "fields/field_editor.h"

#include <gtest/gtest.h>

#include <cstring>

#include "core/controls.h"
#include "core/firmware.h"
#include "core/modes.h"
#include "fields/field_ids.h"
#include "fields/field_strip.h"
#include "fields/layouts.h"
#include "gfx/banner.h"
#include "settings/settings.h"
#include "tests/support/power_on.h"

namespace {

using FieldEditor = Started;

int ink_in(const pixel_t* layer, int x0, int y0, int x1, int y1) {
  int n = 0;
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) n += layer[y * SCREEN_W + x] != 0 ? 1 : 0;
  return n;
}

TEST_F(FieldEditor, SelectingShowsHowToUseTheKnob) {
  open_menu();
  clear_banner_lines();
  draw_field_editor();
  EXPECT_STREQ(banner.banner_line1, "EDIT FIELDS");
  EXPECT_STREQ(banner.banner_line2, "SEL FIELD");
  EXPECT_EQ(banner.banner_line1_colour, COLOUR_GREEN);
  EXPECT_EQ(banner.banner_left_arrow, 1);
  EXPECT_EQ(banner.banner_right_arrow, 1);
  main_page_event(EVT_KNOB_CW);
  clear_banner_lines();
  draw_field_editor();
  EXPECT_STREQ(banner.banner_line1, "PUSH TO");
  EXPECT_STREQ(banner.banner_line2, "CHANGE");
}

TEST_F(FieldEditor, ChangingShowsTheFieldNameAndWhichWayItCanMove) {
  open_menu();  // slot 4 of the attitude unit: ids 0, 1, 2; page 0 holds 2 (DG HDG)
  main_page_event(EVT_KNOB_RELEASE);
  ASSERT_TRUE(modes.field_editor_active);
  clear_banner_lines();
  draw_field_strip(top_layer, base_layer);  // the strip sets the arrows
  draw_field_editor();
  EXPECT_STREQ(banner.banner_line1, "DISPLAY");
  EXPECT_EQ(banner.banner_line1_colour, COLOUR_GREY);
  EXPECT_STREQ(banner.banner_line2, "DG HDG");
  EXPECT_EQ(banner.banner_line2_colour, COLOUR_MAGENTA);
  EXPECT_EQ(banner.banner_left_arrow, 1);
  EXPECT_EQ(banner.banner_right_arrow, 0);  // 2 is the highest id of this slot
  main_page_event(EVT_KNOB_CCW);
  main_page_event(EVT_KNOB_CCW);
  clear_banner_lines();
  draw_field_strip(top_layer, base_layer);
  draw_field_editor();
  EXPECT_STREQ(banner.banner_line2, "-NONE-");
  EXPECT_EQ(banner.banner_left_arrow, 0);
  EXPECT_EQ(banner.banner_right_arrow, 1);
}

TEST_F(FieldEditor, NothingWhileTheMenuIsClosed) {
  clear_banner_lines();
  draw_field_editor();
  EXPECT_STREQ(banner.banner_line1, "");
  EXPECT_STREQ(banner.banner_line2, "");
}

TEST_F(FieldEditor, BaroAltitudeInSlotSixForcesBaroIntoSlotSeven) {
  fields.layout_ai[0][7] = FIELD_OAT;
  fields.layout_ai[0][6] = FIELD_NONE;
  modes.menu_active = 1;
  modes.field_editor_active = 1;
  modes.selected_slot = 6;
  main_page_event(EVT_KNOB_CW);
  EXPECT_EQ(fields.layout_ai[0][6], FIELD_BARO_ALT);
  EXPECT_EQ(fields.layout_ai[0][7], FIELD_BARO);
}

TEST_F(FieldEditor, EditorSwallowsEveryEventWhileOpen) {
  open_menu();
  EXPECT_EQ(main_page_event(EVT_RIGHT_RELEASE), EVT_NONE);
  EXPECT_EQ(modes.field_page, 0);
  close_menu();
  EXPECT_EQ(main_page_event(EVT_KNOB_CW), EVT_KNOB_CW);
}

TEST_F(FieldEditor, SoftKeysFollowTheEditorState) {
  const auto keys = [] {
    clear_layer(top_layer);
    draw_soft_key_menu(top_layer);
    return std::pair{ink_in(top_layer, 30, 210, 90, 239), ink_in(top_layer, 215, 210, 260, 239)};
  };
  auto [left, right] = keys();
  EXPECT_GT(left, 0);   // MENU
  EXPECT_GT(right, 0);  // 1:3
  open_menu();
  std::tie(left, right) = keys();
  EXPECT_GT(left, 0);   // NEXT
  EXPECT_EQ(right, 0);  // no page label while editing
  close_menu();
  modes.baro_popup_open = 1;
  std::tie(left, right) = keys();
  EXPECT_EQ(left + right, 0);
  modes.baro_popup_open = 0;
  modes.field_page = 3;
  std::tie(left, right) = keys();
  EXPECT_EQ(left, 0);   // no MENU on page 3
  EXPECT_GT(right, 0);  // "AI"
  modes.squawk_edit_active = 1;
  std::tie(left, right) = keys();
  EXPECT_EQ(right, 0);
}

}  // namespace
