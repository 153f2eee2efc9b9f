// The adjustment pop-ups, the status badge and the settings written from outside, driven end to
// end through scripts as a pilot (or a test bench) drives the instrument.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/host/headless_support.h"
#include "tests/support/power_on.h"

namespace {

using headless_test::run_in_process;
using headless_test::run_result;

class HeadlessPopups : public PowerOn {
 protected:
  // Runs the script lines after the start-up screen and returns the snapshots in order.
  static std::vector<state_json> run(const std::vector<std::string>& lines,
                                     const std::vector<std::string>& options = {}) {
    std::vector<std::string> args = {"--state", "-", "-e", "wait 9"};
    for (const std::string& line : lines) args.insert(args.end(), {"-e", line});
    args.insert(args.end(), options.begin(), options.end());
    const run_result r = run_in_process(args);
    EXPECT_EQ(r.status, 0) << r.err;
    if (r.status != 0) return {};
    std::vector<state_json> snaps;
    const state_json doc = state_json::parse(r.out);
    for (const state_json& s : doc["snapshots"]) snaps.push_back(s);
    return snaps;
  }
};

TEST_F(HeadlessPopups, BrightnessByTheRightButtonWithTheBadgeGoneWhileOpen) {
  const std::vector<state_json> s = run({
      "snapshot closed",  //
      "hold right 1",     // the long press opens it
      "wait 0.1",         //
      "snapshot open",    //
      "turn 5",           // step 10
      "wait 0.1",         //
      "turn 1",           // step 1
      "wait 0.1",         //
      "snapshot turned",  //
      "tap left",         // AUTO
      "wait 0.1",         //
      "snapshot auto",    //
      "tap right",        // closes, and the page stays
      "wait 0.1",         //
      "snapshot done",
  });
  ASSERT_EQ(s.size(), 5u);
  struct row {
    const char* label;
    int open;
    int level;
    int is_auto;
    const char* line1;
    const char* line2;
    int badge;
  };
  const row rows[] = {
      {"closed", 0, 0, 0, "", "", 1},
      {"open", 1, 0, 0, "MANUAL BRT", "0", 0},
      {"turned", 1, 11, 0, "MANUAL BRT", "11", 0},
      {"auto", 1, 11, 1, "AUTO BRT", "", 0},
      {"done", 0, 11, 1, "", "", 1},
  };
  for (std::size_t i = 0; i < s.size(); ++i) {
    const row& r = rows[i];
    SCOPED_TRACE(r.label);
    EXPECT_EQ(s[i]["label"], r.label);
    EXPECT_EQ(s[i]["modes"]["brightness_popup_open"], r.open);
    EXPECT_EQ(s[i]["popups"]["brightness_level"], r.level);
    EXPECT_EQ(s[i]["popups"]["brightness_auto"], r.is_auto);
    EXPECT_EQ(s[i]["banner"]["banner_line1"]["text"], r.line1);
    EXPECT_EQ(s[i]["banner"]["banner_line2"]["text"], r.line2);
    EXPECT_EQ(s[i]["popups"]["status_badge"]["shown"], r.badge);
    EXPECT_EQ(s[i]["field_page"], 0);
  }
  EXPECT_EQ(s[0]["popups"]["status_badge"]["text"], "100%");
  EXPECT_EQ(s[0]["popups"]["status_badge"]["icon"], 1);
}

TEST_F(HeadlessPopups, ChangingBaroUnitsConvertsTheSettingFromEverySource) {
  const std::vector<state_json> s = run({"snapshot inhg", "set BARO UNITS MB", "wait 0.1", "snapshot hpa",
                                         "set BARO UNITS INHG", "wait 0.1", "snapshot back"});
  ASSERT_EQ(s.size(), 3u);
  EXPECT_EQ(s[0]["popups"]["baro_setting"], 2992);
  EXPECT_EQ(s[0]["popups"]["baro_setting_text"], "29.92");
  EXPECT_EQ(s[1]["popups"]["baro_setting"], 101300);
  EXPECT_EQ(s[1]["popups"]["baro_setting_text"], "1013");
  EXPECT_EQ(s[2]["popups"]["baro_setting"], 2991);  // 1013 hPa to the nearest 0.01 inHg
  EXPECT_EQ(s[2]["popups"]["baro_set_since_start"], 0);
}

// The headless set of UNIT FUNCTION while the field editor edits attitude slot 8: the DG unit has
// seven slots, so the editor closes, as it does when the unit swaps by the long knob press.
TEST_F(HeadlessPopups, UnitChangeFromOutsideClosesTheFieldEditor) {
  const std::vector<state_json> s = run({
      "tap left",  // MENU on slot 4
      "wait 0.1",  //
      "turn 1",    //
      "wait 0.1",  //
      "turn 1",    //
      "wait 0.1",  //
      "turn 1",    //
      "wait 0.1",  //
      "turn 1",    // slot 8
      "wait 0.1",  //
      "tap knob",  // edit it
      "wait 0.1",  //
      "snapshot editing", "set UNIT FUNCTION DG",
      "turn 1",    // must reach no slot of the DG layouts
      "wait 0.1",  //
      "tap knob",  //
      "wait 0.1",  //
      "turn -1",   //
      "wait 0.5",  //
      "snapshot dg",
  });
  ASSERT_EQ(s.size(), 2u);
  EXPECT_EQ(s[0]["modes"]["field_editor_active"], 1);
  EXPECT_EQ(s[0]["modes"]["selected_slot"], 8);
  EXPECT_EQ(s[1]["unit_function"], 1);
  EXPECT_EQ(s[1]["modes"]["menu_active"], 0);
  EXPECT_EQ(s[1]["modes"]["field_editor_active"], 0);
  EXPECT_EQ(s[1]["layouts"]["layout_dg"], s[0]["layouts"]["layout_dg"]);
}

TEST_F(HeadlessPopups, SetFromTheCommandLineIsWhatTheInstallPageShowsAndEdits) {
  // MENU, SETUP, INSTALL; six rows right is IAS TRIM; edit it one up.
  std::vector<std::string> lines = {"tap left", "wait 0.1", "tap left", "wait 0.1", "tap left", "wait 0.1"};
  for (int i = 0; i < 7; ++i) lines.insert(lines.end(), {"turn 1", "wait 0.1"});
  lines.insert(lines.end(), {"snapshot row", "tap knob", "wait 0.1", "turn 1", "wait 0.1", "snapshot edited"});
  const std::vector<state_json> s = run(lines, {"--set", "IAS TRIM=20"});
  ASSERT_EQ(s.size(), 2u);
  EXPECT_EQ(s[0]["banner"]["banner_line1"]["text"], "IAS TRIM");
  EXPECT_EQ(s[0]["banner"]["banner_line2"]["text"], "+20");
  EXPECT_EQ(s[1]["banner"]["banner_line2"]["text"], "+21");
  EXPECT_EQ(s[1]["settings"]["CFG_IAS_TRIM"], 21);
}

}  // namespace
