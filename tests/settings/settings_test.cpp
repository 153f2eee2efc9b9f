#include "settings/settings.h"

#include <gtest/gtest.h>

#include "core/demo.h"
#include "core/modes.h"
#include "fields/layouts.h"
#include "settings/setup_rows.h"
#include "tests/support/power_on.h"

namespace {

using Settings = PowerOn;

TEST_F(Settings, DefaultsOfTheTable) {
  for (int i = 0; i < SETTINGS_COUNT; ++i) ASSERT_EQ(cfg_get(i), 0) << i;  // before the defaults
  cfg_load_defaults();
  const std::pair<int, int> expected[] = {
      {CFG_DEMO_MODE, 1},  {CFG_SERIAL2, 1},       {CFG_IAS_VSO, 60},      {CFG_IAS_VS1, 50},
      {CFG_IAS_VFE, 100},  {CFG_IAS_VNO, 150},     {CFG_IAS_VNE, 175},     {CFG_GPS_NAV_SRC, 2},
      {CFG_AUDIO_VOL, 5},  {CFG_AOA_HIGH_LIM, 15}, {CFG_AOA_LOW_LIM, 5},   {CFG_G_POS_LIM, 2},
      {CFG_G_NEG_LIM, -2}, {CFG_ROLL_LIM, 35},     {CFG_UNIT_FUNCTION, 0}, {CFG_UI_STYLE, 0},
  };
  for (const auto& [idx, value] : expected) EXPECT_EQ(cfg_get(idx), value) << idx;
  EXPECT_EQ(cfg_get(CFG_G_NEG_LIM), -2);
  EXPECT_EQ(cfg_get_byte(CFG_G_NEG_LIM), 254);
}

TEST_F(Settings, ByteWritesKeepTheLowByteZeroExtended) {
  cfg_set_byte(CFG_ROLL_LIM, 300);
  EXPECT_EQ(cfg_get(CFG_ROLL_LIM), 44);
  cfg_set_byte(CFG_ROLL_LIM, -1);
  EXPECT_EQ(cfg_get(CFG_ROLL_LIM), 255);
  cfg_set(CFG_ALT_TRIM, -500);
  EXPECT_EQ(cfg_get(CFG_ALT_TRIM), -500);
  EXPECT_EQ(cfg_get_byte(CFG_ALT_TRIM), 0x0C);
}

TEST_F(Settings, LayoutSaveMirrorsEveryEntryIntoTheTable) {
  layout_defaults();  // writes defaults and saves
  fields.layout_ai[0][0] = 0x1234;
  fields.layout_dg[3][6] = 0x0107;
  layout_save();
  EXPECT_EQ(layout_store_get(0), 0x1234);
  EXPECT_EQ(cfg_get(CFG_LAYOUT_MIRROR), 0x34);
  EXPECT_EQ(layout_store_get(63), 0x0107);
  EXPECT_EQ(cfg_get(105), 0x07);
  EXPECT_EQ(layout_store_get(9 * 2 + 5), 17);      // attitude page 2 slot 5: SET ALT
  EXPECT_EQ(layout_store_get(36 + 7 * 1 + 3), 5);  // heading page 1 slot 3: GPS HSI
}

TEST_F(Settings, LayoutLoadOfAnEmptyStoreGivesEmptyLayoutsAndClosesTheMenu) {
  layout_defaults();
  for (int i = 0; i < LAYOUT_STORE_COUNT; ++i) layout_store_set(i, 0);
  modes.menu_active = 1;
  modes.selected_slot = 5;
  cfg_set(CFG_FIELD_PAGE, 2);
  layout_load();
  EXPECT_EQ(modes.menu_active, 0);
  EXPECT_EQ(modes.selected_slot, 0);
  EXPECT_EQ(modes.field_page, 2);
  for (const auto& page : fields.layout_ai)
    for (auto id : page) EXPECT_EQ(id, 0);
  for (const auto& page : fields.layout_dg)
    for (auto id : page) EXPECT_EQ(id, 0);
}

TEST_F(Settings, LayoutLoadTruncatesEntriesTo16Bits) {
  layout_store_set(4, 0x10002);
  layout_load();
  EXPECT_EQ(fields.layout_ai[0][4], 2);
}

TEST_F(Settings, NamesCoverEveryUsedSlotOnce) {
  EXPECT_EQ(setting_index_by_name("CFG_G_NEG_LIM"), CFG_G_NEG_LIM);
  EXPECT_EQ(setting_index_by_name("CFG_NOPE"), -1);
  bool seen[SETTINGS_COUNT] = {};
  for (int i = 0; i < setting_name_count; ++i) {
    EXPECT_FALSE(seen[setting_names[i].idx]) << setting_names[i].name;
    seen[setting_names[i].idx] = true;
  }
  EXPECT_EQ(setting_name_count, 34);
}

using SetupRows = PowerOn;

TEST_F(SetupRows, RowsMatchTheSettingsTheyEdit) {
  for (int row = 0; row < SETUP_ROW_COUNT; ++row) {
    const setup_row_def& def = setup_rows[row];
    if (def.setting < 0) continue;
    bool found = false;
    for (int i = 0; i < setting_name_count; ++i) {
      if (setting_names[i].idx == def.setting) {
        EXPECT_EQ(setting_names[i].is_byte, def.is_byte) << def.label;
        found = true;
      }
    }
    EXPECT_TRUE(found) << def.label;
    if (def.options != nullptr) {
      EXPECT_EQ(def.option_count, def.max - def.min + 1) << def.label;
    }
  }
  EXPECT_EQ(setup_row_by_label("DEMO MODE"), 18);
  EXPECT_EQ(setup_option_value(18, "MODE 2"), 2);
  EXPECT_EQ(setup_option_value(18, "MODE 3"), -1);
  EXPECT_EQ(setup_row_by_setting(CFG_G_NEG_LIM), 31);
}

TEST_F(SetupRows, WritesUseTheRowsLimitsAndWriters) {
  cfg_load_defaults();
  EXPECT_TRUE(setup_write(setup_row_by_label("G NEG LIM"), -8));
  EXPECT_EQ(cfg_get(CFG_G_NEG_LIM), -8);
  EXPECT_FALSE(setup_write(setup_row_by_label("G NEG LIM"), 0));
  EXPECT_EQ(cfg_get(CFG_G_NEG_LIM), -8);
  EXPECT_FALSE(setup_write(setup_row_by_label("ROLL LIM"), 29));
  EXPECT_TRUE(setup_write(setup_row_by_label("ROLL LIM"), 80));
  EXPECT_EQ(cfg_get(CFG_ROLL_LIM), 80);
  EXPECT_FALSE(setup_write(setup_row_by_label("SW VERSION"), 0));  // read only
}

TEST_F(SetupRows, AngleOfAttackLimitsKeepTwoDegreesApart) {
  cfg_load_defaults();  // high 15, low 5
  const int high = setup_row_by_label("AOA HIGH LIM");
  const int low = setup_row_by_label("AOA LOW LIM");
  EXPECT_TRUE(setup_write(low, 13));
  EXPECT_FALSE(setup_write(low, 14));
  EXPECT_FALSE(setup_write(high, 14));
  EXPECT_TRUE(setup_write(high, 30));
  EXPECT_TRUE(setup_write(low, 28));
}

TEST_F(SetupRows, DemoModeRowRestartsTheDemo) {
  cfg_load_defaults();
  demo.demo_alt = 12000;
  EXPECT_TRUE(setup_write(setup_row_by_label("DEMO MODE"), 2));
  EXPECT_EQ(demo.demo_alt, 6000);
  EXPECT_EQ(cfg_get_byte(CFG_DEMO_MODE), 2);
}

}  // namespace
