// Settings given to the headless runner: found by name or label, checked as the setup page
// checks them, and written the way it writes them.
#include <gtest/gtest.h>

#include <cstring>

#include "core/demo.h"
#include "core/modes.h"
#include "host/common/setting_input.h"
#include "settings/settings.h"
#include "settings/setup_rows.h"
#include "tests/support/power_on.h"

namespace {

using host_settings::setting_target;
using host_settings::setting_write;

setting_target target(const std::string& name) {
  setting_target t;
  std::string error;
  EXPECT_TRUE(host_settings::find_setting(name, &t, &error)) << name << ": " << error;
  return t;
}

setting_write write_of(const std::string& name, int value, const std::string& where = "test.txt:1") {
  return setting_write{target(name), value, where};
}

TEST(HeadlessSettings, NamesAndLabelsFindTheSameSetting) {
  const setting_target by_label = target("G NEG LIM");
  const setting_target by_name = target("CFG_G_NEG_LIM");
  EXPECT_EQ(by_label.setting, CFG_G_NEG_LIM);
  EXPECT_EQ(by_name.setting, CFG_G_NEG_LIM);
  EXPECT_EQ(by_label.row, by_name.row);
  EXPECT_EQ(by_label.min, -8);
  EXPECT_EQ(by_label.max, -1);
  EXPECT_EQ(by_name.name, "G NEG LIM");  // messages use the label people see on the setup page
  EXPECT_EQ(target("demo mode").setting, CFG_DEMO_MODE);
  EXPECT_EQ(target("cfg_demo_mode").setting, CFG_DEMO_MODE);
}

TEST(HeadlessSettings, EveryRowWithASettingIsReachableByItsLabel) {
  for (int row = 0; row < SETUP_ROW_COUNT; ++row) {
    setting_target t;
    std::string error;
    const bool found = host_settings::find_setting(setup_rows[row].label, &t, &error);
    if (setup_rows[row].setting < 0) {
      EXPECT_FALSE(found) << setup_rows[row].label;
      EXPECT_NE(error.find("read-only"), std::string::npos) << error;
    } else {
      ASSERT_TRUE(found) << setup_rows[row].label << ": " << error;
      EXPECT_EQ(t.setting, setup_rows[row].setting);
      EXPECT_EQ(t.min, setup_rows[row].min);
      EXPECT_EQ(t.max, setup_rows[row].max);
    }
  }
}

TEST(HeadlessSettings, EveryNamedSettingCanBeSet) {
  for (int i = 0; i < setting_name_count; ++i) {
    setting_target t;
    std::string error;
    EXPECT_TRUE(host_settings::find_setting(setting_names[i].name, &t, &error))
        << setting_names[i].name << ": " << error;
    EXPECT_LE(t.min, t.max) << setting_names[i].name;
  }
}

TEST(HeadlessSettings, SettingsWithoutARowHaveTheirOwnRanges) {
  const setting_target page = target("CFG_FIELD_PAGE");
  EXPECT_EQ(page.row, -1);
  EXPECT_EQ(page.min, 0);
  EXPECT_EQ(page.max, 3);
  EXPECT_EQ(target("CFG_HDG_BUG").max, 359);
  EXPECT_EQ(target("CFG_SET_ALT").max, 25000);
}

TEST(HeadlessSettings, PrefixMatchPrefersTheLongestName) {
  EXPECT_EQ(host_settings::match_setting_prefix("IAS VSO 60"), std::string("IAS VSO").size());
  EXPECT_EQ(host_settings::match_setting_prefix("SERIAL 2 NONE"), std::string("SERIAL 2").size());
  EXPECT_EQ(host_settings::match_setting_prefix("AOA HIGH LIM 20"), std::string("AOA HIGH LIM").size());
  EXPECT_EQ(host_settings::match_setting_prefix("AOA ALERT ENABLED"), std::string("AOA ALERT").size());
  EXPECT_EQ(host_settings::match_setting_prefix("CFG_G_NEG_LIM"), std::string("CFG_G_NEG_LIM").size());
  EXPECT_EQ(host_settings::match_setting_prefix("CFG_G_NEG_LIMIT 3"), 0u);
  EXPECT_EQ(host_settings::match_setting_prefix("NOTHING 3"), 0u);
  EXPECT_EQ(host_settings::match_setting_prefix(""), 0u);
}

TEST(HeadlessSettings, ValuesAtAndBeyondTheLimits) {
  const setting_target vne = target("IAS VNE");
  int v = 0;
  std::string error;
  EXPECT_TRUE(host_settings::parse_setting_value(vne, "40", &v, &error));
  EXPECT_EQ(v, 40);
  EXPECT_TRUE(host_settings::parse_setting_value(vne, "299", &v, &error));
  EXPECT_FALSE(host_settings::parse_setting_value(vne, "39", &v, &error));
  EXPECT_NE(error.find("allowed 40..299"), std::string::npos) << error;
  EXPECT_FALSE(host_settings::parse_setting_value(vne, "300", &v, &error));
  EXPECT_FALSE(host_settings::parse_setting_value(vne, "99999999999999999999", &v, &error));
  EXPECT_FALSE(host_settings::parse_setting_value(vne, "1e2", &v, &error));
  EXPECT_FALSE(host_settings::parse_setting_value(vne, "-", &v, &error));
  EXPECT_TRUE(host_settings::parse_setting_value(target("G NEG LIM"), "-8", &v, &error));
  EXPECT_EQ(v, -8);
  EXPECT_TRUE(host_settings::parse_setting_value(target("UI STYLE"), "vintage", &v, &error));
  EXPECT_EQ(v, 2);
}

class HeadlessSettingWrites : public Started {};

TEST_F(HeadlessSettingWrites, TheAngleOfAttackPairIsCheckedInOrderAgainstTheDefaults) {
  // Defaults: high 15, low 5. Raising low to 13 is fine; 14 is not (high - 2 = 13).
  std::string error;
  EXPECT_TRUE(host_settings::check_setting_writes({write_of("AOA LOW LIM", 13)}, &error)) << error;
  EXPECT_FALSE(host_settings::check_setting_writes({write_of("AOA LOW LIM", 14, "a.txt:4")}, &error));
  EXPECT_NE(error.find("a.txt:4"), std::string::npos) << error;
  EXPECT_NE(error.find("at most AOA HIGH LIM - 2 = 13"), std::string::npos) << error;
  // Raising high first makes room for the low limit: order matters.
  EXPECT_TRUE(host_settings::check_setting_writes({write_of("AOA HIGH LIM", 30), write_of("AOA LOW LIM", 28)}, &error))
      << error;
  EXPECT_FALSE(
      host_settings::check_setting_writes({write_of("AOA LOW LIM", 28), write_of("AOA HIGH LIM", 30)}, &error));
  EXPECT_FALSE(host_settings::check_setting_writes({write_of("AOA HIGH LIM", 6)}, &error));
  EXPECT_NE(error.find("at least AOA LOW LIM + 2 = 7"), std::string::npos) << error;
}

TEST_F(HeadlessSettingWrites, CheckingLeavesTheSettingsTableAsItWas) {
  cfg_set(CFG_AOA_LOW_LIM, -20);  // not a default: the check must not reset it
  const settings_state before = cfg;
  std::string error;
  host_settings::check_setting_writes({write_of("AOA HIGH LIM", 30), write_of("DEMO MODE", 0)}, &error);
  host_settings::check_setting_writes({write_of("AOA HIGH LIM", 2)}, &error);
  EXPECT_EQ(0, std::memcmp(&before, &cfg, sizeof cfg));
}

TEST_F(HeadlessSettingWrites, ByteRowsAreWrittenAsBytesAndWordRowsAsWords) {
  std::string error;
  cfg_set(CFG_ROLL_LIM, 0x12345600);  // high bytes a byte write must clear
  ASSERT_TRUE(host_settings::apply_setting_write(write_of("ROLL LIM", 45), &error)) << error;
  EXPECT_EQ(cfg_get(CFG_ROLL_LIM), 45);
  ASSERT_TRUE(host_settings::apply_setting_write(write_of("G NEG LIM", -5), &error)) << error;
  EXPECT_EQ(cfg_get(CFG_G_NEG_LIM), -5);  // a byte write would have left 251
}

TEST_F(HeadlessSettingWrites, TheDemoRowRestartsTheDemoLikeTheSetupPage) {
  demo.demo_alt = 9000;
  demo.demo_pitch = 3.0f;
  std::string error;
  ASSERT_TRUE(host_settings::apply_setting_write(write_of("DEMO MODE", 2), &error)) << error;
  EXPECT_EQ(cfg_get_byte(CFG_DEMO_MODE), 2);
  EXPECT_EQ(demo.demo_alt, 6000);
  EXPECT_EQ(demo.demo_pitch, 0.0f);
}

TEST_F(HeadlessSettingWrites, TheFieldPageMovesTheShownPageButStartUpValuesOnlyTheStore) {
  std::string error;
  ASSERT_TRUE(host_settings::apply_setting_write(write_of("CFG_FIELD_PAGE", 2), &error)) << error;
  EXPECT_EQ(cfg_get(CFG_FIELD_PAGE), 2);
  EXPECT_EQ(modes.field_page, 2);
  ASSERT_TRUE(host_settings::apply_setting_write(write_of("CFG_HDG_BUG", 270), &error)) << error;
  EXPECT_EQ(cfg_get(CFG_HDG_BUG), 270);
  ASSERT_TRUE(host_settings::apply_setting_write(write_of("CFG_SET_ALT", 4500), &error)) << error;
  EXPECT_EQ(cfg_get(CFG_SET_ALT), 4500);
}

TEST_F(HeadlessSettingWrites, AWriteTheFirmwareRefusesIsReportedAndChangesNothing) {
  std::string error;
  EXPECT_FALSE(host_settings::apply_setting_write(write_of("AOA HIGH LIM", 5, "b.txt:9"), &error));
  EXPECT_NE(error.find("b.txt:9"), std::string::npos) << error;
  EXPECT_EQ(cfg_get(CFG_AOA_HIGH_LIM), 15);
}

}  // namespace
